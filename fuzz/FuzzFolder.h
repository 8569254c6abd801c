#pragma once
// What the file-reading fuzz targets share: an install folder and a user's folder of their own in
// a fresh temporary directory, a platform with today's date fixed, and a way to put the fuzzed
// bytes into a file there. Each input starts from a state of its own.

#include "core/Platform.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace kvor::fuzz {

class FuzzPlatform final : public Platform
{
public:
    QString InstallFolder() const override { return install; }
    QString UserFolder() const override { return user; }
    QDate Today() const override { return QDate(2004, 3, 15); }
    void SetBusy(bool) override {}

    QString install;
    QString user;
};

// The folders live as long as the process; memory-backed storage keeps a run from wearing the
// disk when it is there. The install folder and the user's folder differ, so that a file read
// from or written to the wrong one is not found where the harness put it or looks for it.
class FuzzFolder final
{
public:
    FuzzFolder()
        : m_dir((QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                           : QDir::tempPath()) +
                QStringLiteral("/kvor-fuzz-XXXXXX"))
    {
        if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath(QStringLiteral("install")) ||
            !QDir(m_dir.path()).mkpath(QStringLiteral("user"))) {
            std::abort();
        }
        m_platform.install = m_dir.filePath(QStringLiteral("install"));
        m_platform.user = m_dir.filePath(QStringLiteral("user"));
        setPlatform(&m_platform);
    }

    // Starts an input afresh.
    FuzzPlatform& reset() { return m_platform; }

    QString installPath(const QString& name) const { return InstallPath(name); }
    QString userPath(const QString& name) const { return UserPath(name); }

    static void write(const QString& path, QByteArrayView bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes.data(), bytes.size()) != bytes.size()) {
            std::abort(); // the harness itself cannot work
        }
    }

    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
    FuzzPlatform m_platform;
};

// One folder for the whole run, made on first use.
inline FuzzFolder& folder()
{
    static FuzzFolder f;
    return f;
}

inline QByteArrayView bytesOf(const uint8_t* data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A failed invariant: libFuzzer reports the input that broke it.
inline void check(bool holds)
{
    if (!holds) {
        std::abort();
    }
}

} // namespace kvor::fuzz
