#include "install/Settings.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

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

// The profile functions match sections and keys without regard to case; so do we, since
// the file is edited by hand.
QString findChild(const QStringList& names, const QString& name)
{
    for (const QString& n : names) {
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    }
    return {};
}

} // namespace

Settings::Settings(const QString& programDir)
    : programDir_(programDir), iniPath_(QDir(programDir).filePath(kIniFileName)),
      ini_(std::make_unique<QSettings>(iniPath_, QSettings::IniFormat))
{}

Settings::~Settings() = default;

QString Settings::readKey(const QString& section, const QString& key, const QString& defaultValue,
                          int bufferSize) const
{
    const QString group = findChild(ini_->childGroups(), section);
    if (group.isEmpty())
        return defaultValue;
    ini_->beginGroup(group);
    const QString name = findChild(ini_->childKeys(), key);
    const QVariant v = name.isEmpty() ? QVariant() : ini_->value(name);
    ini_->endGroup();
    if (name.isEmpty())
        return defaultValue;

    // A hand-written value with a comma comes back as a list; it is one text to us.
    QString text =
        v.typeId() == QMetaType::QStringList ? v.toStringList().join(u',') : v.toString();
    const qsizetype zero = text.indexOf(QChar(0));
    if (zero >= 0)
        text.truncate(zero);
    return text.trimmed().left(bufferSize - 1).trimmed();
}

Status Settings::writeKey(const QString& section, const QString& key, const QString& value)
{
    const QString group = findChild(ini_->childGroups(), section);
    ini_->beginGroup(group.isEmpty() ? section : group);
    const QString name = findChild(ini_->childKeys(), key);
    ini_->setValue(name.isEmpty() ? key : name, value);
    ini_->endGroup();
    ini_->sync();
    if (ini_->status() != QSettings::NoError) {
        return Error{err::PermissionDenied,
                     QStringLiteral("The settings file %1 could not be written.")
                         .arg(QDir::toNativeSeparators(iniPath_))};
    }
    return {};
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
