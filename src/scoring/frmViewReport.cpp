#include "scoring/frmViewReport.h"

#include "scoring/ReportPrint.h"
#include "scoring/ScoreAndReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace kvx {

namespace {

const QString kCaption = QStringLiteral("Client Report");

QPushButton* makeButton(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

bool isScrollKey(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
           key == Qt::Key_PageDown;
}

} // namespace

QString FileDialogSaveChooser::ChooseSaveFile(QWidget* parent, const QString& caption,
                                              const QString& suggestedPath, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, suggestedPath, filter);
}

QString suggestedPdfName(int recordNo)
{
    return QStringLiteral("client-%1-report.pdf").arg(recordNo);
}

frmViewReport::frmViewReport(Session& session, Prompter& prompter, SaveFileChooser& chooser,
                             QWidget* parent)
    : KvxScreen(session, prompter, parent), chooser_(chooser)
{
    setObjectName(QStringLiteral("frmViewReport"));
    setWindowTitle(kCaption);

    fraAll = new QFrame(this);
    fraAll->setObjectName(QStringLiteral("fraAll"));
    fraAll->setFrameShape(QFrame::StyledPanel);

    Text1 = new QPlainTextEdit(fraAll);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(9);
    Text1->setFont(font);
    // Room for the report's 80 columns and a good part of a page.
    const QFontMetrics fm(font);
    Text1->setMinimumSize(fm.horizontalAdvance(QString(84, u'M')) + 30, fm.lineSpacing() * 30);

    cmdPrintReport = makeButton("cmdPrintReport", QStringLiteral("&Print Report"), fraAll);
    cmdSavePdf = makeButton("cmdSavePdf", QStringLiteral("Save as P&DF..."), fraAll);
    cmdCancel = makeButton("cmdCancel", QStringLiteral("&Close"), fraAll);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdPrintReport, cmdSavePdf, cmdCancel}) {
        buttons->addWidget(b);
        b->installEventFilter(this);
    }
    buttons->addStretch();

    auto* frameLayout = new QVBoxLayout(fraAll);
    frameLayout->addWidget(Text1);
    frameLayout->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraAll, 1, Qt::AlignHCenter);
    layout->addWidget(MsgPanel);

    connect(cmdPrintReport, &QPushButton::clicked, this, &frmViewReport::cmdPrintReport_Click);
    connect(cmdSavePdf, &QPushButton::clicked, this, &frmViewReport::cmdSavePdf_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::accept);
}

void frmViewReport::showEvent(QShowEvent* e)
{
    KvxScreen::showEvent(e);
    if (!isMaximized())
        CenterForm(this);
    reloadReport();
}

void frmViewReport::setReportShown(bool shown)
{
    // Without a fresh report the file may still hold another client's: nothing to print then.
    cmdPrintReport->setEnabled(shown);
    cmdSavePdf->setEnabled(shown);
    if (!shown)
        Text1->clear();
}

void frmViewReport::reloadReport()
{
    ShowBusy();
    MsgPanel->clear();
    Result<QString> text = QString();
    if (const Status st = ScoreAndReport(session()); !st)
        text = st.error();
    else
        text = ReadReportText(session().ProgramDir);
    if (!text) {
        setReportShown(false);
        ShowNormal();
        prompter().Message(text.error().message, Prompter::Buttons::Ok, Prompter::Icon::Critical,
                           kCaption);
        cmdCancel->setFocus();
        return;
    }
    QString shown = *text;
    // The text ends in the carriage return of its last line break.
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    Text1->setPlainText(shown);
    Text1->moveCursor(QTextCursor::Start);
    setReportShown(true);
    ShowNormal();
}

void frmViewReport::cmdPrintReport_Click()
{
    ShowBusy();
    const Status st = PrintReportFile(session());
    ShowNormal();
    if (!st)
        ShowPrinterError(prompter(), st.error());
}

void frmViewReport::cmdSavePdf_Click()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    QString file =
        chooser_.ChooseSaveFile(this, QStringLiteral("Save Report as PDF"),
                                QDir(folder).filePath(suggestedPdfName(session().CurClient)),
                                QStringLiteral("PDF files (*.pdf)"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".pdf");
    ShowBusy();
    PdfReportPrinter pdf(file);
    Status st = pdf.PrintReportFile(session().ProgramDir);
    if (st)
        st = pdf.Finish();
    ShowNormal();
    if (!st) {
        prompter().Message(QStringLiteral("The report could not be saved as %1.\n\n%2")
                               .arg(QDir::toNativeSeparators(file), st.error().message),
                           Prompter::Buttons::Ok, Prompter::Icon::Critical, kCaption);
        return;
    }
    showHelp(QStringLiteral("Report saved as %1").arg(QDir::toNativeSeparators(file)));
}

bool frmViewReport::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched != Text1) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isScrollKey(key->key())) {
            Text1->setFocus();
            QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers());
            QCoreApplication::sendEvent(Text1, &copy);
            return true;
        }
    }
    return KvxScreen::eventFilter(watched, event);
}

} // namespace kvx
