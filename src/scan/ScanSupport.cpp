#include "scan/ScanSupport.h"

#include "testing/QuestionDatabase.h"

#include <cmath>
#include <limits>

namespace kvx {
namespace {

constexpr double kPi = 3.14159265358979;

// The anchor search window, in image pixels.
constexpr int kAnchorTop = 0;
constexpr int kAnchorBottom = 112;
constexpr int kAnchorLeft = 5;
constexpr int kAnchorRight = 65;
// The reference search window, relative to the anchor box; never past the image's 850
// columns nor above its top row.
constexpr int kReferenceLeft = 741;
constexpr int kReferenceRight = 801;
constexpr int kReferenceTop = -88;
constexpr int kReferenceBottom = 112;
constexpr int kImageColumns = 850;

constexpr qint16 kBoxMarkSize = 6;
constexpr qint16 kBubbleMarkSize = 14;

qint16 toInt16(double v)
{
    // Current rounding mode: to nearest, halves to even.
    const double r = std::nearbyint(v);
    return static_cast<qint16>(std::clamp(r, double(std::numeric_limits<qint16>::min()),
                                          double(std::numeric_limits<qint16>::max())));
}

// Both searches: the topmost row with a hit, the smallest x of all hits, armed by the first
// white pixel in scan order.
bool searchBox(ScanState& st, const ScanImage& img, ScanPoint& box, int x0, int x1, int y0, int y1)
{
    bool found = false;
    bool armed = false;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (img.isWhite(x, y)) {
                armed = true;
                continue;
            }
            if (!armed || !FindMark(st, img, ScanPoint{qint16(x), qint16(y)}, kBoxMarkSize))
                continue;
            if (!found) {
                box.X = qint16(x);
                box.Y = qint16(y);
                found = true;
            } else if (x < box.X) {
                box.X = qint16(x);
            }
            XYToPolar(box);
        }
    }
    return found;
}

Result<float> numberField(const Recordset& row, const QString& name)
{
    Result<QVariant> v = row.Field(name);
    if (!v)
        return v.error();
    bool ok = false;
    const double d = v->toDouble(&ok);
    if (v->isNull() || !ok || !std::isfinite(d))
        return Error{err::DbFailure, QStringLiteral("The scan layout row %1 has no number in '%2'.")
                                         .arg(row.AbsolutePosition() + 1)
                                         .arg(name)};
    return static_cast<float>(d);
}

// The second reference window: a sheet printed smaller ("fit to page", 94 to 98 %) puts the
// reference box nearer the anchor than the first window reaches; rows within 30 pixels of the
// anchor's allow 2 degrees of skew at that distance, without reaching the instruction lines.
constexpr int kNearReferenceLeft = 690;
constexpr int kNearReferenceRight = 740;
constexpr int kNearReferenceTop = -30;
constexpr int kNearReferenceBottom = 30;
// The second anchor window: a sheet printed smaller and turned moves its anchor box inwards,
// past the first window's right edge.
constexpr int kInnerAnchorLeft = 66;
constexpr int kInnerAnchorRight = 125;
constexpr int kInnerAnchorBottom = 160;
// Below 1 % the found distance is the boxes' pixel rounding, not a printer's scaling.
constexpr float kLeastScale = 0.01f;

} // namespace

Result<ScanRow> RewriteLayoutRow(Recordset& row, bool vertical)
{
    const QString countName = vertical ? QStringLiteral("DimY") : QStringLiteral("dimx");
    const QString stepName = vertical ? QStringLiteral("dy") : QStringLiteral("dx");
    const Result<float> r = numberField(row, QStringLiteral("r"));
    const Result<float> theta = numberField(row, QStringLiteral("theta"));
    const Result<float> count = numberField(row, countName);
    const Result<float> step = numberField(row, stepName);
    for (const Result<float>* f : {&r, &theta, &count, &step}) {
        if (!*f)
            return f->error();
    }
    // A bubble count beyond a sheet's width means a damaged layout, not a long loop.
    if (*count < 0 || *count > 100 || std::abs(*r) > 10000 || std::abs(*step) > 1000)
        return Error{err::DbFailure, QStringLiteral("The scan layout row %1 is out of range.")
                                         .arg(row.AbsolutePosition() + 1)};
    ScanRow g{*r, *theta, static_cast<int>(*count), *step, vertical};

    ScanPoint p{0, 0, g.r, g.theta};
    PolarToXY(p);
    if (Status s = row.SetValue(QStringLiteral("X"), int(p.X)); !s)
        return s.error();
    if (Status s = row.SetValue(QStringLiteral("Y"), int(p.Y)); !s)
        return s.error();
    if (Status s = row.Update(); !s)
        return s.error();
    return g;
}

RowMarks ReadScanRow(ScanState& st, const ScanImage& img, const ScanRow& g)
{
    // The first bubble turns with the sheet like every other; the printer's scale applies about
    // the anchor box to its distance and to the steps.
    ScanPoint base{0, 0, g.r * st.Scale, g.theta + st.ReferenceBox.theta};
    PolarToXY(base);
    const float angle = st.ReferenceBox.theta + (g.vertical ? 90.0f : 0.0f);
    return ReadBubbles(st, img, base, g.count, g.spacing * st.Scale, angle);
}

QString LeadErrorText(int code)
{
    struct Entry
    {
        int first;
        int last;
        const char16_t* text;
    };
    static constexpr Entry table[] = {
        {20000, 20000, u"General failure"},
        {20001, 20001, u"Not enough memory available"},
        {20002, 20002, u"Invalid bitmap handle"},
        {20003, 20003, u"Not enough memory available"},
        {20004, 20004, u"Error seeking to position"},
        {20005, 20005, u"Error writing file"},
        {20006, 20006, u"File not present - abort"},
        {20007, 20007, u"Error reading file"},
        {20008, 20008, u"Invalid filename specified"},
        {20009, 20009, u"Invalid file format"},
        {20010, 20010, u"File not found"},
        {20011, 20011, u"Invalid width/height"},
        {20012, 20012, u"Image format recognized, but sub-type not supported"},
        {20013, 20013, u"Invalid parmameter passed"},
        {20014, 20014, u"Not able to open file"},
        {20015, 20015, u"Unknown compression format"},
        {20017, 20017, u"VGA card only supports 256 colors (8 bit)"},
        {20018, 20018, u"Printer error"},
        {20019, 20019, u"Data CRC check error"},
        {20021, 20021, u"Invalid QFactor specified"},
        {20022, 20022, u"TARGA not installed"},
        {20023, 20023, u"Invalid compression format"},
        {20024, 20024, u"X origin specified invalid"},
        {20025, 20025, u"Y origin specified invalid"},
        {20026, 20026, u"Invalid video mode"},
        {20027, 20027, u"Invalid bits/pixel"},
        {20028, 20028, u"Invalid window size"},
        {20029, 20029, u"Escape key pressed"},
        {20030, 20062, u"Internal Error - Call LEAD"},
        {20063, 20064, u"Fixed palette data not found"},
        {20065, 20065, u"Stamp not found"},
        {20070, 20070, u"Invalid group 3 code"},
        {20071, 20071, u"Group3 code end of file"},
        {20072, 20072, u"Group3 code end of code"},
        {20073, 20073, u"Premature EOF at scanline"},
        {20074, 20077, u"Premature end-of-line code"},
        {20078, 20078, u"Bad version number"},
        {20079, 20079, u"Twain source manager not found"},
        {20080, 20080, u"Twain Canceled by user or unknown causes"},
        {20081, 20081, u"Twain not enough memory to perform operation"},
        {20082, 20082, u"Twain no Data Source"},
        {20083, 20083, u"Twain DS is connected to max possible apps"},
        {20084, 20084, u"Twain DS or DSM reported error, app shouldn't"},
        {20085, 20085, u"Twain unknown capability"},
        {20086, 20086, u"Twain unrecognized MSG DG DAT combination"},
        {20087, 20087, u"Twain data parameter out of range"},
        {20088, 20088, u"Twain DG DAT MSG out of expected sequence"},
        {20089, 20089, u"Twain unknown destination App/Src in DSM_Entry"},
        {20090, 20090, u"Twain operation was cancelled"},
    };
    for (const Entry& e : table) {
        if (code >= e.first && code <= e.last)
            return QString::fromUtf16(e.text);
    }
    return QString();
}

void PolarToXY(ScanPoint& p)
{
    const float angle = static_cast<float>(double(p.theta) * kPi / 180.0);
    p.X = toInt16(double(p.r) * std::cos(double(angle)));
    p.Y = toInt16(double(p.r) * std::sin(double(angle)));
}

void XYToPolar(ScanPoint& p)
{
    const double x = p.X;
    const double y = p.Y;
    p.r = static_cast<float>(std::sqrt(x * x + y * y));
    p.theta = p.X != 0 ? static_cast<float>(std::atan(y / x) * 180.0 / kPi) : 90.0f;
}

bool FindMark(ScanState& st, const ScanImage& img, const ScanPoint& p, qint16 size)
{
    const int span = size == kBoxMarkSize ? 6 : size + 1;
    const float factor = size == kBoxMarkSize ? 0.3f : 0.05f;
    const float threshold = float(size) * float(size) * factor;
    int dark = 0;
    for (int dx = 0; dx < span; ++dx) {
        for (int dy = 0; dy < span; ++dy) {
            if (!img.isWhite(p.X + dx, p.Y + dy))
                ++dark;
        }
    }
    st.DarkCount = static_cast<qint16>(std::min(dark, int(std::numeric_limits<qint16>::max())));
    return float(dark) > threshold;
}

bool FindAnchorBox(ScanState& st, const ScanImage& img)
{
    return searchBox(st, img, st.AnchorBox, kAnchorLeft, kAnchorRight, kAnchorTop, kAnchorBottom);
}

bool FindReferenceBox(ScanState& st, const ScanImage& img)
{
    // The last column read is the image's own last one: past it every pixel reads dark, and a
    // wide anchor offset would turn that edge into a false box above the real one.
    const int lastColumn = std::min(kImageColumns, img.width()) - 1;
    const int xEnd = std::min(kReferenceRight, lastColumn - st.AnchorBox.X);
    const int yStart = std::max(kReferenceTop, -int(st.AnchorBox.Y));
    const bool found =
        searchBox(st, img, st.ReferenceBox, kReferenceLeft, xEnd, yStart, kReferenceBottom);
    // A box found at the window's left edge may go on beyond it: a sheet printed at 95 to 97 %.
    if (found && st.ReferenceBox.X > kReferenceLeft)
        return true;
    const ScanPoint usual = st.ReferenceBox;
    if (searchBox(st, img, st.ReferenceBox, kNearReferenceLeft,
                  std::min(kNearReferenceRight, lastColumn - st.AnchorBox.X),
                  std::max(kNearReferenceTop, -int(st.AnchorBox.Y)), kNearReferenceBottom))
        return true;
    st.ReferenceBox = usual;
    return found;
}

bool LocateAnchorBox(ScanState& st, const ScanImage& img)
{
    return FindAnchorBox(st, img) || searchBox(st, img, st.AnchorBox, kInnerAnchorLeft,
                                               kInnerAnchorRight, kAnchorTop, kInnerAnchorBottom);
}

Status RegisterSheet(ScanState& st, ScanImage& img)
{
    img.setOrigin(0, 0);
    if (!LocateAnchorBox(st, img))
        return Error{err::AnchorBoxNotFound, kAnchorNotFoundText};
    img.setOrigin(st.AnchorBox.X, st.AnchorBox.Y);
    st.Scale = 1.0f;
    if (!FindReferenceBox(st, img))
        return Error{err::ReferenceBoxNotFound, kReferenceNotFoundText};
    const float scale = st.ReferenceBox.r / kReferenceDistance;
    if (std::abs(scale - 1.0f) > kLeastScale)
        st.Scale = scale;
    return {};
}

RowMarks ReadBubbles(ScanState& st, const ScanImage& img, const ScanPoint& base, int count,
                     float spacing, float angle)
{
    RowMarks out;
    int darkest = -1;
    for (int k = 0; k < count; ++k) {
        ScanPoint step{0, 0, float(k) * spacing, angle};
        PolarToXY(step);
        const ScanPoint bubble{qint16(base.X + step.X), qint16(base.Y + step.Y)};
        if (!FindMark(st, img, bubble, kBubbleMarkSize)) {
            out.strongestUnset = std::max(out.strongestUnset, int(st.DarkCount));
            continue;
        }
        ++out.marked;
        if (st.DarkCount > darkest) {
            darkest = st.DarkCount;
            out.chosen = k;
            out.chosenDark = st.DarkCount;
        }
    }
    return out;
}

QString RowDoubt(const RowMarks& m)
{
    if (m.marked >= 2)
        return QStringLiteral("several");
    if (m.marked == 1 && float(m.chosenDark) < kFaintWinnerBelow)
        return QStringLiteral("faint");
    if (m.marked == 0 && float(m.strongestUnset) >= kNearMissFrom)
        return QStringLiteral("faint");
    return QString();
}

QString DigitText(const RowMarks& m)
{
    return m.marked == 0 ? QStringLiteral("N") : QString::number(m.chosen);
}

QString ChoiceText(const RowMarks& m)
{
    return QString::number(m.marked == 0 ? 0 : m.chosen + 1);
}

QString MarkText(const RowMarks& m, int offset)
{
    if (m.marked == 0)
        return offset == 1 ? QStringLiteral("0") : QStringLiteral("N");
    return QString::number(m.chosen + offset);
}

namespace {

Result<RowMarks> rewriteAndRead(ScanState& st, const ScanImage& img, Recordset& row, bool vertical,
                                RowMarks* seen)
{
    const Result<ScanRow> g = RewriteLayoutRow(row, vertical);
    if (!g)
        return g.error();
    const RowMarks m = ReadScanRow(st, img, *g);
    if (seen)
        *seen = m;
    return m;
}

} // namespace

Status ReadDigitColumn(ScanState& st, const ScanImage& img, Recordset& row, QString& text,
                       RowMarks* seen)
{
    const Result<RowMarks> m = rewriteAndRead(st, img, row, true, seen);
    if (!m)
        return m.error();
    text += DigitText(*m);
    return {};
}

Status ReadChoiceRow(ScanState& st, const ScanImage& img, Recordset& row, QString& text,
                     RowMarks* seen)
{
    const Result<RowMarks> m = rewriteAndRead(st, img, row, false, seen);
    if (!m)
        return m.error();
    text = ChoiceText(*m);
    return {};
}

Status ReadMarkRow(ScanState& st, const ScanImage& img, Recordset& row, QString& text, int offset,
                   RowMarks* seen)
{
    const Result<RowMarks> m = rewriteAndRead(st, img, row, false, seen);
    if (!m)
        return m.error();
    text += MarkText(*m, offset);
    return {};
}

} // namespace kvx
