#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kvx::cp1252 {

// Text on the data disk and in the installation files is Windows-1252. Every byte
// decodes to one character (the five bytes the code page leaves undefined decode to
// the C1 control of the same value), so decoding and encoding round-trip exactly.
QString decode(QByteArrayView bytes);

// Encodes text; returns false, leaving out untouched, when a character has no byte.
bool encode(QStringView text, QByteArray* out);

bool canEncode(QChar c);

// The first character of text that cannot be encoded, or a null QChar.
QChar firstUnencodable(QStringView text);

// A character a typed text may hold: one the code page has a byte for, and no control
// (C0, DEL, or the five bytes the code page leaves undefined).
bool isTextChar(QChar c);
// The first character of text that is not a text character, or a null QChar.
QChar firstNonText(QStringView text);
// Text as it is shown and printed: every control replaced by a blank. A record from an old
// disk may hold them; on one line they would break lists and reports.
QString shownText(QStringView text);

} // namespace kvx::cp1252
