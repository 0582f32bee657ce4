#pragma once

#include "store/Result.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kvx {

inline const QString kRawImageFileName = QStringLiteral("raw.bmp");

// A prepared scan: one byte per pixel, 255 pure white and 0 pure black, read through a
// movable origin. Anything outside the image reads as dark.
class ScanImage
{
public:
    static constexpr std::uint8_t White = 255;
    static constexpr std::uint8_t Black = 0;

    ScanImage() = default;
    ScanImage(int width, int height, std::uint8_t fill = White);

    int width() const { return width_; }
    int height() const { return height_; }

    // Moves the reading origin: from now on (x, y) means image pixel (ox + x, oy + y).
    void setOrigin(int ox, int oy)
    {
        ox_ = ox;
        oy_ = oy;
    }
    int originX() const { return ox_; }
    int originY() const { return oy_; }

    // The level at (x, y) under the origin; black outside the image.
    std::uint8_t level(int x, int y) const
    {
        x += ox_;
        y += oy_;
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return Black;
        return px_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    }
    bool isWhite(int x, int y) const { return level(x, y) == White; }

    // Direct access in image coordinates (the origin does not apply).
    std::uint8_t* row(int y) { return px_.data() + static_cast<size_t>(y) * width_; }
    const std::uint8_t* row(int y) const
    {
        return px_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
    }

private:
    int width_ = 0;
    int height_ = 0;
    int ox_ = 0;
    int oy_ = 0;
    std::vector<std::uint8_t> px_;
};

// The black level a colour contributes to the black plane: 255 - max(R, G, B).
inline int BlackLevel(int r, int g, int b)
{
    return 255 - std::max(r, std::max(g, b));
}

// Contrast 800 on our scale: the black level is stretched about 128 by 1 + 800/1000, clipped.
int ContrastLevel(int blackLevel);

// True when a black level ends up black after the contrast and the intensity table
// (stretched levels 0-75 white, 76-255 black).
bool TurnsBlack(int blackLevel);

// Separates the black plane of the acquired colour image, applies the contrast and the
// intensity table: every pixel becomes pure white or pure black.
ScanImage PrepareScanImage(const QImage& acquired);

// The largest image file taken (an uncompressed legal-size sheet at 600 dpi in 32-bit colour
// is 171 MB) and the largest image (9 x 15 inches at 600 dpi: a legal sheet with room around).
inline constexpr qint64 kMaxImageFileBytes = 256LL * 1024 * 1024;
inline constexpr int kMaxImageWidth = 5400;
inline constexpr int kMaxImageHeight = 9000;

// The grey plane of an acquired image: max(R, G, B) per pixel, 255 for white; the black level
// of a pixel is 255 minus it.
ScanImage WhitePlane(const QImage& acquired);

// An image's resolution in dots per inch: its metadata when that lies within 95 to 630 dpi and
// makes the image 6 to 10 inches wide, otherwise its width against the legal page's 8.5 inches.
double ImageDpi(const QImage& image);

// The plane brought to 100 dpi by area averaging: each new pixel is the mean of the area of the
// old image it covers. A plane within 95 to 105 dpi is returned as it is.
ScanImage AverageTo100Dpi(const ScanImage& plane, double dpi);

// What preparing a sheet saw: the resolution it came in at and the grey levels of its paper
// (90th percentile of the page) and of the ink inside the anchor box.
struct SheetLevels
{
    double dpi = 100;
    int paper = 255;
    int ink = 0;
    bool stretched = false;
};

// Paper darker than 90 % white or ink lighter than 90 % black stretch the grey plane so that
// the paper becomes white and the ink black before the sheet is prepared again.
inline constexpr int kPaperStretchBelow = 230;
inline constexpr int kInkStretchAbove = 25;

// A sheet as the readers want it: at 100 dpi, its levels stretched when its paper is grey or its
// ink light, then made pure black and white by the preparation above. A clean 100-dpi sheet on
// white paper comes out exactly as PrepareScanImage makes it.
ScanImage PrepareSheetImage(const QImage& acquired, SheetLevels* levels = nullptr);

// An image file (BMP, PNG, JPEG, TIFF; the first page of a multi-page TIFF) taken in place of
// a scan. Only a regular file is opened. Errors carry the imaging codes: 20010 file not found,
// 20009 invalid file format, 20011 invalid width/height, 20007 error reading file, also for an
// image that does not decode completely ("The scanned image is damaged or incomplete: FILE").
// A JPEG of more than 100 dpi is decoded at a smaller size, though never below 100 dpi;
// its resolution is then set to match.
Result<QImage> LoadScanImageFile(const QString& path);

// The same for the bytes of a file; shownName stands for the file in messages.
Result<QImage> DecodeScanImage(const QByteArray& bytes, const QString& shownName);

// Saves the acquired image, unprepared, as "raw.bmp" (8 bits per pixel) in programDir,
// replacing the previous one only once the new one is complete.
Status SaveRawImage(const QImage& acquired, const QString& programDir);

} // namespace kvx
