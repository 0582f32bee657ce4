#include "scan/ScanAnswerSheet.h"

#include "scan/ScanImage.h"
#include "scan/Scanner.h"
#include "store/CodeTables.h"
#include "testing/QuestionDatabase.h"
#include "ui/ScreenConventions.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace kvx {
namespace {

const QString kBeyondListText = QStringLiteral("a mark past the end of its list, read as N/A");

QString reasonText(const QString& reason)
{
    if (reason == QLatin1String("several"))
        return QStringLiteral("several marks, the darkest was taken");
    if (reason == QLatin1String("faint"))
        return QStringLiteral("a faint or missed mark");
    if (reason == QLatin1String("beyond"))
        return kBeyondListText;
    return reason;
}

QString fieldTitle(const QString& field, int item)
{
    static const QList<std::pair<QString, QString>> titles = {
        {QStringLiteral("gender"), QStringLiteral("Gender")},
        {QStringLiteral("race"), QStringLiteral("Race")},
        {QStringLiteral("marital"), QStringLiteral("Marital status")},
        {QStringLiteral("education"), QStringLiteral("Education")},
    };
    if (field == QLatin1String("age"))
        return QStringLiteral("Age, digit %1").arg(item);
    if (field == QLatin1String("court"))
        return QStringLiteral("Court history item %1").arg(item);
    for (const auto& [key, title] : titles) {
        if (key == field)
            return title;
    }
    return field;
}

// A choice text as a list index; a position the list does not have reads as "N/A".
int listIndex(const QString& text, const CodeTable& table, const QString& field,
              QStringList& doubts)
{
    const int index = text.toInt();
    if (index >= 0 && index < table.labels.size())
        return index;
    doubts << fieldTitle(field, 1) + QStringLiteral(": ") + kBeyondListText;
    return 0;
}

// A two-column value as the screens take it: no mark in either column is "N" (not available,
// which the screens accept; "NN" they refuse); a single unmarked column stays for the operator
// to see, and is named.
QString twoDigitValue(const QString& text, const QString& title, QStringList& doubts)
{
    if (text == QLatin1String("NN"))
        return QStringLiteral("N");
    if (text.size() == 2 && text.contains(u'N'))
        doubts << title + QStringLiteral(": one of its two digits is not marked");
    return text;
}

QString doubtMessage(const QStringList& lines)
{
    return QStringLiteral("The marks of these values were unclear on the sheet. Check them on the "
                          "next screen:\n") +
           lines.join(u'\n');
}

void scanError(Prompter& prompter, const QString& text)
{
    ShowNormal();
    prompter.Message(text, Prompter::Buttons::Ok, Prompter::Icon::Critical, kScanErrorTitle);
}

// Where the sheet comes from, once the operator has been asked.
enum class Origin
{
    Cancelled,
    Scanner,
    File
};

Origin askForSheet(Prompter& prompter, SheetScanner& scanner, const QString& name)
{
    const QString insert = QStringLiteral("Insert answer sheet for ") + name +
                           QStringLiteral("\n(face down, top first) into scanner.");
    if (scanner.Present()) {
        switch (prompter.Message(insert, Prompter::Buttons::OkFromFileCancel, Prompter::Icon::None,
                                 kTestScanTitle)) {
        case Prompter::Answer::Ok:
            return Origin::Scanner;
        case Prompter::Answer::FromFile:
            return Origin::File;
        default:
            return Origin::Cancelled;
        }
    }
    const Prompter::Answer a = prompter.Message(
        QStringLiteral("No scanner was found.\nOpen a scanned image of the answer sheet for ") +
            name + QStringLiteral(" instead?"),
        Prompter::Buttons::OkCancel, Prompter::Icon::None, kTestScanTitle);
    return a == Prompter::Answer::Ok ? Origin::File : Origin::Cancelled;
}

// The acquired image, or nothing when the scan ends here (the operator has been told).
std::optional<QImage> takeSheet(Origin origin, Prompter& prompter, SheetScanner& scanner,
                                ImagePicker& picker)
{
    if (origin == Origin::Scanner) {
        Result<QImage> img = scanner.Acquire();
        if (img)
            return *img;
        // A failed acquisition is reported; the empty image then has no anchor box.
        ShowNormal();
        const int code = img.error().code;
        prompter.Message(QStringLiteral("Error '") + QString::number(code) + QStringLiteral(", ") +
                             LeadErrorText(code) + u'.',
                         Prompter::Buttons::Ok, Prompter::Icon::None, kTwainErrorTitle);
        ShowBusy();
        return QImage();
    }
    ShowNormal();
    const QString path = picker.PickImage();
    if (path.isEmpty())
        return std::nullopt;
    ShowBusy();
    Result<QImage> img = LoadScanImageFile(path);
    if (!img) {
        scanError(prompter, img.error().message);
        return std::nullopt;
    }
    return *img;
}

} // namespace

bool SaneSheetScanner::Present()
{
    return ScannerPresent(device_);
}

Result<QImage> SaneSheetScanner::Acquire()
{
    TwainOptions options;
    SetTwainOptions(options);
    return AcquirePage(options, device_);
}

QString FileDialogImagePicker::PickImage()
{
    const QString path = QFileDialog::getOpenFileName(
        QApplication::activeModalWidget(), QStringLiteral("Open Scanned Answer Sheet"),
        lastFolder_.isEmpty() ? QDir::homePath() : lastFolder_,
        QStringLiteral("Scanned images (*.bmp *.png *.jpg *.jpeg *.tif *.tiff);;All files (*)"));
    if (!path.isEmpty())
        lastFolder_ = QFileInfo(path).absolutePath();
    return path;
}

ScannedValues ValuesFromReading(const SheetReading& reading, const QString& name)
{
    ScannedValues v;
    const SheetTexts& t = reading.texts;
    v.intake.name = name;
    v.intake.age = twoDigitValue(t.age, QStringLiteral("Age"), v.infoDoubts);
    for (const SheetDoubt& d : reading.doubtful) {
        const QString line =
            fieldTitle(d.field, d.item) + QStringLiteral(": ") + reasonText(d.reason);
        if (d.field == QLatin1String("answers"))
            v.answerDoubts << d.item;
        else if (d.field == QLatin1String("court"))
            v.courtDoubts << line;
        else
            v.infoDoubts << line;
    }
    v.intake.gender = listIndex(t.gender, GenderLabel(), QStringLiteral("gender"), v.infoDoubts);
    v.intake.race = listIndex(t.race, RaceLabel(), QStringLiteral("race"), v.infoDoubts);
    v.intake.marital =
        listIndex(t.marital, MaritalLabel(), QStringLiteral("marital"), v.infoDoubts);
    v.intake.education =
        listIndex(t.education, EducationLabel(), QStringLiteral("education"), v.infoDoubts);
    for (int i = 0; i < kCourtItems && i < t.court.size(); ++i)
        v.intake.court[static_cast<size_t>(i)] = t.court.at(i);
    v.intake.court[0] =
        twoDigitValue(v.intake.court[0], fieldTitle(QStringLiteral("court"), 1), v.courtDoubts);
    v.answers = t.answers;
    return v;
}

void ScanAnswerSheet(Session& s, Prompter& prompter, Screens& screens, SheetScanner& scanner,
                     ImagePicker& picker, const Workspace& ws)
{
    InputBoxRequest ask;
    ask.caption = QStringLiteral("Client Name Input");
    ask.helpMessage = QStringLiteral("Enter the name of client.");
    ask.inputLength = 25;
    const std::optional<QString> name = screens.InputBox(ask);
    if (!name)
        return;
    const Origin origin = askForSheet(prompter, scanner, *name);
    if (origin == Origin::Cancelled)
        return;

    ShowBusy();
    const std::optional<QImage> acquired = takeSheet(origin, prompter, scanner, picker);
    if (!acquired) {
        ShowNormal();
        return;
    }
    // The raw image is a convenience for support; the reading does not depend on it.
    (void)SaveRawImage(*acquired, s.ProgramDir);

    Result<SheetReading> reading = ReadSheetImage(*acquired, ws, s.QuestionDbPath);
    if (!reading) {
        const Error& e = reading.error();
        const bool box = e.code == err::AnchorBoxNotFound || e.code == err::ReferenceBoxNotFound;
        scanError(prompter, box ? e.message + QStringLiteral("\nAborting scan.") : e.message);
        return;
    }
    ShowNormal();

    ScannedValues v = ValuesFromReading(*reading, *name);
    s.Scanned = v.intake;
    s.EditMode = false;
    s.ScanEditMode = true;
    auto done = [&s] {
        s.Scanned = ScannedIntake{};
        s.ScanEditMode = false;
        ShowNormal();
    };

    if (!v.infoDoubts.isEmpty())
        prompter.Message(doubtMessage(v.infoDoubts), Prompter::Buttons::Ok, Prompter::Icon::Warning,
                         kScanCheckTitle);
    s.ScreenAccepted = false;
    screens.ClientInformation();
    if (!s.ScreenAccepted)
        return done();

    if (!v.courtDoubts.isEmpty())
        prompter.Message(doubtMessage(v.courtDoubts), Prompter::Buttons::Ok,
                         Prompter::Icon::Warning, kScanCheckTitle);
    s.ScreenAccepted = false;
    screens.CourtHistory();
    if (!s.ScreenAccepted)
        return done();

    // Answers are plain digits, which always fit the record.
    (void)s.current().setText(Field::Answers, v.answers);
    s.ScreenAccepted = false;
    screens.AnswerEntry(v.answerDoubts);
    done();
}

} // namespace kvx
