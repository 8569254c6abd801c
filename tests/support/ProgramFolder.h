#pragma once
// A program folder of its own for a test: the sample files copied into a temporary folder, with the
// fake platform pointing at it.

#include "support/FakePlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kvor::test {

class ProgramFolder
{
public:
    // `files` are names of the sample program folder to copy ("kvor.ini", "Structure.xml", ...).
    explicit ProgramFolder(FakePlatform& fake,
                           const QStringList& files = {"kvor.ini", "Obshtini.xml", "Structure.xml"})
    {
        for (const QString& name : files) {
            copySample(name);
        }
        fake.folder = m_dir.path();
    }

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QString dataPath(const QString& name) const
    {
        return m_dir.filePath(QStringLiteral("Data/") + name);
    }

    bool copySample(const QString& name, const QString& as = QString()) const
    {
        const QString target = m_dir.filePath(as.isEmpty() ? name : as);
        QFile::remove(target);
        const bool ok = QFile::copy(sampleFile(name), target);
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return ok;
    }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(m_dir.filePath(name)).absolutePath());
        QFile f(m_dir.filePath(name));
        if (f.open(QIODevice::WriteOnly)) {
            f.write(bytes);
        }
    }
    QByteArray read(const QString& name) const
    {
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static QString sampleFile(const QString& name)
    {
        return QStringLiteral(KVOR_SAMPLE_DIR "/") + name;
    }

private:
    QTemporaryDir m_dir;
};

} // namespace kvor::test
