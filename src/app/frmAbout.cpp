#include "app/frmAbout.h"

#include "app/Logo.h"
#include "ui/ScreenConventions.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kvx {
namespace {

const QSize kLogoSize(320, 180);

QLabel* identityLine(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignCenter);
    l->setTextFormat(Qt::PlainText);
    return l;
}

} // namespace

frmAbout::frmAbout(const Branding& branding, bool splash, QWidget* parent, int tickMs,
                   int closeTickMs)
    : QDialog(parent), splash_(splash), closeTickMs_(closeTickMs)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(splash ? QStringLiteral("Initializing...") : QStringLiteral("About KVX"));
    auto* layout = new QVBoxLayout(this);

    pnlTitle = new QLabel(QStringLiteral("Kavexa v4.01"), this);
    pnlTitle->setObjectName(QStringLiteral("pnlTitle"));
    pnlTitle->setAlignment(Qt::AlignCenter);
    pnlTitle->setFrameShape(QFrame::Panel);
    QFont big = pnlTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    pnlTitle->setFont(big);
    layout->addWidget(pnlTitle);

    imgQELLogo = new QLabel(this);
    imgQELLogo->setObjectName(QStringLiteral("imgQELLogo"));
    imgQELLogo->setPixmap(logoPixmap(branding.LogoPath, kLogoSize));
    imgQELLogo->setFixedSize(kLogoSize);
    layout->addWidget(imgQELLogo, 0, Qt::AlignHCenter);
    for (size_t i = 0; i < Picture2.size(); ++i) {
        auto* band = new QFrame(imgQELLogo);
        band->setObjectName(QStringLiteral("Picture2_%1").arg(i));
        band->setAutoFillBackground(true);
        QPalette pal = band->palette();
        pal.setColor(QPalette::Window, palette().color(QPalette::Window));
        band->setPalette(pal);
        Picture2[i] = band;
        bands_[i] = kBandStart;
    }
    placeBands();

    SSPanel1 = identityLine(this, "SSPanel1", branding.VendorName);
    SSPanel4 = identityLine(this, "SSPanel4", branding.VendorWeb);
    SSPanel5 = identityLine(this, "SSPanel5", branding.VendorEmail);
    SSPanel2 = identityLine(this, "SSPanel2", branding.Rights);
    SSPanel3 = identityLine(this, "SSPanel3", branding.Phone);
    for (QLabel* l : {SSPanel1, SSPanel4, SSPanel5, SSPanel2, SSPanel3})
        layout->addWidget(l);

    sspMenuChoice = new QFrame(this);
    sspMenuChoice->setObjectName(QStringLiteral("sspMenuChoice"));
    sspMenuChoice->setFrameShape(QFrame::Panel);
    sspMenuChoice->setAutoFillBackground(true);
    auto* okLayout = new QVBoxLayout(sspMenuChoice);
    cmdOK = new MenuButton(QStringLiteral("OK"), sspMenuChoice);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    okLayout->addWidget(cmdOK);
    setPanelHighlighted(sspMenuChoice, true);
    layout->addWidget(sspMenuChoice, 0, Qt::AlignHCenter);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    if (splash) {
        cmdOK->hide();
        sspMenuChoice->hide();
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(tickMs);
    connect(Timer1, &QTimer::timeout, this, &frmAbout::tick);
}

void frmAbout::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!centred_) {
        centred_ = true;
        CenterForm(this);
        Timer1->start();
    }
}

void frmAbout::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    placeBands();
}

void frmAbout::placeBands()
{
    const int slot = imgQELLogo->height() / static_cast<int>(Picture2.size()) + 1;
    for (size_t i = 0; i < Picture2.size(); ++i) {
        const int h = std::max(0, slot * bands_[i] / kBandStart);
        Picture2[i]->setGeometry(0, static_cast<int>(i) * slot, imgQELLogo->width(), h);
    }
}

void frmAbout::tick()
{
    if (closing_) {
        fadeDone_ = true;
        emit fadeFinished();
        return;
    }
    imgQELLogo->setVisible(true);
    ++wipeTicks_;
    for (int& h : bands_)
        h -= kBandStep;
    placeBands();
    if (bands_[0] < kBandEnd) {
        for (QFrame* band : Picture2)
            band->hide();
        Timer1->stop();
        fadeDone_ = true;
        emit fadeFinished();
    }
}

void frmAbout::waitForFade()
{
    if (fadeDone_ || !Timer1->isActive())
        return;
    QEventLoop loop;
    connect(this, &frmAbout::fadeFinished, &loop, &QEventLoop::quit);
    loop.exec();
}

void frmAbout::closeSplash()
{
    closing_ = true;
    Timer1->setInterval(closeTickMs_);
    for (int round = 0; round < 4; ++round) {
        Timer1->start();
        fadeDone_ = false;
        waitForFade();
        QCoreApplication::processEvents();
    }
    Timer1->stop();
    close();
}

} // namespace kvx
