#pragma once

#include "store/Result.h"

#include <QString>

namespace kvx {

namespace err {
// Numbers of the two ways an installation text file can be wrong.
inline constexpr int BadFileContents = 13; // a field that is not what it must be
inline constexpr int PastEndOfFile = 62;   // the file ends before all of its fields
} // namespace err

// Reads an installation text file as delimited fields, then as whole lines.
//   - Before a field, blanks and line ends are skipped.
//   - A number field ends at a comma, a blank or a line end and must fit in 16 bits.
//   - A text field ends at a comma or a line end and is trimmed; in double quotes it may
//     hold commas.
// CR LF, LF and a lone CR all end a line. Errors carry the line the field stands on.
class FieldReader
{
public:
    explicit FieldReader(QString text) : s_(std::move(text)) {}

    // what names the field in the error ("significant item 3 of 40").
    Result<int> number(const QString& what);
    Result<QString> textField(const QString& what);
    // The rest of the current line as it stands, without its line end.
    Result<QString> wholeLine(const QString& what);
    // Moves past the line end of the line that ended the last field.
    void finishLine();

    // Line (from 1) on which the last field read started, or where reading stopped.
    int line() const { return fieldLine_; }

private:
    bool atEnd() const { return pos_ >= s_.size(); }
    QChar peek() const { return s_[pos_]; }
    static bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
    static bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }
    void skipBlanksAndLineEnds();
    void skipBlanks();
    void takeLineEnd();
    // After a field: consumes the comma or line end that ends it.
    Result<bool> takeDelimiter(bool allowBlank, const QString& what);
    Error shortFile(const QString& what);
    Error bad(const QString& message) const;

    QString s_;
    qsizetype pos_ = 0;
    int curLine_ = 1;
    int fieldLine_ = 1;
    bool lastEndedLine_ = true;
};

} // namespace kvx
