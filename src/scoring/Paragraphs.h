#pragma once

#include "scoring/ScoringTables.h"

#include <QStringList>

namespace kvx {

inline const QString kInvalidTextFileName = QStringLiteral("INVAL.TXT");
inline const QString kParagraphEnd = QStringLiteral("END");

// The lines of a text; CR LF, LF and a lone CR each end a line.
QStringList SplitLines(const QString& text);

// The paragraph under key in a paragraph file of the program folder: the lines after the
// first line equal to key, up to the first line "END". A missing file, key or "END" is an
// error naming the file and the key.
Result<QStringList> ReadParagraph(const QString& programDir, const QString& file,
                                  const QString& key);

// The lines of "INVAL.TXT" before its first "END" line (all of them when it has none).
Result<QStringList> ReadInvalidText(const QString& programDir);

// What is wrong with a paragraph file for the given keys, or with "INVAL.TXT".
QList<FileProblem> CheckParagraphFile(const QString& programDir, const QString& file,
                                      const QStringList& keys);
QList<FileProblem> CheckInvalidText(const QString& programDir);

// The six paragraph keys, given the risk range names.
QStringList ParagraphKeys(const ScoringTables& t);

} // namespace kvx
