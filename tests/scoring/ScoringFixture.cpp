#include "scoring/ScoringFixture.h"

#include "common/TestSupport.h"
#include "store/Cp1252.h"

#include <QDir>

#include <algorithm>
#include <cstdlib>

namespace kvx::test {

namespace {

void fillRange(std::array<int, 41>& a, int from, int to, int firstItem)
{
    for (int k = from; k <= to; ++k)
        a[k] = firstItem + k - from;
}

QString digits(int count, QChar d)
{
    return QString(count, d);
}

QByteArray encode(const QString& text)
{
    QByteArray bytes;
    cp1252::encode(text, &bytes);
    return bytes;
}

QString joined(const std::vector<int>& values, const QString& sep)
{
    QStringList parts;
    for (int v : values)
        parts.append(QString::number(v));
    return parts.join(sep);
}

} // namespace

KeyFixture KeyFixture::standard()
{
    KeyFixture k;
    fillRange(k.sigItemNo, 1, 9, 21);
    fillRange(k.sigItemNo, 10, 19, 61);
    fillRange(k.sigItemNo, 20, 28, 81);
    fillRange(k.sigItemNo, 29, 40, 41);
    for (int block : {1, 2, 4}) {
        const int len = block == 1 ? 50 : block == 2 ? 44 : 10;
        k.pointKey[block][0] = digits(len, u'0');
        k.pointKey[block][1] = digits(len, block == 4 ? u'0' : u'1');
        k.pointKey[block][2] = digits(len, u'0');
    }
    for (int block : {3, 5}) {
        const int len = block == 3 ? 41 : 10;
        for (int code = 0; code <= 4; ++code)
            k.pointKey[block][code] = digits(len, QChar(u'0' + std::max(code - 1, 0)));
    }
    for (int s = 1; s <= 5; ++s)
        for (int race = 1; race <= 3; ++race)
            for (int sex = 1; sex <= 2; ++sex)
                for (int raw = 1; raw <= 40; ++raw)
                    k.norm[s][race][sex].push_back(
                        std::min(99, 2 * raw + 10 * (sex - 1) + 3 * (race - 1)));
    for (int i = 1; i <= 52; ++i)
        k.stressBound[i] = 2 * (i - 1);
    for (int sex = 1; sex <= 2; ++sex)
        for (int race = 1; race <= 3; ++race)
            for (int b = 1; b <= 51; ++b)
                k.stressNorm[sex][race][b] = std::min(99, b + 10 * (sex - 1) + 3 * (race - 1));
    for (int s = 1; s <= 4; ++s)
        for (int i = 1; i <= 20; ++i)
            k.scaleItems[s].push_back(20 * (s - 1) + i);
    for (int i = 81; i <= 94; ++i)
        k.scaleItems[5].push_back(i);
    for (int i = 146; i <= 151; ++i)
        k.scaleItems[5].push_back(i);
    int n = 1;
    for (int i = 21; i <= 32; ++i)
        k.floorItemNo[n++] = i;
    for (int i = 41; i <= 52; ++i)
        k.floorItemNo[n++] = i;
    for (int i = 61; i <= 73; ++i)
        k.floorItemNo[n++] = i;
    for (int i = 81; i <= 94; ++i)
        k.floorItemNo[n++] = i;
    for (int i = 146; i <= 151; ++i)
        k.floorItemNo[n++] = i;
    return k;
}

QByteArray KeyFixture::render() const
{
    // Several separator styles on purpose: commas, blanks, and fields split over lines.
    QString s;
    const auto line = [&](const QString& l) { s += l + QStringLiteral("\r\n"); };
    line(joined(std::vector<int>(sigItemNo.begin() + 1, sigItemNo.end()), QStringLiteral(",")));
    for (int block = 1; block <= 5; ++block)
        for (int code = 0; code <= (block == 3 || block == 5 ? 4 : 2); ++code)
            line(QStringLiteral("\"%1\"").arg(pointKey[block][code]));
    for (int sex = 1; sex <= 2; ++sex)
        for (int race = 1; race <= 3; ++race)
            for (int scale = 1; scale <= 5; ++scale) {
                const std::vector<int>& v = norm[scale][race][sex];
                line(QString::number(v.size()) + (v.empty() ? QString() : QStringLiteral(", ")) +
                     joined(v, QStringLiteral(", ")));
            }
    line(joined(std::vector<int>(stressBound.begin() + 1, stressBound.end()), QStringLiteral(" ")));
    for (int sex = 1; sex <= 2; ++sex)
        for (int race = 1; race <= 3; ++race)
            line(joined(
                std::vector<int>(stressNorm[sex][race].begin() + 1, stressNorm[sex][race].end()),
                QStringLiteral(",")));
    for (int scale = 1; scale <= 5; ++scale) {
        line(QString::number(scaleItems[scale].size()));
        line(joined(scaleItems[scale], QStringLiteral(",")));
    }
    line(joined(std::vector<int>(floorItemNo.begin() + 1, floorItemNo.end()), QStringLiteral(",")));
    for (int scale = 2; scale <= 6; ++scale)
        line(joined(std::vector<int>(truthAdjust[scale].begin() + 1, truthAdjust[scale].end()),
                    QStringLiteral(",")));
    return encode(s);
}

TextFixture TextFixture::standard()
{
    TextFixture t;
    t.rangeName = {QString(), QStringLiteral("LOW"), QStringLiteral("MEDIUM"),
                   QStringLiteral("PROBLEM"), QStringLiteral("MAXIMUM")};
    const std::array<QString, 5> groups{QString(), QStringLiteral("Alcohol"),
                                        QStringLiteral("Drugs"), QStringLiteral("Family"),
                                        QStringLiteral("Control")};
    for (int k = 1; k <= 40; ++k) {
        const int g = k <= 9 ? 1 : k <= 19 ? 2 : k <= 28 ? 3 : 4;
        t.sigItemText[k] = QStringLiteral("%1 sign %2").arg(groups[g]).arg(k);
    }
    for (int k = 1; k <= 10; ++k)
        t.sigItemText[40 + k] = QStringLiteral("Program %1 wanted").arg(k);
    for (int k = 1; k <= 40; ++k)
        t.interviewText[k] =
            QStringLiteral("Item %1 choice %2").arg(146 + (k - 1) / 4).arg((k - 1) % 4 + 1);
    return t;
}

QByteArray TextFixture::render() const
{
    QString s = QStringLiteral("\"Scale\",\"Percentile\"\r\n");
    s += QStringLiteral("Age,Sex,Race,Education,Marital,Date\r\n");
    s += QStringLiteral("A1,A2,A3,A4,A5,A6,A7,\"A8, last\"\r\n");
    s += QStringLiteral("B1,B2,B3,B4,B5\r\n");
    s += QStringLiteral("%1,%2,%3,%4\r\n")
             .arg(rangeName[1], rangeName[2], rangeName[3], rangeName[4]);
    for (int k = 1; k <= 40; ++k)
        s += sigItemText[k] + QStringLiteral("\r\n");
    for (int k = 1; k <= 40; ++k)
        s += interviewText[k] + QStringLiteral("\r\n");
    for (int k = 41; k <= 50; ++k)
        s += sigItemText[k] + QStringLiteral("\r\n");
    return encode(s);
}

QByteArray paragraphFile(int scale, const QStringList& keys, int linesPerKey)
{
    QString s = QStringLiteral("Paragraphs of scale %1\r\n").arg(scale);
    for (const QString& key : keys) {
        s += key + QStringLiteral("\r\n");
        for (int l = 1; l <= linesPerKey; ++l)
            s += QStringLiteral("Scale %1, %2 paragraph, line %3.\r\n").arg(scale).arg(key).arg(l);
        s += QStringLiteral("END\r\n");
    }
    return encode(s);
}

void writeInstallation(const QString& dir, const KeyFixture& key, const TextFixture& text,
                       int linesPerKey)
{
    const QDir d(dir);
    writeBytes(d.filePath(QStringLiteral("KVXB2.TXT")), key.render());
    writeBytes(d.filePath(QStringLiteral("KVXRPT.TXT")), text.render());
    const QStringList files{QStringLiteral("KVXVA.TXT"), QStringLiteral("KVXAL.TXT"),
                            QStringLiteral("KVXCL.TXT"), QStringLiteral("KVXDG.TXT"),
                            QStringLiteral("KVXVI.TXT"), QStringLiteral("KVXSC.TXT")};
    const QStringList keys{
        text.rangeName[1], QStringLiteral("MEDIUM-LOW"),  QStringLiteral("MEDIUM-HIGH"),
        text.rangeName[3], QStringLiteral("MAXIMUM-LOW"), QStringLiteral("MAXIMUM-HIGH")};
    for (int s = 1; s <= 6; ++s)
        writeBytes(d.filePath(files[s - 1]), paragraphFile(s, keys, linesPerKey));
    writeBytes(d.filePath(QStringLiteral("INVAL.TXT")),
               "The answers to this test cannot be interpreted: the client answered\r\n"
               "too many statements in a way that is very unlikely to be true.\r\n"
               "END\r\nNot printed.\r\n");
    writeBytes(d.filePath(QStringLiteral("branding.ini")),
               "[Default]\nReportLine1=Scored by the KVX test program\n"
               "ReportLine2=Test Vendor One, Sample City\n"
               "[b]\nReportLine1=Second brand scoring line\nReportLine2=Vendor Two\n");
}

ClientRecord ClientFixture::record() const
{
    ClientRecord r;
    const auto set = [&r](Field f, const QString& v) {
        if (!r.setText(f, v))
            std::abort(); // fixture texts are plain ASCII
    };
    set(Field::Name, name);
    set(Field::Age, age);
    set(Field::DateOfBirth, dob);
    r.setCode(Field::Gender, gender);
    r.setCode(Field::Race, race);
    r.setCode(Field::Marital, marital);
    r.setCode(Field::Education, education);
    set(Field::TestDate, testDate);
    for (int j = 1; j <= 15; ++j)
        set(courtField(j), court[j].isEmpty() ? QStringLiteral("0") : court[j]);
    QByteArray a = answers.isEmpty() ? neutralAnswers() : answers;
    a = a.leftJustified(155, '0', true);
    r.setRaw(Field::Answers, a);
    r.setRaw(Field::EditCount, "0");
    r.setRaw(Field::NameDeleted, "0");
    return r;
}

QByteArray neutralAnswers()
{
    return QByteArray(94, '2') + QByteArray(41, '1') + QByteArray(10, '2') + QByteArray(10, '1');
}

} // namespace kvx::test
