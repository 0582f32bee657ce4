#include "app/ScreenConventions.h"
#include "common/ScriptedPrompter.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace kvx;

namespace {

// A screen with two menu buttons, a text field and two info labels.
class SampleScreen : public KvxScreen
{
public:
    SampleScreen(Session& s, Prompter& p) : KvxScreen(s, p)
    {
        auto* layout = new QVBoxLayout(this);
        edit = new QLineEdit(QStringLiteral("some text"), this);
        edit->setObjectName(QStringLiteral("txtSample"));
        SelectAllOnFocus::install(edit);
        layout->addWidget(edit);
        for (int i = 0; i < 2; ++i) {
            auto* l = new QLabel(QStringLiteral("label"), this);
            l->setObjectName(QStringLiteral("lblInfo_%1").arg(i));
            layout->addWidget(l);
        }
        MenuChoices* menu = addMenuChoices(Qt::Horizontal);
        menu->add(QStringLiteral("OK"), QStringLiteral("Accept."));
        menu->add(QStringLiteral("Cancel"), QStringLiteral("Go back."));
        layout->addWidget(menu);
        layout->addWidget(MsgPanel);
    }
    QLineEdit* edit;
};

QColor panelColour(QWidget* screen, int i)
{
    return screen->findChild<QWidget*>(QStringLiteral("sspMenuChoice_%1").arg(i))
        ->palette()
        .color(QPalette::Window);
}

bool captionBold(QWidget* screen, int i)
{
    return screen->findChild<QPushButton*>(QStringLiteral("cmdMenuChoice_%1").arg(i))
        ->font()
        .bold();
}

} // namespace

class ScreenConventionsTest : public QObject
{
    Q_OBJECT

    Session session;
    test::ScriptedPrompter prompter;

private slots:
    void onlyEnterAndSpaceActOnAMenuButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("clicks");
        QTest::newRow("Enter") << int(Qt::Key_Return) << 1;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 1;
        QTest::newRow("Space") << int(Qt::Key_Space) << 1;
        QTest::newRow("letter O") << int(Qt::Key_O) << 0;
        QTest::newRow("letter C") << int(Qt::Key_C) << 0;
        QTest::newRow("digit 1") << int(Qt::Key_1) << 0;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 0;
        QTest::newRow("Down") << int(Qt::Key_Down) << 0;
    }

    void onlyEnterAndSpaceActOnAMenuButton()
    {
        QFETCH(int, key);
        QFETCH(int, clicks);
        SampleScreen screen(session, prompter);
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        QPushButton* ok = screen.menuChoices()->button(0);
        ok->setFocus();
        QSignalSpy chosen(screen.menuChoices(), &MenuChoices::chosen);
        QTest::keyClick(ok, Qt::Key(key));
        QCOMPARE(chosen.count(), clicks);
        if (clicks)
            QCOMPARE(chosen.at(0).at(0).toInt(), 0);
        // Escape on a button must not close the screen either.
        QVERIFY(screen.isVisible());
        QCOMPARE(screen.result(), 0);
    }

    void focusHighlightsThePanelAndShowsTheHelp()
    {
        SampleScreen screen(session, prompter);
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        screen.activateWindow();
        QPushButton* ok = screen.menuChoices()->button(0);
        ok->setFocus();
        QCOMPARE(panelColour(&screen, 0), kHighlightCyan);
        QVERIFY(captionBold(&screen, 0));
        QCOMPARE(panelColour(&screen, 1), kPanelBlue);
        QVERIFY(!captionBold(&screen, 1));
        QCOMPARE(screen.helpLine()->text(), QStringLiteral("Accept."));
        QCOMPARE(screen.menuChoices()->focused(), 0);

        QTest::keyClick(ok, Qt::Key_Tab);
        QCOMPARE(panelColour(&screen, 0), kPanelBlue);
        QVERIFY(!captionBold(&screen, 0));
        QCOMPARE(panelColour(&screen, 1), kHighlightCyan);
        QCOMPARE(screen.helpLine()->text(), QStringLiteral("Go back."));
        QCOMPARE(screen.menuChoices()->focused(), 1);

        // Leaving for a text field keeps the button's help text.
        screen.edit->setFocus();
        QCOMPARE(panelColour(&screen, 1), kPanelBlue);
        QCOMPARE(screen.helpLine()->text(), QStringLiteral("Go back."));
        QTRY_COMPARE(screen.edit->selectedText(), QStringLiteral("some text"));
    }

    void helpersSetAndResetPanelsAndLabels()
    {
        SampleScreen screen(session, prompter);
        HighlightMenuChoice(&screen, 1);
        QCOMPARE(panelColour(&screen, 1), kHighlightCyan);
        QVERIFY(captionBold(&screen, 1));
        ResetMenuChoices(&screen, 1);
        QCOMPARE(panelColour(&screen, 1), kPanelBlue);
        QVERIFY(!captionBold(&screen, 1));

        setInfoLabelBold(&screen, 0, true);
        setInfoLabelBold(&screen, 1, true);
        ResetInfoLabels(&screen, 0);
        QVERIFY(!screen.findChild<QLabel*>(QStringLiteral("lblInfo_0"))->font().bold());
        QVERIFY(screen.findChild<QLabel*>(QStringLiteral("lblInfo_1"))->font().bold());
    }

    void centreAndBusyPointer()
    {
        SampleScreen screen(session, prompter);
        screen.resize(300, 200);
        CenterForm(&screen);
        const QRect area = screen.screen()->geometry();
        QCOMPARE(screen.x(), area.x() + (area.width() - 300) / 2);
        QCOMPARE(screen.y(), area.y() + (area.height() - 200) / 2);

        ShowBusy();
        ShowBusy();
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ShowNormal();
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(ScreenConventionsTest)
#include "ScreenConventionsTest.moc"
