#pragma once

#include "install/Branding.h"

#include <QDialog>

#include <array>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace kvx {

// The about box, which also serves as the start-up splash screen with its logo wipe.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kBandStart = 560; // cover band height at the start of the wipe
    static constexpr int kBandStep = 50;   // taken off each band per tick
    static constexpr int kBandEnd = 61;    // the wipe ends when band 0 is lower than this

    // splash: the start-up splash (no OK button, closing waits four slow ticks).
    // tickMs and closeTickMs are the wipe and closing timer intervals.
    frmAbout(const Branding& branding, bool splash, QWidget* parent = nullptr, int tickMs = 10,
             int closeTickMs = 1000);

    bool Splash() const { return splash_; }
    bool FadeDone() const { return fadeDone_; }
    int bandHeight(int band) const { return bands_.at(static_cast<size_t>(band)); }
    int wipeTicks() const { return wipeTicks_; }

    // Lets window events run until the wipe has finished.
    void waitForFade();
    // Splash mode: the screen stays up for four more closing ticks, then closes.
    void closeSplash();

    QLabel* pnlTitle;
    QLabel* imgQELLogo;
    std::array<QFrame*, 6> Picture2{};
    QLabel* SSPanel1;
    QLabel* SSPanel2;
    QLabel* SSPanel3;
    QLabel* SSPanel4;
    QLabel* SSPanel5;
    QFrame* sspMenuChoice;
    QPushButton* cmdOK;
    QTimer* Timer1;

signals:
    void fadeFinished();

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void tick();
    void placeBands();

    bool splash_;
    bool closing_ = false;
    bool fadeDone_ = false;
    bool centred_ = false;
    int wipeTicks_ = 0;
    int closeTickMs_;
    std::array<int, 6> bands_{};
};

} // namespace kvx
