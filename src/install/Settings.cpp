#include "install/Settings.h"

#include "install/IniFile.h"
#include "store/Cp1252.h"

#include <QDir>

namespace kvx {
namespace {

const QString kPath = QStringLiteral("Path");
const QString kSettings = QStringLiteral("Settings");
const QString kOptions = QStringLiteral("Options");
const QString kScanner = QStringLiteral("Scanner");
const QString kWorkgroupFile = QStringLiteral("qelwkg.mda");

// Folder paths are read whole: here they routinely run past the 49 characters of a drive
// letter era buffer, and a path cut short names another folder.
constexpr int kPathBuffer = 1024;

} // namespace

Settings::Settings(const QString& programDir)
    : programDir_(programDir), iniPath_(QDir(programDir).filePath(kIniFileName))
{}

QString Settings::readKey(const QString& section, const QString& key, const QString& defaultValue,
                          int bufferSize) const
{
    // Read afresh each time, as the profile functions do: the file may be edited meanwhile.
    // An unreadable file reads as one without the key.
    const Result<IniFile> ini = loadIniFile(iniPath_);
    if (!ini)
        return defaultValue;
    QByteArray section8, key8;
    if (!cp1252::encode(section, &section8) || !cp1252::encode(key, &key8))
        return defaultValue;
    std::optional<QByteArray> v = ini->value(section8, key8);
    if (!v)
        return defaultValue;
    const qsizetype zero = v->indexOf('\0');
    if (zero >= 0)
        v->truncate(zero);
    return cp1252::decode(*v).trimmed().left(bufferSize - 1).trimmed();
}

Status Settings::writeKey(const QString& section, const QString& key, const QString& value)
{
    QByteArray section8, key8, value8;
    if (!cp1252::encode(section, &section8) || !cp1252::encode(key, &key8) ||
        !cp1252::encode(value, &value8)) {
        return Error{
            err::CannotEncode,
            QStringLiteral("The value \"%1\" cannot be stored in the settings file.").arg(value)};
    }
    // A file that cannot be read is never replaced: its content would be lost.
    Result<IniFile> ini = loadIniFile(iniPath_);
    if (!ini)
        return ini.error();
    if (!ini->setValue(section8, key8, value8))
        return {};
    return saveIniFile(iniPath_, ini->bytes());
}

bool Settings::readOnOff(const QString& key) const
{
    return readKey(kSettings, key, QStringLiteral("True"), 10).startsWith(QLatin1String("Tru"));
}

QString Settings::GetFilePathSetting() const
{
    return readKey(kPath, QStringLiteral("FilePath"), QStringLiteral("a:"), kPathBuffer);
}

Status Settings::SaveFilePathSetting(const QString& drive)
{
    return writeKey(kPath, QStringLiteral("FilePath"), drive);
}

QString Settings::GetINISndPath() const
{
    return readKey(kPath, QStringLiteral("SndPath"), QStringLiteral("c:"), kPathBuffer);
}

bool Settings::GetNumLockSetting() const
{
    return readOnOff(QStringLiteral("NumLock"));
}

Status Settings::SaveNumLockSetting(bool on)
{
    return writeKey(kSettings, QStringLiteral("NumLock"),
                    on ? QStringLiteral("True") : QStringLiteral("False"));
}

bool Settings::GetPrintDOSSetting() const
{
    return readOnOff(QStringLiteral("PrintDOS"));
}

Status Settings::SavePrintDOSSetting(bool on)
{
    return writeKey(kSettings, QStringLiteral("PrintDOS"),
                    on ? QStringLiteral("True") : QStringLiteral("False"));
}

QString Settings::GetBrandCode() const
{
    return readKey(kSettings, QStringLiteral("BrandCode"), QString(), 2);
}

QString Settings::GetRawPrinter() const
{
    return readKey(kSettings, QStringLiteral("RawPrinter"), QString(), 256);
}

QString Settings::GetScannerDevice() const
{
    return readKey(kScanner, QStringLiteral("Device"), QString(), 256);
}

QString Settings::GetSystemDB() const
{
    return readKey(kOptions, QStringLiteral("SystemDB"), QString(), 256);
}

Status Settings::SaveSystemDB()
{
    return writeKey(kOptions, QStringLiteral("SystemDB"),
                    QDir::toNativeSeparators(QDir(programDir_).filePath(kWorkgroupFile)));
}

} // namespace kvx
