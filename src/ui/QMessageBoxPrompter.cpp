#include "ui/QMessageBoxPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace kvx {
namespace {

QMessageBox::Icon boxIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Warning:
        return QMessageBox::Warning;
    case Prompter::Icon::Critical:
        return QMessageBox::Critical;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    case Prompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(Prompter::Buttons buttons)
{
    switch (buttons) {
    case Prompter::Buttons::Ok:
        return QMessageBox::Ok;
    case Prompter::Buttons::OkCancel:
    case Prompter::Buttons::OkFromFileCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompter::Buttons::YesNo:
    case Prompter::Buttons::YesNoDefaultNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Prompter::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Prompter::Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

} // namespace

Prompter::Answer QMessageBoxPrompter::Message(const QString& text, Buttons buttons, Icon icon,
                                              const QString& title)
{
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox box(boxIcon(icon), title.isEmpty() ? kAppTitle : title, text, boxButtons(buttons),
                    parent);
    box.setTextFormat(Qt::PlainText);
    // The first button is the default, as the operators know it; Escape picks the way out.
    const auto standard = boxButtons(buttons);
    for (QMessageBox::StandardButton b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::Retry}) {
        if (standard.testFlag(b)) {
            box.setDefaultButton(b);
            break;
        }
    }
    if (buttons == Buttons::YesNoDefaultNo)
        box.setDefaultButton(QMessageBox::No);
    QPushButton* fromFile = nullptr;
    if (buttons == Buttons::OkFromFileCancel) {
        fromFile = box.addButton(QStringLiteral("From File..."), QMessageBox::ActionRole);
        fromFile->setAccessibleName(QStringLiteral("From File..."));
    }
    const int chosen = box.exec();
    if (fromFile && box.clickedButton() == fromFile)
        return Answer::FromFile;
    switch (chosen) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        // Closed from the window frame: the way out of the set.
        if (standard.testFlag(QMessageBox::Cancel))
            return Answer::Cancel;
        if (standard.testFlag(QMessageBox::No))
            return Answer::No;
        return Answer::Ok;
    }
}

void QMessageBoxPrompter::Beep()
{
    QApplication::beep();
}

} // namespace kvx
