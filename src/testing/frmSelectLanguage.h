#pragma once

#include "ui/ScreenConventions.h"

#include <QGroupBox>
#include <QStringList>

namespace kvx {

// The language the on-screen test is presented in. Cancel drops the new client.
class frmSelectLanguage : public KvxScreen
{
    Q_OBJECT
public:
    // One button for each language found (at most three), then "Cancel Presentation".
    frmSelectLanguage(Session& session, Prompter& prompter, const QStringList& languages,
                      QWidget* parent = nullptr);

    // The number of language buttons shown.
    int LanguageCount() const { return count_; }
    // The language chosen; empty until one is.
    QString Language() const { return language_; }

    QGroupBox* fraSelectMethod;

public slots:
    // The close button and Escape act as "Cancel Presentation".
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void choose(int index);

    int count_ = 0;
    QString language_;
};

} // namespace kvx
