#include "scan/AnswerSheet.h"
#include "scan/ScanAnswerSheet.h"
#include "testing/QuestionDatabase.h"

#include "common/FakeScreens.h"
#include "common/ModalDriver.h"
#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"
#include "store/DataFile.h"
#include "ui/SaveClient.h"

#include <QFileDialog>
#include <QPainter>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

struct FakeScanner : SheetScanner
{
    bool present = false;
    Result<QImage> image = Error{err::ScanNoSource, QString()};
    bool Present() override { return present; }
    Result<QImage> Acquire() override { return image; }
};

struct FakePicker : ImagePicker
{
    QString path;
    int asked = 0;
    QString PickImage() override
    {
        ++asked;
        return path;
    }
};

// An installation (a copy of the built question database) and a data disk of two clients, the
// second current. The fake screens act as the real ones do when accepted: client information
// takes the new entry, the grid writes it.
struct Rig
{
    Rig()
    {
        s.ProgramDir = inst.path();
        s.QuestionDbPath = inst.filePath(kQuestionDbFileName);
        SetDataPath(s, disk.path());
        ClientRecord one;
        one.setRaw(Field::Name, "Old Client");
        ok = QFile::copy(qEnvironmentVariable("KVX_BUILD_DIR") + "/data/" + kQuestionDbFileName,
                         s.QuestionDbPath) &&
             QFile::setPermissions(s.QuestionDbPath, QFile::ReadOwner | QFile::WriteOwner) &&
             writeBytes(s.DataFile, one.bytes() + one.bytes()) && ReadAllClients(s).ok();
        s.CurClient = 2;
        before = readBytes(s.DataFile);
        screens.inputs.push_back(QString("Ann Lee"));
        p.onMessage = [this](const ScriptedPrompter::Shown& m) {
            screens.opened << "Message:" + m.title;
        };
        screens.whileOpen = [this](const QString& screen) {
            flags << (s.ScanEditMode && !s.EditMode);
            if (screen == "ClientInformation") {
                seen = s.Scanned;
                InitNewClient(s, QDate(2024, 5, 6));
                (void)s.current().setText(Field::Name, s.Scanned.name);
            } else if (screen == "AnswerEntry") {
                answers = s.current().text(Field::Answers);
                SaveCurrentClient(s, p);
            }
        };
    }
    void scan() { ScanAnswerSheet(s, p, screens, scanner, picker, DefaultWorkspace(inst.path())); }

    QTemporaryDir inst, disk;
    Session s;
    ScriptedPrompter p;
    FakeScreens screens{s};
    FakeScanner scanner;
    FakePicker picker;
    QByteArray before;
    ScannedIntake seen;
    QString answers;
    QList<bool> flags;
    bool ok = false;
};

SheetTexts sampleValues()
{
    SheetTexts t{"35", "2", "1", "3", "4", QStringList(kCourtItems, "1"), QString()};
    t.court[0] = "19";
    t.court[4] = "N";
    for (int i = 0; i < kAnswerItems; ++i)
        t.answers += QChar('1' + i % 2);
    return t;
}

// The sheet marked with values, drawn by kvxtool as a PNG in the installation.
QString drawnSheet(const Rig& r, const SheetTexts& values, const QString& name = "sheet.png")
{
    const QString json = r.inst.filePath("values.json"), out = r.inst.filePath(name);
    if (!writeBytes(json, SheetReadingJson({{}, {}, values, {}}).toUtf8()))
        return {};
    const ToolRun run =
        runKvxtool({"sheet", "--program-dir", r.inst.path(), "--out", out, "--fill", json});
    return run.exitCode == 0 ? out : QString();
}

bool unchanged(const Rig& r)
{
    return readBytes(r.s.DataFile) == r.before && r.s.CurClient == 2 && r.s.NumClients == 2 &&
           r.s.client(3) == ClientRecord() && !r.s.ScanEditMode;
}

} // namespace

class ScanChainTest : public QObject
{
    Q_OBJECT

private slots:
    void aSheetReachesTheScreensAndTheRecord_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<int>("answer"); // to the "Test Scan" prompt
        QTest::addColumn<QString>("prompt");
        const QString insert = "Insert answer sheet for Ann Lee\n(face down, top first) into "
                               "scanner.";
        QTest::newRow("no scanner: a file")
            << false << int(Prompter::Answer::Ok)
            << "No scanner was found.\nOpen a scanned image of the answer sheet for Ann Lee "
               "instead?";
        QTest::newRow("scanner") << true << int(Prompter::Answer::Ok) << insert;
        QTest::newRow("scanner, but a file") << true << int(Prompter::Answer::FromFile) << insert;
    }

    void aSheetReachesTheScreensAndTheRecord()
    {
        QFETCH(bool, present);
        QFETCH(int, answer);
        QFETCH(QString, prompt);
        Rig r;
        QVERIFY(r.ok);
        const SheetTexts values = sampleValues();
        r.picker.path = drawnSheet(r, values);
        QVERIFY(!r.picker.path.isEmpty());
        r.scanner.present = present;
        r.scanner.image = QImage(r.picker.path);
        r.p.answers = {Prompter::Answer(answer)};
        r.screens.accepted = {true, true, true};
        r.scan();

        QCOMPARE(r.screens.requests.size(), 1);
        QCOMPARE(r.screens.requests[0].caption, QString("Client Name Input"));
        QCOMPARE(r.screens.requests[0].helpMessage, QString("Enter the name of client."));
        QCOMPARE(r.screens.requests[0].inputLength, 25);
        QVERIFY(!r.screens.requests[0].passwordInput);
        QCOMPARE(r.p.shown.size(), 1);
        QCOMPARE(r.p.shown[0].title, QString("Test Scan"));
        QCOMPARE(r.p.shown[0].text, prompt);
        QCOMPARE(r.picker.asked, present && answer == int(Prompter::Answer::Ok) ? 0 : 1);
        QCOMPARE(r.screens.opened,
                 (QStringList{"InputBox:Client Name Input", "Message:Test Scan",
                              "ClientInformation", "CourtHistory", "AnswerEntry"}));
        QCOMPARE(r.flags, (QList<bool>{true, true, true}));

        QCOMPARE(r.seen.name, QString("Ann Lee"));
        QCOMPARE(r.seen.age, values.age);
        QCOMPARE((QList<int>{r.seen.gender, r.seen.race, r.seen.marital, r.seen.education}),
                 (QList<int>{2, 1, 3, 4}));
        QCOMPARE(QStringList(r.seen.court.begin(), r.seen.court.end()), values.court);
        QCOMPARE(r.answers, values.answers);
        QVERIFY(r.screens.doubtfulSeen.isEmpty());
        // The grid wrote the new client; the scan leaves nothing of itself in the session.
        QCOMPARE(r.s.NumClients, 3);
        ClientRecord stored = ClientRecord::fromBytes(readBytes(r.s.DataFile).mid(2 * 239));
        QCOMPARE(stored.trimmed(Field::Name), QString("Ann Lee"));
        QCOMPARE(stored.text(Field::Answers), values.answers);
        QVERIFY(!r.s.ScanEditMode && r.s.Scanned.name.isEmpty());
        QVERIFY(readBytes(r.inst.filePath("raw.bmp")).startsWith("BM"));
    }

    void cancellingAScreenEndsTheChain()
    {
        for (int accepted = 0; accepted < 2; ++accepted) {
            Rig r;
            r.picker.path = drawnSheet(r, sampleValues());
            r.screens.accepted = QList<bool>(accepted, true) << false;
            r.scan();
            QCOMPARE(r.screens.opened.size(), 3 + accepted);
            QVERIFY(r.answers.isEmpty());
            // Answers reach the table only after court history; the disk only through the grid.
            QCOMPARE(r.s.current().text(Field::Answers), QString(155, '0'));
            QCOMPARE(readBytes(r.s.DataFile), r.before);
        }
    }

    void aScanThatStopsEarlyChangesNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("messages"); // title, then text
        QTest::newRow("name cancelled") << "name" << QStringList{};
        QTest::newRow("prompt cancelled") << "prompt" << QStringList{"Test Scan"};
        QTest::newRow("no file chosen") << "nofile" << QStringList{"Test Scan"};
        QTest::newRow("damaged file") << "damaged" << QStringList{"Test Scan", "Scan Error"};
        QTest::newRow("scanner fails")
            << "scanner"
            << QStringList{"Test Scan", "Twain Error",
                           "Error '20084, Twain DS or DSM reported "
                           "error, app shouldn't.",
                           "Scan Error", "Anchor Box not found\nAborting scan."};
        QTest::newRow("no reference box")
            << "noreference"
            << QStringList{"Test Scan", "Scan Error", "Reference Box not found\nAborting scan."};
        QTest::newRow("layout unreadable")
            << "layout"
            << QStringList{
                   "Test Scan", "Scan Error",
                   "The scan layout cannot be read: the table ScanItem has no column 'dx'."};
    }

    void aScanThatStopsEarlyChangesNothing()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, messages);
        Rig r;
        QVERIFY(r.ok);
        const QString sheet = drawnSheet(r, sampleValues());
        r.picker.path = sheet;
        if (how == "name")
            r.screens.inputs.clear();
        if (how == "prompt")
            r.p.answers = {Prompter::Answer::Cancel};
        if (how == "nofile")
            r.picker.path.clear();
        if (how == "damaged") {
            r.picker.path = r.inst.filePath("cut.png");
            writeBytes(r.picker.path, readBytes(sheet).left(3000));
        }
        if (how == "scanner") {
            r.scanner.present = true;
            r.scanner.image = Error{err::ScanDeviceError, "jammed"};
        }
        if (how == "noreference") {
            QImage img(sheet);
            QPainter(&img).fillRect(QRect(sheet::kReferenceCorner, QSize(20, 20)), Qt::white);
            QVERIFY(img.save(r.picker.path));
        }
        if (how == "layout") {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "layout");
            db.setDatabaseName(r.s.QuestionDbPath);
            QVERIFY(db.open() && QSqlQuery(db).exec("ALTER TABLE ScanItem DROP COLUMN dx"));
            db.close();
        }
        QSqlDatabase::removeDatabase("layout");
        r.screens.accepted = {true, true, true};
        r.scan();

        QCOMPARE(r.screens.opened.first(), QString("InputBox:Client Name Input"));
        QStringList got;
        for (const auto& m : r.p.shown)
            got << m.title << (m.title == "Test Scan" ? QString() : m.text);
        got.removeAll(QString());
        if (how == "damaged") {
            QCOMPARE(got.size(), 3);
            QVERIFY2(got[2].contains("cut.png"), qPrintable(got[2]));
            got.removeLast();
        }
        QCOMPARE(got, messages);
        for (const auto& m : r.p.shown)
            QVERIFY(m.title == "Test Scan" || m.icon != Prompter::Icon::None ||
                    m.title == "Twain Error");
        // No screen opened, the session and the disk as they were.
        QVERIFY(!r.screens.opened.contains("ClientInformation"));
        QVERIFY(unchanged(r));
    }

    void doubtfulMarksAreNamedBeforeTheirScreens()
    {
        Rig r;
        SheetTexts values = sampleValues();
        values.gender = "0";
        values.age = "N5";      // half marked: named, shown as read
        values.court[0] = "NN"; // not marked at all: "N", not available
        r.picker.path = drawnSheet(r, values);
        const auto layout = LoadSheetLayout(DefaultWorkspace(r.inst.path()), r.s.QuestionDbPath);
        QVERIFY(layout);
        {
            QImage img(r.picker.path);
            QPainter p(&img);
            const QColor pencil(135, 135, 135);
            // Gender: a small mark, enough to count but faint; court item 3 and answer 17: two.
            p.fillRect(BubbleRect(*layout, 2, 0).adjusted(5, 5, -6, -6), pencil);
            DrawPencilMark(p, BubbleRect(*layout, 9, 4), pencil);
            DrawPencilMark(p, BubbleRect(*layout, 21 + 17, 1), pencil);
            p.end();
            QVERIFY(img.save(r.picker.path));
        }
        r.screens.accepted = {true, true, true};
        r.scan();
        QCOMPARE(r.screens.opened,
                 (QStringList{"InputBox:Client Name Input", "Message:Test Scan",
                              "Message:Check Scanned Values", "ClientInformation",
                              "Message:Check Scanned Values", "CourtHistory", "AnswerEntry"}));
        QCOMPARE(r.p.shown[1].text, QString("The marks of these values were unclear on the "
                                            "sheet. Check them on the next screen:\n"
                                            "Age: one of its two digits is not marked\n"
                                            "Gender: a faint or missed mark"));
        QCOMPARE(r.seen.age, QString("N5"));
        QCOMPARE(r.seen.court[0], QString("N"));
        QVERIFY2(r.p.shown[2].text.endsWith("\nCourt history item 3: several marks, the darkest "
                                            "was taken"),
                 qPrintable(r.p.shown[2].text));
        QCOMPARE(r.screens.doubtfulSeen, QList<int>{17});
    }

    void saneTestDeviceFeedsTheChain()
    {
        Rig r;
        SaneSheetScanner scanner("test");
        QVERIFY(scanner.Present());
        const Result<QImage> page = scanner.Acquire();
        if (!page && page.error().code == err::ScanNoSource)
            QSKIP("SANE's test backend is not enabled (run scripts/enable-sane-test)");
        r.p.answers = {Prompter::Answer::Ok};
        ScanAnswerSheet(r.s, r.p, r.screens, scanner, r.picker, DefaultWorkspace(r.inst.path()));
        // Its default page is solid black: acquired and saved, but no sheet on it.
        QVERIFY(readBytes(r.inst.filePath("raw.bmp")).startsWith("BM"));
        QCOMPARE(r.p.lastText(), QString("Anchor Box not found\nAborting scan."));
        QVERIFY(unchanged(r));
    }

    void aMultiPageTiffGivesItsFirstPage()
    {
        Rig r;
        const SheetTexts values = sampleValues();
        const QString sheet = drawnSheet(r, values), blank = r.inst.filePath("blank.png");
        QImage white(850, 1400, QImage::Format_RGB32);
        white.fill(Qt::white);
        QVERIFY(white.save(blank));
        r.picker.path = r.inst.filePath("pages.tif");
        if (QProcess::execute("convert", {sheet, blank, r.picker.path}) != 0)
            QSKIP("ImageMagick's convert is not installed (scripts/bootstrap)");
        r.scan();
        QCOMPARE(r.screens.opened.last(), QString("ClientInformation"));
        QCOMPARE(r.seen.age, values.age);
    }

    void theFileDialogRemembersItsFolder()
    {
        QTemporaryDir a, b;
        const QString first = a.filePath("one.png"), second = b.filePath("two.png");
        QVERIFY(writeBytes(first, "1") && writeBytes(second, "2"));
        FileDialogImagePicker picker;
        ModalDriver driver;
        QString shownIn;
        for (const QString& file : {first, second}) {
            driver.onModal<QFileDialog>([&, file](QFileDialog* d) {
                shownIn = d->directory().absolutePath();
                d->selectFile(file);
                QMetaObject::invokeMethod(d, "accept");
            });
            QCOMPARE(picker.PickImage(), file);
        }
        QVERIFY2(driver.failures().isEmpty(), qPrintable(driver.failures().join('\n')));
        QCOMPARE(shownIn, a.path());
        QCOMPARE(picker.lastFolder(), b.path());
    }
};

QTEST_MAIN(ScanChainTest)
#include "ScanChainTest.moc"
