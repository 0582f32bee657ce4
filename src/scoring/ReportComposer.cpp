#include "scoring/ReportComposer.h"

#include "scoring/Paragraphs.h"
#include "store/Cp1252.h"
#include "store/DataFile.h"
#include "testing/TestStructure.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kvx {

void ReportComposer::line(const QString& text, int indent)
{
    w_.spc(indent).text(text).end();
}

void ReportComposer::NewPage()
{
    PageNo += 1;
    w_.formFeedLine();
    // The whole page number: page 10 must not read as page 0.
    w_.spc(7).text(u"NAME: ").text(in_.client.Name).tab(41);
    w_.text(QStringLiteral("-%1-").arg(PageNo)).tab(69).text(u"KVX REPORT").end();
    w_.emptyLine();
    LineCount = 2;
}

void ReportComposer::PrintFooter()
{
    while (LineCount < 56) {
        w_.emptyLine();
        LineCount += 1;
    }
    while (LineCount < kPageLines) {
        w_.tab(9).text(in_.vendorLine1).end();
        w_.tab(13).text(in_.vendorLine2).end();
        LineCount += 2;
    }
}

void ReportComposer::breakWhenFull()
{
    if (LineCount == kPageLines)
        NewPage();
}

Result<QString> ReportComposer::compose()
{
    const Status st = in_.scores.Percentile[1] >= 95 ? invalidReport() : validReport();
    if (!st)
        return st.error();
    return w_.contents();
}

Status ReportComposer::invalidReport()
{
    const Result<QStringList> text = ReadInvalidText(in_.programDir);
    if (!text)
        return text.error();
    w_.emptyLine();
    LineCount += 1;
    summaryHeader(false);
    for (const QString& l : *text) {
        line(l);
        LineCount += 1;
    }
    w_.emptyLine();
    LineCount += 1;
    responses();
    PrintFooter();
    return {};
}

Status ReportComposer::validReport()
{
    summaryHeader(false);
    line(QStringLiteral("Kavexa results  are confidential and  are  working"));
    line(QStringLiteral("hypotheses.  No diagnosis or decision should be based solely upon these"));
    line(QStringLiteral("results.  These test results are to be used in conjunction with experi-"));
    line(QStringLiteral("enced staff judgment and review of available records."));
    w_.emptyLine();
    LineCount += 5;
    profileChart();
    additionalInformation();
    recommendations();
    PrintFooter();

    NewPage();
    line(QStringLiteral(" * * SUMMARY PARAGRAPHS EXPLAINING CLIENT'S ATTAINED SCALE SCORES * *"));
    line(QStringLiteral("     ------------------------------------------------------------"));
    w_.emptyLine();
    LineCount += 3;
    if (const Status st = scaleSections(); !st)
        return st;
    line(QString(71, u'-'));
    w_.emptyLine();
    LineCount += 2;
    if (LineCount + 6 > kPageLines)
        NewPage();
    significantItems();
    if (LineCount + 9 > kPageLines)
        NewPage();
    structuredInterview();
    if (LineCount + 6 > kPageLines)
        NewPage();
    responses();
    if (in_.summaryPage)
        summaryCopy();
    return {};
}

void ReportComposer::summaryCopy()
{
    w_.formFeedLine();
    LineCount = 0;
    summaryHeader(true);
    line(QStringLiteral("KVX results are confidential and are considered working hypotheses.  No"));
    line(QStringLiteral("diagnosis or decision should be based solely upon KVX results. The  KVX"));
    line(QStringLiteral("is to be used in conjunction with experienced staff judgment."));
    w_.emptyLine();
    LineCount += 4;
    profileChart();
    additionalInformation();
    recommendations();
    PrintFooter();
}

Status ReportComposer::scaleSections()
{
    const ClientScores& r = in_.scores;
    for (int s = 1; s <= kScaleCount; ++s) {
        bool spaced = true;
        if (r.OmitCount[s] > 4) {
            line(in_.tables.ScaleName[s]);
            LineCount += 1;
            scaleNote(1);
            spaced = false;
        } else if (s == 1 && r.RawScore[1] == 99) {
            scaleNote(2);
        } else if (const Status st = scaleParagraph(s); !st) {
            return st;
        }
        if (spaced && LineCount > 2 && LineCount < kPageLines) {
            w_.emptyLine();
            LineCount += 1;
        }
        if (LineCount + 3 > kPageLines)
            NewPage();
    }
    return {};
}

Status ReportComposer::scaleParagraph(int s)
{
    const ScoringTables& t = in_.tables;
    const int p = in_.scores.Percentile[s];
    const Result<QStringList> text =
        ReadParagraph(in_.programDir, t.ParagraphFile[s], ParagraphKey(t, p));
    if (!text)
        return text.error();
    w_.spc(7).text(t.ScaleName[s]).text(u" SCALE: ").text(t.RangeName[RiskRange(p)]);
    w_.text(u" RISK RANGE").tab(61).text(u"RISK PERCENTILE:").text(QString::number(p)).end();
    LineCount += 1;
    for (const QString& l : *text) {
        line(l, 8);
        LineCount += 1;
        breakWhenFull();
    }
    return {};
}

void ReportComposer::scaleNote(int kind)
{
    w_.emptyLine();
    if (kind == 1) {
        line(QStringLiteral(
                 "This scale  is inaccurate  and  not  scorable  because  the respondent"),
             8);
        line(QStringLiteral("omitted or skipped an excessive number of items."), 8);
    } else {
        line(QStringLiteral(
                 "The Truthfulness Scale is  inaccurate because there  were an excessive"),
             8);
        line(QStringLiteral("number of True responses in Section 1."), 8);
    }
    LineCount += 3;
    if (LineCount < kPageLines) {
        w_.emptyLine();
        LineCount += 1;
    }
}

void ReportComposer::itemColumns(const QString& leftTitle, const QStringList& left,
                                 const QString& rightTitle, const QStringList& right)
{
    const auto rows = static_cast<int>(std::max(left.size(), right.size()));
    if (LineCount + rows > kPageLines)
        NewPage();
    w_.spc(7).text(leftTitle).tab(44).text(rightTitle).end();
    w_.spc(7).text(QString(leftTitle.size(), u'-')).tab(44);
    w_.text(QString(rightTitle.size(), u'-')).end();
    LineCount += 2;
    for (int k = 0; k < rows; ++k) {
        w_.spc(7);
        if (k < left.size())
            w_.text(left[k]);
        if (k < right.size())
            w_.tab(44).text(right[k]);
        w_.end();
        LineCount += 1;
        breakWhenFull();
    }
    if (LineCount >= 3 && LineCount < kPageLines) {
        w_.emptyLine();
        LineCount += 1;
    }
    if (LineCount + 3 > kPageLines)
        NewPage();
}

void ReportComposer::treatmentNeeds()
{
    line(QStringLiteral("TREATMENT NEEDS (PROGRAMS) SELECTED"));
    line(QString(35, u'-'));
    LineCount += 2;
    for (const QString& l : in_.scores.ItemLists[5]) {
        line(l);
        LineCount += 1;
        if (LineCount == kPageLines) {
            NewPage();
            line(QStringLiteral("TREATMENT NEEDS (PROGRAMS) SELECTED, continued"));
            line(QStringLiteral("----------------------------------------------"));
            LineCount += 2;
        }
    }
}

void ReportComposer::significantItems()
{
    const auto& lists = in_.scores.ItemLists;
    line(QStringLiteral("SIGNIFICANT ITEMS: The following self-report responses represent direct"));
    line(QStringLiteral("admissions or unusual answers."));
    w_.emptyLine();
    LineCount += 3;
    itemColumns(QStringLiteral("ALCOHOL"), lists[1], QStringLiteral("DRUGS"), lists[2]);
    itemColumns(QStringLiteral("DOMESTIC VIOLENCE"), lists[3], QStringLiteral("CONTROL"), lists[4]);
    treatmentNeeds();
    if (LineCount >= 3 && LineCount < kPageLines) {
        w_.emptyLine();
        LineCount += 1;
    }
}

void ReportComposer::structuredInterview()
{
    const auto answerText = [&](int item) {
        const int code = in_.client.Answer[item];
        // Codes other than the four choices have no text; they read as no answer.
        if (code >= 1 && code <= 4)
            return in_.tables.InterviewText[4 * (item - 146) + code];
        return QStringLiteral("%1. No response given").arg(item, 3, 10, QLatin1Char('0'));
    };
    line(QStringLiteral("STRUCTURED INTERVIEW: These answers, with all of their biases, are  the"));
    line(QStringLiteral("answers selected by the client."));
    line(QString(71, u'-'));
    LineCount += 3;
    for (int k = 1; k <= 5; ++k) {
        w_.spc(7).text(answerText(145 + k)).tab(44).text(answerText(150 + k)).end();
        LineCount += 1;
        breakWhenFull();
    }
    if (LineCount < kPageLines) {
        w_.emptyLine();
        LineCount += 1;
    }
}

void ReportComposer::responses()
{
    const auto& answer = in_.client.Answer;
    const auto charOf = [&](int item) {
        const int code = answer[item];
        if (item <= SectionEnd[1])
            return code == 1 ? u'T' : code == 2 ? u'F' : u'0';
        if (item > SectionEnd[2] && item <= SectionEnd[3])
            return code == 1 ? u'Y' : code == 2 ? u'N' : u'0';
        return static_cast<char16_t>(u'0' + code % 10);
    };
    w_.tab(36).text(u"KVX RESPONSES").end();
    w_.tab(36).text(u"-------------").end();
    for (int first = 1; first <= 101; first += 50) {
        QString l = QStringLiteral("%1-%2   ").arg(first, 3).arg(first + 49, 3);
        for (int i = first; i < first + 50; ++i) {
            l.append(QChar(charOf(i)));
            if ((i - first + 1) % 10 == 0)
                l.append(QStringLiteral("  "));
        }
        line(l);
    }
    QString last = QStringLiteral("151-155   ");
    for (int i = 151; i <= 155; ++i)
        last.append(QChar(charOf(i)));
    line(last);
    LineCount += 6;
    if (LineCount < kPageLines) {
        w_.emptyLine();
        LineCount += 1;
    }
}

Result<QByteArray> ComposeReport(const ReportInput& in)
{
    ReportComposer composer(in);
    const Result<QString> text = composer.compose();
    if (!text)
        return text.error();
    QByteArray bytes;
    if (cp1252::encode(*text, &bytes))
        return bytes;
    // Only the branding lines can hold characters outside the code page.
    QString printable = *text;
    for (QChar& ch : printable)
        if (!cp1252::canEncode(ch))
            ch = u'?';
    cp1252::encode(printable, &bytes);
    return bytes;
}

Status WriteReport(const ReportInput& in)
{
    const Result<QByteArray> bytes = ComposeReport(in);
    if (!bytes)
        return bytes.error();
    // Written beside the old report, then renamed over it: a failure leaves the old one whole.
    // No flush to the disk: the report is made again from the data file whenever it is needed.
    const QString path = QDir(in.programDir).filePath(kReportFileName);
    QTemporaryFile tmp(path + QStringLiteral(".XXXXXX"));
    const auto failed = [&](const QString& why) {
        const int errnum = errno;
        Error e = errnum != 0 ? fileError(errnum, path) : Error{err::DeviceIo, {}};
        e.message = QStringLiteral("%1: %2").arg(kReportFileName, why);
        return e;
    };
    errno = 0;
    if (!tmp.open() || tmp.write(*bytes) != bytes->size() || !tmp.flush())
        return failed(tmp.errorString());
    const QFileDevice::Permissions keep = QFileInfo::exists(path)
                                              ? QFile::permissions(path)
                                              : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ReadGroup | QFileDevice::ReadOther;
    tmp.setPermissions(keep);
    tmp.close();
    if (std::rename(QFile::encodeName(tmp.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0)
        return failed(QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}

} // namespace kvx
