#pragma once

#include "store/Result.h"

#include <QString>

#include <array>

namespace kvx {

namespace err {
// Numbers of the two ways an installation text file can be wrong.
inline constexpr int BadFileContents = 13; // a field that is not what it must be
inline constexpr int PastEndOfFile = 62;   // the file ends before all of its fields
} // namespace err

// Names a field in messages. The text is made only when a message needs it: reading a key
// file passes thousands of fields.
struct FieldName
{
    const char* pattern; // with %1, %2, ... for the numbers
    std::array<int, 4> n{};
    int count = 0;
    QString text() const;
};

template <typename... Ints> FieldName fieldName(const char* pattern, Ints... values)
{
    return {pattern, {static_cast<int>(values)...}, static_cast<int>(sizeof...(values))};
}

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
    Result<int> number(const FieldName& what);
    Result<QString> textField(const FieldName& what);
    // The rest of the current line as it stands, without its line end.
    Result<QString> wholeLine(const FieldName& what);
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
    Result<bool> takeDelimiter(bool allowBlank, const FieldName& what);
    Error shortFile(const FieldName& what);
    Error bad(const QString& message) const;

    QString s_;
    qsizetype pos_ = 0;
    int curLine_ = 1;
    int fieldLine_ = 1;
    bool lastEndedLine_ = true;
};

} // namespace kvx
