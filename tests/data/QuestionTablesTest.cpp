#include "DataFiles.h"
#include "testing/QuestionDatabase.h"

#include <QRegularExpression>

#include <set>

using namespace kvx;
using namespace kvx::test;

namespace {

Result<Recordset> openTable(const QString& table)
{
    static const Workspace ws(EngineDefaults{}, QString(), "admin", QString());
    auto db = ws.OpenDatabase(qEnvironmentVariable("KVX_BUILD_DIR") + "/data/KVX_32.db", false);
    if (!db)
        return db.error();
    return (*db)->OpenRecordset(table);
}

// The English labels give the answer grid's types 0, 3, 1 and 2 by their first five
// characters ("False", "Somet", "No", anything else); section 4 has numbered choices.
struct Section
{
    int last;
    QStringList english, spanish;
} const kSections[] = {
    {94, {"True", "False"}, {"Cierto", "Falso"}},
    {135,
     {"Rare or Never", "Sometimes", "Often", "Very Often"},
     {"Raro o nunca", "Hay veces", "Frecuentemente", "Muy frecuente"}},
    {145, {"Yes", "No"}, {"Sí", "No"}},
    {155, {}, {}},
};

class QuestionTable : public testing::TestWithParam<const char*>
{
};

TEST_P(QuestionTable, HoldsEveryItemInOrderWithItsSectionsLabels)
{
    const QString table = GetParam();
    auto rs = openTable(QStringLiteral("Select * from [%1]").arg(table));
    ASSERT_TRUE(rs.ok()) << str(rs.error().message);
    ASSERT_EQ(rs->RecordCount(), 155);
    std::set<QString> questionAudio;
    rs->MoveFirst();
    for (int id = 1; id <= 155; ++id, rs->MoveNext()) {
        SCOPED_TRACE(testing::Message() << str(table) << " item " << id);
        ASSERT_EQ(rs->text("ID").toInt(), id);
        EXPECT_FALSE(rs->text("TestQuestion").trimmed().isEmpty());
        const QString audio = rs->text("QuestionAudio").trimmed();
        EXPECT_FALSE(audio.isEmpty());
        EXPECT_TRUE(questionAudio.insert(audio).second) << "audio name used twice";

        const Section& sec = *std::find_if(std::begin(kSections), std::end(kSections),
                                           [&](const Section& s) { return id <= s.last; });
        const QStringList& labels = table == "English" ? sec.english : sec.spanish;
        const int choices = labels.isEmpty() ? 4 : int(labels.size());
        for (int n = 1; n <= 5; ++n) {
            const QString answer = rs->text(QStringLiteral("ANSWER%1").arg(n));
            const QString choiceAudio = rs->text(QStringLiteral("ChoiceAudio%1").arg(n)).trimmed();
            EXPECT_EQ(choiceAudio.isEmpty(), n > choices) << "ChoiceAudio" << n;
            if (n > choices)
                EXPECT_TRUE(answer.isEmpty()) << "ANSWER" << n;
            else if (labels.isEmpty())
                EXPECT_TRUE(answer.startsWith(QStringLiteral("%1 - ").arg(n))) << str(answer);
            else
                EXPECT_EQ(answer, labels[n - 1]);
        }
    }
    EXPECT_TRUE(rs->AtEOF());
}

INSTANTIATE_TEST_SUITE_P(Languages, QuestionTable, testing::Values("English", "Spanish"));

TEST(QuestionTables, ItemsSpeakToTheirScales)
{
    ScoringTables t;
    ASSERT_TRUE(loadTables(t));
    auto rs = openTable("English");
    ASSERT_TRUE(rs.ok());
    std::map<int, QString> text;
    for (rs->MoveFirst(); !rs->AtEOF(); rs->MoveNext())
        text[rs->text("ID").toInt()] = rs->text("TestQuestion");

    const std::pair<int, const char*> scales[] = {
        {2, "drink|alcohol|drunk"},
        {3, "partner|jealous|argument|household|controlling|money|children"},
        {4, "drug|marijuana|prescription"},
    };
    for (const auto& [scale, pattern] : scales) {
        const QRegularExpression re(pattern, QRegularExpression::CaseInsensitiveOption);
        ASSERT_FALSE(t.ScaleItems[scale].empty());
        for (int item : t.ScaleItems[scale])
            EXPECT_TRUE(re.match(text[item]).hasMatch())
                << "scale " << scale << " item " << item << ": " << str(text[item]);
    }
}

} // namespace
