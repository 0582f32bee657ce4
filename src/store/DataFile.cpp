#include "store/DataFile.h"

#include "store/Cp1252.h"
#include "store/Journal.h"
#include "store/RegularFile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace kvx {
namespace {

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

int recordCountFor(qint64 length)
{
    // Rounded to the nearest whole record: a trailing piece of 120 bytes or more counts.
    return static_cast<int>((length + ClientRecord::Size / 2) / ClientRecord::Size);
}

qint64 recordOffset(int n)
{
    return qint64{n - 1} * ClientRecord::Size;
}

Error diskChanged()
{
    return Error{err::DiskChanged, kDiskChangedMessage};
}

// Waits a few seconds at most for another program's write to finish. A file system without
// locks is written unlocked: the checks of length and record still apply.
Status lockFile(int fd, short type, const QString& path)
{
    struct flock fl
    {
    };
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    for (int attempt = 0; attempt < 100;) {
        if (::fcntl(fd, F_SETLK, &fl) == 0)
            return {};
        switch (errno) {
        case EINTR:
            continue;
        case EACCES:
        case EAGAIN: {
            ++attempt;
            const timespec pause{0, 50'000'000};
            ::nanosleep(&pause, nullptr);
            continue;
        }
        case ENOLCK:
        case EOPNOTSUPP:
        case EINVAL:
        case ENOSYS:
            return {};
        default:
            return fileError(errno, path);
        }
    }
    return Error{err::FileLocked, QStringLiteral("The data file %1 is in use by another program.")
                                      .arg(QDir::toNativeSeparators(path))};
}

// The data file, open and locked for one operation; the lock goes with the descriptor.
struct OpenDataFile
{
    std::optional<FdCloser> fd;
    bool writable = false;
    QByteArray bytes; // the whole file as it was once locked
};

Status readLocked(OpenDataFile& f, const QString& path)
{
    struct stat st
    {
    };
    if (::fstat(f.fd->get(), &st) != 0)
        return fileError(errno, path);
    if (recordCountFor(st.st_size) > kMaxClients) {
        return Error{err::BadRecordNumber,
                     QStringLiteral("The data file %1 holds %2 records; a data disk holds at most "
                                    "%3 clients. The file has not been changed.")
                         .arg(QDir::toNativeSeparators(path))
                         .arg(recordCountFor(st.st_size))
                         .arg(kMaxClients)};
    }
    f.bytes = QByteArray(static_cast<qsizetype>(st.st_size), Qt::Uninitialized);
    if (!readFullyAt(f.fd->get(), f.bytes, 0))
        return fileError(errno, path);
    return {};
}

// Opens the data file for writing, without ever creating it. A file that has gone away
// belongs to a disk that was removed or changed.
Result<OpenDataFile> openForWrite(const QString& path)
{
    const Result<int> fd = openRegularFile(path, O_RDWR);
    if (!fd) {
        switch (fd.error().code) {
        case err::FileNotFound:
        case err::PathNotFound:
        case err::DiskNotReady:
        case err::BadFileName:
            return diskChanged();
        default:
            return fd.error();
        }
    }
    OpenDataFile f;
    f.fd.emplace(*fd);
    f.writable = true;
    if (const Status st = lockFile(f.fd->get(), F_WRLCK, path); !st)
        return st.error();
    if (const Status st = readLocked(f, path); !st) {
        if (st.error().code == err::BadRecordNumber)
            return diskChanged();
        return st.error();
    }
    return f;
}

// Opens (or creates) the data file for loading: for writing when the disk allows it, so an
// interrupted write can be completed, else for reading.
Result<OpenDataFile> openForLoad(const QString& path, MissingDataFile missing, bool* absent)
{
    *absent = false;
    OpenDataFile f;
    Result<int> fd = openRegularFile(path, O_RDWR);
    if (!fd && fd.error().code == err::PermissionDenied)
        fd = openRegularFile(path, O_RDONLY);
    else
        f.writable = fd.ok();
    if (!fd && fd.error().code == err::FileNotFound) {
        if (missing == MissingDataFile::LeaveAbsent) {
            *absent = true;
            return f;
        }
        fd = openRegularFile(path, O_RDWR | O_CREAT);
        f.writable = fd.ok();
    }
    if (!fd)
        return fd.error();
    f.fd.emplace(*fd);
    if (const Status st = lockFile(f.fd->get(), f.writable ? F_WRLCK : F_RDLCK, path); !st)
        return st.error();
    if (const Status st = readLocked(f, path); !st)
        return st.error();
    return f;
}

Status syncOrError(int fd, const QString& path)
{
    // The data alone, and the length when it grew: all a later read needs. Leaving the times
    // out spares the file system a journal commit on every write.
    if (::fdatasync(fd) != 0)
        return fileError(errno, path);
    return {};
}

// Zeroes the journal in place, so that no client's bytes stay in it.
Status clearJournal(int fd, const QString& path)
{
    const QByteArray zeros(kJournalSize, '\0');
    if (!writeFullyAt(fd, zeros.constData(), zeros.size(), 0))
        return fileError(errno, path);
    return syncOrError(fd, path);
}

// Finishes a write the journal shows was interrupted (in f.bytes, and on the disk when it
// can be written) and clears the journal of any complete entry.
Status recoverFromJournal(OpenDataFile& f, const QString& dataPath, const QString& folder)
{
    const QString path = resolveFileName(folder, kJournalFileName);
    const Result<QByteArray> bytes = readRegularFile(path, kJournalSize);
    if (!bytes)
        return {}; // no journal, or not one of ours: nothing to finish
    if (*bytes == QByteArray(kJournalSize, '\0'))
        return {};
    // A complete entry is finished where it applies; anything else in the journal (a torn or
    // half-zeroed entry) is no write to finish, only client bytes to wipe.
    const std::optional<JournalEntry> entry = decodeJournal(*bytes);
    const JournalVerdict verdict = entry ? judgeJournal(*entry, f.bytes) : JournalVerdict::Stale;
    if (verdict == JournalVerdict::Replay)
        f.bytes = applyJournal(*entry, f.bytes);
    if (!f.writable)
        return {}; // a read-only disk: the completed record is only in memory
    if (verdict == JournalVerdict::Replay) {
        const qint64 at = recordOffset(entry->record);
        const qsizetype from = static_cast<qsizetype>(std::min<qint64>(at, entry->oldLength));
        if (!writeFullyAt(f.fd->get(), f.bytes.constData() + from, f.bytes.size() - from, from))
            return fileError(errno, dataPath);
        if (const Status st = syncOrError(f.fd->get(), dataPath); !st)
            return st;
    }
    const Result<int> jfd = openRegularFile(path, O_WRONLY);
    if (!jfd)
        return jfd.error();
    FdCloser journal(*jfd);
    return clearJournal(journal.get(), path);
}

Status syncFolder(const QString& folder)
{
    const int fd = ::open(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return fileError(errno, folder);
    FdCloser dir(fd);
    // Some file systems cannot sync a folder; the file's own sync still holds.
    if (::fsync(dir.get()) != 0 && errno != EINVAL && errno != EROFS)
        return fileError(errno, folder);
    return {};
}

// One record written so that an interruption leaves the old bytes or the new ones: the
// entry made durable in the journal, the record written and synced, the journal zeroed.
Status journaledWrite(OpenDataFile& f, int journalFd, const Session& s, int n,
                      const QByteArray& record)
{
    const qint64 at = recordOffset(n);
    JournalEntry e;
    e.record = n;
    e.oldLength = f.bytes.size();
    e.oldBytes = f.bytes.mid(static_cast<qsizetype>(at), ClientRecord::Size);
    e.newBytes = record;
    const QByteArray entry = encodeJournal(e);
    const QString journalPath = resolveFileName(s.DataPath, kJournalFileName);
    if (!writeFullyAt(journalFd, entry.constData(), entry.size(), 0))
        return fileError(errno, journalPath);
    if (const Status st = syncOrError(journalFd, journalPath); !st)
        return st;

    Status st;
    if (!writeFullyAt(f.fd->get(), record.constData(), record.size(), at))
        st = fileError(errno, s.DataFile);
    else
        st = syncOrError(f.fd->get(), s.DataFile);
    if (!st) {
        // Put the old record back, so that the journal need not finish a write the operator
        // was told had failed.
        const bool restored =
            writeFullyAt(f.fd->get(), e.oldBytes.constData(), e.oldBytes.size(), at) &&
            ::ftruncate(f.fd->get(), static_cast<off_t>(e.oldLength)) == 0 &&
            ::fdatasync(f.fd->get()) == 0;
        if (restored) [[maybe_unused]]
            const Status cleared = clearJournal(journalFd, journalPath);
        return st;
    }
    f.bytes = applyJournal(e, f.bytes);
    // The record is safely written; a journal left filled is judged done at the next load.
    [[maybe_unused]] const Status cleared = clearJournal(journalFd, journalPath);
    return {};
}

// Writes record n (at most one past the last) and remembers it. A short last record is first
// completed with the blanks it reads as, so the file never holds a gap.
Status writeRecord(Session& s, OpenDataFile& f, int n)
{
    const QString journalPath = resolveFileName(s.DataPath, kJournalFileName);
    const Result<int> jfd = openRegularFile(journalPath, O_RDWR | O_CREAT);
    if (!jfd)
        return jfd.error();
    FdCloser journal(*jfd);
    struct stat st
    {
    };
    if (::fstat(journal.get(), &st) == 0 && st.st_size == 0) {
        if (const Status synced = syncFolder(s.DataPath); !synced)
            return synced;
    }

    const int count = recordCountFor(f.bytes.size());
    if (n == count + 1 && f.bytes.size() < recordOffset(n)) {
        QByteArray padded = f.bytes.mid(static_cast<qsizetype>(recordOffset(count)));
        padded.resize(ClientRecord::Size, ' ');
        if (const Status w = journaledWrite(f, journal.get(), s, count, padded); !w)
            return w;
        s.Loaded.records[static_cast<size_t>(count)] = padded;
        s.Loaded.length = f.bytes.size();
    }
    const QByteArray record = s.client(n).bytes();
    if (const Status w = journaledWrite(f, journal.get(), s, n, record); !w)
        return w;
    s.Loaded.records[static_cast<size_t>(n)] = record;
    s.Loaded.length = f.bytes.size();
    return {};
}

// Fills the table and what the session knows of the file from the file's bytes.
void takeTable(Session& s, const QByteArray& bytes)
{
    const int count = recordCountFor(bytes.size());
    std::array<ClientRecord, kMaxClients + 1> table{};
    LoadedDataFile loaded;
    loaded.path = s.DataFile;
    loaded.length = bytes.size();
    for (int n = 1; n <= count; ++n) {
        const QByteArray raw =
            bytes.mid(static_cast<qsizetype>(recordOffset(n)), ClientRecord::Size);
        table[static_cast<size_t>(n)] = ClientRecord::fromBytes(raw);
        loaded.records[static_cast<size_t>(n)] = raw;
    }
    s.Clients = table;
    s.Loaded = loaded;
    s.NumClients = count;
}

Status checkRecordNumber(const Session& s, int n)
{
    if (n >= 1 && n <= kMaxClients && n <= recordCountFor(s.Loaded.length) + 1)
        return {};
    if (n >= 1 && n <= kMaxClients) {
        return Error{
            err::BadRecordNumber,
            QStringLiteral("Record %1 cannot be written: the data file %2 holds %3 records.")
                .arg(n)
                .arg(QDir::toNativeSeparators(s.DataFile))
                .arg(recordCountFor(s.Loaded.length))};
    }
    return Error{err::BadRecordNumber,
                 QStringLiteral("Record %1 cannot be written: a data disk holds records 1 to %2.")
                     .arg(n)
                     .arg(kMaxClients)};
}

// Whether the file still holds record n as this session last knew it.
bool recordUnchanged(const Session& s, const QByteArray& file, int n)
{
    return file.mid(static_cast<qsizetype>(recordOffset(n)), ClientRecord::Size) ==
           s.Loaded.records[static_cast<size_t>(n)];
}

} // namespace

Error fileError(int errnum, const QString& path)
{
    const QString what = QString::fromLocal8Bit(std::strerror(errnum));
    const QString msg = QStringLiteral("%1 (%2)").arg(what, QDir::toNativeSeparators(path));
    switch (errnum) {
    case ENOENT:
        return {QFileInfo(path).dir().exists() ? err::FileNotFound : err::PathNotFound, msg};
    case ENOTDIR:
        return {err::PathNotFound, msg};
    case ENAMETOOLONG:
    case EINVAL:
        return {err::BadFileName, msg};
    case EACCES:
    case EPERM:
    case EROFS:
        return {err::PermissionDenied, msg};
    case EIO:
        return {err::DeviceIo, msg};
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
    case ESTALE:
        return {err::DiskNotReady, msg};
    case ENOSPC:
    case EDQUOT:
        return {err::DiskFull, msg};
    default:
        return {err::OsErrorBase + errnum, msg};
    }
}

void SetDataPath(Session& s, const QString& folder)
{
    s.DataPath = folder;
    s.DataFile = resolveFileName(folder, kDataFileName);
}

QString resolveFileName(const QString& folder, const QString& name)
{
    const QString exact = QDir(folder).filePath(name);
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& e : entries) {
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return QDir(folder).filePath(e);
    }
    return exact;
}

Status ReadAllClients(Session& s, MissingDataFile missing)
{
    bool absent = false;
    Result<OpenDataFile> f = openForLoad(s.DataFile, missing, &absent);
    if (!f)
        return f.error();
    if (!absent) {
        if (const Status st = recoverFromJournal(*f, s.DataFile, s.DataPath); !st)
            return st;
    }
    takeTable(s, f->bytes);
    s.CurClient = s.NumClients > 0 ? 1 : 0;
    return {};
}

Status WriteClient(Session& s, int n)
{
    if (const Status st = checkRecordNumber(s, n); !st)
        return st;
    if (s.Loaded.path.isEmpty() || s.Loaded.path != s.DataFile)
        return diskChanged();
    Result<OpenDataFile> f = openForWrite(s.DataFile);
    if (!f)
        return f.error();
    // An existing record must hold what this session last saw of it; a new one goes on a file
    // whose every record is as this session knows it.
    const int known = recordCountFor(s.Loaded.length);
    bool same = f->bytes.size() == s.Loaded.length;
    for (int k = n <= known ? n : 1; same && k <= std::min(n, known); ++k)
        same = recordUnchanged(s, f->bytes, k);
    if (!same)
        return diskChanged();
    return writeRecord(s, *f, n);
}

Result<int> AppendClient(Session& s)
{
    if (s.NumClients >= kMaxClients)
        return checkRecordNumber(s, kMaxClients + 1).error();
    if (s.CurClient != s.NumClients + 1) {
        return Error{err::BadRecordNumber,
                     QStringLiteral("Client %1 is not a new client.").arg(s.CurClient)};
    }
    if (s.Loaded.path.isEmpty() || s.Loaded.path != s.DataFile)
        return diskChanged();
    Result<OpenDataFile> f = openForWrite(s.DataFile);
    if (!f)
        return f.error();
    // Every record this session knows must be as it knew it; clients added by another program
    // since are taken in.
    const int known = recordCountFor(s.Loaded.length);
    bool same = f->bytes.size() >= s.Loaded.length;
    for (int n = 1; same && n <= known; ++n)
        same = recordUnchanged(s, f->bytes, n);
    if (!same)
        return diskChanged();
    if (f->bytes.size() != s.Loaded.length) {
        const int now = recordCountFor(f->bytes.size());
        if (now >= kMaxClients) {
            return Error{err::BadRecordNumber,
                         QStringLiteral("Another program has added clients to this data disk "
                                        "since it was loaded; it now holds %1 clients and has "
                                        "no room for this one.")
                             .arg(now)};
        }
        const ClientRecord added = s.current();
        takeTable(s, f->bytes);
        s.CurClient = s.NumClients + 1;
        s.current() = added;
        s.RefreshNames = true;
    }
    const int n = s.NumClients + 1;
    if (const Status st = writeRecord(s, *f, n); !st)
        return st.error();
    s.NumClients = n;
    return n;
}

void ClearClient(Session& s)
{
    s.current().clear();
}

void DropNewClient(Session& s)
{
    ClearClient(s);
    s.CurClient = 1;
    s.ScreenAccepted = false;
}

void InitNewClient(Session& s, const QDate& today)
{
    s.CurClient = s.NumClients + 1;
    ClientRecord& r = s.current();
    r.clear();
    r.setRaw(Field::Answers, QByteArray(kItemCount, '0'));
    r.setRaw(Field::NameDeleted, "0");
    r.setRaw(Field::TestDate, today.toString(QStringLiteral("MM/dd/yyyy")).toLatin1());
}

QString storedDateOfBirth(const QString& typed)
{
    return typed.toUpper().startsWith(u'N') ? QStringLiteral("N") : typed;
}

QString ClientListLine(const Session& s, int n)
{
    // One client, one line, whatever an old disk holds.
    return QString::number(n) + u'-' + cp1252::shownText(s.client(n).text(Field::Name));
}

} // namespace kvx
