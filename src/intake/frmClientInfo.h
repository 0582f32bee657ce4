#pragma once

#include "intake/IntakeFields.h"
#include "intake/IntakeRules.h"
#include "ui/ScreenConventions.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>

#include <array>
#include <functional>

namespace kvx {

// The client information screen: name, age, date of birth and the four lists of a new, an
// edited or a scanned client. The caller sets Session::EditMode and ScanEditMode before
// building it; the outcome is in Session::ScreenAccepted.
class frmClientInfo : public KvxScreen
{
    Q_OBJECT
public:
    frmClientInfo(Session& session, Prompter& prompter, QWidget* parent = nullptr);

    bool EditMode() { return session().EditMode; }
    void setEditMode(bool on) { session().EditMode = on; }
    bool ScanEditMode() { return session().ScanEditMode; }
    void setScanEditMode(bool on) { session().ScanEditMode = on; }

    // The date a new client's test date takes (today unless a test says otherwise).
    void setClock(std::function<QDate()> today) { today_ = std::move(today); }

    void RecordToScreen();
    Status RecordToDB();
    void LockFields();
    void CountEdit(const QString& fieldName);
    void ShowEditLimitMessage();

    QLineEdit* txtName;
    QLineEdit* txtAge;
    QLineEdit* mebDateOfBirth;
    InfoListBox* cmbGender;
    InfoListBox* cmbRace;
    InfoListBox* cmbEducation;
    InfoListBox* cmbMarital;
    std::array<QLabel*, kInfoFieldCount> lblInfo{};
    QFrame* frClient;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load();
    void Activate();
    QWidget* fieldWidget(InfoField f) const;
    int fieldIndexOf(QObject* w) const;
    QString currentText(InfoField f) const;
    InfoValues screenValues() const;
    // Enter or Tab in a field: the check, and where the focus goes.
    bool checkField(InfoField f);
    void complain(InfoField f, const QString& message);
    // Whether a field passes its check as it stands (nothing shown, nothing changed).
    bool fieldPasses(InfoField f) const;
    // Puts the stored record's value back into a field.
    void restoreStored(InfoField f);
    void showDateOfBirth(const QString& value);
    void enterField(InfoField f);
    bool typeInField(InfoField f, QKeyEvent* k);
    void fieldFocused(InfoField f, bool in);
    void updateOkHelp();
    void Save();
    bool writeCurrent();
    void CancelInput();

    std::array<QString, kInfoFieldCount> accepted_{};
    int acceptedEditCount_ = 0;
    bool countEdits_ = true;
    bool activated_ = false;
    std::function<QDate()> today_ = [] { return QDate::currentDate(); };
};

} // namespace kvx
