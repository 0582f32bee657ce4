#include "install/Settings.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <functional>

#include <sys/stat.h>

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

namespace {

// A settings file as found on an installation: comments, CR LF, a line without "=", keys in
// an order of their own, a Windows-1252 byte and backslashes in paths.
const QByteArray kWindowsIni = "; KVX settings\r\n"
                               "[Path]\r\n"
                               "FilePath=D:\\KVX Data\r\n"
                               "SndPath = c:\\Donn\xe9"
                               "es  \r\n"
                               "\r\n"
                               "[Settings]\r\n"
                               "PrintDOS=False\r\n"
                               "this line has no equals sign\r\n"
                               "NumLock=True\r\n"
                               "Unknown=kept\r\n";

TEST_F(SettingsTest, ValuesReadAsStoredWithoutEscapes)
{
    const Settings st = withIni(kWindowsIni);
    EXPECT_EQ(test::str(st.GetFilePathSetting()), "D:\\KVX Data");
    EXPECT_EQ(st.GetINISndPath(), QString::fromUtf8("c:\\Données"));
    EXPECT_FALSE(st.GetPrintDOSSetting());
    EXPECT_TRUE(st.GetNumLockSetting());
    // The first of two keys wins; quotes around a value are not part of it.
    const Settings dup = withIni("[PATH]\nfilePATH=\"E:\\\"\nFilePath=F:\n[Path]\nFilePath=G:\n");
    EXPECT_EQ(test::str(dup.GetFilePathSetting()), "E:\\");
}

TEST_F(SettingsTest, AWriteChangesOnlyItsOwnLine)
{
    const struct
    {
        const char* what;
        QByteArray before;
        std::function<Status(Settings&)> write;
        QByteArray after;
    } cases[] = {
        {"changed value", kWindowsIni, [](Settings& s) { return s.SavePrintDOSSetting(true); },
         QByteArray(kWindowsIni).replace("PrintDOS=False", "PrintDOS=True")},
        {"equal value is not rewritten", kWindowsIni,
         [](Settings& s) { return s.SaveNumLockSetting(true); }, kWindowsIni},
        {"path with a backslash and a Windows-1252 byte", kWindowsIni,
         [](Settings& s) { return s.SaveFilePathSetting(QString::fromUtf8("E:\\Données")); },
         QByteArray(kWindowsIni)
             .replace("D:\\KVX Data", "E:\\Donn\xe9"
                                      "es")},
        {"new key at the end of its section", kWindowsIni,
         [](Settings& s) { return s.writeKey("path", "Extra", "1"); },
         QByteArray(kWindowsIni).replace("es  \r\n\r\n", "es  \r\nExtra=1\r\n\r\n")},
        {"LF file without a final line end", "[Settings]\nNumLock=False",
         [](Settings& s) { return s.SavePrintDOSSetting(false); },
         "[Settings]\nNumLock=False\nPrintDOS=False\n"},
        // A lone CR ending the file stays the text it was: a bare LF would make it a line end.
        {"lone CR ending the file", "[Settings]\nNumLock=False\r",
         [](Settings& s) { return s.SavePrintDOSSetting(false); },
         "[Settings]\nNumLock=False\r\r\nPrintDOS=False\n"},
        {"lone CR ending the file, new section", "[Path]\nFilePath=E:\r",
         [](Settings& s) { return s.SaveNumLockSetting(false); },
         "[Path]\nFilePath=E:\r\r\n[Settings]\nNumLock=False\n"},
        {"no file at all", QByteArray(), [](Settings& s) { return s.SaveNumLockSetting(false); },
         "[Settings]\r\nNumLock=False\r\n"},
    };
    for (const auto& c : cases) {
        QFile::remove(dir.filePath("kvx.ini"));
        if (!c.before.isNull()) {
            ASSERT_TRUE(test::writeBytes(dir.filePath("kvx.ini"), c.before));
        }
        Settings st(dir.path());
        ASSERT_TRUE(c.write(st)) << c.what;
        EXPECT_EQ(test::readBytes(dir.filePath("kvx.ini")), c.after) << c.what;
    }
    Settings st = withIni(kWindowsIni);
    ASSERT_TRUE(st.SaveSystemDB()); // a new section goes at the end
    EXPECT_EQ(test::readBytes(dir.filePath("kvx.ini")),
              kWindowsIni + "[Options]\r\nSystemDB=" + dir.filePath("qelwkg.mda").toUtf8() +
                  "\r\n");
    // A value the file cannot hold is refused, and the file is untouched.
    st = withIni(kWindowsIni);
    EXPECT_EQ(st.SaveFilePathSetting(QString::fromUtf8("/mnt/\u4e2d")).error().code,
              err::CannotEncode);
    EXPECT_EQ(test::readBytes(dir.filePath("kvx.ini")), kWindowsIni);
}

TEST(SettingsFiles, ASpecialFileIsNeitherWaitedOnNorReplaced)
{
    QTemporaryDir dir;
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("kvx.ini")).constData(), 0666), 0);
    Settings st(dir.path());
    EXPECT_EQ(st.GetFilePathSetting(), "a:");
    EXPECT_FALSE(st.SaveNumLockSetting(false));
    EXPECT_FALSE(QFileInfo(dir.filePath("kvx.ini")).isFile()); // still the FIFO
}

} // namespace
