#include "app/Settings.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QSettings>

using namespace kvx;
using kvx::test::readBytes;
using kvx::test::writeBytes;

namespace {

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString ini() const { return dir.filePath(QStringLiteral("kvx.ini")); }
    void writeIni(const QByteArray& text) { ASSERT_TRUE(writeBytes(ini(), text)); }

    QTemporaryDir dir;
};

TEST_F(SettingsTest, DefaultsWithNoFileAndWithAnEmptyFile)
{
    for (bool empty : {false, true}) {
        if (empty)
            writeIni("");
        Settings st(dir.path());
        EXPECT_EQ(st.GetFilePathSetting(), QStringLiteral("a:"));
        EXPECT_EQ(st.GetINISndPath(), QStringLiteral("c:"));
        EXPECT_TRUE(st.GetNumLockSetting());
        EXPECT_TRUE(st.GetPrintDOSSetting());
        EXPECT_EQ(st.GetBrandCode(), QString());
        EXPECT_EQ(st.GetRawPrinter(), QString());
        EXPECT_EQ(st.GetScannerDevice(), QString());
    }
}

TEST_F(SettingsTest, OnOffKeysAreOnOnlyWhenTheyStartWithTru)
{
    const std::pair<const char*, bool> cases[] = {
        {"True", true},   {"Truly yes", true}, {"Tru", true},      {"true", false}, {"TRUE", false},
        {"False", false}, {"", false},         {"  True  ", true}, {"Yes", false},  {"1", false},
    };
    for (const auto& [value, on] : cases) {
        writeIni(QByteArray("[Settings]\nNumLock=") + value + "\nPrintDOS=" + value + "\n");
        Settings st(dir.path());
        EXPECT_EQ(st.GetNumLockSetting(), on) << value;
        EXPECT_EQ(st.GetPrintDOSSetting(), on) << value;
    }
}

TEST_F(SettingsTest, TogglingWritesTrueAndFalseAndPersists)
{
    {
        Settings st(dir.path());
        ASSERT_TRUE(st.SavePrintDOSSetting(!st.GetPrintDOSSetting()));
        EXPECT_FALSE(st.GetPrintDOSSetting());
    }
    EXPECT_EQ(QSettings(ini(), QSettings::IniFormat).value(QStringLiteral("Settings/PrintDOS")),
              QStringLiteral("False"));
    {
        Settings st(dir.path());
        EXPECT_FALSE(st.GetPrintDOSSetting());
        ASSERT_TRUE(st.SavePrintDOSSetting(!st.GetPrintDOSSetting()));
        ASSERT_TRUE(st.SaveNumLockSetting(false));
    }
    Settings st(dir.path());
    EXPECT_TRUE(st.GetPrintDOSSetting());
    EXPECT_FALSE(st.GetNumLockSetting());
    EXPECT_TRUE(readBytes(ini()).contains("PrintDOS=True"));
}

TEST_F(SettingsTest, PathKeysAreTrimmedAndReadWhole)
{
    const QByteArray longPath = "/home/probation/Documents/assessments/" + QByteArray(60, 'x');
    writeIni("[path]\nfilepath=   /media/usb0   \nSndPath=" + longPath +
             "\n[Settings]\nBrandCode=b\nRawPrinter=/dev/usb/lp0\n[Scanner]\nDevice=test:0\n");
    Settings st(dir.path());
    EXPECT_EQ(st.GetFilePathSetting(), QStringLiteral("/media/usb0"));
    EXPECT_EQ(st.GetINISndPath(), QString::fromLatin1(longPath));
    EXPECT_EQ(st.GetBrandCode(), QStringLiteral("b"));
    EXPECT_EQ(st.readKey(QStringLiteral("Path"), QStringLiteral("SndPath"), QString(), 50),
              QString::fromLatin1(longPath.left(49)));
    EXPECT_EQ(st.GetRawPrinter(), QStringLiteral("/dev/usb/lp0"));
    EXPECT_EQ(st.GetScannerDevice(), QStringLiteral("test:0"));

    // A hand-written comma is part of the path, not a list.
    writeIni("[Path]\nFilePath=/mnt/a,b\n");
    EXPECT_EQ(Settings(dir.path()).GetFilePathSetting(), QStringLiteral("/mnt/a,b"));
}

TEST_F(SettingsTest, FilePathSavedAndSystemDbWrittenIntoAMissingFile)
{
    Settings st(dir.path());
    ASSERT_TRUE(st.SaveSystemDB());
    EXPECT_EQ(st.GetSystemDB(), dir.filePath(QStringLiteral("qelwkg.mda")));
    ASSERT_TRUE(st.SaveFilePathSetting(QStringLiteral("/media/KVX DISK")));
    EXPECT_EQ(Settings(dir.path()).GetFilePathSetting(), QStringLiteral("/media/KVX DISK"));
    const QByteArray text = readBytes(ini());
    EXPECT_TRUE(text.contains("[Options]"));
    EXPECT_TRUE(text.contains("[Path]"));
}

TEST(SettingsErrors, AWriteToAReadOnlyFolderIsReported)
{
    test::ReadOnlyFolder ro;
    ASSERT_TRUE(ro.valid());
    ASSERT_TRUE(ro.makeReadOnly());
    Settings st(ro.path());
    EXPECT_FALSE(st.SaveNumLockSetting(true));
    EXPECT_TRUE(st.GetNumLockSetting());
}

} // namespace
