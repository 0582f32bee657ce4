#include "store/DataFile.h"

#include "store/Cp1252.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvx {
namespace {

class Fd
{
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes and reports a failed close, which on some file systems is where a write fails.
    int release()
    {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

int recordCountFor(qint64 length)
{
    // Rounded to the nearest whole record: a trailing piece of 120 bytes or more counts.
    return static_cast<int>((length + ClientRecord::Size / 2) / ClientRecord::Size);
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

Status ReadAllClients(Session& s)
{
    const QByteArray path = nativePath(s.DataFile);
    int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        // A disk without a data file starts with no clients.
        fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    }
    if (fd < 0)
        return fileError(errno, s.DataFile);
    Fd file(fd);

    struct stat st
    {
    };
    if (::fstat(file.get(), &st) != 0)
        return fileError(errno, s.DataFile);
    if (!S_ISREG(st.st_mode))
        return fileError(EISDIR, s.DataFile);

    const int count = recordCountFor(st.st_size);
    if (count > kMaxClients) {
        return Error{err::BadRecordNumber,
                     QStringLiteral("The data file %1 holds %2 records; a data disk holds at most "
                                    "%3 clients. The file has not been changed.")
                         .arg(QDir::toNativeSeparators(s.DataFile))
                         .arg(count)
                         .arg(kMaxClients)};
    }

    QByteArray buf(static_cast<qsizetype>(st.st_size), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < buf.size()) {
        const ssize_t n = ::pread(file.get(), buf.data() + got,
                                  static_cast<size_t>(buf.size() - got), static_cast<off_t>(got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fileError(errno, s.DataFile);
        }
        if (n == 0)
            break;
        got += n;
    }
    buf.truncate(got);

    std::array<ClientRecord, kMaxClients + 1> table{};
    for (int n = 1; n <= count; ++n) {
        const qsizetype off = static_cast<qsizetype>(n - 1) * ClientRecord::Size;
        table[static_cast<size_t>(n)] = ClientRecord::fromBytes(QByteArrayView(buf).sliced(
            off, std::min<qsizetype>(ClientRecord::Size, buf.size() - off)));
    }
    s.Clients = table;
    s.NumClients = count;
    s.CurClient = count > 0 ? 1 : 0;
    return {};
}

Status WriteClient(const Session& s, int n)
{
    if (n < 1 || n > kMaxClients) {
        return Error{
            err::BadRecordNumber,
            QStringLiteral("Record %1 cannot be written: a data disk holds records 1 to %2.")
                .arg(n)
                .arg(kMaxClients)};
    }
    const QByteArray path = nativePath(s.DataFile);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return fileError(errno, s.DataFile);
    Fd file(fd);

    struct stat st
    {
    };
    if (::fstat(file.get(), &st) != 0)
        return fileError(errno, s.DataFile);
    // Never leave a gap of unwritten records in the file.
    if (n - 1 > recordCountFor(st.st_size)) {
        return Error{
            err::BadRecordNumber,
            QStringLiteral("Record %1 cannot be written: the data file %2 holds %3 records.")
                .arg(n)
                .arg(QDir::toNativeSeparators(s.DataFile))
                .arg(recordCountFor(st.st_size))};
    }

    // Past a short last record, its missing tail is written as the blanks it reads as,
    // in the same single write, so the file never holds a gap.
    off_t offset = static_cast<off_t>(n - 1) * ClientRecord::Size;
    QByteArray out = s.client(n).bytes();
    if (offset > st.st_size) {
        out.prepend(QByteArray(static_cast<qsizetype>(offset - st.st_size), ' '));
        offset = st.st_size;
    }
    ssize_t written;
    do {
        written = ::pwrite(file.get(), out.constData(), static_cast<size_t>(out.size()), offset);
    } while (written < 0 && errno == EINTR);
    if (written != out.size()) {
        const int e = written < 0 ? errno : ENOSPC;
        // An append that only partly landed is taken back, so no half record remains.
        if (offset + static_cast<off_t>(out.size()) > st.st_size) [[maybe_unused]]
            const int rc = ::ftruncate(file.get(), st.st_size);
        return fileError(e, s.DataFile);
    }
    if (::fsync(file.get()) != 0)
        return fileError(errno, s.DataFile);
    if (file.release() != 0)
        return fileError(errno, s.DataFile);
    return {};
}

void ClearClient(Session& s)
{
    s.current().clear();
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
