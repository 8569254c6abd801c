#include "core/SingleInstance.h"

namespace kvor {

SingleInstance::SingleInstance(const QString& userFolder)
    : m_lock(std::make_unique<QLockFile>(lockPath(userFolder)))
{
    // Never stale by age: only a lock whose process is gone is taken over.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath(const QString& userFolder)
{
    // Beside the data it guards: every user of a shared folder sees the same lock, and whoever may
    // write the data may also remove a lock that a killed copy left behind. A lock in the
    // temporary folder could be neither.
    return userFolder + QStringLiteral("/.kvor.lock");
}

SingleInstance::Result SingleInstance::tryAcquire()
{
    if (m_lock->tryLock(0)) {
        return Result::Acquired;
    }
    return m_lock->error() == QLockFile::LockFailedError ? Result::HeldByAnother
                                                         : Result::CannotLock;
}

void SingleInstance::release()
{
    m_lock->unlock();
}

} // namespace kvor
