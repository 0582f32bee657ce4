#include "ui/SaveClient.h"
#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <gtest/gtest.h>

using namespace kvx;
using kvx::test::readBytes;
using kvx::test::str;
using kvx::test::writeBytes;
using A = Prompter::Answer;

namespace {

QByteArray named(const QString& name)
{
    ClientRecord r;
    EXPECT_TRUE(r.setText(Field::Name, name));
    return r.bytes();
}

class SaveClientTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(writeBytes(file(), named("One") + named("Two")));
        SetDataPath(s, dir.path());
        ASSERT_TRUE(ReadAllClients(s));
    }
    QString file() const { return dir.filePath("DATA401.KVX"); }

    QTemporaryDir dir;
    Session s;
    test::ScriptedPrompter prompter;
};

TEST_F(SaveClientTest, ASwappedDiskIsRefusedUntilTheSameDiskIsBack)
{
    const QByteArray original = readBytes(file());
    const QByteArray other = named("Someone") + named("Else");
    for (const A answer : {A::Cancel, A::Retry}) {
        ASSERT_TRUE(writeBytes(file(), other));
        prompter.shown.clear();
        prompter.answers = {answer};
        // While the message is up the operator puts the right disk back.
        prompter.onMessage = [&](const auto&) { ASSERT_TRUE(writeBytes(file(), original)); };
        s.CurClient = 2;
        ASSERT_TRUE(s.current().setText(Field::Name, u"Two Changed"));
        EXPECT_EQ(SaveCurrentClient(s, prompter), answer == A::Retry);
        ASSERT_EQ(prompter.shown.size(), 1);
        EXPECT_EQ(str(prompter.shown[0].text), str(kDiskChangedMessage));
        EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::RetryCancel);
        EXPECT_EQ(prompter.shown[0].icon, Prompter::Icon::Critical);
        EXPECT_EQ(str(prompter.shown[0].title), "Data Disk Error");
        EXPECT_EQ(s.current().trimmed(Field::Name), "Two Changed"); // kept either way
        EXPECT_EQ(readBytes(file()),
                  answer == A::Retry ? named("One") + s.current().bytes() : original);
    }
}

TEST_F(SaveClientTest, ANewClientAfterAnotherProgramsAppendTakesTheNextNumber)
{
    ASSERT_TRUE(writeBytes(file(), readBytes(file()) + named("Added Elsewhere")));
    InitNewClient(s, QDate(2026, 2, 3));
    ASSERT_TRUE(s.current().setText(Field::Name, u"Added Here"));
    EXPECT_TRUE(SaveCurrentClient(s, prompter));
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(str(prompter.shown[0].text), "Another program has added clients to this data disk. "
                                           "This client was saved as client number 4.");
    EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::Ok);
    EXPECT_EQ(s.NumClients, 4);
    EXPECT_EQ(s.CurClient, 4);
    EXPECT_EQ(readBytes(file()).mid(3 * 239), s.client(4).bytes());

    // Without anyone else writing, the number is the expected one and nothing is said.
    prompter.shown.clear();
    InitNewClient(s, QDate(2026, 2, 3));
    EXPECT_TRUE(SaveCurrentClient(s, prompter));
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(s.NumClients, 5);
}

} // namespace
