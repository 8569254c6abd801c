#pragma once
// Small file helpers for tests: whole-file reads and writes, golden files, folder listings.

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace kvor::test {

inline QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QString GoldenPath(const char* name)
{
    return QStringLiteral(KVOR_TEST_DATA_DIR "/") + QString::fromLatin1(name);
}

// Every file and folder below root, relative to it, sorted: what a test compares to see that
// nothing was written.
inline QStringList Listing(const QString& root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        out << QDir(root).relativeFilePath(it.next());
    }
    out.sort();
    return out;
}

} // namespace kvor::test
