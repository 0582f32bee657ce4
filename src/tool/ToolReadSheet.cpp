#include "scan/ScanImage.h"
#include "scan/SheetReader.h"
#include "store/DataFile.h"
#include "testing/QuestionDatabase.h"
#include "tool/Tool.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace kvx::tool {
namespace {

// The images a batch reads: files as given, a folder's image files by name.
QStringList batchFiles(const QStringList& args)
{
    static const QStringList images = {QStringLiteral("*.bmp"), QStringLiteral("*.png"),
                                       QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"),
                                       QStringLiteral("*.tif"), QStringLiteral("*.tiff")};
    QStringList files;
    for (const QString& arg : args) {
        if (!QFileInfo(arg).isDir()) {
            files << arg;
            continue;
        }
        const QDir dir(arg);
        for (const QString& name :
             dir.entryList(images, QDir::Files, QDir::Name | QDir::IgnoreCase))
            files << dir.filePath(name);
    }
    return files;
}

} // namespace

int runReadSheet(const QStringList& args)
{
    QCommandLineParser p;
    const QCommandLineOption programDir = programDirOption();
    p.addOption(programDir);
    p.addPositionalArgument(QStringLiteral("IMAGE"),
                            QStringLiteral("BMP, PNG, JPEG or TIFF files, or folders of them."));
    if (!parseArgs(p, args))
        return 1;
    if (!p.isSet(programDir) || p.positionalArguments().isEmpty())
        return fail(
            QStringLiteral("read-sheet: --program-dir DIR and an IMAGE or a folder are required"));
    const QString dir = p.value(programDir);
    const QString db = resolveFileName(dir, kQuestionDbFileName);
    const QStringList positional = p.positionalArguments();

    // One image: its values alone, or its error on standard error.
    if (positional.size() == 1 && !QFileInfo(positional.constFirst()).isDir()) {
        Result<QImage> img = LoadScanImageFile(positional.constFirst());
        if (!img)
            return fail(img.error().message);
        Result<SheetReading> r = ReadSheetImage(*img, DefaultWorkspace(dir), db);
        if (!r)
            return fail(r.error().message);
        out() << SheetReadingJson(*r) << '\n';
        return 0;
    }

    // A batch: the layout opened once, one line per sheet with its file name first.
    const QStringList files = batchFiles(positional);
    if (files.isEmpty())
        return fail(QStringLiteral("read-sheet: no image files"));
    Result<ScanLayout> layout = OpenScanLayout(DefaultWorkspace(dir), db);
    if (!layout)
        return fail(layout.error().message);
    int failed = 0;
    for (const QString& file : files) {
        const QString name = QStringLiteral("{\"file\": ") + JsonText(file) + QStringLiteral(", ");
        Result<QImage> img = LoadScanImageFile(file);
        Result<SheetReading> r = img ? ReadSheetImage(*img, *layout) : img.error();
        if (r) {
            out() << name << SheetReadingJson(*r).mid(1) << '\n';
        } else {
            ++failed;
            out() << name << QStringLiteral("\"error\": ") << JsonText(r.error().message)
                  << QStringLiteral("}\n");
        }
    }
    out().flush();
    if (failed > 0)
        err() << "kvxtool: " << failed << " of " << files.size() << " sheets not read" << Qt::endl;
    return failed > 0 ? 1 : 0;
}

} // namespace kvx::tool
