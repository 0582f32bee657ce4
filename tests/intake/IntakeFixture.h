#pragma once

// A data disk in a temporary folder for the intake screen tests, and keys sent where the
// focus is, as the operator types them.

#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

#include <memory>

namespace kvx::test {

inline ClientRecord sampleClient(const QByteArray& name, char editCount = '0',
                                 char nameDeleted = '0')
{
    ClientRecord r;
    r.setRaw(Field::Name, name);
    r.setRaw(Field::Age, "34");
    r.setRaw(Field::DateOfBirth, "05/17/1990");
    r.setRaw(Field::Gender, "1");
    r.setRaw(Field::Race, "2");
    r.setRaw(Field::Marital, "3");
    r.setRaw(Field::Education, "2");
    r.setRaw(Field::TestDate, "01/15/2024");
    for (int item = 1; item <= kCourtItemCount; ++item)
        r.setRaw(courtField(item), item == 1 ? "19" : "1");
    r.setRaw(Field::Answers, QByteArray(kItemCount, '2'));
    r.setRaw(Field::EditCount, QByteArray(1, editCount));
    r.setRaw(Field::NameDeleted, QByteArray(1, nameDeleted));
    return r;
}

// A data disk holding the given records, loaded into a session. With a ReadOnlyFolder the
// disk can be write-protected later.
class Disk
{
public:
    explicit Disk(const QList<ClientRecord>& records, bool protectable = false)
    {
        if (protectable)
            ro_ = std::make_unique<ReadOnlyFolder>();
        else
            tmp_ = std::make_unique<QTemporaryDir>();
        SetDataPath(s, folder());
        QByteArray bytes;
        for (const ClientRecord& r : records)
            bytes += r.bytes();
        ok_ = writeBytes(s.DataFile, bytes) && ReadAllClients(s).ok();
    }

    bool ok() const { return ok_; }
    QString folder() const { return ro_ ? ro_->path() : tmp_->path(); }
    QByteArray bytes() const { return readBytes(s.DataFile); }
    bool protect() { return ro_ && ro_->makeReadOnly(); }
    bool unprotect() { return ro_ && ro_->makeWritable(); }

    Session s;

private:
    std::unique_ptr<QTemporaryDir> tmp_;
    std::unique_ptr<ReadOnlyFolder> ro_;
    bool ok_ = false;
};

// Shows a screen as the active window and lets its start-up run.
inline bool openScreen(QDialog& screen)
{
    screen.show();
    QApplication::setActiveWindow(&screen);
    if (!QTest::qWaitForWindowActive(&screen))
        return false;
    QCoreApplication::processEvents();
    return true;
}

inline QWidget* focused()
{
    return QApplication::focusWidget();
}

// A key, or text, to the control with the focus; pending work (select-all) runs after it.
inline void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(focused(), key, mods);
    QCoreApplication::processEvents();
}

inline void type(const QString& text)
{
    QTest::keyClicks(focused(), text);
    QCoreApplication::processEvents();
}

// Puts the focus on a control as a click would, and lets its select-all run.
inline void focusOn(QWidget* w)
{
    w->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
}

} // namespace kvx::test
