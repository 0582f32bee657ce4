// The blocks of the report's first page, also printed on the one-page summary copy.
#include "scoring/ReportComposer.h"

#include "store/CodeTables.h"

namespace kvx {

namespace {

const QString kDottedRow = QStringLiteral("-...............-...........-.......-...-");
const QString kBorderRow = QStringLiteral("+---------------+-----------+-------+---+");
const QString kOpenRow = QStringLiteral("-               -           -       -   -");

// A court history value as the additional information prints it.
QString tidied(const QString& value)
{
    QString v = value;
    while (v.endsWith(u' '))
        v.chop(1);
    if (v == QLatin1String("N"))
        v = QStringLiteral("N/A");
    if (v.size() < 2)
        v.prepend(u' ');
    return v;
}

} // namespace

void ReportComposer::summaryHeader(bool subtitle)
{
    const ClientWork& c = in_.client;
    w_.tab(29).text(u"KAVEXA").end();
    w_.tab(29).text(u"* * * * * * * * * * * * * *").end();
    LineCount += 2;
    if (subtitle) {
        w_.tab(34).text(u"ONE-PAGE SUMMARY").end();
        LineCount += 1;
    }
    w_.emptyLine();
    LineCount += 1;
    line(QStringLiteral("NAME OR ID #   : ") + c.Name);
    w_.spc(7).text(u"AGE: ").text(c.Age).text(u"   SEX : ");
    w_.text(paddedLabel(GenderLabel(), c.Gender)).tab(60).text(u"CONFIDENTIAL REPORT").end();
    line(QStringLiteral("DATE OF BIRTH  : ") + c.DateOfBirth);
    line(QStringLiteral("ETHNICITY/RACE : ") + paddedLabel(RaceLabel(), c.Race));
    line(QStringLiteral("EDUCATION/GRADE: ") + paddedLabel(EducationLabel(), c.Education));
    w_.spc(7).text(u"MARITAL STATUS : ").text(paddedLabel(MaritalLabel(), c.Marital));
    // The date ends in column 78 whatever its length.
    w_.tab(62 - static_cast<int>(c.TestDate.size())).text(u"DATE KVX SCORED: ");
    w_.text(c.TestDate).end();
    w_.emptyLine();
    LineCount += 7;
}

void ReportComposer::profileChart()
{
    const ClientScores& r = in_.scores;
    const ScoringTables& t = in_.tables;
    w_.spc(7).text(u"MEASURES").spc(12).text(u"%ile").spc(6).text(u"                KVX PROFILE");
    w_.end();
    w_.spc(7).text(u"--------").spc(12).text(u"----").spc(6).text(kBorderRow).end();
    w_.spc(37).text(u"-   LOW RISK    -  MEDIUM   -PROBLEM-MAX-").end();
    w_.spc(37).text(kOpenRow).end();
    bool anyNotScored = false;
    for (int s = 1; s <= kScaleCount; ++s) {
        const bool omitted = r.OmitCount[s] > 4;
        const int p = r.Percentile[s];
        // One- and two-digit percentiles end in the same column.
        w_.spc(7).text(t.ScaleName[s]).tab(!omitted && p < 10 ? 29 : 28);
        if (omitted) {
            anyNotScored = true;
            w_.text(u" **").tab(38).text(u"Scale not scored, insufficient answers").end();
        } else {
            w_.number(p);
            if (r.Percentile[1] >= 90 || r.ArrestFloorFlag[s] == 1)
                w_.text(u"*");
            const int n = std::clamp(p * 10 / 25, 0, 39);
            w_.tab(38).text(QString(n + 1, u'*') + kDottedRow.right(40 - n)).end();
        }
        w_.spc(37).text(s < kScaleCount ? kOpenRow : kBorderRow).end();
    }
    QString noteA;
    QString noteB;
    if (anyNotScored) {
        noteA = QStringLiteral("** Too many omitted items");
        noteB = QStringLiteral("   to score this scale");
    } else if (r.Percentile[1] >= 90) {
        noteA = QStringLiteral("* These test results");
        noteB = QStringLiteral("  are inaccurate");
    } else if (r.ArrestFloorFlag[2] == 1 || r.ArrestFloorFlag[4] == 1 ||
               r.ArrestFloorFlag[5] == 1) {
        noteB = QStringLiteral("* Minimum Scale Score");
    }
    w_.spc(7).text(noteA).tab(38).text(u"0").spc(15).text(u"40").spc(10).text(u"70").spc(6);
    w_.text(u"90 100").end();
    w_.spc(7).text(noteB).tab(38).text(u"----------- PERCENTILE SCORES -----------").end();
    w_.emptyLine();
    LineCount += 2 * (kScaleCount - 1) + 9;
}

void ReportComposer::additionalInformation()
{
    static const std::array<QString, 8> kLeft{QString(),
                                              QStringLiteral("Age of first conviction...... "),
                                              QStringLiteral("Misdemeanor convictions...... "),
                                              QStringLiteral("Felony convictions........... "),
                                              QStringLiteral("Times on probation........... "),
                                              QStringLiteral("Probation revocations........ "),
                                              QStringLiteral("Times on parole.............. "),
                                              QStringLiteral("Parole revocations........... ")};
    static const std::array<QString, 8> kRight{QString(),
                                               QStringLiteral("Times sentenced to jail......... "),
                                               QStringLiteral("Times sentenced to prison....... "),
                                               QStringLiteral("Years in jail and prison........ "),
                                               QStringLiteral("Domestic violence arrests....... "),
                                               QStringLiteral("Alcohol-related arrests......... "),
                                               QStringLiteral("Drug-related arrests............ "),
                                               QStringLiteral("Assault (not D.V.) arrests...... ")};
    const auto& court = in_.client.Court;
    w_.tab(22).text(u"ADDITIONAL INFORMATION PROVIDED BY CLIENT").end();
    w_.tab(22).text(u"-----------------------------------------").end();
    for (int j = 1; j <= 7; ++j) {
        w_.spc(7).text(kLeft[j]).text(tidied(court[j]));
        w_.tab(44).text(kRight[j]).text(tidied(court[j + 8])).end();
    }
    line(QStringLiteral("Total number of arrests...... ") + tidied(court[8]));
    w_.emptyLine();
    LineCount += 11;
}

void ReportComposer::recommendations()
{
    const QString rule(71, u'_');
    line(QStringLiteral("RECOMMENDATIONS:_______________________________________________________"));
    for (int k = 0; k < 2; ++k) {
        w_.emptyLine();
        line(rule);
    }
    w_.emptyLine();
    line(QStringLiteral("______________________        ______________"));
    w_.spc(7).text(u"STAFF MEMBER SIGNATURE             DATE").tab(62).text(u"(KVX TEST #");
    w_.number(in_.client.TestNumber).text(u")").end();
    LineCount += 8;
    if (LineCount < kPageLines) {
        w_.emptyLine();
        LineCount += 1;
    }
}

} // namespace kvx
