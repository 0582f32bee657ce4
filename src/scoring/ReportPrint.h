#pragma once

#include "scoring/ReportOutput.h"

#include <QPageSize>

#include <memory>

class QPainter;
class QPrinter;

namespace kvx {

// The printed report's font: "Courier New" 11.5 pt (Liberation Mono where it is missing).
QFont reportPrintFont();

// Sets a printer up for reports: paper as given, margins that leave room for 80 columns.
void setUpReportPage(QPrinter& printer, const QPageSize& paper);

// Draws the report text on the printer, each piece between form feeds on a page of its own;
// the first page follows a new page when startOnNewPage is set. Lines stand a little closer
// together on paper too short for a full report page (59 printed lines) at the font's own
// spacing; the spacing is the same on every page that is no longer than that.
void drawReport(QPrinter& printer, QPainter& painter, const QString& text, bool startOnNewPage);

// Writes the reports printed through it into one PDF file, each report from a new page.
// The file is complete after Finish().
class PdfReportPrinter : public ReportPrinter
{
public:
    explicit PdfReportPrinter(QString fileName,
                              const QPageSize& paper = QPageSize(QPageSize::Letter));
    ~PdfReportPrinter() override;
    Status PrintReportFile(const QString& programDir) override;
    Status Finish() override;
    int reportCount() const { return reports_; }

private:
    QString fileName_;
    QPageSize paper_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    int reports_ = 0;
};

// The system printer: each report is one print job on a print queue (empty: the user's
// default queue), laid out on the queue's default paper.
class SystemReportPrinter : public ReportPrinter
{
public:
    explicit SystemReportPrinter(QString queue = {}) : queue_(std::move(queue)) {}
    Status PrintReportFile(const QString& programDir) override;

private:
    QString queue_;
};

// The printer the session's settings choose: the raw printer of kvx.ini when PrintDOS is
// set, the system's default printer otherwise.
std::unique_ptr<ReportPrinter> MakeReportPrinter(const Session& s);

// Prints "REPORT.PRN" of the program folder on the printer the settings choose.
Status PrintReportFile(const Session& s);

} // namespace kvx
