#pragma once

#include "scan/ScanSupport.h"
#include "store/Result.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace kvx {

class Workspace;

inline constexpr int kScanItemRows = 177;
inline constexpr int kCourtItems = 15;
inline constexpr int kAnswerItems = 155;

// The 21 texts one sheet gives: age, the four list positions, the fifteen court history
// values (age at first conviction first) and the 155 answer codes.
struct SheetTexts
{
    QString age;
    QString gender;
    QString race;
    QString marital;
    QString education;
    QStringList court; // kCourtItems texts
    QString answers;   // kAnswerItems characters

    bool operator==(const SheetTexts&) const = default;
};

// A value whose reading is a guess (see RowDoubt for the rules).
struct SheetDoubt
{
    // "age", "gender", "race", "marital", "education", "court" or "answers".
    QString field;
    // 1-based position within the value: the age digit, the court item, the answer item; 1
    // for the four lists.
    int item = 0;
    // "several", "faint", or "beyond" for a list row marked past the end of its list (read
    // as 0, "N/A").
    QString reason;

    bool operator==(const SheetDoubt&) const = default;
};

// A whole sheet: where the boxes were found, what was read and which values are guesses.
struct SheetReading
{
    ScanPoint anchor;
    ScanPoint reference;
    SheetTexts texts;
    QList<SheetDoubt> doubtful;
};

// The 177 layout rows in reading order, for reading any number of sheets.
struct ScanLayout
{
    std::vector<ScanRow> rows;
};

// Opens the question database at dbPath exclusively, reads the 177 ScanItem rows in table
// order and rewrites X and Y of every row, in one transaction; nothing is rewritten when a
// row cannot be read. The database is closed again.
Result<ScanLayout> OpenScanLayout(const Workspace& ws, const QString& dbPath);

// Reads a registered sheet along the layout; doubtful values are added to `doubts` when given.
SheetTexts ReadLayout(ScanState& st, const ScanImage& img, const ScanLayout& layout,
                      QList<SheetDoubt>* doubts = nullptr);

// Reads the 177 ScanItem rows of the question database at dbPath (opened exclusively) in table
// order, rewriting X and Y of every row in one transaction. The image must be registered
// (RegisterSheet). A layout that cannot be read (no database, no table, a missing column or
// value, too few rows, a row that cannot be rewritten) is an error; nothing half-read is
// returned and the table is left as it was. Doubtful values are added to `doubts` when given.
Result<SheetTexts> ReadScanLayout(ScanState& st, const ScanImage& img, const Workspace& ws,
                                  const QString& dbPath, QList<SheetDoubt>* doubts = nullptr);

// Prepares (PrepareSheetImage), registers and reads an acquired image; the layout is opened
// only once both boxes are found.
Result<SheetReading> ReadSheetImage(const QImage& acquired, const Workspace& ws,
                                    const QString& dbPath);
// The same along a layout opened before, for a batch of sheets.
Result<SheetReading> ReadSheetImage(const QImage& acquired, const ScanLayout& layout);

// A text as a JSON string, quoted and escaped.
QString JsonText(const QString& s);

// The reading as one line of JSON: anchor, reference, age, gender, race, marital, education,
// court, answers, doubtful, in that order.
QString SheetReadingJson(const SheetReading& reading);

// The texts of a JSON object in the shape SheetReadingJson writes (anchor and reference are
// ignored). Missing keys are empty texts; wrong types are an error.
Result<SheetTexts> SheetTextsFromJson(const QByteArray& json);

// The workspace the command line and the tests open the question database through.
Workspace DefaultWorkspace(const QString& programDir);

} // namespace kvx
