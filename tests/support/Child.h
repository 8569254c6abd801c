#pragma once
// Real failures for tests: a function run in a forked child process that may limit its file
// size, change its user or mount file systems of its own, and a snapshot of a folder to see that
// nothing in it changed.

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QString>
#include <csignal>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kvor::test {

// Runs body in a forked child and returns the text it returned, or nullopt when the child did
// not end normally. The child shares nothing with the test afterwards: what it changes in memory
// stays there.
inline std::optional<QString> RunInChild(const std::function<QString()>& body)
{
    int fds[2];
    if (::pipe(fds) != 0) {
        return std::nullopt;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        ::close(fds[0]);
        const QByteArray out = body().toUtf8();
        qsizetype done = 0;
        while (done < out.size()) {
            const ssize_t n = ::write(fds[1], out.constData() + done, size_t(out.size() - done));
            if (n <= 0) {
                break;
            }
            done += n;
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray in;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof(buffer))) > 0;) {
        in.append(buffer, n);
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return QString::fromUtf8(in);
}

// In a child: files may grow to `bytes` at most; a write beyond fails with EFBIG, as on a full
// disk, instead of killing the process.
inline void LimitFileSize(rlim_t bytes)
{
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

// Every file below root with its bytes, relative paths as keys.
inline QMap<QString, QByteArray> Snapshot(const QString& root)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        out.insert(QDir(root).relativeFilePath(path),
                   it.fileInfo().isFile() && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                            : QByteArray());
    }
    return out;
}

} // namespace kvor::test
