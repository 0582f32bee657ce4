#pragma once

#include "store/Result.h"

#include <QImage>
#include <QString>

namespace kvx {

// The acquisition settings of our imaging layer, named and valued as the scanning procedure
// sets them: one page, colour, 8 bits, 100 dpi, a frame of 8.5 x 14 inches in twips.
struct TwainOptions
{
    int TwainMaxPages = 0;
    QString TwainAppAuthor;
    QString TwainAppFamily;
    int TwainFrameLeft = 0;
    int TwainFrameTop = 0;
    int TwainFrameWidth = 0;
    int TwainFrameHeight = 0;
    int TwainBits = 0;
    int TwainPixelType = 0; // 2: colour (RGB)
    int TwainRes = 0;
    int TwainFlags = 0;
};

inline constexpr int kTwipsPerInch = 1440;

// Fills the settings record with the values every scan uses.
void SetTwainOptions(TwainOptions& o);

// Acquires one page through SANE: the named device, else the first local one. The frame and
// resolution are clamped to what the device offers. Failures carry the nearest imaging code:
// 20082 no device, 20080 cancelled, 20081 out of memory, 20083 busy, 20084 anything else.
Result<QImage> AcquirePage(const TwainOptions& o, const QString& device);

// Whether a scan can be tried: a device is named, or SANE finds a local one.
bool ScannerPresent(const QString& device);

} // namespace kvx
