#include "scan/AnswerSheet.h"

#include "testing/QuestionDatabase.h"

#include <QDir>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <array>

namespace kvx {
namespace {

using namespace sheet;

// Rows in reading order: digit columns, choice rows, court rows, then the answers.
constexpr int kAgeRows[] = {0, 1};
constexpr int kFirstChoiceRow = 2;
constexpr int kFirstConvictionRows[] = {6, 7};
constexpr int kFirstCourtRow = 8;
constexpr int kFirstAnswerRow = 22;
constexpr int kSectionEnd[] = {0, 94, 135, 145, 155};

bool isDigitColumn(int row)
{
    return row == 0 || row == 1 || row == 6 || row == 7;
}

int bubbleCount(const LayoutRow& r, int row)
{
    return isDigitColumn(row) ? r.dimY : r.dimx;
}

int sectionOf(int item)
{
    int s = 1;
    while (s < 4 && item > kSectionEnd[s])
        ++s;
    return s;
}

QFont font(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

const QStringList& choiceNames()
{
    static const QStringList names = {QStringLiteral("SEX"), QStringLiteral("RACE"),
                                      QStringLiteral("MARITAL STATUS"),
                                      QStringLiteral("EDUCATION")};
    return names;
}

const std::array<QStringList, 4>& choiceOptions()
{
    static const std::array<QStringList, 4> options = {
        QStringList{QStringLiteral("Male"), QStringLiteral("Female")},
        QStringList{QStringLiteral("Caucasian"), QStringLiteral("Black"),
                    QStringLiteral("Hispanic"), QStringLiteral("Asian"),
                    QStringLiteral("Native American"), QStringLiteral("Other")},
        QStringList{QStringLiteral("Single"), QStringLiteral("Married"), QStringLiteral("Divorced"),
                    QStringLiteral("Separated"), QStringLiteral("Widowed")},
        QStringList{QStringLiteral("8th grade or less"), QStringLiteral("Some high school"),
                    QStringLiteral("G.E.D."), QStringLiteral("High school graduate"),
                    QStringLiteral("Some college"), QStringLiteral("Tech. or business school"),
                    QStringLiteral("College graduate"), QStringLiteral("Prof. or graduate school")},
    };
    return options;
}

const QStringList& courtLabels()
{
    static const QStringList labels = {
        QStringLiteral("2. Misdemeanor convictions"),
        QStringLiteral("3. Felony convictions"),
        QStringLiteral("4. Times on probation"),
        QStringLiteral("5. Probation revocations"),
        QStringLiteral("6. Times on parole"),
        QStringLiteral("7. Parole revocations"),
        QStringLiteral("8. Total times arrested"),
        QStringLiteral("9. Times sentenced to jail"),
        QStringLiteral("10. Times sentenced to prison"),
        QStringLiteral("11. Years in jail and prison"),
        QStringLiteral("12. Domestic violence arrests"),
        QStringLiteral("13. Alcohol-related arrests"),
        QStringLiteral("14. Drug-related arrests"),
        QStringLiteral("15. Other assault arrests"),
    };
    return labels;
}

const QStringList& instructions()
{
    static const QStringList lines = {
        QStringLiteral("Use a soft (No. 2) pencil. Fill the bubble of your answer completely and "
                       "darkly. Erase any change cleanly."),
        QStringLiteral("Mark one bubble per row or column. Leave a row empty when a value is not "
                       "known or does not apply."),
        QStringLiteral("Section 2: 1 = Rare or never, 2 = Sometimes, 3 = Often, 4 = Very often.   "
                       "Section 3: Y = Yes, N = No."),
        QStringLiteral("Keep the two black squares clean. Do not fold, staple or write in the "
                       "margins."),
    };
    return lines;
}

// What is printed inside bubble k of a row.
QString bubbleText(int row, int k)
{
    if (row < kFirstAnswerRow)
        return QString::number(row >= kFirstChoiceRow && row < 6 ? k + 1 : k);
    const int section = sectionOf(row - kFirstAnswerRow + 1);
    if (section == 1)
        return k == 0 ? QStringLiteral("T") : QStringLiteral("F");
    if (section == 3)
        return k == 0 ? QStringLiteral("Y") : QStringLiteral("N");
    return QString::number(k + 1);
}

void drawTextAbove(QPainter& p, const QRect& first, const QRect& last, int height,
                   const QString& text, int width = 0)
{
    const QRect span = first.united(last);
    const int w = std::max(width, span.width());
    p.drawText(QRect(span.center().x() - w / 2, first.top() - height - 2, w, height),
               Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap, text);
}

void drawHeader(QPainter& p)
{
    p.setFont(font(22, true));
    p.drawText(QRect(100, 8, 650, 32), Qt::AlignCenter, QStringLiteral("KVX ANSWER SHEET"));
    p.setFont(font(12));
    p.drawText(QRect(100, 50, 60, 20), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Name"));
    p.drawLine(145, 68, 470, 68);
    p.drawText(QRect(500, 50, 60, 20), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Date"));
    p.drawLine(540, 68, 720, 68);
    p.setFont(font(11));
    int y = 80;
    for (const QString& line : instructions()) {
        p.drawText(QRect(80, y, 690, 14), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += 14;
    }
}

void drawRowLabels(QPainter& p, const std::vector<LayoutRow>& layout)
{
    p.setFont(font(12, true));
    drawTextAbove(p, BubbleRect(layout, kAgeRows[0], 0), BubbleRect(layout, kAgeRows[1], 0), 18,
                  QStringLiteral("AGE"), 60);
    drawTextAbove(p, BubbleRect(layout, kFirstConvictionRows[0], 0),
                  BubbleRect(layout, kFirstConvictionRows[1], 0), 32,
                  QStringLiteral("1. Age at first conviction"), 160);
    const QRect court = BubbleRect(layout, kFirstCourtRow, 0);
    p.drawText(QRect(45, court.top() - 24, 600, 18), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("COURT HISTORY   (leave a row empty if not known; do not count "
                              "moving violations)"));

    for (int c = 0; c < 4; ++c) {
        const int row = kFirstChoiceRow + c;
        const QRect first = BubbleRect(layout, row, 0);
        p.setFont(font(12, true));
        p.drawText(QRect(first.left() - 175, first.top() - 4, 160, first.height() + 8),
                   Qt::AlignRight | Qt::AlignVCenter, choiceNames()[c]);
        p.setFont(font(9));
        const QStringList& options = choiceOptions()[static_cast<size_t>(c)];
        for (int k = 0; k < bubbleCount(layout[static_cast<size_t>(row)], row); ++k) {
            const QRect b = BubbleRect(layout, row, k);
            drawTextAbove(p, b, b, 30, k < options.size() ? options[k] : QString(), 62);
        }
    }

    p.setFont(font(11));
    for (int i = 0; i < courtLabels().size(); ++i) {
        const QRect first = BubbleRect(layout, kFirstCourtRow + i, 0);
        p.drawText(QRect(45, first.top() - 3, first.left() - 55, first.height() + 6),
                   Qt::AlignRight | Qt::AlignVCenter, courtLabels()[i]);
    }

    for (int item = 1; item <= kAnswerItems; ++item) {
        const int row = kFirstAnswerRow + item - 1;
        const QRect first = BubbleRect(layout, row, 0);
        p.setFont(font(10));
        p.drawText(QRect(first.left() - 32, first.top() - 2, 28, first.height() + 4),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(item));
        const int section = sectionOf(item);
        const bool sectionStart = item == kSectionEnd[section - 1] + 1;
        const bool columnStart = item > 1 && BubbleRect(layout, row - 1, 0).top() > first.top();
        if (sectionStart || columnStart) {
            p.setFont(font(11, true));
            p.drawText(QRect(first.left() - 32, first.top() - 20, 130, 16),
                       Qt::AlignLeft | Qt::AlignBottom,
                       QStringLiteral("Section %1%2")
                           .arg(section)
                           .arg(sectionStart ? QString() : QStringLiteral(" (cont.)")));
        }
    }
}

void drawBubbles(QPainter& p, const std::vector<LayoutRow>& layout)
{
    p.setFont(font(9));
    for (int row = 0; row < int(layout.size()); ++row) {
        for (int k = 0; k < bubbleCount(layout[static_cast<size_t>(row)], row); ++k) {
            const QRect b = BubbleRect(layout, row, k);
            p.drawEllipse(QRectF(b).adjusted(0.5, 0.5, -0.5, -0.5));
            p.drawText(b, Qt::AlignCenter, bubbleText(row, k));
        }
    }
}

Result<int> bubbleOfDigit(QChar c, const QString& what)
{
    if (c == u'N' || c == u'n')
        return -1;
    if (c.isDigit())
        return c.digitValue();
    return Error{err::ImgInvalidFormat,
                 QStringLiteral("%1: '%2' is not a digit or N").arg(what, c)};
}

} // namespace

Result<std::vector<LayoutRow>> LoadSheetLayout(const Workspace& ws, const QString& dbPath)
{
    auto db = ws.OpenDatabase(dbPath, false);
    if (!db)
        return db.error();
    Result<Recordset> rs = (*db)->OpenRecordset(QStringLiteral("ScanItem"));
    if (!rs)
        return rs.error();
    std::vector<LayoutRow> rows;
    for (rs->MoveFirst(); !rs->AtEOF() && int(rows.size()) < kScanItemRows; rs->MoveNext()) {
        LayoutRow r;
        r.name = rs->text(QStringLiteral("ItemName"));
        r.r = rs->text(QStringLiteral("r")).toFloat();
        r.theta = rs->text(QStringLiteral("theta")).toFloat();
        r.dimx = rs->text(QStringLiteral("dimx")).toInt();
        r.dimY = rs->text(QStringLiteral("DimY")).toInt();
        r.dx = rs->text(QStringLiteral("dx")).toFloat();
        r.dy = rs->text(QStringLiteral("dy")).toFloat();
        const int count = isDigitColumn(int(rows.size())) ? r.dimY : r.dimx;
        if (count < 1 || count > 20)
            return Error{err::DbFailure, QStringLiteral("The scan layout row %1 has %2 bubbles.")
                                             .arg(rows.size() + 1)
                                             .arg(count)};
        rows.push_back(r);
    }
    if (int(rows.size()) < kScanItemRows)
        return Error{err::DbNoCurrentRecord,
                     QStringLiteral("The table ScanItem has %1 of its %2 rows.")
                         .arg(rows.size())
                         .arg(kScanItemRows)};
    return rows;
}

QRect BubbleRect(const std::vector<LayoutRow>& layout, int row, int k)
{
    const LayoutRow& r = layout[static_cast<size_t>(row)];
    ScanPoint first{0, 0, r.r, r.theta};
    PolarToXY(first);
    const bool vertical = isDigitColumn(row);
    ScanPoint step{0, 0, float(k) * (vertical ? r.dy : r.dx), vertical ? 90.0f : 0.0f};
    PolarToXY(step);
    return QRect(kAnchorCorner.x() + first.X + step.X, kAnchorCorner.y() + first.Y + step.Y,
                 kBubbleSide, kBubbleSide);
}

Result<std::vector<int>> BubblesForValues(const std::vector<LayoutRow>& layout, const SheetTexts& v)
{
    std::vector<int> marks(layout.size(), -1);
    auto setMark = [&](int row, int k, const QString& what) -> Status {
        if (k >= bubbleCount(layout[static_cast<size_t>(row)], row))
            return Error{err::ImgInvalidFormat,
                         QStringLiteral("%1: no bubble for that value").arg(what)};
        marks[static_cast<size_t>(row)] = k;
        return {};
    };
    auto twoDigits = [&](const QString& text, const int* rows, const QString& what) -> Status {
        if (text.isEmpty())
            return {};
        if (text.size() != 2)
            return Error{err::ImgInvalidFormat,
                         QStringLiteral("%1: '%2' is not two digits or N").arg(what, text)};
        for (int i = 0; i < 2; ++i) {
            const Result<int> k = bubbleOfDigit(text[i], what);
            if (!k)
                return k.error();
            if (*k >= 0) {
                if (Status s = setMark(rows[i], *k, what); !s)
                    return s;
            }
        }
        return {};
    };
    auto number = [](const QString& text, bool* ok) {
        const int n = text.toInt(ok);
        *ok = *ok && !text.startsWith(u'+') && !text.startsWith(u'-');
        return n;
    };

    if (Status s = twoDigits(v.age, kAgeRows, QStringLiteral("age")); !s)
        return s.error();
    const QString* choices[] = {&v.gender, &v.race, &v.marital, &v.education};
    for (int c = 0; c < 4; ++c) {
        const QString& text = *choices[c];
        const QString what = choiceNames()[c].toLower();
        if (text.isEmpty() || text == u'0')
            continue;
        bool ok = false;
        const int n = number(text, &ok);
        if (!ok || n < 1)
            return Error{err::ImgInvalidFormat,
                         QStringLiteral("%1: '%2' is not a list position").arg(what, text)};
        if (Status s = setMark(kFirstChoiceRow + c, n - 1, what); !s)
            return s.error();
    }
    if (v.court.size() > kCourtItems)
        return Error{err::ImgInvalidFormat, QStringLiteral("court: more than 15 values")};
    for (int i = 0; i < v.court.size(); ++i) {
        const QString what = QStringLiteral("court item %1").arg(i + 1);
        if (i == 0) {
            if (Status s = twoDigits(v.court[0], kFirstConvictionRows, what); !s)
                return s.error();
            continue;
        }
        const QString& text = v.court[i];
        if (text.isEmpty() || text.compare(QStringLiteral("N"), Qt::CaseInsensitive) == 0)
            continue;
        bool ok = false;
        const int n = number(text, &ok);
        if (!ok || n < 0)
            return Error{err::ImgInvalidFormat,
                         QStringLiteral("%1: '%2' is not a number or N").arg(what, text)};
        if (Status s = setMark(kFirstCourtRow + i - 1, n, what); !s)
            return s.error();
    }
    if (v.answers.size() > kAnswerItems)
        return Error{err::ImgInvalidFormat, QStringLiteral("answers: more than 155 codes")};
    for (int i = 0; i < v.answers.size(); ++i) {
        const QChar c = v.answers[i];
        const QString what = QStringLiteral("answer %1").arg(i + 1);
        if (c == u'0' || c == u' ')
            continue;
        if (c < u'1' || c > u'9')
            return Error{err::ImgInvalidFormat,
                         QStringLiteral("%1: '%2' is not an answer code").arg(what, c)};
        if (Status s = setMark(kFirstAnswerRow + i, c.digitValue() - 1, what); !s)
            return s.error();
    }
    return marks;
}

void DrawAnswerSheet(QPainter& p, const std::vector<LayoutRow>& layout)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(QRect(0, 0, kPageWidth, kPageHeight), Qt::white);
    p.fillRect(QRect(kAnchorCorner, QSize(kBoxSide, kBoxSide)), Qt::black);
    p.fillRect(QRect(kReferenceCorner, QSize(kBoxSide, kBoxSide)), Qt::black);
    p.setPen(QPen(kDropOut, 1));
    p.setBrush(Qt::NoBrush);
    drawHeader(p);
    drawRowLabels(p, layout);
    drawBubbles(p, layout);
    p.restore();
}

void DrawPencilMark(QPainter& p, const QRect& bubble, QColor pencil)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(pencil);
    p.drawEllipse(QRectF(bubble).adjusted(1, 1, -1, -1));
    p.restore();
}

Result<QImage> RenderAnswerSheet(const std::vector<LayoutRow>& layout, const SheetTexts* fill,
                                 QColor pencil)
{
    std::vector<int> marks;
    if (fill) {
        Result<std::vector<int>> m = BubblesForValues(layout, *fill);
        if (!m)
            return m.error();
        marks = std::move(*m);
    }
    QImage img(kPageWidth, kPageHeight, QImage::Format_RGB32);
    img.setDotsPerMeterX(3937);
    img.setDotsPerMeterY(3937);
    QPainter p(&img);
    DrawAnswerSheet(p, layout);
    for (int row = 0; row < int(marks.size()); ++row) {
        if (marks[static_cast<size_t>(row)] >= 0)
            DrawPencilMark(p, BubbleRect(layout, row, marks[static_cast<size_t>(row)]), pencil);
    }
    p.end();
    return img;
}

Status WriteAnswerSheetPdf(const QString& path, const std::vector<LayoutRow>& layout,
                           const SheetTexts* fill)
{
    std::vector<int> marks;
    if (fill) {
        Result<std::vector<int>> m = BubblesForValues(layout, *fill);
        if (!m)
            return m.error();
        marks = std::move(*m);
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Error{err::ImgWritingFile,
                     QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString()};
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(QStringLiteral("KVX answer sheet"));
        pdf.setPageSize(QPageSize(QPageSize::Legal));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(100);
        QPainter p(&pdf);
        DrawAnswerSheet(p, layout);
        const QColor pencil(kPencilGrey, kPencilGrey, kPencilGrey);
        for (int row = 0; row < int(marks.size()); ++row) {
            if (marks[static_cast<size_t>(row)] >= 0)
                DrawPencilMark(p, BubbleRect(layout, row, marks[static_cast<size_t>(row)]), pencil);
        }
        if (!p.end())
            return Error{err::ImgWritingFile, QDir::toNativeSeparators(path)};
    }
    if (!file.commit())
        return Error{err::ImgWritingFile,
                     QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString()};
    return {};
}

} // namespace kvx
