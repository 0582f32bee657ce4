#include "intake/IntakeFields.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace kvx {

InfoListBox::InfoListBox(InfoList list, QWidget* parent) : QComboBox(parent), list_(list)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    // Typing is the screen's business; the text only ever shows an entry or what was typed.
    lineEdit()->setReadOnly(true);
    addItems(listEntries(list));
    empty();
}

int InfoListBox::chosen() const
{
    const int i = currentIndex();
    return (i >= 0 && currentText() == itemText(i)) ? i : -1;
}

void InfoListBox::typeText(const QString& text)
{
    const int match = MatchListEntry(list_, text);
    if (match >= 0) {
        choose(match);
        return;
    }
    setCurrentIndex(-1);
    setEditText(text);
    showPopup();
}

void InfoListBox::rematch()
{
    const int match = MatchListEntry(list_, currentText());
    if (match >= 0 && match != chosen())
        choose(match);
}

void InfoListBox::choose(int index)
{
    setCurrentIndex(index);
    setEditText(itemText(index));
}

void InfoListBox::empty()
{
    setCurrentIndex(-1);
    clearEditText();
}

bool isEnterOrTab(const QKeyEvent* k)
{
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
        return true;
    return k->key() == Qt::Key_Tab &&
           !(k->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
}

} // namespace kvx
