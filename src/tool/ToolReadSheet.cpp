#include "scan/ScanImage.h"
#include "scan/SheetReader.h"
#include "store/DataFile.h"
#include "testing/QuestionDatabase.h"
#include "tool/Tool.h"

#include <QCommandLineParser>

namespace kvx::tool {

int runReadSheet(const QStringList& args)
{
    QCommandLineParser p;
    const QCommandLineOption programDir = programDirOption();
    p.addOption(programDir);
    p.addPositionalArgument(QStringLiteral("IMAGE"), QStringLiteral("BMP, PNG, JPEG or TIFF."));
    if (!parseArgs(p, args))
        return 1;
    if (!p.isSet(programDir) || p.positionalArguments().size() != 1)
        return fail(QStringLiteral("read-sheet: --program-dir DIR and one IMAGE are required"));

    Result<QImage> img = LoadScanImageFile(p.positionalArguments().constFirst());
    if (!img)
        return fail(img.error().message);
    const QString dir = p.value(programDir);
    Result<SheetReading> r =
        ReadSheetImage(*img, DefaultWorkspace(dir), resolveFileName(dir, kQuestionDbFileName));
    if (!r)
        return fail(r.error().message);
    out() << SheetReadingJson(*r) << '\n';
    return 0;
}

} // namespace kvx::tool
