#include "install/Settings.h"
#include "scan/ScanImage.h"
#include "scan/Scanner.h"
#include "tool/Tool.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSaveFile>

namespace kvx::tool {

int runScan(const QStringList& args)
{
    QCommandLineParser p;
    const QCommandLineOption programDir = programDirOption();
    const QCommandLineOption device(QStringLiteral("device"),
                                    QStringLiteral("The scanner (default: kvx.ini, else the "
                                                   "first local one)."),
                                    QStringLiteral("NAME"));
    const QCommandLineOption outFile(QStringLiteral("out"),
                                     QStringLiteral("The image to write (PNG, BMP, TIFF, JPEG)."),
                                     QStringLiteral("FILE"));
    p.addOptions({programDir, device, outFile});
    if (!parseArgs(p, args))
        return 1;
    if (!p.isSet(programDir) || !p.isSet(outFile))
        return fail(QStringLiteral("scan: --program-dir DIR and --out FILE are required"));

    const QString dir = p.value(programDir);
    const QString name = p.isSet(device) ? p.value(device) : Settings(dir).GetScannerDevice();
    TwainOptions options;
    SetTwainOptions(options);
    Result<QImage> img = AcquirePage(options, name);
    if (!img)
        return fail(
            QStringLiteral("scan: error %1, %2").arg(img.error().code).arg(img.error().message));
    if (Status s = SaveRawImage(*img, dir); !s)
        return fail(QStringLiteral("scan: ") + s.error().message);
    QSaveFile f(p.value(outFile));
    if (!f.open(QIODevice::WriteOnly) ||
        !img->save(&f, QFileInfo(f.fileName()).suffix().toLower().toLatin1().constData()) ||
        !f.commit())
        return fail(QStringLiteral("scan: cannot write %1: %2").arg(f.fileName(), f.errorString()));
    return 0;
}

} // namespace kvx::tool
