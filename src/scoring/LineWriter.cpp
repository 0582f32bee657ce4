#include "scoring/LineWriter.h"

namespace kvx {

LineWriter& LineWriter::spc(int n)
{
    if (n > 0)
        line_.append(QString(n, u' '));
    return *this;
}

LineWriter& LineWriter::tab(int n)
{
    if (column() > n)
        end();
    return spc(n - column());
}

LineWriter& LineWriter::text(QStringView s)
{
    line_.append(s);
    return *this;
}

LineWriter& LineWriter::number(int n)
{
    if (n >= 0)
        line_.append(u' ');
    line_.append(QString::number(n));
    line_.append(u' ');
    return *this;
}

void LineWriter::end()
{
    out_.append(line_);
    out_.append(QStringLiteral("\r\n"));
    line_.clear();
}

void LineWriter::formFeedLine()
{
    text(u"\f");
    end();
}

} // namespace kvx
