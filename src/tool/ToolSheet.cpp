#include "scan/AnswerSheet.h"
#include "store/DataFile.h"
#include "testing/QuestionDatabase.h"
#include "tool/Tool.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace kvx::tool {

int runSheet(const QStringList& args)
{
    QCommandLineParser p;
    const QCommandLineOption programDir = programDirOption();
    const QCommandLineOption outFile(QStringLiteral("out"),
                                     QStringLiteral("The sheet to write: FILE.pdf or FILE.png."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption fillFile(QStringLiteral("fill"),
                                      QStringLiteral("Values to mark, as read-sheet prints them."),
                                      QStringLiteral("FILE"));
    p.addOptions({programDir, outFile, fillFile});
    if (!parseArgs(p, args))
        return 1;
    if (!p.isSet(programDir) || !p.isSet(outFile))
        return fail(QStringLiteral("sheet: --program-dir DIR and --out FILE are required"));
    const QString out = p.value(outFile);
    const bool pdf = out.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
    if (!pdf && !out.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        return fail(QStringLiteral("sheet: --out must name a .pdf or .png file"));

    SheetTexts fill;
    if (p.isSet(fillFile)) {
        QFile f(p.value(fillFile));
        if (!f.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("sheet: %1: %2").arg(f.fileName(), f.errorString()));
        Result<SheetTexts> t = SheetTextsFromJson(f.readAll());
        if (!t)
            return fail(QStringLiteral("sheet: %1: %2").arg(f.fileName(), t.error().message));
        fill = *t;
    }
    const SheetTexts* values = p.isSet(fillFile) ? &fill : nullptr;

    const QString dir = p.value(programDir);
    const QString db = resolveFileName(dir, kQuestionDbFileName);
    Result<std::vector<LayoutRow>> layout = LoadSheetLayout(DefaultWorkspace(dir), db);
    if (!layout)
        return fail(QStringLiteral("sheet: ") + layout.error().message);

    if (pdf) {
        if (Status s = WriteAnswerSheetPdf(out, *layout, values); !s)
            return fail(QStringLiteral("sheet: ") + s.error().message);
        return 0;
    }
    Result<QImage> img = RenderAnswerSheet(*layout, values);
    if (!img)
        return fail(QStringLiteral("sheet: ") + img.error().message);
    QSaveFile f(out);
    if (!f.open(QIODevice::WriteOnly) || !img->save(&f, "PNG") || !f.commit())
        return fail(QStringLiteral("sheet: cannot write %1: %2").arg(out, f.errorString()));
    return 0;
}

} // namespace kvx::tool
