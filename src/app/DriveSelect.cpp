#include "app/DriveSelect.h"

#include "install/Settings.h"
#include "store/Cp1252.h"
#include "store/DataFile.h"
#include "store/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kvx {
namespace {

enum class Handling
{
    Retry,
    Unsuccessful,
    Abandon,
    EndProgram
};

bool isNoTestInformation(int code)
{
    switch (code) {
    case err::BadFileName:
    case err::FileNotFound:
    case err::DeviceIo:
    case err::DiskNotReady:
    case err::PathNotFound:
    case err::DbFileNotFound:
    case err::DbInvalidPath:
    case err::DbCannotOpen:
        return true;
    default:
        return false;
    }
}

// The operator's choice for an error raised while a drive is loaded.
Handling handleLoadError(const Error& e, const QString& drive, Prompter& p)
{
    if (isNoTestInformation(e.code)) {
        const auto a = p.Message(QStringLiteral("No test information found on drive ") +
                                     driveForMessage(drive) +
                                     QStringLiteral(", would you like to try another drive?"),
                                 Prompter::Buttons::YesNo);
        return a == Prompter::Answer::Yes ? Handling::Unsuccessful : Handling::EndProgram;
    }
    if (e.code == err::PermissionDenied) {
        const auto a =
            p.Message(QStringLiteral("Data disk write protected!\n\nSet the data disk "
                                     "to writable and replace in drive."),
                      Prompter::Buttons::OkCancel, Prompter::Icon::Critical, kDataDiskErrorTitle);
        return a == Prompter::Answer::Ok ? Handling::Retry : Handling::Abandon;
    }
    if (e.code == err::BadRecordNumber) {
        // A data file with more clients than a disk can hold is not loaded.
        p.Message(e.message, Prompter::Buttons::Ok, Prompter::Icon::Critical, kDataDiskErrorTitle);
        return Handling::Unsuccessful;
    }
    p.Message(QStringLiteral("Error ") + QString::number(e.code) + u':' + e.message);
    return Handling::Abandon;
}

// Runs one step, trying it again as long as the operator asks to.
template <typename Step>
std::optional<Handling> runStep(const Step& step, const QString& drive, Prompter& p)
{
    for (;;) {
        const Status st = step();
        if (st.ok())
            return std::nullopt;
        const Handling h = handleLoadError(st.error(), drive, p);
        if (h != Handling::Retry)
            return h;
    }
}

Status removeIfExists(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::unlink(native.constData()) != 0 && errno != ENOENT)
        return fileError(errno, path);
    return {};
}

Status writeTestFile(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return fileError(errno, path);
    static const char line[] = "test\r\n";
    ssize_t n;
    do {
        n = ::write(fd, line, sizeof line - 1);
    } while (n < 0 && errno == EINTR);
    const int writeErr = n < 0 ? errno : (n != sizeof line - 1 ? ENOSPC : 0);
    const int closeRc = ::close(fd);
    if (writeErr != 0)
        return fileError(writeErr, path);
    if (closeRc != 0)
        return fileError(errno, path);
    return {};
}

struct Snapshot
{
    QString DataPath;
    QString DataFile;
    int NumClients;
    int CurClient;
    std::array<ClientRecord, kMaxClients + 1> Clients;
    LoadedDataFile Loaded;

    explicit Snapshot(const Session& s)
        : DataPath(s.DataPath), DataFile(s.DataFile), NumClients(s.NumClients),
          CurClient(s.CurClient), Clients(s.Clients), Loaded(s.Loaded)
    {}
    void restore(Session& s) const
    {
        s.DataPath = DataPath;
        s.DataFile = DataFile;
        s.NumClients = NumClients;
        s.CurClient = CurClient;
        s.Clients = Clients;
        s.Loaded = Loaded;
    }
};

LoadResult::Kind kindFor(Handling h)
{
    switch (h) {
    case Handling::EndProgram:
        return LoadResult::EndProgram;
    case Handling::Abandon:
        return LoadResult::Abandoned;
    case Handling::Retry:
    case Handling::Unsuccessful:
        break;
    }
    return LoadResult::Refused;
}

} // namespace

QString normaliseDrive(const QString& drive)
{
    QString d = drive.trimmed();
    d.replace(u'\\', u'/');
    while (d.size() > 1 && d.endsWith(u'/'))
        d.chop(1);
    return d;
}

QString driveForMessage(const QString& drive)
{
    static const QRegularExpression letter(QStringLiteral("^[A-Za-z]:[\\\\/]?$"));
    if (letter.match(drive).hasMatch())
        return drive.toUpper();
    return QDir::toNativeSeparators(drive);
}

Result<QString> readIdentityLine(const QString& path)
{
    // Only the first line counts: a few kilobytes are read, whatever the file's size.
    const Result<int> fd = openRegularFile(path, O_RDONLY);
    if (!fd)
        return fd.error();
    QByteArray bytes(4096, Qt::Uninitialized);
    ssize_t n;
    do {
        n = ::read(*fd, bytes.data(), static_cast<size_t>(bytes.size()));
    } while (n < 0 && errno == EINTR);
    const int readErr = errno;
    ::close(*fd);
    if (n < 0)
        return fileError(readErr, path);
    bytes.truncate(n);
    const qsizetype end = bytes.indexOf('\n');
    QByteArray line = end >= 0 ? bytes.left(end) : bytes;
    if (line.endsWith('\r'))
        line.chop(1);
    return cp1252::decode(line);
}

bool isDataDiskIdentity(const QString& line)
{
    // Blanks around the word are allowed; its case is not.
    qsizetype b = 0;
    qsizetype e = line.size();
    while (b < e && line.at(b) == u' ')
        ++b;
    while (e > b && line.at(e - 1) == u' ')
        --e;
    return QStringView(line).sliced(b, e - b) == u"KVX";
}

LoadResult LoadDataDisk(Session& s, const QString& drive, Prompter& p)
{
    LoadResult r;
    SetDataPath(s, drive);
    const QString identityPath = resolveFileName(drive, kIdentityFileName);

    QString identity;
    auto readIdentity = [&]() -> Status {
        // A relative drive would be taken from wherever the program was started.
        if (!QDir::isAbsolutePath(drive)) {
            return Error{
                err::PathNotFound,
                QStringLiteral("Path not found (%1)").arg(QDir::toNativeSeparators(drive))};
        }
        Result<QString> line = readIdentityLine(identityPath);
        if (!line)
            return line.error();
        identity = *line;
        return {};
    };
    if (auto h = runStep(readIdentity, drive, p)) {
        r.kind = kindFor(*h);
        return r;
    }

    // Only an accepted data disk gets a data file; another disk is left as it was found.
    r.identityOk = isDataDiskIdentity(identity);
    const MissingDataFile missing =
        r.identityOk ? MissingDataFile::Create : MissingDataFile::LeaveAbsent;
    if (auto h = runStep([&] { return ReadAllClients(s, missing); }, drive, p)) {
        r.kind = kindFor(*h);
        return r;
    }
    r.tableRead = true;

    if (!r.identityOk) {
        p.Message(QStringLiteral("This is not a Kavexa data disk."), Prompter::Buttons::Ok,
                  Prompter::Icon::Critical, kDataDiskErrorTitle);
    }

    const QString testPath = QDir(drive).filePath(kWriteTestFileName);
    for (auto step : {&removeIfExists, &writeTestFile, &removeIfExists}) {
        if (auto h = runStep([&] { return step(testPath); }, drive, p)) {
            r.kind = kindFor(*h);
            return r;
        }
    }
    r.kind = r.identityOk ? LoadResult::Accepted : LoadResult::Refused;
    return r;
}

DriveOutcome SelectDataDrive(Session& s, Settings& settings, Prompter& p,
                             const std::function<QString()>& pickDrive, bool startup)
{
    bool retryFromIni = true;
    const Snapshot before(s);
    const bool hadDisk = !before.DataPath.isEmpty();

    auto askTryAgain = [&] {
        return p.Message(QStringLiteral("Drive select unsuccessful, would you like to try again?"),
                         Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
    };

    for (;;) {
        QString drive;
        bool picked = true;
        if (startup && retryFromIni) {
            drive = normaliseDrive(settings.GetFilePathSetting());
            retryFromIni = false;
        } else {
            const QString choice = pickDrive();
            // Left without a choice: the disk in use stays; with none, as unsuccessful.
            picked = !choice.isEmpty();
            if (!picked && hadDisk)
                return DriveOutcome::OldKept;
            drive = normaliseDrive(choice);
        }

        const LoadResult r = picked ? LoadDataDisk(s, drive, p) : LoadResult{};
        switch (r.kind) {
        case LoadResult::Accepted: {
            Status st;
            if (settings.GetFilePathSetting() != drive)
                st = settings.SaveFilePathSetting(drive);
            if (!st) {
                p.Message(QStringLiteral("Error ") + QString::number(st.error().code) + u':' +
                          st.error().message);
            }
            return DriveOutcome::Loaded;
        }
        case LoadResult::EndProgram:
            return DriveOutcome::EndProgram;
        case LoadResult::Abandoned:
            // Only a disk whose identity and clients were read stays in use; otherwise the
            // previous one does, so paths and client table always belong together.
            if (r.tableRead && r.identityOk)
                return DriveOutcome::Abandoned;
            if (hadDisk) {
                before.restore(s);
                return DriveOutcome::Abandoned;
            }
            break; // nothing is loaded yet: as unsuccessful
        case LoadResult::Refused:
            break;
        }

        // Unsuccessful: try again, or give up.
        for (;;) {
            if (askTryAgain()) {
                // Until another disk loads, the one in use (if any) is what memory holds, so
                // the drive screen offers it as in use and the failed folder as any other.
                before.restore(s);
                break;
            }
            if (startup || !hadDisk)
                return DriveOutcome::EndProgram;
            const LoadResult old = LoadDataDisk(s, before.DataPath, p);
            if (old.kind == LoadResult::Accepted)
                return DriveOutcome::OldKept;
            if (old.kind == LoadResult::EndProgram)
                return DriveOutcome::EndProgram;
            if (old.kind == LoadResult::Abandoned) {
                before.restore(s);
                return DriveOutcome::OldKept;
            }
            if (old.tableRead && !old.identityOk) {
                p.Message(QStringLiteral("Reload of original data disk failed, aborting Program"));
                return DriveOutcome::EndProgram;
            }
            // An error the operator answered with "try another drive": ask again.
        }
    }
}

} // namespace kvx
