#include "install/Settings.h"
#include "scoring/RawPrinter.h"
#include "store/DataFile.h"
#include "tool/Tool.h"

#ifdef KVX_HAVE_PRINT
#include "scoring/ReportPrint.h"
#endif

#include <QCommandLineParser>
#include <QDir>

#include <memory>

namespace kvx::tool {

namespace {

// "2,5,7" as record numbers; empty when any part is not a number.
QList<int> recordList(const QString& text)
{
    QList<int> records;
    const QStringList parts = text.split(u',', Qt::SkipEmptyParts);
    for (const QString& p : parts) {
        bool ok = false;
        const int n = p.trimmed().toInt(&ok);
        if (!ok)
            return {};
        records.append(n);
    }
    return records;
}

} // namespace

int runPrint(const QStringList& args)
{
    QCommandLineParser parser;
    const QCommandLineOption programDir = programDirOption();
    const QCommandLineOption dataDir = dataDirOption();
    const QCommandLineOption clients(QStringLiteral("clients"),
                                     QStringLiteral("Record numbers in printing order: 2,5,7."),
                                     QStringLiteral("LIST"));
    const QCommandLineOption pdf(QStringLiteral("pdf"),
                                 QStringLiteral("Write the reports into one PDF file."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption raw(QStringLiteral("raw"),
                                 QStringLiteral("Send each report unchanged to a device path or "
                                                "print queue (empty: the default queue)."),
                                 QStringLiteral("DEVICE"));
    const QCommandLineOption printer(QStringLiteral("printer"),
                                     QStringLiteral("Print on this queue instead of the default "
                                                    "printer."),
                                     QStringLiteral("QUEUE"));
    const QCommandLineOption summary(QStringLiteral("summary-page"),
                                     QStringLiteral("Add the one-page summary copy."));
    for (const QCommandLineOption& o : {programDir, dataDir, clients, pdf, raw, printer, summary})
        parser.addOption(o);
    if (!parseArgs(parser, args))
        return 1;
    if (!parser.isSet(programDir) || !parser.isSet(dataDir) || !parser.isSet(clients))
        return fail(QStringLiteral("print: --program-dir DIR, --data-dir DIR and --clients LIST "
                                   "are required"));
    if (int(parser.isSet(pdf)) + int(parser.isSet(raw)) + int(parser.isSet(printer)) > 1)
        return fail(QStringLiteral("print: choose one of --pdf, --raw and --printer"));
    const QList<int> records = recordList(parser.value(clients));
    if (records.isEmpty())
        return fail(QStringLiteral("print: --clients takes record numbers such as 2,5,7"));

    Session s;
    s.ProgramDir = parser.value(programDir);
    if (!QDir(s.ProgramDir).exists())
        return fail(QStringLiteral("print: no folder %1").arg(s.ProgramDir));
    s.BrandCode = Settings(s.ProgramDir).GetBrandCode();
    s.SummaryPage = parser.isSet(summary);
    SetDataPath(s, parser.value(dataDir));
    if (!QDir(s.DataPath).exists())
        return fail(QStringLiteral("print: no folder %1").arg(s.DataPath));
    if (const Status st = ReadAllClients(s); !st)
        return fail(st.error().message);

    std::unique_ptr<ReportPrinter> sink;
    QString where;
    if (parser.isSet(raw)) {
        sink = std::make_unique<RawPortPrinter>(parser.value(raw));
        where = parser.value(raw).isEmpty() ? QStringLiteral("the default queue (raw)")
                                            : parser.value(raw);
    } else {
#ifdef KVX_HAVE_PRINT
        if (parser.isSet(pdf)) {
            sink = std::make_unique<PdfReportPrinter>(parser.value(pdf));
            where = parser.value(pdf);
        } else {
            sink = std::make_unique<SystemReportPrinter>(parser.value(printer));
            where = parser.isSet(printer) ? parser.value(printer)
                                          : QStringLiteral("the default printer");
        }
#else
        return fail(QStringLiteral("print: this build prints only with --raw"));
#endif
    }

    const BatchOutcome out =
        PrintReportBatch(s, records, *sink, [&](BatchStep step, int k, int total) {
            if (step == BatchStep::Printing)
                kvx::tool::out() << QStringLiteral("report %1 of %2: client %3\n")
                                        .arg(k)
                                        .arg(total)
                                        .arg(records[k - 1]);
            return true;
        });
    if (out.error) {
        if (out.printed > 0)
            kvx::tool::out() << BatchStoppedText(out) << '\n';
        return fail(out.error->message);
    }
    kvx::tool::out() << QStringLiteral("%1 %2 printed to %3\n")
                            .arg(out.printed)
                            .arg(out.printed == 1 ? QStringLiteral("report")
                                                  : QStringLiteral("reports"))
                            .arg(where);
    return 0;
}

} // namespace kvx::tool
