#include "scoring/ScoringFixture.h"

#include "common/TestSupport.h"

#include <algorithm>
#include <span>

namespace kvx::test {

namespace {

std::vector<int> items(std::initializer_list<std::pair<int, int>> ranges)
{
    std::vector<int> v;
    for (auto [from, to] : ranges)
        for (int i = from; i <= to; ++i)
            v.push_back(i);
    return v;
}

QString line(std::span<const int> values, const char* sep)
{
    QStringList parts;
    for (int v : values)
        parts.append(QString::number(v));
    return parts.join(QLatin1String(sep)) + "\r\n";
}

} // namespace

ScoringTables standardTables()
{
    ScoringTables t;
    std::ranges::copy(items({{21, 29}, {61, 70}, {81, 89}, {41, 52}}), t.SigItemNo.begin() + 1);
    std::ranges::copy(items({{21, 32}, {41, 52}, {61, 73}, {81, 94}, {146, 151}}),
                      t.FloorItemNo.begin() + 1);
    for (int s = 1; s <= 4; ++s)
        t.ScaleItems[s] = items({{20 * s - 19, 20 * s}});
    t.ScaleItems[5] = items({{81, 94}, {146, 151}});
    static constexpr int kBlockLength[6]{0, 50, 44, 41, 10, 10};
    for (int block = 1; block <= 5; ++block) {
        const bool frequency = block == 3 || block == 5;
        for (int code = 0; code <= (frequency ? 4 : 2); ++code) {
            const int points = frequency ? std::max(code - 1, 0) : block <= 2 && code == 1;
            t.PointKey[block][code] = QString(kBlockLength[block], QChar(u'0' + points));
        }
    }
    for (int sex = 1; sex <= 2; ++sex)
        for (int race = 1; race <= 3; ++race) {
            const int group = 10 * (sex - 1) + 3 * (race - 1);
            for (int s = 1; s <= 5; ++s)
                for (int raw = 1; raw <= 40; ++raw)
                    t.Norm[s][race][sex].push_back(std::min(99, 2 * raw + group));
            for (int b = 1; b <= kStressBracketCount; ++b)
                t.StressNorm[sex][race][b] = std::min(99, b + group);
        }
    for (int i = 1; i <= kStressBoundCount; ++i)
        t.StressBound[i] = 2 * (i - 1);
    t.RangeName = {QString(), "LOW", "MEDIUM", "PROBLEM", "MAXIMUM"};
    const QString groups[]{"Alcohol", "Drugs", "Family", "Control"};
    for (int k = 1; k <= 40; ++k) {
        t.SigItemText[k] = groups[(k > 9) + (k > 19) + (k > 28)] + " sign " + QString::number(k);
        t.InterviewText[k] =
            QStringLiteral("Item %1 choice %2").arg(146 + (k - 1) / 4).arg((k - 1) % 4 + 1);
    }
    for (int k = 1; k <= 10; ++k)
        t.SigItemText[40 + k] = QStringLiteral("Program %1 wanted").arg(k);
    return t;
}

QByteArray renderKey(const ScoringTables& t)
{
    // Several separator styles on purpose: commas, blanks, and fields split over lines.
    QString s = line(std::span(t.SigItemNo).subspan(1), ",");
    for (int block = 1; block <= 5; ++block)
        for (int code = 0; code <= (block == 3 || block == 5 ? 4 : 2); ++code)
            s += "\"" + t.PointKey[block][code] + "\"\r\n";
    for (int sex = 1; sex <= 2; ++sex)
        for (int race = 1; race <= 3; ++race)
            for (int scale = 1; scale <= 5; ++scale) {
                std::vector<int> v = t.Norm[scale][race][sex];
                v.insert(v.begin(), static_cast<int>(v.size()));
                s += line(v, ", ");
            }
    s += line(std::span(t.StressBound).subspan(1), " ");
    for (int sex = 1; sex <= 2; ++sex)
        for (int race = 1; race <= 3; ++race)
            s += line(std::span(t.StressNorm[sex][race]).subspan(1), ",");
    for (int scale = 1; scale <= 5; ++scale)
        s += QString::number(t.ScaleItems[scale].size()) + "\r\n" + line(t.ScaleItems[scale], ",");
    s += line(std::span(t.FloorItemNo).subspan(1), ",");
    for (int scale = 2; scale <= 6; ++scale)
        s += line(std::span(t.TruthAdjust[scale]).subspan(1), ",");
    return s.toLatin1();
}

QByteArray renderText(const ScoringTables& t)
{
    QString s = "\"Scale\",\"Percentile\"\r\nAge,Sex,Race,Education,Marital,Date\r\n"
                "A1,A2,A3,A4,A5,A6,A7,\"A8, last\"\r\nB1,B2,B3,B4,B5\r\n";
    s += QStringList(t.RangeName.begin() + 1, t.RangeName.end()).join(u',') + "\r\n";
    const auto lines = [&s](const auto& texts, int from, int to) {
        for (int k = from; k <= to; ++k)
            s += texts[k] + "\r\n";
    };
    lines(t.SigItemText, 1, 40);
    lines(t.InterviewText, 1, 40);
    lines(t.SigItemText, 41, 50);
    return s.toLatin1();
}

void writeInstallation(const QString& dir, int linesPerKey)
{
    const QDir d(dir);
    const ScoringTables t = standardTables();
    writeBytes(d.filePath("KVXB2.TXT"), renderKey(t));
    writeBytes(d.filePath("KVXRPT.TXT"), renderText(t));
    const char* files[]{"KVXVA.TXT", "KVXAL.TXT", "KVXCL.TXT",
                        "KVXDG.TXT", "KVXVI.TXT", "KVXSC.TXT"};
    for (int s = 1; s <= 6; ++s) {
        QString p = QStringLiteral("Paragraphs of scale %1\r\n").arg(s);
        for (const char* key :
             {"LOW", "MEDIUM-LOW", "MEDIUM-HIGH", "PROBLEM", "MAXIMUM-LOW", "MAXIMUM-HIGH"}) {
            p += QLatin1String(key) + "\r\n";
            for (int l = 1; l <= linesPerKey; ++l)
                p += QStringLiteral("Scale %1, %2 paragraph, line %3.\r\n")
                         .arg(QString::number(s), QLatin1String(key), QString::number(l));
            p += "END\r\n";
        }
        writeBytes(d.filePath(files[s - 1]), p.toLatin1());
    }
    writeBytes(d.filePath("INVAL.TXT"),
               "The answers to this test cannot be interpreted: the client answered\r\n"
               "too many statements in a way that is very unlikely to be true.\r\n"
               "END\r\nNot printed.\r\n");
    writeBytes(d.filePath("branding.ini"),
               "[Default]\nReportLine1=Scored by the KVX test program\n"
               "ReportLine2=Test Vendor One, Sample City\n"
               "[b]\nReportLine1=Second brand scoring line\nReportLine2=Vendor Two\n");
}

QByteArray neutralAnswers()
{
    return QByteArray(94, '2') + QByteArray(41, '1') + QByteArray(10, '2') + QByteArray(10, '1');
}

QByteArray answered(std::initializer_list<Span> spans, QByteArray base)
{
    for (auto [from, to, code] : spans)
        for (int i = from; i <= to; ++i)
            base[i - 1] = code;
    return base;
}

ClientRecord ClientFixture::record() const
{
    ClientRecord r;
    bool fits = r.setText(Field::Name, name) && r.setText(Field::Age, age) &&
                r.setText(Field::DateOfBirth, dob) && r.setText(Field::TestDate, testDate);
    for (int j = 1; j <= 15; ++j)
        fits = r.setText(courtField(j), court[j].isEmpty() ? "0" : court[j]) && fits;
    if (!fits)
        qFatal("fixture text does not fit");
    r.setCode(Field::Gender, gender);
    r.setCode(Field::Race, race);
    r.setCode(Field::Marital, marital);
    r.setCode(Field::Education, education);
    r.setRaw(Field::Answers,
             (answers.isEmpty() ? neutralAnswers() : answers).leftJustified(155, '0', true));
    r.setRaw(Field::EditCount, "0");
    r.setRaw(Field::NameDeleted, "0");
    return r;
}

ClientFixture clientWith(const char* court, QByteArray answers)
{
    ClientFixture c{.answers = std::move(answers)};
    for (const QString& item : QString(court).split(u';', Qt::SkipEmptyParts))
        c.court[item.section(u'=', 0, 0).toInt()] = item.section(u'=', 1);
    return c;
}

ClientScores score(const ClientFixture& c, const ScoringTables& t)
{
    return ScoreClient(t, UnpackClient(c.record(), 1));
}

} // namespace kvx::test
