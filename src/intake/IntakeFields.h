#pragma once

#include "intake/IntakeRules.h"

#include <QComboBox>

class QKeyEvent;

namespace kvx {

// A drop-down list of the client information screen. The screen decides what typing does.
class InfoListBox : public QComboBox
{
    Q_OBJECT
public:
    InfoListBox(InfoList list, QWidget* parent = nullptr);

    InfoList list() const { return list_; }
    // The chosen entry, or -1 when the box is empty or holds a text of no entry.
    int chosen() const;
    // Shows text and selects the entry it matches; drops the list down when none does.
    void typeText(const QString& text);
    // Selects the entry the shown text matches, if any; keeps the choice otherwise.
    void rematch();
    void choose(int index);
    void empty();

private:
    InfoList list_;
};

// Enter, or Tab without a modifier: the keys that check an intake field and move on.
bool isEnterOrTab(const QKeyEvent* k);

} // namespace kvx
