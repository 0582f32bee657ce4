#pragma once

#include "scan/SheetReader.h"
#include "store/Result.h"
#include "store/Session.h"
#include "ui/Prompter.h"
#include "ui/Screens.h"

#include <QImage>
#include <QString>

class QWidget;

namespace kvx {

class Workspace;

inline const QString kTestScanTitle = QStringLiteral("Test Scan");
inline const QString kScanErrorTitle = QStringLiteral("Scan Error");
inline const QString kTwainErrorTitle = QStringLiteral("Twain Error");
inline const QString kScanCheckTitle = QStringLiteral("Check Scanned Values");

// The scanner as the scan chain sees it.
class SheetScanner
{
public:
    virtual ~SheetScanner() = default;
    virtual bool Present() = 0;
    // One page with the settings every scan uses; errors carry the imaging code.
    virtual Result<QImage> Acquire() = 0;
};

// Chooses a scanned image file; empty when the operator cancelled.
class ImagePicker
{
public:
    virtual ~ImagePicker() = default;
    virtual QString PickImage() = 0;
};

// SANE, with the device named in kvx.ini or else the first local one.
class SaneSheetScanner : public SheetScanner
{
public:
    explicit SaneSheetScanner(QString device) : device_(std::move(device)) {}
    bool Present() override;
    Result<QImage> Acquire() override;

private:
    QString device_;
};

// A file dialog that opens where the last image was chosen.
class FileDialogImagePicker : public ImagePicker
{
public:
    QString PickImage() override;
    const QString& lastFolder() const { return lastFolder_; }

private:
    QString lastFolder_;
};

// What the intake screens get from a reading, and the doubts the operator is told about: the
// lines for the client information and court history screens, and the doubtful answer items.
struct ScannedValues
{
    ScannedIntake intake;
    QString answers;
    QStringList infoDoubts;
    QStringList courtDoubts;
    QList<int> answerDoubts;
};

// Turns a reading into the screens' values. A list position past the end of its drop-down list
// reads as 0 ("N/A") and is doubtful.
ScannedValues ValuesFromReading(const SheetReading& reading, const QString& name);

// The whole scan of one answer sheet for a new client: the name, the sheet (from the scanner or
// an image file), its reading, then client information, court history and the answer grid,
// each filled with what was read. A scan that stops before the first screen changes nothing.
void ScanAnswerSheet(Session& s, Prompter& prompter, Screens& screens, SheetScanner& scanner,
                     ImagePicker& picker, const Workspace& ws);

} // namespace kvx
