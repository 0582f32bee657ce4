#include "install/Branding.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace kvx {

Branding LoadBranding(const QString& programDir, const QString& brandCode)
{
    const QDir dir(programDir);
    QSettings ini(dir.filePath(kBrandingFileName), QSettings::IniFormat);
    ini.beginGroup(brandCode == QLatin1String("b") ? QStringLiteral("b")
                                                   : QStringLiteral("Default"));
    auto get = [&](const char* key) {
        const QVariant v = ini.value(QLatin1String(key));
        // A value with commas that was not quoted comes back as a list.
        return v.typeId() == QMetaType::QStringList ? v.toStringList().join(QStringLiteral(", "))
                                                    : v.toString();
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
