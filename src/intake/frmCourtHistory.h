#pragma once

#include "intake/IntakeRules.h"
#include "ui/ScreenConventions.h"

#include <QLineEdit>

#include <array>

namespace kvx {

// The court history screen: fifteen values of at most two characters for the current client.
// The caller sets Session::EditMode and ScanEditMode before building it; the outcome is in
// Session::ScreenAccepted.
class frmCourtHistory : public KvxScreen
{
    Q_OBJECT
public:
    frmCourtHistory(Session& session, Prompter& prompter, QWidget* parent = nullptr);

    void GetCourtData();
    bool SaveCourtData();
    // Enter or Tab in box item (1..15): the check, then the focus to next.
    bool CheckCourtEntry(int item, QWidget* next);

    // The box of item 1..15.
    QLineEdit* box(int item) const { return boxes_[static_cast<size_t>(item - 1)]; }

    QLineEdit* txtAgeAtFirstConviction;
    QLineEdit* txtMisdemeanor;
    QLineEdit* txtFelony;
    QLineEdit* txtProbation;
    QLineEdit* txtProbationRevocations;
    QLineEdit* txtParole;
    QLineEdit* txtParoleRevocations;
    QLineEdit* txtArrests;
    QLineEdit* txtJail;
    QLineEdit* txtPrison;
    QLineEdit* txtYears;
    QLineEdit* txtDVArrests;
    QLineEdit* txtAlcoholArrests;
    QLineEdit* txtDrugArrests;
    QLineEdit* txtAssaults;
    std::array<QLabel*, kCourtItemCount> lblInfo{};
    QLabel* lblClientName;
    QFrame* frCourt;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int itemOf(QObject* w) const;
    QWidget* nextAfter(int item) const;
    void InformationOK();
    void CancelInput();

    std::array<QLineEdit*, kCourtItemCount> boxes_{};
    bool activated_ = false;
};

} // namespace kvx
