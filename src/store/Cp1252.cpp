#include "store/Cp1252.h"

#include <array>

namespace kvx::cp1252 {
namespace {

// Bytes 0x80 to 0x9F; the others equal their Latin-1 code points.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int byteFor(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[static_cast<size_t>(i)] == u)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QString decode(QByteArrayView bytes)
{
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* d = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(char16_t(b));
    }
    return s;
}

bool encode(QStringView text, QByteArray* out)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteFor(text[i].unicode());
        if (b < 0)
            return false;
        bytes[i] = static_cast<char>(b);
    }
    *out = std::move(bytes);
    return true;
}

bool canEncode(QChar c)
{
    return byteFor(c.unicode()) >= 0;
}

QChar firstUnencodable(QStringView text)
{
    for (QChar c : text) {
        if (!canEncode(c))
            return c;
    }
    return {};
}

bool isTextChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
        return false;
    return canEncode(c);
}

QChar firstNonText(QStringView text)
{
    for (QChar c : text) {
        if (!isTextChar(c))
            return c;
    }
    return {};
}

QString shownText(QStringView text)
{
    QString s = text.toString();
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            c = u' ';
    }
    return s;
}

} // namespace kvx::cp1252
