#include "ui/ScreenConventions.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>

namespace kvx {
namespace {

QString indexedName(const char* base, int index)
{
    return QLatin1String(base) + u'_' + QString::number(index);
}

void setBold(QWidget* w, bool bold)
{
    QFont f = w->font();
    if (f.bold() != bold) {
        f.setBold(bold);
        w->setFont(f);
    }
}

bool busy = false;

} // namespace

// --- MenuButton ---

MenuButton::MenuButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    // Enter belongs to the focused button, never to a dialog's default button.
    setAutoDefault(false);
    setDefault(false);
    setFocusPolicy(Qt::StrongFocus);
}

void MenuButton::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!e->isAutoRepeat() && isEnabled())
            click();
        e->accept();
        return;
    case Qt::Key_Space:
        QPushButton::keyPressEvent(e);
        return;
    default:
        // Letters, digits, arrows and Escape do nothing on a menu button.
        e->accept();
        return;
    }
}

void MenuButton::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space)
        QPushButton::keyReleaseEvent(e);
    else
        e->accept();
}

void MenuButton::focusInEvent(QFocusEvent* e)
{
    QPushButton::focusInEvent(e);
    emit focusEntered();
}

void MenuButton::focusOutEvent(QFocusEvent* e)
{
    QPushButton::focusOutEvent(e);
    emit focusLeft();
}

// --- MenuChoices ---

MenuChoices::MenuChoices(QLabel* helpLine, Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), helpLine_(helpLine)
{
    setObjectName(QStringLiteral("MenuChoices"));
    auto* layout = new QBoxLayout(
        orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
}

int MenuChoices::add(const QString& caption, const QString& help)
{
    const int index = count();
    auto* panel = new QFrame(this);
    panel->setObjectName(indexedName("sspMenuChoice", index));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAutoFillBackground(true);
    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(5, 5, 5, 5);
    auto* button = new MenuButton(caption, panel);
    button->setObjectName(indexedName("cmdMenuChoice", index));
    inner->addWidget(button);
    layout()->addWidget(panel);

    buttons_.push_back(button);
    panels_.push_back(panel);
    help_.push_back(help);
    setPanelHighlighted(panel, false);

    connect(button, &MenuButton::focusEntered, this, [this, index] {
        setPanelHighlighted(panels_[static_cast<size_t>(index)], true);
        focused_ = index;
        if (helpLine_)
            helpLine_->setText(help_[static_cast<size_t>(index)]);
    });
    // The help line keeps the button's text when the focus leaves it.
    connect(button, &MenuButton::focusLeft, this,
            [this, index] { setPanelHighlighted(panels_[static_cast<size_t>(index)], false); });
    connect(button, &QPushButton::clicked, this, [this, index] { emit chosen(index); });
    return index;
}

QPushButton* MenuChoices::button(int index) const
{
    return buttons_.at(static_cast<size_t>(index));
}

QFrame* MenuChoices::panel(int index) const
{
    return panels_.at(static_cast<size_t>(index));
}

void MenuChoices::setHelp(int index, const QString& help)
{
    help_.at(static_cast<size_t>(index)) = help;
}

QString MenuChoices::help(int index) const
{
    return help_.at(static_cast<size_t>(index));
}

// --- helpers ---

QLabel* makeHelpLine(QWidget* parent)
{
    auto* line = new QLabel(parent);
    line->setObjectName(QStringLiteral("MsgPanel"));
    line->setFrameShape(QFrame::Panel);
    line->setFrameShadow(QFrame::Sunken);
    line->setMinimumHeight(line->fontMetrics().height() + 8);
    line->setTextFormat(Qt::PlainText);
    return line;
}

void setPanelHighlighted(QWidget* panel, bool on)
{
    if (!panel)
        return;
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, on ? kHighlightCyan : kPanelBlue);
    panel->setPalette(pal);
    const auto buttons = panel->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly);
    for (QPushButton* b : buttons)
        setBold(b, on);
}

void CenterForm(QWidget* form)
{
    if (!form || form->isMaximized())
        return;
    const QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    form->move(area.x() + (area.width() - form->width()) / 2,
               area.y() + (area.height() - form->height()) / 2);
}

void ResetMenuChoices(QWidget* screen, int lastIndex)
{
    for (int i = 0; i <= lastIndex && screen; ++i)
        setPanelHighlighted(screen->findChild<QWidget*>(indexedName("sspMenuChoice", i)), false);
}

void HighlightMenuChoice(QWidget* screen, int index)
{
    if (screen)
        setPanelHighlighted(screen->findChild<QWidget*>(indexedName("sspMenuChoice", index)), true);
}

void SelectAllText()
{
    SelectAllText(QApplication::focusWidget());
}

void SelectAllText(QWidget* control)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setSelection(0, static_cast<int>(edit->text().size()));
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->lineEdit())
            SelectAllText(combo->lineEdit());
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(control)) {
        spin->selectAll();
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(control)) {
        text->selectAll();
    } else if (auto* rich = qobject_cast<QTextEdit*>(control)) {
        rich->selectAll();
    }
}

void ResetInfoLabels(int lastIndex)
{
    QWidget* screen = QApplication::activeModalWidget();
    if (!screen)
        screen = QApplication::activeWindow();
    ResetInfoLabels(screen, lastIndex);
}

void ResetInfoLabels(QWidget* screen, int lastIndex)
{
    for (int i = 0; i <= lastIndex; ++i)
        setInfoLabelBold(screen, i, false);
}

void setInfoLabelBold(QWidget* screen, int index, bool bold)
{
    if (!screen)
        return;
    if (auto* label = screen->findChild<QLabel*>(indexedName("lblInfo", index)))
        setBold(label, bold);
}

void ShowBusy()
{
    if (!busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busy = true;
    }
    QCoreApplication::processEvents();
}

void ShowNormal()
{
    if (busy) {
        QApplication::restoreOverrideCursor();
        busy = false;
    }
    QCoreApplication::processEvents();
}

bool isBusy()
{
    return busy;
}

// --- SelectAllOnFocus ---

void SelectAllOnFocus::install(QWidget* field)
{
    // One filter per field, owned by it.
    field->installEventFilter(new SelectAllOnFocus(field));
}

bool SelectAllOnFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        // After the mouse press that gave the focus has placed its cursor.
        auto* w = static_cast<QWidget*>(watched);
        QTimer::singleShot(0, w, [w] {
            if (w->hasFocus())
                SelectAllText(w);
        });
    }
    return false;
}

// --- KvxScreen ---

KvxScreen::KvxScreen(Session& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent), MsgPanel(makeHelpLine(this)), session_(session), prompter_(prompter)
{
    setModal(true);
}

void KvxScreen::showHelp(const QString& text)
{
    MsgPanel->setText(text);
}

MenuChoices* KvxScreen::addMenuChoices(Qt::Orientation orientation)
{
    menuChoices_ = new MenuChoices(MsgPanel, orientation, this);
    return menuChoices_;
}

void KvxScreen::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!centred_) {
        centred_ = true;
        CenterForm(this);
    }
    if (menuChoices_)
        ResetMenuChoices(this, menuChoices_->count() - 1);
    // The focused button keeps its highlight through the reset.
    if (menuChoices_) {
        for (int i = 0; i < menuChoices_->count(); ++i) {
            if (menuChoices_->button(i)->hasFocus())
                HighlightMenuChoice(this, i);
        }
    }
}

void KvxScreen::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace kvx
