#include "testing/frmSelectLanguage.h"

#include "store/DataFile.h"
#include "testing/Languages.h"

#include <QVBoxLayout>

namespace kvx {
namespace {
constexpr int kCancelButton = 3;
}

frmSelectLanguage::frmSelectLanguage(Session& session, Prompter& prompter,
                                     const QStringList& languages, QWidget* parent)
    : KvxScreen(session, prompter, parent)
{
    setObjectName(QStringLiteral("frmSelectLanguage"));
    setWindowTitle(QStringLiteral("Select Presentation Language"));

    fraSelectMethod = new QGroupBox(QStringLiteral("Select Language to Present"), this);
    fraSelectMethod->setObjectName(QStringLiteral("fraSelectMethod"));
    fraSelectMethod->setAccessibleName(fraSelectMethod->title());
    auto* frameLayout = new QVBoxLayout(fraSelectMethod);
    MenuChoices* menu = addMenuChoices(Qt::Vertical);
    menu->setParent(fraSelectMethod);
    count_ = static_cast<int>(std::min<qsizetype>(languages.size(), kMaxLanguages));
    for (int i = 0; i < kCancelButton; ++i) {
        const QString name = i < count_ ? languages.at(i) : QString();
        menu->add(name, QStringLiteral("Present in ") + name);
        menu->panel(i)->setVisible(i < count_);
    }
    menu->add(QStringLiteral("Cancel Presentation"), QStringLiteral("Cancel presentation"));
    frameLayout->addWidget(menu);
    connect(menu, &MenuChoices::chosen, this, &frmSelectLanguage::choose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraSelectMethod, 1);
    layout->addWidget(MsgPanel);
    MsgPanel->setAccessibleName(QStringLiteral("Help line"));
    setMinimumWidth(420);
}

void frmSelectLanguage::showEvent(QShowEvent* e)
{
    KvxScreen::showEvent(e);
    QPushButton* first = menuChoices()->button(count_ > 0 ? 0 : kCancelButton);
    first->setFocus(Qt::OtherFocusReason);
}

void frmSelectLanguage::choose(int index)
{
    if (index < count_) {
        language_ = menuChoices()->button(index)->text();
        session().ScreenAccepted = true;
        accept();
        return;
    }
    reject();
}

void frmSelectLanguage::reject()
{
    // A new client who is not tested is not kept (the chain never runs for an edited one).
    Session& s = session();
    if (!s.EditMode)
        DropNewClient(s);
    s.ScreenAccepted = false;
    KvxScreen::reject();
}

} // namespace kvx
