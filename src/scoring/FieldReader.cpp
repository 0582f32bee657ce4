#include "scoring/FieldReader.h"

#include <algorithm>

namespace kvx {

QString FieldName::text() const
{
    QString s = QString::fromLatin1(pattern);
    for (int i = 0; i < count; ++i)
        s = s.arg(n[static_cast<size_t>(i)]);
    return s;
}

void FieldReader::skipBlanks()
{
    while (!atEnd() && isBlank(peek()))
        ++pos_;
}

void FieldReader::takeLineEnd()
{
    if (atEnd())
        return;
    if (peek() == u'\r') {
        ++pos_;
        if (!atEnd() && peek() == u'\n')
            ++pos_;
    } else if (peek() == u'\n') {
        ++pos_;
    } else {
        return;
    }
    ++curLine_;
}

void FieldReader::skipBlanksAndLineEnds()
{
    for (;;) {
        skipBlanks();
        if (atEnd() || !isLineEnd(peek()))
            return;
        takeLineEnd();
    }
}

Error FieldReader::shortFile(const FieldName& what)
{
    // Point at the file's last line, not at the empty one after its final line end.
    if (!s_.isEmpty() && isLineEnd(s_.back()) && curLine_ > 1)
        fieldLine_ = curLine_ - 1;
    return {err::PastEndOfFile, QStringLiteral("the file ends before %1").arg(what.text())};
}

Error FieldReader::bad(const QString& message) const
{
    return {err::BadFileContents, message};
}

Result<bool> FieldReader::takeDelimiter(bool allowBlank, const FieldName& what)
{
    if (allowBlank)
        skipBlanks();
    if (atEnd()) {
        lastEndedLine_ = true;
    } else if (peek() == u',') {
        ++pos_;
        lastEndedLine_ = false;
    } else if (isLineEnd(peek())) {
        takeLineEnd();
        lastEndedLine_ = true;
    } else if (allowBlank && pos_ > 0 && isBlank(s_[pos_ - 1])) {
        // "1 2": the blank alone ended the number.
        lastEndedLine_ = false;
    } else {
        return bad(QStringLiteral("unexpected text after %1").arg(what.text()));
    }
    return true;
}

Result<int> FieldReader::number(const FieldName& what)
{
    skipBlanksAndLineEnds();
    fieldLine_ = curLine_;
    if (atEnd())
        return shortFile(what);
    const qsizetype start = pos_;
    while (!atEnd() && peek() != u',' && !isBlank(peek()) && !isLineEnd(peek()))
        ++pos_;
    const QStringView token = QStringView(s_).mid(start, pos_ - start);
    if (token.isEmpty())
        return bad(QStringLiteral("%1 is empty").arg(what.text()));
    bool ok = false;
    const int value = token.toInt(&ok);
    // toInt takes a leading "+" and "-"; anything else but digits is refused. Leading zeros
    // are allowed however many there are.
    const QStringView digits = token.mid(token[0] == u'+' || token[0] == u'-' ? 1 : 0);
    const bool decimal = !digits.isEmpty() && std::ranges::all_of(digits, [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    if (!ok && !decimal)
        return bad(QStringLiteral("%1 is not a number: \"%2\"").arg(what.text(), token.left(20)));
    if (!ok || value < -32768 || value > 32767)
        return bad(
            QStringLiteral("%1 does not fit in 16 bits: %2").arg(what.text(), token.left(20)));
    if (const Result<bool> d = takeDelimiter(true, what); !d)
        return d.error();
    return value;
}

Result<QString> FieldReader::textField(const FieldName& what)
{
    skipBlanksAndLineEnds();
    fieldLine_ = curLine_;
    if (atEnd())
        return shortFile(what);
    QString value;
    if (peek() == u'"') {
        const qsizetype close = s_.indexOf(u'"', pos_ + 1);
        const qsizetype lineEnd = [&] {
            for (qsizetype i = pos_ + 1; i < s_.size(); ++i)
                if (isLineEnd(s_[i]))
                    return i;
            return s_.size();
        }();
        if (close < 0 || close > lineEnd)
            return bad(QStringLiteral("%1 has no closing quotation mark").arg(what.text()));
        value = s_.mid(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
        if (const Result<bool> d = takeDelimiter(true, what); !d)
            return d.error();
        if (!lastEndedLine_ && pos_ > 0 && s_[pos_ - 1] != u',')
            return bad(QStringLiteral("unexpected text after %1").arg(what.text()));
        return value;
    }
    const qsizetype start = pos_;
    while (!atEnd() && peek() != u',' && !isLineEnd(peek()))
        ++pos_;
    value = s_.mid(start, pos_ - start).trimmed();
    if (const Result<bool> d = takeDelimiter(false, what); !d)
        return d.error();
    return value;
}

Result<QString> FieldReader::wholeLine(const FieldName& what)
{
    fieldLine_ = curLine_;
    if (atEnd())
        return shortFile(what);
    const qsizetype start = pos_;
    while (!atEnd() && !isLineEnd(peek()))
        ++pos_;
    QString line = s_.mid(start, pos_ - start);
    takeLineEnd();
    lastEndedLine_ = true;
    return line;
}

void FieldReader::finishLine()
{
    if (lastEndedLine_)
        return;
    while (!atEnd() && !isLineEnd(peek()))
        ++pos_;
    takeLineEnd();
    lastEndedLine_ = true;
}

} // namespace kvx
