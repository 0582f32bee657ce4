#include "install/Branding.h"

#include "install/IniFile.h"
#include "store/Cp1252.h"

#include <QDir>
#include <QFileInfo>

namespace kvx {

Branding LoadBranding(const QString& programDir, const QString& brandCode)
{
    const QDir dir(programDir);
    // Read as kvx.ini is: Windows-1252, values as stored. An unreadable file has no lines.
    const Result<IniFile> ini = loadIniFile(dir.filePath(kBrandingFileName));
    const QByteArray section = brandCode == QLatin1String("b") ? "b" : "Default";
    auto get = [&](const char* key) {
        const std::optional<QByteArray> v = ini ? ini->value(section, key) : std::nullopt;
        return v ? cp1252::decode(*v) : QString();
    };
    Branding b;
    b.VendorName = get("VendorName");
    b.VendorWeb = get("VendorWeb");
    b.VendorEmail = get("VendorEmail");
    b.Rights = get("Rights");
    b.Phone = get("Phone");
    b.ReportLine1 = get("ReportLine1");
    b.ReportLine2 = get("ReportLine2");
    const QString logo = get("Logo");
    if (!logo.isEmpty() && QFileInfo::exists(dir.filePath(logo)))
        b.LogoPath = dir.filePath(logo);
    return b;
}

} // namespace kvx
