#include "DataFiles.h"
#include "testing/QuestionDatabase.h"

#include <QRegularExpression>

#include <set>

using namespace kvx;
using namespace kvx::test;

namespace {

const Workspace& workspace()
{
    static const Workspace ws(EngineDefaults{}, QString(), QStringLiteral("admin"), QString());
    return ws;
}

// The answer grid's classification by the first five characters of the second label.
int answerType(const QString& answer2)
{
    const QString p = answer2.left(5);
    if (p == QLatin1String("False"))
        return 0;
    if (p == QLatin1String("No"))
        return 1;
    if (p == QLatin1String("Somet"))
        return 3;
    if (p == QLatin1String("Mostl"))
        return 4;
    if (p == QLatin1String("Often"))
        return 5;
    return 2;
}

struct Section
{
    int first, last;
    QStringList english, spanish; // empty: numbered choices "1 - ..." to "4 - ..."
    int type;
};

const Section kSections[] = {
    {1,
     94,
     {QStringLiteral("True"), QStringLiteral("False")},
     {QStringLiteral("Cierto"), QStringLiteral("Falso")},
     0},
    {95,
     135,
     {QStringLiteral("Rare or Never"), QStringLiteral("Sometimes"), QStringLiteral("Often"),
      QStringLiteral("Very Often")},
     {QStringLiteral("Raro o nunca"), QStringLiteral("Hay veces"), QStringLiteral("Frecuentemente"),
      QStringLiteral("Muy frecuente")},
     3},
    {136,
     145,
     {QStringLiteral("Yes"), QStringLiteral("No")},
     {QStringLiteral("Sí"), QStringLiteral("No")},
     1},
    {146, 155, {}, {}, 2},
};

class QuestionTable : public testing::TestWithParam<const char*>
{
};

TEST_P(QuestionTable, HoldsEveryItemInOrderWithItsSectionsLabels)
{
    const QString table = QLatin1String(GetParam());
    const bool english = table == QLatin1String("English");
    auto db = workspace().OpenDatabase(builtDatabase(), false);
    ASSERT_TRUE(db.ok()) << str(db.error().message);
    auto rs = (*db)->OpenRecordset(QStringLiteral("Select * from [%1]").arg(table));
    ASSERT_TRUE(rs.ok()) << str(rs.error().message);
    ASSERT_EQ(rs->RecordCount(), 155);

    std::set<QString> questionAudio;
    rs->MoveFirst();
    for (int id = 1; id <= 155; ++id, rs->MoveNext()) {
        ASSERT_FALSE(rs->AtEOF());
        SCOPED_TRACE(testing::Message() << str(table) << " item " << id);
        ASSERT_EQ(rs->text(QStringLiteral("ID")).toInt(), id);
        EXPECT_FALSE(rs->text(QStringLiteral("TestQuestion")).trimmed().isEmpty());
        const QString audio = rs->text(QStringLiteral("QuestionAudio")).trimmed();
        EXPECT_FALSE(audio.isEmpty());
        EXPECT_TRUE(questionAudio.insert(audio).second) << "audio name used twice: " << str(audio);

        const Section& sec = *std::find_if(std::begin(kSections), std::end(kSections),
                                           [&](const Section& s) { return id <= s.last; });
        const QStringList& labels = english ? sec.english : sec.spanish;
        const int choices = labels.isEmpty() ? 4 : int(labels.size());
        for (int n = 1; n <= 5; ++n) {
            const QString answer = rs->text(QStringLiteral("ANSWER%1").arg(n));
            const QString choiceAudio = rs->text(QStringLiteral("ChoiceAudio%1").arg(n)).trimmed();
            if (n > choices) {
                EXPECT_TRUE(answer.isEmpty()) << "ANSWER" << n;
                EXPECT_TRUE(choiceAudio.isEmpty()) << "ChoiceAudio" << n;
                continue;
            }
            if (labels.isEmpty()) {
                EXPECT_TRUE(answer.startsWith(QStringLiteral("%1 - ").arg(n))) << str(answer);
            } else {
                EXPECT_EQ(answer, labels[n - 1]);
            }
            EXPECT_FALSE(choiceAudio.isEmpty()) << "ChoiceAudio" << n;
        }
        if (english) {
            EXPECT_EQ(answerType(rs->text(QStringLiteral("ANSWER2"))), sec.type);
        }
    }
    EXPECT_TRUE(rs->AtEOF());
}

INSTANTIATE_TEST_SUITE_P(Languages, QuestionTable, testing::Values("English", "Spanish"));

TEST(QuestionTables, ItemsSpeakToTheirScales)
{
    // Items of the ALCOHOL and DRUGS lists of the scoring key are about drinking and drugs.
    FieldReader r(cp1252::decode(readBytes(sourceData(QStringLiteral("KVXB2.TXT")))));
    int v = 0;
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(r.number(&v));
    }
    for (int i = 0; i < 19; ++i)
        r.text();
    for (int t = 0; t < 30; ++t) {
        ASSERT_TRUE(r.number(&v));
        for (int n = v; n > 0; --n) {
            ASSERT_TRUE(r.number(&v));
        }
    }
    for (int i = 0; i < 52 + 6 * 51; ++i) {
        ASSERT_TRUE(r.number(&v));
    }
    std::vector<int> lists[5];
    for (auto& list : lists) {
        int count = 0;
        ASSERT_TRUE(r.number(&count));
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(r.number(&v));
            list.push_back(v);
        }
    }

    auto db = workspace().OpenDatabase(builtDatabase(), false);
    ASSERT_TRUE(db.ok());
    auto rs = (*db)->OpenRecordset(QStringLiteral("English"));
    ASSERT_TRUE(rs.ok());
    std::map<int, QString> text;
    for (rs->MoveFirst(); !rs->AtEOF(); rs->MoveNext())
        text[rs->text(QStringLiteral("ID")).toInt()] = rs->text(QStringLiteral("TestQuestion"));

    const struct
    {
        int list;
        const char* pattern;
    } scales[] = {
        {1, "drink|alcohol|drunk"},
        {2, "partner|jealous|argument|household|controlling|money|children"},
        {3, "drug|marijuana|prescription"},
    };
    for (const auto& s : scales) {
        const QRegularExpression re(QLatin1String(s.pattern),
                                    QRegularExpression::CaseInsensitiveOption);
        ASSERT_FALSE(lists[s.list].empty());
        for (int item : lists[s.list]) {
            EXPECT_TRUE(re.match(text[item]).hasMatch())
                << "scale " << s.list + 1 << " item " << item << ": " << str(text[item]);
        }
    }
}

} // namespace
