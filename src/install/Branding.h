#pragma once

#include <QString>

namespace kvx {

inline const QString kBrandingFileName = QStringLiteral("branding.ini");

// The identity lines and logo of one of the installation's two brandings. The file
// "branding.ini" in the program folder has a section [Default] and a section [b]; BrandCode
// "b" selects the second, anything else the first. Missing lines read as empty.
struct Branding
{
    QString VendorName;  // about box: name line
    QString VendorWeb;   // about box: web line
    QString VendorEmail; // about box: e-mail line
    QString Rights;      // about box: rights line, the same for both brandings
    QString Phone;       // about box: telephone line, the same for both brandings
    QString ReportLine1; // report footer, vendor line 1
    QString ReportLine2; // report footer, vendor line 2
    QString LogoPath;    // full path of the logo picture (SVG or PNG); empty when none
};

Branding LoadBranding(const QString& programDir, const QString& brandCode);

} // namespace kvx
