#include "scan/ScanImage.h"

#include "scan/ScanSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

#include <array>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

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

namespace {

// A legal-size colour sheet at 600 dpi needs more than Qt's default allocation limit.
constexpr int kAllocationLimitMB = 512;
// Resolutions a sheet may be scanned at; outside them the image's metadata is not believed.
constexpr double kLowestDpi = 95.0;
constexpr double kHighestDpi = 630.0;
constexpr double kSheetWidthInches = 8.5;

Error damagedImage(const QString& shown)
{
    return Error{err::ImgReadingFile,
                 QStringLiteral("The scanned image is damaged or incomplete: ") + shown};
}

quint32 le32(const QByteArray& b, int at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 |
           quint32(uchar(b[at + 2])) << 16 | quint32(uchar(b[at + 3])) << 24;
}

quint16 le16(const QByteArray& b, int at)
{
    return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8);
}

// Qt fills the rows a short BMP lacks with whatever memory held: the header's sizes are checked
// against the file's length first.
bool bmpComplete(const QByteArray& b)
{
    if (b.size() < 30)
        return false;
    const qint64 offBits = le32(b, 10);
    const quint32 infoSize = le32(b, 14);
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
    quint32 compression = 0;
    qint64 imageSize = 0;
    if (infoSize == 12) {
        width = le16(b, 18);
        height = le16(b, 20);
        bits = le16(b, 24);
    } else if (infoSize >= 40 && b.size() >= 38) {
        width = qint32(le32(b, 18));
        height = qint32(le32(b, 22));
        bits = le16(b, 28);
        compression = le32(b, 30);
        imageSize = le32(b, 34);
    } else {
        return false;
    }
    if (width <= 0 || height == 0 || bits <= 0 || bits > 32)
        return false;
    switch (compression) {
    case 0: // uncompressed
    case 3: // bit fields
    case 6: {
        const qint64 stride = (width * bits + 31) / 32 * 4;
        return offBits + stride * std::abs(height) <= b.size();
    }
    case 1: // run-length coded: only the stated data size can be checked
    case 2:
        return imageSize > 0 && offBits + imageSize <= b.size();
    default:
        return false;
    }
}

// libjpeg reports a short or corrupt stream as a warning and fills in the rest: those warnings
// refuse the image, harmless ones (an odd marker, an unknown revision) do not.
struct JpegErrors
{
    jpeg_error_mgr mgr{};
    std::jmp_buf jump{};
    int damage = 0;
};

[[noreturn]] void jpegFail(j_common_ptr c)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(c->err)->jump, 1);
}

void jpegMessage(j_common_ptr c, int level)
{
    if (level >= 0)
        return;
    switch (c->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_TOO_MUCH_DATA:
        ++reinterpret_cast<JpegErrors*>(c->err)->damage;
        break;
    default:
        break;
    }
}

double jpegDpi(const jpeg_decompress_struct& info)
{
    double dpi = 0;
    if (info.saw_JFIF_marker && info.density_unit == 1)
        dpi = info.X_density;
    else if (info.saw_JFIF_marker && info.density_unit == 2)
        dpi = info.X_density * 2.54;
    const double inches = dpi > 0 ? info.image_width / dpi : 0;
    if (dpi < kLowestDpi || dpi > kHighestDpi || inches < 6.0 || inches > 10.0)
        dpi = info.image_width / kSheetWidthInches;
    return dpi;
}

// The setjmp frame holds no object with a destructor; the image is filled through a pointer.
bool decodeJpegInto(const QByteArray& bytes, QImage* out, int* damage, Error* error,
                    const QString& shown)
{
    jpeg_decompress_struct info{};
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.mgr);
    errors.mgr.error_exit = jpegFail;
    errors.mgr.emit_message = jpegMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        *error = damagedImage(shown);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > unsigned(kMaxImageWidth) ||
        info.image_height > unsigned(kMaxImageHeight)) {
        jpeg_destroy_decompress(&info);
        *error = imagingError(err::ImgInvalidSize, shown);
        return false;
    }
    const bool grey = info.num_components == 1;
    if (!grey && info.jpeg_color_space != JCS_YCbCr && info.jpeg_color_space != JCS_RGB) {
        jpeg_destroy_decompress(&info);
        *error = imagingError(err::ImgSubtypeUnsupported, shown);
        return false;
    }
    info.out_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGRX;
    // Decoded at the smallest eighth that keeps 100 dpi: far less work for a fine scan.
    const double dpi = jpegDpi(info);
    info.scale_denom = 8;
    info.scale_num = 8;
    while (info.scale_num > 1 && dpi * (info.scale_num - 1) / 8.0 >= 100.0)
        --info.scale_num;
    jpeg_start_decompress(&info);
    *out = QImage(int(info.output_width), int(info.output_height),
                  grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (out->isNull()) {
        jpeg_destroy_decompress(&info);
        *error = imagingError(err::ImgOutOfMemory, shown);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    const double outDpi = dpi * info.scale_num / 8.0;
    out->setDotsPerMeterX(int(std::lround(outDpi / 0.0254)));
    out->setDotsPerMeterY(int(std::lround(outDpi / 0.0254)));
    *damage = errors.damage;
    jpeg_destroy_decompress(&info);
    return true;
}

Result<QByteArray> readRegularFile(const QString& path, qint64 limit)
{
    const QString shown = QDir::toNativeSeparators(path);
    // Checked before opening: opening a FIFO would wait for a writer.
    const QFileInfo info(path);
    if (!info.exists())
        return imagingError(err::ImgFileNotFound, shown);
    if (!info.isFile())
        return imagingError(err::ImgReadingFile, shown + QStringLiteral(" (not a file)"));
    const QByteArray local = QFile::encodeName(path);
    const int fd = ::open(local.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT
                   ? imagingError(err::ImgFileNotFound, shown)
                   : imagingError(err::ImgReadingFile,
                                  shown + QStringLiteral(" (") +
                                      QString::fromLocal8Bit(std::strerror(errno)) + u')');
    struct stat st
    {
    };
    QByteArray bytes;
    Error failure;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        failure = imagingError(err::ImgReadingFile, shown + QStringLiteral(" (not a file)"));
    } else if (st.st_size > limit) {
        failure = imagingError(err::ImgReadingFile,
                               shown + QStringLiteral(" (larger than %1 MB)").arg(limit >> 20));
    } else {
        bytes.resize(qsizetype(st.st_size));
        qsizetype got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        if (got != bytes.size())
            failure = damagedImage(shown);
    }
    ::close(fd);
    if (failure.code != 0)
        return failure;
    return bytes;
}

} // namespace

Result<QImage> DecodeScanImage(const QByteArray& bytes, const QString& shown)
{
    // Known by their first bytes: asking Qt to guess would look through every image plugin.
    QByteArray format;
    if (bytes.startsWith("BM"))
        format = "bmp";
    else if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        format = "png";
    else if (bytes.startsWith("\xff\xd8\xff"))
        format = "jpeg";
    else if (bytes.startsWith(QByteArray("II*\0", 4)) || bytes.startsWith(QByteArray("MM\0*", 4)))
        format = "tiff";
    else
        return imagingError(err::ImgInvalidFormat, shown);
    if (format == "jpeg") {
        QImage img;
        int damage = 0;
        Error error;
        if (!decodeJpegInto(bytes, &img, &damage, &error, shown))
            return error;
        if (damage > 0)
            return damagedImage(shown);
        return img;
    }
    QImageReader::setAllocationLimit(kAllocationLimitMB);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (size.width() > kMaxImageWidth || size.height() > kMaxImageHeight)
        return imagingError(err::ImgInvalidSize, shown);
    if (format == "bmp" && !bmpComplete(bytes))
        return damagedImage(shown);
    QImage img = reader.read();
    if (img.isNull())
        return damagedImage(shown);
    return img;
}

namespace {

// The grey plane and, when asked, the plain preparation of it in the same pass.
ScanImage planeOf(const QImage& acquired, ScanImage* prepared)
{
    if (acquired.isNull())
        return ScanImage();
    const int width = acquired.width();
    const int height = acquired.height();
    const auto& table = preparedLevelTable();
    ScanImage out(width, height);
    if (prepared)
        *prepared = ScanImage(width, height);
    const bool grey = acquired.format() == QImage::Format_Grayscale8;
    const QImage rgb = grey || acquired.format() == QImage::Format_RGB32 ||
                               acquired.format() == QImage::Format_ARGB32
                           ? acquired
                           : acquired.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = rgb.constScanLine(y);
        std::uint8_t* dst = out.row(y);
        if (grey) {
            std::memcpy(dst, src, size_t(width));
        } else {
            // Blue, green, red, unused in memory on every platform we build for.
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = src + 4 * x;
                dst[x] = std::max(p[0], std::max(p[1], p[2]));
            }
        }
        if (prepared) {
            std::uint8_t* bw = prepared->row(y);
            for (int x = 0; x < width; ++x)
                bw[x] = table[dst[x]];
        }
    }
    return out;
}

} // namespace

ScanImage WhitePlane(const QImage& acquired)
{
    return planeOf(acquired, nullptr);
}

double ImageDpi(const QImage& image)
{
    // Images without metadata come with a default (72 or 96 dpi); a stated resolution is
    // believed only when it makes the image about a sheet's width.
    const double dpi = image.dotsPerMeterX() * 0.0254;
    const double inches = dpi > 0 ? image.width() / dpi : 0;
    if (dpi >= kLowestDpi && dpi <= kHighestDpi && inches >= 6.0 && inches <= 10.0)
        return dpi;
    return image.width() / kSheetWidthInches;
}

namespace {

// For one axis: which old pixels each new one covers, and how much of each (a new pixel covers
// at most 8 old ones up to 630 dpi).
constexpr int kMaxSpan = 8;

struct Spans
{
    std::vector<int> first;
    std::vector<int> count;
    std::vector<float> weight; // kMaxSpan per new pixel
    std::vector<float> total;
};

Spans spans(int oldSize, int newSize, double factor)
{
    Spans s;
    s.first.resize(static_cast<size_t>(newSize));
    s.count.resize(static_cast<size_t>(newSize));
    s.weight.assign(static_cast<size_t>(newSize) * kMaxSpan, 0.0f);
    s.total.resize(static_cast<size_t>(newSize));
    for (int i = 0; i < newSize; ++i) {
        const double from = std::min(i * factor, double(oldSize - 1));
        const double to = std::min((i + 1) * factor, double(oldSize));
        const size_t at = static_cast<size_t>(i);
        s.first[at] = int(from);
        int n = 0;
        float total = 0;
        for (int k = s.first[at]; k < to && n < kMaxSpan; ++k, ++n) {
            const float w = float(std::min(to, k + 1.0) - std::max(from, double(k)));
            s.weight[at * kMaxSpan + static_cast<size_t>(n)] = w;
            total += w;
        }
        s.count[at] = n;
        s.total[at] = total;
    }
    return s;
}

bool nearHundred(double dpi)
{
    return dpi >= kLowestDpi && dpi <= 105.0;
}

} // namespace

ScanImage AverageTo100Dpi(const ScanImage& plane, double dpi)
{
    if (nearHundred(dpi) || dpi < 1.0 || dpi > 1000.0 || plane.width() == 0)
        return plane;
    const double factor = dpi / 100.0;
    const int oldWidth = plane.width();
    const int w = std::max(1, int(std::lround(oldWidth / factor)));
    const int h = std::max(1, int(std::lround(plane.height() / factor)));
    const Spans across = spans(oldWidth, w, factor);
    const Spans down = spans(plane.height(), h, factor);
    ScanImage out(w, h);
    // Rows first, a whole old row at a time, then across the one summed row.
    std::vector<float> sum(static_cast<size_t>(oldWidth));
    for (int y = 0; y < h; ++y) {
        const size_t at = static_cast<size_t>(y);
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (int k = 0; k < down.count[at]; ++k) {
            const float weight = down.weight[at * kMaxSpan + static_cast<size_t>(k)];
            const std::uint8_t* src = plane.row(down.first[at] + k);
            float* acc = sum.data();
            for (int x = 0; x < oldWidth; ++x)
                acc[x] += weight * float(src[x]);
        }
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < w; ++x) {
            const size_t ax = static_cast<size_t>(x);
            const float* acc = sum.data() + across.first[ax];
            const float* weight = across.weight.data() + ax * kMaxSpan;
            float v = 0;
            for (int k = 0; k < across.count[ax]; ++k)
                v += weight[k] * acc[k];
            v /= down.total[at] * across.total[ax];
            dst[x] = std::uint8_t(std::clamp(int(v + 0.5f), 0, 255));
        }
    }
    return out;
}

namespace {

ScanImage threshold(const ScanImage& plane, const std::array<std::uint8_t, 256>* stretch)
{
    const auto& table = preparedLevelTable();
    ScanImage out(plane.width(), plane.height());
    for (int y = 0; y < plane.height(); ++y) {
        const std::uint8_t* src = plane.row(y);
        std::uint8_t* dst = out.row(y);
        if (stretch) {
            for (int x = 0; x < plane.width(); ++x)
                dst[x] = table[(*stretch)[src[x]]];
        } else {
            for (int x = 0; x < plane.width(); ++x)
                dst[x] = table[src[x]];
        }
    }
    return out;
}

// Every other pixel of every other row is plenty for a percentile, and four counts taken in
// turn keep a page of one level from waiting on a single counter.
int paperLevel(const ScanImage& plane)
{
    std::array<std::array<qint32, 256>, 4> counts{};
    qint64 total = 0;
    for (int y = 0; y < plane.height(); y += 2) {
        const std::uint8_t* row = plane.row(y);
        int x = 0;
        for (; x + 6 < plane.width(); x += 8) {
            ++counts[0][row[x]];
            ++counts[1][row[x + 2]];
            ++counts[2][row[x + 4]];
            ++counts[3][row[x + 6]];
        }
        for (; x < plane.width(); x += 2)
            ++counts[0][row[x]];
        total += (plane.width() + 1) / 2;
    }
    const qint64 wanted = total * 9 / 10;
    qint64 seen = 0;
    for (size_t v = 0; v < 256; ++v) {
        seen += qint64(counts[0][v]) + counts[1][v] + counts[2][v] + counts[3][v];
        if (seen >= wanted && seen > 0)
            return int(v);
    }
    return 255;
}

// The median level of the middle of the anchor box, whose point may lie a few pixels above and
// left of its corner.
int inkLevel(const ScanImage& plane, const ScanPoint& anchor)
{
    std::vector<std::uint8_t> levels;
    for (int y = anchor.Y + 6; y < anchor.Y + 14; ++y)
        for (int x = anchor.X + 6; x < anchor.X + 14; ++x)
            levels.push_back(plane.level(x, y));
    std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
    return levels[levels.size() / 2];
}

} // namespace

ScanImage PrepareSheetImage(const QImage& acquired, SheetLevels* levels)
{
    SheetLevels seen;
    seen.dpi = ImageDpi(acquired);
    // At 100 dpi the plain preparation comes with the grey plane; it is all a clean sheet needs.
    ScanImage plain;
    const bool atHundred = nearHundred(seen.dpi);
    const ScanImage plane =
        atHundred ? planeOf(acquired, &plain) : AverageTo100Dpi(WhitePlane(acquired), seen.dpi);
    if (plane.width() == 0) {
        if (levels)
            *levels = seen;
        return ScanImage();
    }
    auto stretchTable = [](int ink, int paper) {
        std::array<std::uint8_t, 256> t{};
        for (int v = 0; v < 256; ++v)
            t[static_cast<size_t>(v)] = std::uint8_t(
                std::clamp(int(std::lround((v - ink) * 255.0 / (paper - ink))), 0, 255));
        return t;
    };
    seen.paper = paperLevel(plane);
    // Paper dark enough to turn black would hide the anchor box: the first pass already
    // lightens it.
    const bool darkPaper = seen.paper < kPaperStretchBelow && seen.paper >= 64;
    std::array<std::uint8_t, 256> stretch = stretchTable(0, darkPaper ? seen.paper : 255);
    ScanImage prepared = darkPaper || !atHundred ? threshold(plane, darkPaper ? &stretch : nullptr)
                                                 : std::move(plain);
    ScanState st;
    if (LocateAnchorBox(st, prepared))
        seen.ink = inkLevel(plane, st.AnchorBox);
    // Too little between paper and ink is no sheet to stretch.
    if (seen.ink > kInkStretchAbove && seen.paper - seen.ink >= 64) {
        stretch = stretchTable(seen.ink, seen.paper);
        prepared = threshold(plane, &stretch);
        seen.stretched = true;
    } else {
        seen.stretched = darkPaper;
    }
    if (levels)
        *levels = seen;
    return prepared;
}

Result<QImage> LoadScanImageFile(const QString& path)
{
    Result<QByteArray> bytes = readRegularFile(path, kMaxImageFileBytes);
    if (!bytes)
        return bytes.error();
    return DecodeScanImage(*bytes, QDir::toNativeSeparators(path));
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
