#include "scoring/ReportPrint.h"

#include "install/Settings.h"
#include "scoring/RawPrinter.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <algorithm>
#include <cerrno>

namespace kvx {

namespace {

constexpr int kColumns = 80;
constexpr qreal kPointsPerInch = 72.0;
constexpr qreal kSideMargin = 0.4 * kPointsPerInch;
constexpr qreal kTopMargin = 0.3 * kPointsPerInch;
// A report page is 58 lines and the empty rest of the form-feed line before them.
constexpr int kLinesPerPage = 59;

const QString kJobTitle = QStringLiteral("KVX report");

} // namespace

QFont reportPrintFont()
{
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPointSizeF(11.5);
    return f;
}

void setUpReportPage(QPrinter& printer, const QPageSize& paper)
{
    printer.setFullPage(false);
    printer.setPageSize(paper);
    printer.setPageOrientation(QPageLayout::Portrait);
    // Narrow paper gets narrower side margins, so that a line of 80 characters still fits.
    const qreal lineWidth =
        QFontMetricsF(reportPrintFont(), &printer).horizontalAdvance(QString(kColumns, u'M')) *
        kPointsPerInch / printer.resolution();
    const qreal paperWidth = paper.size(QPageSize::Point).width();
    const qreal side = std::clamp((paperWidth - lineWidth) / 2 - 1, 0.0, kSideMargin);
    printer.setPageMargins(QMarginsF(side, kTopMargin, side, kTopMargin), QPageLayout::Point);
}

void drawReport(QPrinter& printer, QPainter& painter, const QString& text, bool startOnNewPage)
{
    painter.setFont(reportPrintFont());
    const QFontMetricsF fm(painter.font(), painter.device());
    const qreal height = printer.height();
    const QStringList pages = ReportPages(text);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0 || startOnNewPage)
            printer.newPage();
        const QStringList lines = PageLines(pages[i]);
        // The same line spacing on every page, unless a page holds more than a report page.
        const qsizetype n = std::max<qsizetype>(lines.size(), kLinesPerPage);
        const qreal pitch =
            std::min(fm.height(), (height - fm.height()) / static_cast<qreal>(n - 1));
        qreal baseline = fm.ascent();
        for (const QString& line : lines) {
            if (!line.isEmpty())
                painter.drawText(QPointF(0, baseline), line);
            baseline += pitch;
        }
    }
}

// --- PdfReportPrinter ---

PdfReportPrinter::PdfReportPrinter(QString fileName, const QPageSize& paper)
    : fileName_(std::move(fileName)), paper_(paper)
{}

PdfReportPrinter::~PdfReportPrinter()
{
    if (painter_ && painter_->isActive())
        painter_->end();
}

Status PdfReportPrinter::PrintReportFile(const QString& programDir)
{
    const Result<QString> text = ReadReportText(programDir);
    if (!text)
        return text.error();
    if (!painter_) {
        // The PDF writer does not say why it cannot write; opening the file first does.
        {
            QFile probe(fileName_);
            errno = 0;
            if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return reportFileError(errno, fileName_, probe.errorString());
        }
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(fileName_);
        printer_->setCreator(QStringLiteral("KVX"));
        printer_->setDocName(kJobTitle);
        setUpReportPage(*printer_, paper_);
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(printer_.get()))
            return reportFileError(EIO, fileName_, QStringLiteral("the PDF file cannot be begun"));
    }
    drawReport(*printer_, *painter_, *text, reports_ > 0);
    ++reports_;
    return {};
}

Status PdfReportPrinter::Finish()
{
    if (!painter_ || !painter_->isActive())
        return {};
    if (!painter_->end())
        return reportFileError(EIO, fileName_, QStringLiteral("the PDF file cannot be completed"));
    return {};
}

// --- SystemReportPrinter ---

Status SystemReportPrinter::PrintReportFile(const QString& programDir)
{
    const Result<QString> queue = ResolvePrintQueue(queue_);
    if (!queue)
        return queue.error();
    QPageSize paper = QPrinterInfo::printerInfo(*queue).defaultPageSize();
    if (!paper.isValid())
        paper = QPageSize(QPageSize::Letter);

    // The print system takes PDF; the pages are laid out here, as for a PDF file.
    QTemporaryFile pdf(QDir::temp().filePath(QStringLiteral("kvx-print-XXXXXX.pdf")));
    errno = 0;
    if (!pdf.open())
        return reportFileError(errno, pdf.fileTemplate(), pdf.errorString());
    pdf.close();
    PdfReportPrinter writer(pdf.fileName(), paper);
    if (Status st = writer.PrintReportFile(programDir); !st)
        return st;
    if (Status st = writer.Finish(); !st)
        return st;
    if (!pdf.open())
        return reportFileError(errno, pdf.fileName(), pdf.errorString());
    return SubmitPrintJob(*queue, kJobTitle, pdf.readAll(), CUPS_FORMAT_PDF);
}

std::unique_ptr<ReportPrinter> MakeReportPrinter(const Session& s)
{
    if (s.PrintDOS)
        return std::make_unique<RawPortPrinter>(Settings(s.ProgramDir).GetRawPrinter());
    return std::make_unique<SystemReportPrinter>();
}

Status PrintReportFile(const Session& s)
{
    const std::unique_ptr<ReportPrinter> printer = MakeReportPrinter(s);
    if (Status st = printer->PrintReportFile(s.ProgramDir); !st)
        return st;
    return printer->Finish();
}

} // namespace kvx
