#include "ui/ScreenConventions.h"

#include "store/Cp1252.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

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

QString withoutAmpersands(QString text)
{
    // "&&" is a literal ampersand, a single one marks the shortcut letter.
    text.replace(QLatin1String("&&"), QString(QChar(0xE000)));
    text.remove(u'&');
    text.replace(QChar(0xE000), u'&');
    return text;
}

QString labelName(const QString& caption)
{
    QString name = withoutAmpersands(caption).simplified();
    if (name.endsWith(u':'))
        name.chop(1);
    return name.trimmed();
}

// The help line reads as "Help line" with its current text as the description, so that a
// screen reader (or a script) finds it by one name while its text changes.
class HelpLineAccessible : public QAccessibleWidget
{
public:
    explicit HelpLineAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QStringLiteral("Help line");
        if (t == QAccessible::Description || t == QAccessible::Value)
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

const char* const kHelpLineProperty = "kvxHelpLine";

QAccessibleInterface* helpLineFactory(const QString&, QObject* object)
{
    auto* label = qobject_cast<QLabel*>(object);
    if (label && label->property(kHelpLineProperty).toBool())
        return new HelpLineAccessible(label);
    return nullptr;
}

// What the other weight of w's font needs beyond the current one (never less than nothing),
// so that a size hint covers both weights and a change of weight moves nothing.
QSize boldExtra(const QWidget* w, const QString& text)
{
    QFont other = w->font();
    other.setBold(!other.bold());
    const QFontMetrics now(w->font());
    const QFontMetrics then(other);
    int dw = 0;
    const auto lines = text.split(u'\n');
    for (const QString& line : lines)
        dw = std::max(dw, then.horizontalAdvance(line) - now.horizontalAdvance(line));
    return {std::max(0, dw), std::max(0, then.height() - now.height())};
}

} // namespace

// --- MenuButton ---

MenuButton::MenuButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    // Enter belongs to the focused button, never to a dialog's default button.
    setAutoDefault(false);
    setDefault(false);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(labelName(caption));
}

// The size a caption needs in the larger of its two weights, measured on a button that is
// never shown: the same numbers whichever weight the caption has now.
QSize MenuButton::bothWeights(bool minimum) const
{
    const QString key = text() + u'|' + font().toString() + (minimum ? u'm' : u'h');
    if (key != sizeKey_) {
        QPushButton probe(text());
        probe.setAutoDefault(false);
        QFont f = font();
        QSize size;
        for (const bool bold : {false, true}) {
            f.setBold(bold);
            probe.setFont(f);
            size = size.expandedTo(minimum ? probe.minimumSizeHint() : probe.sizeHint());
        }
        sizeKey_ = key;
        size_ = size;
    }
    return size_;
}

QSize MenuButton::sizeHint() const
{
    return QPushButton::sizeHint().expandedTo(bothWeights(false));
}

QSize MenuButton::minimumSizeHint() const
{
    return QPushButton::minimumSizeHint().expandedTo(bothWeights(true));
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
    setAccessibleName(QStringLiteral("Menu"));
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
    panel->setAccessibleName(labelName(caption));
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
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(helpLineFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    line->setProperty(kHelpLineProperty, true);
    line->setAccessibleName(QStringLiteral("Help line"));
    // With a screen reader listening, the label got its plain interface when it was made;
    // drop it so that the next one asked for is the help line's.
    if (QAccessible::isActive()) {
        if (QAccessibleInterface* plain = QAccessible::queryAccessibleInterface(line))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(plain));
    }
    return line;
}

StorableTextValidator::StorableTextValidator(QObject* parent, Prompter* prompter)
    : QValidator(parent), prompter_(prompter)
{}

QValidator::State StorableTextValidator::validate(QString& input, int&) const
{
    if (cp1252::firstNonText(input).isNull())
        return Acceptable;
    // The field puts its text back as it was; one refusal, one beep. A field being filled by
    // the program (not focused) is not the operator's doing.
    auto* field = qobject_cast<QWidget*>(parent());
    if (prompter_ && (!field || field->hasFocus()))
        prompter_->Beep();
    return Invalid;
}

namespace {

// Pastes and drops are judged whole, before a field's length limit could cut off the part
// that would be refused; the validator stays as the last guard for every other change.
class TextRuleFilter : public QObject
{
public:
    TextRuleFilter(QLineEdit* edit, Prompter& prompter) : QObject(edit), prompter_(prompter) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* edit = static_cast<QLineEdit*>(watched);
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste))
                return refused(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton &&
                QGuiApplication::clipboard()->supportsSelection())
                return refused(QGuiApplication::clipboard()->text(QClipboard::Selection));
            break;
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (drop->mimeData() && refused(drop->mimeData()->text())) {
                drop->ignore();
                return true;
            }
            break;
        }
        case QEvent::ContextMenu: {
            // The menu's Paste goes through the same judgement.
            QMenu* menu = edit->createStandardContextMenu();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            const auto actions = menu->actions();
            for (QAction* a : actions) {
                if (a->objectName() != QLatin1String("edit-paste"))
                    continue;
                a->disconnect();
                connect(a, &QAction::triggered, edit, [this, edit] {
                    if (!refused(QGuiApplication::clipboard()->text()))
                        edit->paste();
                });
            }
            menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        default:
            break;
        }
        return false;
    }

private:
    bool refused(const QString& text)
    {
        if (cp1252::firstNonText(text).isNull())
            return false;
        prompter_.Beep();
        return true;
    }

    Prompter& prompter_;
};

} // namespace

void applyTextRule(QLineEdit* edit, Prompter& prompter)
{
    edit->setValidator(new StorableTextValidator(edit, &prompter));
    edit->installEventFilter(new TextRuleFilter(edit, prompter));
}

void reserveBoldSize(QWidget* widget)
{
    if (!widget)
        return;
    QSize extra;
    if (auto* label = qobject_cast<QLabel*>(widget))
        extra = boldExtra(label, label->text());
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        extra = boldExtra(button, withoutAmpersands(button->text()));
    else if (auto* box = qobject_cast<QGroupBox*>(widget))
        extra = boldExtra(box, withoutAmpersands(box->title()));
    const QSize hint = widget->sizeHint() + extra;
    widget->setMinimumSize(widget->minimumSize().expandedTo(hint));
}

void nameControls(QWidget* root)
{
    if (!root)
        return;
    const auto labels = root->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        QWidget* buddy = label->buddy();
        if (buddy && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(labelName(label->text()));
    }
    const auto widgets = root->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->accessibleName().isEmpty())
            continue;
        if (auto* box = qobject_cast<QGroupBox*>(w)) {
            box->setAccessibleName(labelName(box->title()));
        } else if (auto* combo = qobject_cast<QComboBox*>(w->parentWidget());
                   combo && qobject_cast<QLineEdit*>(w)) {
            // The text part of an editable list is the list.
            w->setAccessibleName(combo->accessibleName());
        } else if (qobject_cast<QAbstractItemView*>(w) || qobject_cast<QLineEdit*>(w) ||
                   qobject_cast<QComboBox*>(w)) {
            // A list alone in a titled frame is what the frame says.
            auto* box = qobject_cast<QGroupBox*>(w->parentWidget());
            if (box && !box->title().isEmpty())
                w->setAccessibleName(labelName(box->title()));
        } else if (w->metaObject() == &QFrame::staticMetaObject && w->parentWidget() == root &&
                   !root->windowTitle().isEmpty()) {
            // The untitled frame holding a screen's fields takes the screen's title.
            w->setAccessibleName(root->windowTitle());
        }
    }
}

void setFrameHighlighted(QGroupBox* frame, bool on)
{
    QPalette pal = frame->palette();
    pal.setColor(QPalette::Window, on ? kHighlightCyan : kPanelBlue);
    pal.setColor(QPalette::WindowText, on ? kBlack : kWhite);
    frame->setPalette(pal);
    QFont f = frame->font();
    f.setBold(on);
    frame->setFont(f);
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
    if (auto* label = screen->findChild<QLabel*>(indexedName("lblInfo", index))) {
        if (bold)
            reserveBoldSize(label);
        setBold(label, bold);
    }
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
        // Labels that turn bold with their field keep the room for it from the start.
        const auto labels = findChildren<QLabel*>();
        for (QLabel* label : labels) {
            if (label->objectName().startsWith(QLatin1String("lblInfo_")) && !label->font().bold())
                reserveBoldSize(label);
        }
        nameControls(this);
        if (layout())
            layout()->activate();
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
