#pragma once
// Keeps a second copy of the program from running on the same user's folder (kvor.ini and Data).
//
// The lock is the file .kvor.lock beside the data, holding the process id, the program's name, the
// host name and the time. A running copy keeps an flock on it: on this machine a lock nobody holds
// was left by a copy that is gone, and it is taken over whatever the file's owner or mode. Another
// machine's lock on a shared folder cannot be seen held, so it is trusted until it is older than a
// bound; then, and when .kvor.lock is no file that can be read, the user is asked.

#include <QDateTime>
#include <QString>
#include <optional>

namespace kvor {

// What stands at the lock's place when it is neither free nor surely held.
struct FoundLock
{
    enum class Kind
    {
        None,
        OtherMachine, // a lock written on another machine, older than the bound
        Unknown,      // a file whose content names no copy of the program
        NotAFile,     // a folder, a link or something else that is no regular file
        Unreadable,   // a file this user may not read
    };
    Kind kind = Kind::None;
    QString host;    // the machine named in the lock, when known
    QDateTime since; // when the lock was written, when known
};

class SingleInstance final
{
public:
    explicit SingleInstance(const QString& userFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum class Result
    {
        Acquired,      // this copy is now the only one running on the folder
        HeldByAnother, // another copy is running on it
        CannotLock,    // no lock can be made there (the folder cannot be written)
        AskUser,       // found() tells what stands there; takeOver() if the user agrees
    };
    Result tryAcquire();
    // Takes over what tryAcquire() found when it answered AskUser: another machine's lock or
    // whatever stands at the lock's place. A lock held by a running copy is still never taken.
    Result takeOver();
    const FoundLock& found() const { return m_found; }
    void release();

    QString path() const { return m_path; }
    static QString lockPath(const QString& userFolder);

    // A lock from another machine younger than this is taken as held.
    static constexpr qint64 kOtherMachineBoundSecs = 12 * 60 * 60;

private:
    Result acquire(bool force);
    // nullopt: the lock's place changed meanwhile, look again.
    std::optional<Result> inspect(int fd, bool writable, bool force);
    std::optional<Result> createNew();
    Result becomeOwner(int fd, bool writable);
    bool moveAside();

    QString m_path;
    QString m_folder;
    int m_fd = -1;
    FoundLock m_found;
};

} // namespace kvor
