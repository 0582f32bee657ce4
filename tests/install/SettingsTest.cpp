#include "install/Settings.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace {

class SettingsTest : public ::testing::Test
{
protected:
    Settings withIni(const QByteArray& text)
    {
        EXPECT_TRUE(test::writeBytes(dir.filePath("kvx.ini"), text));
        return Settings(dir.path());
    }
    QTemporaryDir dir;
};

TEST_F(SettingsTest, DefaultsWithNoFileAndWithAnEmptyFile)
{
    for (bool empty : {false, true}) {
        const Settings st = empty ? withIni("") : Settings(dir.path());
        EXPECT_EQ(st.GetFilePathSetting(), "a:");
        EXPECT_EQ(st.GetINISndPath(), "c:");
        EXPECT_TRUE(st.GetNumLockSetting() && st.GetPrintDOSSetting());
        EXPECT_EQ(st.GetBrandCode() + st.GetRawPrinter() + st.GetScannerDevice(), "");
    }
}

TEST_F(SettingsTest, OnOffKeysAreOnOnlyWhenTheyStartWithTru)
{
    const std::pair<const char*, bool> cases[] = {
        {"True", true},   {"Truly yes", true}, {"Tru", true},      {"true", false}, {"TRUE", false},
        {"False", false}, {"", false},         {"  True  ", true}, {"Yes", false},  {"1", false},
    };
    for (const auto& [value, on] : cases) {
        const Settings st =
            withIni(QByteArray("[Settings]\nNumLock=") + value + "\nPrintDOS=" + value + "\n");
        EXPECT_EQ(st.GetNumLockSetting(), on) << value;
        EXPECT_EQ(st.GetPrintDOSSetting(), on) << value;
    }
}

TEST_F(SettingsTest, PathKeysAreTrimmedAndReadWhole)
{
    const QString longPath = "/home/probation/Documents/assessments/" + QString(60, 'x');
    const Settings st =
        withIni("[path]\nfilepath=   /media/usb0   \nSndPath=" + longPath.toLatin1() +
                "\n[Settings]\nBrandCode=b\nRawPrinter=/dev/usb/lp0\n"
                "[Scanner]\nDevice=test:0\n");
    EXPECT_EQ(st.GetFilePathSetting(), "/media/usb0");
    EXPECT_EQ(st.GetINISndPath(), longPath);
    EXPECT_EQ(st.readKey("Path", "SndPath", QString(), 50), longPath.left(49));
    EXPECT_EQ(st.GetBrandCode(), "b");
    EXPECT_EQ(st.GetRawPrinter(), "/dev/usb/lp0");
    EXPECT_EQ(st.GetScannerDevice(), "test:0");
    // A hand-written comma is part of the path, not a list.
    EXPECT_EQ(withIni("[Path]\nFilePath=/mnt/a,b\n").GetFilePathSetting(), "/mnt/a,b");
}

TEST(SettingsErrors, AWriteToAReadOnlyFolderIsReported)
{
    test::ReadOnlyFolder ro;
    ASSERT_TRUE(ro.valid() && ro.makeReadOnly());
    EXPECT_FALSE(Settings(ro.path()).SaveNumLockSetting(true));
}

} // namespace
