#pragma once

#include "entry/Verification.h"
#include "ui/ScreenConventions.h"

#include <QGroupBox>
#include <QLineEdit>

#include <optional>

namespace kvx {

// "Test Data Input Verification": the current client's answers keyed again from the sheet,
// compared with the stored ones, and the items that differ keyed once more and stored.
class frmVerify : public KvxScreen
{
    Q_OBJECT
public:
    frmVerify(Session& session, Prompter& prompter, QWidget* parent = nullptr);

    const AnswerVerification& verification() const { return *check_; }

    QGroupBox* frAll;
    QGroupBox* Frame2;
    QLabel* lblCurQuestion;
    QLineEdit* txtCurQuestion;
    QGroupBox* Frame1;
    QLabel* lblPrevQuestion;
    QLineEdit* txtPrevQuestion;
    QPushButton* cmdCancel;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keyPressed(QKeyEvent* e);
    void showPosition();
    void storeAndClose(const QString& title, const QString& text);

    std::optional<AnswerVerification> check_;
};

} // namespace kvx
