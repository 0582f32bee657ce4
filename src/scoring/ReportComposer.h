#pragma once

#include "scoring/LineWriter.h"
#include "scoring/ReportWriter.h"

namespace kvx {

// Lays out one report page by page. LineCount is the page's line count as the layout
// rules keep it (wrapped lines and some fixed blocks are not counted); 58 fills a page.
class ReportComposer
{
public:
    explicit ReportComposer(const ReportInput& in) : in_(in) {}

    Result<QString> compose();

    // Page routines
    void NewPage();
    void PrintFooter();

    // Blocks of the first page and of the one-page summary
    void summaryHeader(bool subtitle);
    void profileChart();
    void additionalInformation();
    void recommendations();

    // Blocks of the following pages
    Status scaleSections();
    Status scaleParagraph(int s);
    void scaleNote(int kind);
    void significantItems();
    void structuredInterview();
    void responses();

    static constexpr int kPageLines = 58;

private:
    Status invalidReport();
    Status validReport();
    void summaryCopy();
    void itemColumns(const QString& leftTitle, const QStringList& left, const QString& rightTitle,
                     const QStringList& right);
    void treatmentNeeds();
    // Text of unknown length: a full page goes on on a new one.
    void breakWhenFull();
    void line(const QString& text, int indent = 7);

    const ReportInput& in_;
    LineWriter w_;
    int LineCount = 1;
    int PageNo = 1;
};

} // namespace kvx
