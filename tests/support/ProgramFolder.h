#pragma once
// A program folder of its own for a test: the sample files copied into a temporary folder, with the
// fake platform pointing at it.

#include "support/FakePlatform.h"
#include "support/Files.h"

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
            // Writable, as an installed copy is.
            WriteBytes(m_dir.filePath(name), ReadBytes(sampleFile(name)));
        }
        fake.folder = m_dir.path();
    }

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QString dataPath(const QString& name) const
    {
        return m_dir.filePath(QStringLiteral("Data/") + name);
    }

    void write(const QString& name, const QByteArray& bytes) const
    {
        WriteBytes(m_dir.filePath(name), bytes);
    }
    QByteArray read(const QString& name) const { return ReadBytes(m_dir.filePath(name)); }

    static QString sampleFile(const QString& name)
    {
        return QStringLiteral(KVOR_SAMPLE_DIR "/") + name;
    }

private:
    QTemporaryDir m_dir;
};

} // namespace kvor::test
