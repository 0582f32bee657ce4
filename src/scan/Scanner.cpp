#include "scan/Scanner.h"

#include "scan/ScanSupport.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <QByteArray>

#include <cmath>
#include <cstring>
#include <vector>

namespace kvx {
namespace {

// A page larger than this cannot be a legal sheet at a sane resolution.
constexpr qint64 kMaxImageBytes = 256LL * 1024 * 1024;

int codeFor(SANE_Status s)
{
    switch (s) {
    case SANE_STATUS_CANCELLED:
        return err::ScanCancelled;
    case SANE_STATUS_NO_MEM:
        return err::ScanOutOfMemory;
    case SANE_STATUS_DEVICE_BUSY:
        return err::ScanDeviceBusy;
    default:
        return err::ScanDeviceError;
    }
}

Error scanError(int code, const QString& detail)
{
    return Error{code, LeadErrorText(code) + QStringLiteral(" (") + detail + u')'};
}

Error scanError(SANE_Status s, const char* step)
{
    return scanError(codeFor(s), QLatin1String(step) + QStringLiteral(": ") +
                                     QString::fromLocal8Bit(sane_strstatus(s)));
}

// sane_init/sane_exit and the open handle, released on every path.
class Session
{
public:
    Session() { status_ = sane_init(nullptr, nullptr); }
    ~Session()
    {
        if (handle_) {
            sane_cancel(handle_);
            sane_close(handle_);
        }
        if (status_ == SANE_STATUS_GOOD)
            sane_exit();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    SANE_Status initStatus() const { return status_; }
    SANE_Handle& handle() { return handle_; }

private:
    SANE_Status status_;
    SANE_Handle handle_ = nullptr;
};

int findOption(SANE_Handle h, const char* name, const SANE_Option_Descriptor** desc)
{
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (!d)
            return -1;
        if (d->name && std::strcmp(d->name, name) == 0) {
            *desc = d;
            return SANE_OPTION_IS_ACTIVE(d->cap) && SANE_OPTION_IS_SETTABLE(d->cap) ? i : -1;
        }
    }
}

// The allowed value nearest to the wish, in the option's own units (SANE_Word).
SANE_Word nearestAllowed(const SANE_Option_Descriptor* d, SANE_Word wish)
{
    if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
        const SANE_Range* r = d->constraint.range;
        SANE_Word v = std::clamp(wish, r->min, r->max);
        if (r->quant > 0)
            v = r->min + SANE_Word(std::lround(double(v - r->min) / r->quant)) * r->quant;
        return std::clamp(v, r->min, r->max);
    }
    if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list &&
        d->constraint.word_list[0] > 0) {
        const SANE_Word* list = d->constraint.word_list;
        SANE_Word best = list[1];
        for (SANE_Word i = 1; i <= list[0]; ++i) {
            if (std::llabs(qint64(list[i]) - wish) < std::llabs(qint64(best) - wish))
                best = list[i];
        }
        return best;
    }
    return wish;
}

// Sets a number option to the nearest allowed value; a device without it keeps its own.
void setNumber(SANE_Handle h, const char* name, double value)
{
    const SANE_Option_Descriptor* d = nullptr;
    const int i = findOption(h, name, &d);
    if (i < 0 || d->size != SANE_Int(sizeof(SANE_Word)))
        return;
    SANE_Word wish = 0;
    if (d->type == SANE_TYPE_FIXED)
        wish = SANE_FIX(value);
    else if (d->type == SANE_TYPE_INT)
        wish = SANE_Word(std::lround(value));
    else
        return;
    SANE_Word v = nearestAllowed(d, wish);
    sane_control_option(h, i, SANE_ACTION_SET_VALUE, &v, nullptr);
}

void setColourMode(SANE_Handle h)
{
    const SANE_Option_Descriptor* d = nullptr;
    const int i = findOption(h, SANE_NAME_SCAN_MODE, &d);
    if (i < 0 || d->type != SANE_TYPE_STRING || d->constraint_type != SANE_CONSTRAINT_STRING_LIST)
        return;
    for (const SANE_String_Const* s = d->constraint.string_list; s && *s; ++s) {
        if (std::strcmp(*s, SANE_VALUE_SCAN_MODE_COLOR) == 0) {
            std::vector<char> value(size_t(std::max(d->size, SANE_Int(std::strlen(*s) + 1))));
            std::strcpy(value.data(), *s);
            sane_control_option(h, i, SANE_ACTION_SET_VALUE, value.data(), nullptr);
            return;
        }
    }
}

// The frame in the device's unit: millimetres, or pixels at the chosen resolution.
double frameValue(SANE_Handle h, const char* name, int twips, int dpi)
{
    const SANE_Option_Descriptor* d = nullptr;
    if (findOption(h, name, &d) >= 0 && d->unit == SANE_UNIT_PIXEL)
        return double(twips) * dpi / kTwipsPerInch;
    return double(twips) * 25.4 / kTwipsPerInch;
}

void applyOptions(SANE_Handle h, const TwainOptions& o)
{
    setColourMode(h);
    setNumber(h, SANE_NAME_BIT_DEPTH, o.TwainBits);
    setNumber(h, SANE_NAME_SCAN_RESOLUTION, o.TwainRes);
    const int right = o.TwainFrameLeft + o.TwainFrameWidth;
    const int bottom = o.TwainFrameTop + o.TwainFrameHeight;
    setNumber(h, SANE_NAME_SCAN_TL_X,
              frameValue(h, SANE_NAME_SCAN_TL_X, o.TwainFrameLeft, o.TwainRes));
    setNumber(h, SANE_NAME_SCAN_TL_Y,
              frameValue(h, SANE_NAME_SCAN_TL_Y, o.TwainFrameTop, o.TwainRes));
    setNumber(h, SANE_NAME_SCAN_BR_X, frameValue(h, SANE_NAME_SCAN_BR_X, right, o.TwainRes));
    setNumber(h, SANE_NAME_SCAN_BR_Y, frameValue(h, SANE_NAME_SCAN_BR_Y, bottom, o.TwainRes));
}

// One sample of a line as 8 bits.
int sample(const SANE_Byte* line, int index, int depth)
{
    if (depth == 8)
        return line[index];
    if (depth == 16) {
        quint16 v;
        std::memcpy(&v, line + 2 * index, 2);
        return v >> 8;
    }
    // 1 bit: a set bit is black.
    return (line[index / 8] >> (7 - index % 8)) & 1 ? 0 : 255;
}

struct Frame
{
    SANE_Parameters params;
    QByteArray bytes;
};

Result<Frame> readFrame(SANE_Handle h)
{
    Frame f;
    if (SANE_Status s = sane_start(h); s != SANE_STATUS_GOOD)
        return scanError(s, "start");
    if (SANE_Status s = sane_get_parameters(h, &f.params); s != SANE_STATUS_GOOD)
        return scanError(s, "parameters");
    const SANE_Parameters& p = f.params;
    if (p.bytes_per_line <= 0 || p.pixels_per_line <= 0 ||
        (p.depth != 1 && p.depth != 8 && p.depth != 16))
        return scanError(err::ScanDeviceError, QStringLiteral("unsupported image format"));
    if (p.lines > 0) {
        if (qint64(p.lines) * p.bytes_per_line > kMaxImageBytes)
            return scanError(err::ScanOutOfMemory, QStringLiteral("image too large"));
        f.bytes.reserve(qsizetype(p.lines) * p.bytes_per_line);
    }
    std::vector<SANE_Byte> buf(64 * 1024);
    for (;;) {
        SANE_Int got = 0;
        const SANE_Status s = sane_read(h, buf.data(), SANE_Int(buf.size()), &got);
        if (s == SANE_STATUS_EOF)
            break;
        if (s != SANE_STATUS_GOOD)
            return scanError(s, "read");
        if (f.bytes.size() + got > kMaxImageBytes)
            return scanError(err::ScanOutOfMemory, QStringLiteral("image too large"));
        f.bytes.append(reinterpret_cast<const char*>(buf.data()), got);
    }
    return f;
}

Result<QImage> toImage(const std::vector<Frame>& frames)
{
    const SANE_Parameters& p0 = frames.front().params;
    const int width = p0.pixels_per_line;
    qsizetype lines = frames.front().bytes.size() / p0.bytes_per_line;
    for (const Frame& f : frames)
        lines = std::min(lines, f.bytes.size() / f.params.bytes_per_line);
    if (lines <= 0)
        return scanError(err::ScanDeviceError, QStringLiteral("no image data"));
    QImage img(width, int(lines), QImage::Format_RGB32);
    if (img.isNull())
        return scanError(err::ScanOutOfMemory, QStringLiteral("image too large"));
    img.fill(Qt::white);
    for (const Frame& f : frames) {
        const SANE_Parameters& p = f.params;
        const int w = std::min(width, p.pixels_per_line);
        for (int y = 0; y < lines; ++y) {
            const auto* line = reinterpret_cast<const SANE_Byte*>(f.bytes.constData()) +
                               qsizetype(y) * p.bytes_per_line;
            auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const QRgb c = out[x];
                switch (p.format) {
                case SANE_FRAME_GRAY: {
                    const int v = sample(line, x, p.depth);
                    out[x] = qRgb(v, v, v);
                    break;
                }
                case SANE_FRAME_RGB:
                    out[x] = qRgb(sample(line, 3 * x, p.depth), sample(line, 3 * x + 1, p.depth),
                                  sample(line, 3 * x + 2, p.depth));
                    break;
                case SANE_FRAME_RED:
                    out[x] = qRgb(sample(line, x, p.depth), qGreen(c), qBlue(c));
                    break;
                case SANE_FRAME_GREEN:
                    out[x] = qRgb(qRed(c), sample(line, x, p.depth), qBlue(c));
                    break;
                case SANE_FRAME_BLUE:
                    out[x] = qRgb(qRed(c), qGreen(c), sample(line, x, p.depth));
                    break;
                default:
                    return scanError(err::ScanDeviceError, QStringLiteral("unknown frame type"));
                }
            }
        }
    }
    return img;
}

} // namespace

void SetTwainOptions(TwainOptions& o)
{
    o.TwainMaxPages = 1;
    o.TwainAppAuthor.clear();
    o.TwainAppFamily.clear();
    o.TwainFrameLeft = 1;
    o.TwainFrameTop = 1;
    o.TwainFrameWidth = 12240;
    o.TwainFrameHeight = 20160;
    o.TwainBits = 8;
    o.TwainPixelType = 2;
    o.TwainRes = 100;
    o.TwainFlags = 0;
}

bool ScannerPresent(const QString& device)
{
    if (!device.isEmpty())
        return true;
    Session session;
    if (session.initStatus() != SANE_STATUS_GOOD)
        return false;
    const SANE_Device** list = nullptr;
    return sane_get_devices(&list, SANE_TRUE) == SANE_STATUS_GOOD && list && list[0];
}

Result<QImage> AcquirePage(const TwainOptions& o, const QString& device)
{
    Session session;
    if (session.initStatus() != SANE_STATUS_GOOD)
        return scanError(session.initStatus(), "init");

    QByteArray name = device.toLocal8Bit();
    if (name.isEmpty()) {
        const SANE_Device** list = nullptr;
        if (SANE_Status s = sane_get_devices(&list, SANE_TRUE); s != SANE_STATUS_GOOD)
            return scanError(s, "device list");
        if (!list || !list[0])
            return scanError(err::ScanNoSource, QStringLiteral("no scanner found"));
        name = list[0]->name;
    }
    if (SANE_Status s = sane_open(name.constData(), &session.handle()); s != SANE_STATUS_GOOD) {
        session.handle() = nullptr;
        const int code = s == SANE_STATUS_INVAL ? err::ScanNoSource : codeFor(s);
        return scanError(code, QString::fromLocal8Bit(name) + QStringLiteral(": ") +
                                   QString::fromLocal8Bit(sane_strstatus(s)));
    }
    SANE_Handle h = session.handle();
    applyOptions(h, o);

    std::vector<Frame> frames;
    for (;;) {
        Result<Frame> f = readFrame(h);
        if (!f)
            return f.error();
        const bool last = f->params.last_frame;
        frames.push_back(std::move(*f));
        if (last || frames.size() >= 3)
            break;
    }
    return toImage(frames);
}

} // namespace kvx
