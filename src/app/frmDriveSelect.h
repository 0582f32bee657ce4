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

QList<Volume> mountedVolumes();

// The volumes as drive list entries: removable media first, each group by path.
QList<DriveEntry> driveEntries(const QList<Volume>& volumes);

// The drive choice screen. It is hidden by "Done", not destroyed, so the choice stays.
class frmDriveSelect : public KvxScreen
{
    Q_OBJECT
public:
    frmDriveSelect(Session& session, Prompter& prompter, FolderPicker& picker,
                   QWidget* parent = nullptr);

    // Fills the list anew (the current data disk first, the volumes, the folder choice),
    // keeping the chosen entry when it is still there.
    void refreshDrives(const QList<Volume>& volumes = mountedVolumes());

    // The drive chosen; with the list untouched, its current entry.
    QString SelectedDrive() const;

    QLabel* Label1;
    QComboBox* drDrive;
    QPushButton* cmdhelp;
    QPushButton* cmdDone;

private:
    void onActivated(int index);
    bool chooseFolder();
    int addFolderEntry(const QString& folder);
    int chooseEntry() const;

    FolderPicker& picker_;
    QString selected_;
    int lastIndex_ = 0;
};

} // namespace kvx
