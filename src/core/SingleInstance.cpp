#include "core/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace kvor {

SingleInstance::SingleInstance(const QString& programFolder)
    : m_lock(std::make_unique<QLockFile>(lockPath(programFolder)))
{
    // Never stale by age: only a lock whose process is gone is taken over.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath(const QString& programFolder)
{
    // The lock lives in the temporary folder: the program folder may well be read-only.
    QString key = QFileInfo(programFolder).canonicalFilePath();
    if (key.isEmpty()) {
        key = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    }
    const QByteArray hash =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir::tempPath() + QStringLiteral("/kvor-") + QString::fromLatin1(hash) +
           QStringLiteral(".lock");
}

bool SingleInstance::tryAcquire()
{
    return m_lock->tryLock(0);
}

void SingleInstance::release()
{
    m_lock->unlock();
}

} // namespace kvor
