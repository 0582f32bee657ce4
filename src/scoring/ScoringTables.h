#pragma once

#include "scoring/FieldReader.h"
#include "store/Result.h"

#include <QList>
#include <QString>

#include <array>
#include <vector>

namespace kvx {

inline const QString kScoringKeyFileName = QStringLiteral("KVXB2.TXT");
inline const QString kReportTextFileName = QStringLiteral("KVXRPT.TXT");

inline constexpr int kScaleCount = 6;
inline constexpr int kSigItemCount = 40; // significant items of the key file
inline constexpr int kSigTextCount = 50; // their texts, then the treatment needs
inline constexpr int kInterviewTextCount = 40;
inline constexpr int kFloorItemCount = 57;
inline constexpr int kStressBoundCount = 52;
inline constexpr int kStressBracketCount = 51;
inline constexpr int kMaxNormLength = 95;
inline constexpr int kMaxScaleItems = 40;
inline constexpr int kTruthBands = 9;

// One thing wrong with an installation file. line 0: no line applies.
struct FileProblem
{
    QString file;
    int line = 0;
    QString message;
    // A fatal problem stops scoring; the others (norms that fall, bounds out of order) only
    // show up when the installation is checked.
    bool fatal = true;
    int code = err::BadFileContents; // the error number a fatal problem is reported with

    QString text() const; // "FILE:LINE: message", or "FILE: message" without a line
};

// The scoring key, norms and report texts of an installation. Indexes follow the numbering
// of the key file: scales 1..6, items 1..155, race group 1..3, sex 1..2; index 0 is unused.
struct ScoringTables
{
    std::array<QString, kScaleCount + 1> ScaleName;
    std::array<QString, kScaleCount + 1> ParagraphFile; // file name in the program folder

    std::array<int, kSigItemCount + 1> SigItemNo{};
    std::array<std::array<QString, 5>, 6> PointKey; // [block 1..5][answer code 0..4]
    // Norm[scale 1..5][race group][sex]: percentiles of raw scores 1..NormLength.
    std::array<std::array<std::array<std::vector<int>, 3>, 4>, 6> Norm;
    std::array<int, kStressBoundCount + 1> StressBound{};
    // StressNorm[sex][race group][bracket 1..51]
    std::array<std::array<std::array<int, kStressBracketCount + 1>, 4>, 3> StressNorm{};
    std::array<std::vector<int>, kScaleCount + 1> ScaleItems; // scale 6: items 95..134
    std::array<int, kFloorItemCount + 1> FloorItemNo{};
    std::array<std::array<int, kTruthBands + 1>, kScaleCount + 1> TruthAdjust{}; // [2..6][1..9]

    std::array<QString, 5> RangeName;                   // risk ranges 1..4
    std::array<QString, kSigTextCount + 1> SigItemText; // 1..40 items, 41..50 needs
    std::array<QString, kInterviewTextCount + 1> InterviewText;

    ScoringTables(); // scale names, paragraph files and the fixed stress coping items

    int NormLength(int scale, int race, int sex) const
    {
        return static_cast<int>(Norm[scale][race][sex].size());
    }
};

// Readers of the two files' text (already decoded). They stop at the first field that
// cannot be read and list what they found in problems.
void ReadScoringKey(const QString& text, const QString& fileName, ScoringTables& t,
                    QList<FileProblem>& problems);
void ReadReportText(const QString& text, const QString& fileName, ScoringTables& t,
                    QList<FileProblem>& problems);

// Reads "KVXB2.TXT" and "KVXRPT.TXT" from the program folder afresh. Every problem of both
// files is listed in problems (when given); any fatal one makes the result an error that
// names its file.
Result<ScoringTables> LoadScoringTables(const QString& programDir,
                                        QList<FileProblem>* problems = nullptr);

// The largest key, report text or paragraph file that is read; real ones are a few kilobytes.
inline constexpr qint64 kMaxInstallationFileBytes = 1 << 20;

// An installation file read whole and decoded from Windows-1252; the name is matched
// without regard to case. Only a regular file of at most kMaxInstallationFileBytes is read.
Result<QString> ReadInstallationFile(const QString& programDir, const QString& name);

} // namespace kvx
