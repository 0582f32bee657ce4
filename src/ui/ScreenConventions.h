#pragma once

// The look and keys every screen shares.
//
// A modal screen derives from KvxScreen and stays thin:
//
//   class frmExample : public KvxScreen
//   {
//   public:
//       frmExample(Session& s, Prompter& p, QWidget* parent = nullptr)
//           : KvxScreen(s, p, parent)
//       {
//           setWindowTitle(QStringLiteral("Example"));
//           // cmdMenuChoice_N on sspMenuChoice_N, in the order added:
//           MenuChoices* menu = addMenuChoices(Qt::Horizontal);
//           menu->add(QStringLiteral("OK"), QStringLiteral("Accept this screen."));
//           menu->add(QStringLiteral("Cancel"), QStringLiteral("Leave unchanged."));
//           connect(menu, &MenuChoices::chosen, this, [this](int i) { ... });
//           auto* layout = new QVBoxLayout(this);
//           layout->addWidget(...fields...);
//           layout->addWidget(menu);
//           layout->addWidget(MsgPanel); // the help line, created by the base
//       }
//   };
//
// - A menu button reacts to Enter (at once) and Space only; every other key is swallowed, Tab
//   and Shift+Tab move the focus. Focus turns its panel cyan and its caption bold, shows its help
//   text in MsgPanel and is remembered (menu->focused()); losing it turns the panel blue.
// - showHelp(text) puts any control's guidance on the help line; SelectAllOnFocus::install(edit)
//   makes a text field select its whole text whenever it gets the focus.
// - Labels named lblInfo_0..N: setInfoLabelBold / ResetInfoLabels.
// - KvxScreen centres itself when first shown, resets the menu row at each show, and does not
//   close on Escape (a screen is left through its own buttons). Show it with exec().
// - Long steps: ShowBusy() ... ShowNormal().
// - Every message box and beep goes through prompter() (see Prompter.h); tests script it.
// - Text fields: applyTextRule(edit, prompter) keeps out what the data disk cannot hold or a
//   line cannot show (controls, characters outside Windows-1252); a paste holding one is
//   refused whole with one beep.
// - Sizes: a menu button and an lblInfo_N label keep the size of their bold look, so a focus
//   change moves nothing. reserveBoldSize(widget) does the same for any other widget that
//   turns bold.
// - Accessible names: menu buttons and their panels carry their captions, the help line is
//   "Help line" (its text is the description), and at the first show nameControls() names
//   frames from their titles and fields from their buddy labels. Name anything else yourself.

#include "store/Session.h"
#include "ui/Prompter.h"

#include <QColor>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QValidator>

class QGroupBox;
class QLineEdit;

#include <vector>

namespace kvx {

inline const QColor kHighlightCyan{0, 255, 255};
inline const QColor kPanelBlue{0, 0, 255};
inline const QColor kWhite{255, 255, 255};
inline const QColor kBlack{0, 0, 0};

// A button of a menu row: only Enter and Space act on it.
class MenuButton : public QPushButton
{
    Q_OBJECT
public:
    explicit MenuButton(const QString& caption, QWidget* parent = nullptr);

    // As large as the bold caption needs, whatever the weight now.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void focusEntered();
    void focusLeft();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    QSize bothWeights(bool minimum) const;
    mutable QString sizeKey_;
    mutable QSize size_;
};

// The row (or column) of menu buttons, each on its highlight panel, feeding the help line.
class MenuChoices : public QWidget
{
    Q_OBJECT
public:
    MenuChoices(QLabel* helpLine, Qt::Orientation orientation, QWidget* parent = nullptr);

    // Adds cmdMenuChoice_N on sspMenuChoice_N; returns N.
    int add(const QString& caption, const QString& help);

    int count() const { return static_cast<int>(buttons_.size()); }
    QPushButton* button(int index) const;
    QFrame* panel(int index) const;
    void setHelp(int index, const QString& help);
    QString help(int index) const;

    // The button that had the focus last; -1 before any.
    int focused() const { return focused_; }

signals:
    void chosen(int index);

private:
    QLabel* helpLine_;
    std::vector<MenuButton*> buttons_;
    std::vector<QFrame*> panels_;
    std::vector<QString> help_;
    int focused_ = -1;
};

// The help line at the bottom of a screen.
QLabel* makeHelpLine(QWidget* parent);

// Keeps out of a text field every character that is not a text character (see
// cp1252::isTextChar): typed, pasted or dropped, the whole change is refused with one beep.
class StorableTextValidator : public QValidator
{
public:
    explicit StorableTextValidator(QObject* parent, Prompter* prompter = nullptr);
    State validate(QString& input, int& pos) const override;

private:
    Prompter* prompter_;
};

// The text field rule for a field of a screen; beeps through prompter.
void applyTextRule(QLineEdit* edit, Prompter& prompter);

// Makes widget at least as large as it is with a bold font, so turning bold moves nothing.
void reserveBoldSize(QWidget* widget);

// Gives unnamed controls under root an accessible name: a group box its title, a field or list
// its buddy label's text (without "&" and the closing ":"), a list in a titled group box the
// title.
void nameControls(QWidget* root);

// A highlight panel's two looks: cyan with a bold caption, or blue with a normal one.
void setPanelHighlighted(QWidget* panel, bool on);

// A titled frame that holds a list: cyan with black bold title text when it has the focus, blue
// with white normal text otherwise.
void setFrameHighlighted(QGroupBox* frame, bool on);

// Centres a screen that is not maximised on its screen.
void CenterForm(QWidget* form);
// Panels sspMenuChoice_0..lastIndex of a screen to blue, captions normal.
void ResetMenuChoices(QWidget* screen, int lastIndex);
// Panel sspMenuChoice_index to cyan, caption bold.
void HighlightMenuChoice(QWidget* screen, int index);
// Selects the whole text of the focused control (or of control); others are left alone.
void SelectAllText();
void SelectAllText(QWidget* control);
// Labels lblInfo_0..lastIndex of the active screen (or of screen) to normal weight.
void ResetInfoLabels(int lastIndex);
void ResetInfoLabels(QWidget* screen, int lastIndex);
void setInfoLabelBold(QWidget* screen, int index, bool bold);
// The busy pointer on and off; both let pending window events run.
void ShowBusy();
void ShowNormal();
bool isBusy();

// Makes a text field select its whole text each time it gets the focus.
class SelectAllOnFocus : public QObject
{
    Q_OBJECT
public:
    static void install(QWidget* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

// Base of the modal screens: the session, the prompter, the help line and the menu row.
class KvxScreen : public QDialog
{
    Q_OBJECT
public:
    KvxScreen(Session& session, Prompter& prompter, QWidget* parent = nullptr);

    Session& session() { return session_; }
    Prompter& prompter() { return prompter_; }
    MenuChoices* menuChoices() const { return menuChoices_; }
    QLabel* helpLine() const { return MsgPanel; }
    void showHelp(const QString& text);

protected:
    MenuChoices* addMenuChoices(Qt::Orientation orientation);
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

    QLabel* MsgPanel;

private:
    Session& session_;
    Prompter& prompter_;
    MenuChoices* menuChoices_ = nullptr;
    bool centred_ = false;
};

} // namespace kvx
