#include "testing/frmSelectEntryMethod.h"

#include "testing/frmSelectLanguage.h"

#include <QVBoxLayout>

#include <algorithm>

namespace kvx {

frmSelectEntryMethod::frmSelectEntryMethod(Session& session, Prompter& prompter, Screens& screens,
                                           std::function<Result<QStringList>()> languages,
                                           std::function<bool()> askSecretCode, QWidget* parent)
    : KvxScreen(session, prompter, parent), screens_(screens)
{
    setObjectName(QStringLiteral("frmSelectEntryMethod"));
    setWindowTitle(QStringLiteral("Entry Method"));

    lblClientName = new QLabel(this);
    lblClientName->setObjectName(QStringLiteral("lblClientName"));
    lblClientName->setAccessibleName(QStringLiteral("Client name"));
    lblClientName->hide(); // a new client has no name yet

    fraSelectMethod = new QGroupBox(QStringLiteral("Select Client Data Entry Method"), this);
    fraSelectMethod->setObjectName(QStringLiteral("fraSelectMethod"));
    fraSelectMethod->setAccessibleName(fraSelectMethod->title());
    auto* frameLayout = new QVBoxLayout(fraSelectMethod);
    MenuChoices* menu = addMenuChoices(Qt::Vertical);
    menu->setParent(fraSelectMethod);
    menu->add(QStringLiteral("Administer Test to Client"),
              QStringLiteral("Onscreen Presentation. Enter client information then present the "
                             "test on the computer."));
    menu->add(QStringLiteral("Enter Test Data from Answer Sheet"),
              QStringLiteral("Paper-Pencil Presentation. Manually enter test information from "
                             "completed answer sheet."));
    menu->add(QStringLiteral("Scan Answer Sheet"),
              QStringLiteral("Optical Scanner Presentation. Scan completed answer sheet."));
    menu->add(QStringLiteral("Cancel New Client Entry"),
              QStringLiteral("Cancel. Do not enter a new client. Return to Main Menu."));
    frameLayout->addWidget(menu);
    connect(menu, &MenuChoices::chosen, this, &frmSelectEntryMethod::choose);

    frBlank = new QFrame(this);
    frBlank->setObjectName(QStringLiteral("frBlank"));
    frBlank->setAccessibleName(QStringLiteral("Blank"));

    auto* holder = new QWidget(this);
    holder->setAccessibleName(QStringLiteral("Entry methods"));
    stack_ = new QStackedLayout(holder);
    stack_->addWidget(fraSelectMethod);
    stack_->addWidget(frBlank);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblClientName);
    layout->addWidget(holder, 1);
    layout->addWidget(MsgPanel);
    MsgPanel->setAccessibleName(QStringLiteral("Help line"));
    // Wide enough for the longest help line on one line.
    int widest = 0;
    for (int i = 0; i < menu->count(); ++i)
        widest = std::max(widest, MsgPanel->fontMetrics().horizontalAdvance(menu->help(i)));
    setMinimumWidth(widest + 48);

    steps_.languages = std::move(languages);
    steps_.askSecretCode = std::move(askSecretCode);
    steps_.selectLanguage = [this](const QStringList& found) {
        frmSelectLanguage language(this->session(), this->prompter(), found, this);
        language.exec();
        return language.Language();
    };
    steps_.hideChoices = [this] { hideChoices(); };
    steps_.showHelp = [this](const QString& text) { showHelp(text); };
}

void frmSelectEntryMethod::hideChoices()
{
    stack_->setCurrentWidget(frBlank);
}

void frmSelectEntryMethod::choose(int index)
{
    switch (index) {
    case 0:
        AdministerTest(session(), prompter(), screens_, steps_);
        break;
    case 1:
        EnterFromAnswerSheet(session(), screens_);
        break;
    case 2:
        hideChoices();
        screens_.ScanSheet();
        break;
    default:
        break;
    }
    accept();
}

} // namespace kvx
