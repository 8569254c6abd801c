#include "core/SingleInstance.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvor {

namespace {

constexpr int kAttempts = 16;
constexpr qint64 kMaxRecordBytes = 4096;
// An empty lock this young is being written by a copy starting at this very moment.
constexpr qint64 kBeingMadeSecs = 10;
constexpr mode_t kPrivateFileMode = 0600;
// Whoever shares a program folder must be able to open the lock to see that it is held.
constexpr mode_t kSharedFileMode = 0644;
constexpr int kOpenFlags = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

// "pid\nprogram\nhost\ntime\n": the first three lines as Qt's lock files have them.
struct Record
{
    bool empty = true;
    bool valid = false;
    qint64 pid = 0;
    QString host;
};

QString thisHost()
{
    return QSysInfo::machineHostName();
}

Record readRecord(int fd)
{
    QByteArray bytes(kMaxRecordBytes, '\0');
    const ssize_t n = ::pread(fd, bytes.data(), size_t(bytes.size()), 0);
    Record r;
    if (n <= 0) {
        return r;
    }
    bytes.truncate(n);
    const QList<QByteArray> lines = bytes.split('\n');
    bool number = false;
    r.empty = false;
    r.pid = lines.value(0).trimmed().toLongLong(&number);
    r.host = QString::fromUtf8(lines.value(2).trimmed());
    r.valid = number && r.pid > 0 && !r.host.isEmpty();
    return r;
}

// A failed write (a full disk, a file-size limit) leaves the lock without its record; the
// flock, not the record, is what keeps other copies out.
void writeRecord(int fd)
{
    const QByteArray bytes =
        QByteArray::number(qint64(::getpid())) + "\nkvor\n" + thisHost().toUtf8() + '\n' +
        QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1() + '\n';
    if (::ftruncate(fd, 0) == 0) {
        (void)!::pwrite(fd, bytes.constData(), size_t(bytes.size()), 0);
    }
}

bool sameFile(int fd, const QByteArray& path)
{
    struct stat open
    {
    };
    struct stat named
    {
    };
    return ::fstat(fd, &open) == 0 && ::lstat(path.constData(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

QDateTime modifiedAt(const struct stat& st)
{
    return QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec);
}

bool processAlive(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

mode_t lockMode(const QByteArray& folder)
{
    struct stat st
    {
    };
    const bool privateFolder =
        ::stat(folder.constData(), &st) == 0 && (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
    return privateFolder ? kPrivateFileMode : kSharedFileMode;
}

int openNewFile(const QByteArray& path, mode_t mode)
{
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | kOpenFlags, mode);
    if (fd >= 0) {
        (void)::fchmod(fd, mode); // whatever the umask
    }
    return fd;
}

QByteArray randomSuffix()
{
    return '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
}

} // namespace

SingleInstance::SingleInstance(const QString& userFolder)
    : m_path(lockPath(userFolder)), m_folder(userFolder)
{}

SingleInstance::~SingleInstance()
{
    release();
}

QString SingleInstance::lockPath(const QString& userFolder)
{
    // Beside the data it guards: every user of a shared folder sees the same lock, and whoever may
    // write the data may also take over a lock that a killed copy left behind. A lock in the
    // temporary folder could be neither.
    return userFolder + QStringLiteral("/.kvor.lock");
}

SingleInstance::Result SingleInstance::tryAcquire()
{
    m_found = {};
    return acquire(false);
}

SingleInstance::Result SingleInstance::takeOver()
{
    return acquire(true);
}

SingleInstance::Result SingleInstance::acquire(bool force)
{
    if (m_fd >= 0) {
        return Result::Acquired;
    }
    const QByteArray path = QFile::encodeName(m_path);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        int fd = ::open(path.constData(), O_RDWR | kOpenFlags);
        const bool writable = fd >= 0;
        if (fd < 0 && errno == ENOENT) {
            if (const auto made = createNew()) {
                return *made;
            }
            continue; // another copy made it first: look at theirs
        }
        if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
            fd = ::open(path.constData(), O_RDONLY | kOpenFlags);
        }
        if (fd < 0) {
            const int err = errno;
            if (err == ENOENT) {
                continue;
            }
            if (err != EISDIR && err != ELOOP && err != EACCES && err != ENXIO) {
                return Result::CannotLock;
            }
            struct stat st
            {
            };
            ::lstat(path.constData(), &st);
            m_found = {err == EACCES ? FoundLock::Kind::Unreadable : FoundLock::Kind::NotAFile,
                       QString(), modifiedAt(st)};
            if (!force) {
                return Result::AskUser;
            }
            if (!moveAside()) {
                return Result::HeldByAnother; // nothing that can be taken over
            }
            continue;
        }
        if (const auto found = inspect(fd, writable, force)) {
            return *found;
        }
    }
    return Result::HeldByAnother;
}

std::optional<SingleInstance::Result> SingleInstance::inspect(int fd, bool writable, bool force)
{
    const QByteArray path = QFile::encodeName(m_path);
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        m_found = {FoundLock::Kind::NotAFile, QString(), modifiedAt(st)};
        if (!force) {
            return Result::AskUser;
        }
        return moveAside() ? std::nullopt : std::optional(Result::HeldByAnother);
    }
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (!locked && errno == EWOULDBLOCK) {
        ::close(fd);
        return Result::HeldByAnother;
    }
    if (!sameFile(fd, path)) {
        ::close(fd); // replaced while it was being looked at
        return std::nullopt;
    }
    const Record record = readRecord(fd);
    const QDateTime since = modifiedAt(st);
    const qint64 age = since.secsTo(QDateTime::currentDateTime());
    bool held = false;
    if (record.empty) {
        held = age > -kBeingMadeSecs && age < kBeingMadeSecs;
    } else if (!record.valid || record.host != thisHost()) {
        // Another machine's copy holds no lock this machine can see: only its age tells.
        held = record.valid && age < kOtherMachineBoundSecs;
        if (!held && !force) {
            m_found = {record.valid ? FoundLock::Kind::OtherMachine : FoundLock::Kind::Unknown,
                       record.host, since};
            ::close(fd);
            return Result::AskUser;
        }
    } else if (!locked) {
        // A file system without flock: the process id is all there is to go by.
        held = processAlive(record.pid);
    }
    if (held) {
        ::close(fd);
        return Result::HeldByAnother;
    }
    return becomeOwner(fd, writable);
}

// The lock is ours: a copy on this machine left it, or the user agreed to take it over.
SingleInstance::Result SingleInstance::becomeOwner(int fd, bool writable)
{
    if (!writable) {
        // Another user's file: a file of our own takes its place. Where the folder forbids that
        // (a sticky folder), the flock on their file alone keeps the lock.
        const QByteArray path = QFile::encodeName(m_path);
        const QByteArray temp = path + randomSuffix();
        const int fresh = openNewFile(temp, lockMode(QFile::encodeName(m_folder)));
        if (fresh >= 0) {
            (void)::flock(fresh, LOCK_EX | LOCK_NB);
            writeRecord(fresh);
            if (::rename(temp.constData(), path.constData()) == 0) {
                ::close(fd);
                fd = fresh;
            } else {
                ::unlink(temp.constData());
                ::close(fresh);
            }
        }
    } else {
        writeRecord(fd);
    }
    m_fd = fd;
    return Result::Acquired;
}

// Made in its place, not beside and linked: file systems of removable media have no links. Who
// opens it before its record is written finds it held (young and empty).
std::optional<SingleInstance::Result> SingleInstance::createNew()
{
    const QByteArray path = QFile::encodeName(m_path);
    const int fd = openNewFile(path, lockMode(QFile::encodeName(m_folder)));
    if (fd < 0) {
        return errno == EEXIST ? std::nullopt : std::optional(Result::CannotLock);
    }
    // Blocking: another copy that opened the new file at once holds it only for a moment.
    if (::flock(fd, LOCK_EX) != 0 && errno != ENOLCK && errno != EINVAL && errno != EOPNOTSUPP) {
        ::close(fd);
        return Result::CannotLock;
    }
    writeRecord(fd);
    m_fd = fd;
    return Result::Acquired;
}

// What stands at the lock's place goes: a file or a link is removed, an empty folder too, any
// other folder is renamed aside with what it holds.
bool SingleInstance::moveAside()
{
    const QByteArray path = QFile::encodeName(m_path);
    if (::unlink(path.constData()) == 0 || errno == ENOENT || ::rmdir(path.constData()) == 0) {
        return true;
    }
    return ::rename(path.constData(), (path + ".old" + randomSuffix()).constData()) == 0;
}

void SingleInstance::release()
{
    if (m_fd < 0) {
        return;
    }
    const QByteArray path = QFile::encodeName(m_path);
    // In a sticky folder another user's file stays; it is free once closed.
    if (sameFile(m_fd, path)) {
        ::unlink(path.constData());
    }
    ::close(m_fd);
    m_fd = -1;
}

} // namespace kvor
