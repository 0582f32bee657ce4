#include "scan/ScanImage.h"

#include "scan/ScanSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

#include <array>
#include <cmath>

namespace kvx {
namespace {

constexpr int kContrast = 800;
constexpr int kLastWhiteLevel = 75;

// For each max(R, G, B): White or Black once prepared.
const std::array<std::uint8_t, 256>& preparedLevelTable()
{
    static const std::array<std::uint8_t, 256> table = [] {
        std::array<std::uint8_t, 256> t{};
        for (int m = 0; m < 256; ++m)
            t[static_cast<size_t>(m)] = TurnsBlack(255 - m) ? ScanImage::Black : ScanImage::White;
        return t;
    }();
    return table;
}

Error imagingError(int code, const QString& detail)
{
    return Error{code, LeadErrorText(code) + QStringLiteral(": ") + detail};
}

} // namespace

ScanImage::ScanImage(int width, int height, std::uint8_t fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      px_(static_cast<size_t>(width_) * static_cast<size_t>(height_), fill)
{}

int ContrastLevel(int blackLevel)
{
    const double stretched = 128.0 + (blackLevel - 128) * (1.0 + kContrast / 1000.0);
    return std::clamp(static_cast<int>(std::lround(stretched)), 0, 255);
}

bool TurnsBlack(int blackLevel)
{
    return ContrastLevel(blackLevel) > kLastWhiteLevel;
}

ScanImage PrepareScanImage(const QImage& acquired)
{
    if (acquired.isNull())
        return ScanImage();
    const QImage rgb =
        acquired.format() == QImage::Format_RGB32 || acquired.format() == QImage::Format_ARGB32
            ? acquired
            : acquired.convertToFormat(QImage::Format_RGB32);
    const auto& table = preparedLevelTable();
    ScanImage out(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = src[x];
            const int m = std::max(qRed(c), std::max(qGreen(c), qBlue(c)));
            dst[x] = table[static_cast<size_t>(m)];
        }
    }
    return out;
}

Result<QImage> LoadScanImageFile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return imagingError(err::ImgFileNotFound, QDir::toNativeSeparators(path));
    QImageReader reader(path);
    static const QList<QByteArray> accepted = {"bmp", "png", "jpeg", "jpg", "tiff", "tif"};
    if (!accepted.contains(reader.format().toLower()))
        return imagingError(err::ImgInvalidFormat, QDir::toNativeSeparators(path));
    QImage img = reader.read();
    if (img.isNull())
        return imagingError(err::ImgReadingFile, QDir::toNativeSeparators(path) +
                                                     QStringLiteral(" (") + reader.errorString() +
                                                     u')');
    return img;
}

Status SaveRawImage(const QImage& acquired, const QString& programDir)
{
    const QString path = QDir(programDir).filePath(kRawImageFileName);
    if (acquired.isNull())
        return imagingError(err::ImgWritingFile, QDir::toNativeSeparators(path));
    QImage indexed = acquired.convertToFormat(QImage::Format_Indexed8);
    // A short colour table would make the writer drop to 4 or 1 bits per pixel.
    if (indexed.colorCount() < 256)
        indexed.setColorCount(256);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !indexed.save(&file, "BMP") || !file.commit())
        return imagingError(err::ImgWritingFile, QDir::toNativeSeparators(path) +
                                                     QStringLiteral(" (") + file.errorString() +
                                                     u')');
    return {};
}

} // namespace kvx
