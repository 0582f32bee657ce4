#pragma once

#include "ui/ScreenConventions.h"

class QComboBox;

namespace kvx {

// How the drive screen asks for a folder: a file dialog in the program, a fake in tests.
class FolderPicker
{
public:
    virtual ~FolderPicker() = default;
    // The chosen folder, or empty when the operator cancelled.
    virtual QString PickFolder(QWidget* parent, const QString& startFolder) = 0;
};

class FileDialogFolderPicker : public FolderPicker
{
public:
    QString PickFolder(QWidget* parent, const QString& startFolder) override;
};

// One entry of the drive list.
struct DriveEntry
{
    QString label;
    QString path;
    bool removable = false;
};

// A mounted volume as the drive list sees it.
struct Volume
{
    QString root;
    QString name;
    QByteArray type;
    bool ready = true;
};

// The mounts of a mount table in the /proc/self/mountinfo format (names left empty).
QList<Volume> parseMountInfo(const QByteArray& table);
// The machine's mounts; the ones a data disk may be on carry their volume names.
QList<Volume> mountedVolumes();

// The volumes a data disk may be on, as drive list entries: removable media and volumes a
// user mounted (under /media, /run/media, /mnt or the home folder), never pseudo or system
// file systems; removable media first, each group by path.
QList<DriveEntry> driveEntries(const QList<Volume>& volumes, const QString& home);
QList<DriveEntry> driveEntries(const QList<Volume>& volumes);

// The drive choice screen. It is hidden by "Done", not destroyed, so the choice stays.
class frmDriveSelect : public KvxScreen
{
    Q_OBJECT
public:
    frmDriveSelect(Session& session, Prompter& prompter, FolderPicker& picker,
                   QWidget* parent = nullptr);

    // Fills the list anew (the current data disk first, the folder of the last disk used,
    // folders picked before, the volumes, the folder choice), keeping the chosen entry when it
    // is still there, otherwise choosing the last disk used.
    void refreshDrives(const QList<Volume>& volumes = mountedVolumes());
    // The folder of the last disk used (kvx.ini's FilePath).
    void setLastFolder(const QString& folder) { lastFolder_ = folder; }

    // The drive chosen; with the list untouched, its current entry.
    QString SelectedDrive() const;

    QLabel* Label1;
    QComboBox* drDrive;
    QPushButton* cmdhelp;
    QPushButton* cmdDone;

protected:
    // Escape leaves without a choice, as the window's close button does.
    void keyPressEvent(QKeyEvent* e) override;

private:
    void onActivated(int index);
    bool chooseFolder();
    int addFolderEntry(const QString& folder);
    int chooseEntry() const;

    FolderPicker& picker_;
    QString selected_;
    QString lastFolder_;
    int lastIndex_ = 0;
};

} // namespace kvx
