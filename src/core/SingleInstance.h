#pragma once
// Keeps a second copy of the program from running on the same user's folder (kvor.ini and Data).

#include <QLockFile>
#include <QString>
#include <memory>

namespace kvor {

class SingleInstance final
{
public:
    explicit SingleInstance(const QString& userFolder);
    ~SingleInstance();

    enum class Result
    {
        Acquired,      // this copy is now the only one running on the folder
        HeldByAnother, // another copy is running on it
        CannotLock     // no lock can be made there (the folder cannot be written)
    };
    // A lock left behind by a copy that crashed is taken over by anyone who may write in the
    // folder.
    Result tryAcquire();
    void release();

    static QString lockPath(const QString& userFolder);

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace kvor
