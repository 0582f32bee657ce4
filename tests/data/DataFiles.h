#pragma once

#include "common/TestSupport.h"
#include "store/Cp1252.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace kvx::test {

inline QString sourceDataDir()
{
    return qEnvironmentVariable("KVX_SOURCE_DIR") + QStringLiteral("/data");
}

inline QString sourceData(const QString& name)
{
    return sourceDataDir() + u'/' + name;
}

inline QString builtDatabase()
{
    return qEnvironmentVariable("KVX_BUILD_DIR") + QStringLiteral("/data/KVX_32.db");
}

// The lines of an installation text file; every line must end with CR LF.
inline QStringList crlfLines(const QString& path)
{
    const QByteArray bytes = readBytes(path);
    EXPECT_FALSE(bytes.isEmpty()) << str(path);
    EXPECT_TRUE(bytes.endsWith("\r\n")) << str(path);
    QStringList lines = cp1252::decode(bytes).split(QStringLiteral("\r\n"));
    lines.removeLast();
    for (const QString& l : lines)
        EXPECT_FALSE(l.contains(u'\n') || l.contains(u'\r')) << str(path) << ": " << str(l);
    return lines;
}

// Reads delimited fields as the program does: a number ends at a comma, a blank or a line
// end; a text ends at a comma or a line end, is trimmed and may stand in double quotes.
class FieldReader
{
public:
    explicit FieldReader(QString text) : s_(std::move(text)) {}

    bool number(int* out)
    {
        skipSpace();
        const qsizetype start = i_;
        while (i_ < s_.size() && !QStringView(u", \t\r\n").contains(s_[i_]))
            ++i_;
        bool ok = false;
        const int v = QStringView(s_).mid(start, i_ - start).toInt(&ok);
        endField();
        if (!ok || v < -32768 || v > 32767)
            return false;
        *out = v;
        return true;
    }

    QString text()
    {
        skipSpace();
        QString v;
        if (i_ < s_.size() && s_[i_] == u'"') {
            const qsizetype end = s_.indexOf(u'"', i_ + 1);
            if (end < 0)
                return {};
            v = s_.mid(i_ + 1, end - i_ - 1);
            i_ = end + 1;
        } else {
            const qsizetype start = i_;
            while (i_ < s_.size() && !QStringView(u",\r\n").contains(s_[i_]))
                ++i_;
            v = s_.mid(start, i_ - start).trimmed();
        }
        endField();
        return v;
    }

    // Whole lines, after the fields read so far.
    QString line()
    {
        const qsizetype end = s_.indexOf(QStringLiteral("\r\n"), i_);
        const QString v = s_.mid(i_, end < 0 ? -1 : end - i_);
        i_ = end < 0 ? s_.size() : end + 2;
        return v;
    }

    bool atEnd()
    {
        skipSpace();
        return i_ >= s_.size();
    }

private:
    void skipSpace()
    {
        while (i_ < s_.size() && QStringView(u" \t\r\n").contains(s_[i_]))
            ++i_;
    }
    void endField()
    {
        while (i_ < s_.size() && (s_[i_] == u' ' || s_[i_] == u'\t'))
            ++i_;
        if (i_ < s_.size() && s_[i_] == u',')
            ++i_;
        else if (QStringView(s_).mid(i_).startsWith(u"\r\n"))
            i_ += 2;
    }

    QString s_;
    qsizetype i_ = 0;
};

} // namespace kvx::test
