#pragma once

#include "store/ClientRecord.h"

#include <QString>

#include <array>

namespace kvx {

inline constexpr int kMaxClients = 51;

// What a scanned sheet proposes to the intake screens in ScanEditMode. The screens show it;
// it reaches the client table only when the operator accepts them.
struct ScannedIntake
{
    QString name;
    QString age;
    int gender = 0; // list indexes, 0 = "N/A"
    int race = 0;
    int marital = 0;
    int education = 0;
    std::array<QString, 15> court{}; // court history items 1..15
};
inline const QString kDataFileName = QStringLiteral("DATA401.KVX");

// What a session knows of the data file it loaded: the file's length and each record's bytes
// as last read or written. A write is refused when the file on the disk no longer matches.
struct LoadedDataFile
{
    QString path; // the DataFile it was loaded from; empty until a disk is loaded
    qint64 length = 0;
    std::array<QByteArray, kMaxClients + 1> records{}; // entry n: record n's bytes (a last
                                                       // record may be short)
};

// The run-time state the screens share. One object, owned by the application (or by a
// test), handed to every screen by reference.
struct Session
{
    QString ProgramDir; // the installation folder: settings, question database, key files, report

    QString DataPath; // folder of the data disk
    QString DataFile; // DataPath + "/DATA401.KVX"
    int NumClients = 0;
    int CurClient = 0;
    std::array<ClientRecord, kMaxClients + 1> Clients{}; // entry n = file record n; 0 unused
    LoadedDataFile Loaded;

    bool EditMode = false;
    bool ScanEditMode = false;
    ScannedIntake Scanned; // read while ScanEditMode is set
    bool ScreenAccepted = false;
    bool RefreshNames = true;
    int EditCount = 0;
    int NameDeleted = 0;

    bool PrintDOS = true;
    QString SoundPath;
    QString QuestionDbPath; // the question database of the installation
    QString BrandCode;

    // The supervisor's "one-page summary" choice; the report reads it.
    bool SummaryPage = false;

    ClientRecord& current() { return Clients[static_cast<size_t>(CurClient)]; }
    const ClientRecord& current() const { return Clients[static_cast<size_t>(CurClient)]; }
    ClientRecord& client(int n) { return Clients[static_cast<size_t>(n)]; }
    const ClientRecord& client(int n) const { return Clients[static_cast<size_t>(n)]; }
};

} // namespace kvx
