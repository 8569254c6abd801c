#include "core/EntryJournal.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kvor {

namespace {

constexpr char kMagic[] = "KVOR-JOURNAL 1";
constexpr int kMaxGridColumn = 64;

QByteArray HeaderLine(const JournalKey& key)
{
    return QByteArray(kMagic) + '\t' + key.ebk.toUtf8() + '\t' + key.year.toUtf8() + '\t' +
           key.month.toUtf8() + '\n';
}

// CRC-32 (the polynomial of zip and PNG), bit by bit: entries are a few dozen bytes.
QByteArray Checksum(QByteArrayView body)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char ch : body) {
        crc ^= static_cast<quint8>(ch);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return QByteArray::number(~crc, 16);
}

QByteArray EntryLine(const JournalEntry& e)
{
    QByteArray body =
        QByteArray::number(e.row) + '\t' + QByteArray::number(e.column) + '\t' + e.figure.toUtf8();
    return body + '\t' + Checksum(body) + '\n';
}

std::optional<JournalEntry> ParseEntry(QByteArrayView line)
{
    const qsizetype lastTab = line.lastIndexOf('\t');
    if (lastTab < 0 || Checksum(line.first(lastTab)) != line.sliced(lastTab + 1)) {
        return std::nullopt;
    }
    const QList<QByteArray> parts = line.first(lastTab).toByteArray().split('\t');
    if (parts.size() != 3) {
        return std::nullopt;
    }
    bool rowOk = false;
    bool colOk = false;
    JournalEntry e{parts[0].toInt(&rowOk), parts[1].toInt(&colOk), QString::fromUtf8(parts[2])};
    if (!rowOk || !colOk || e.row < 0 || e.column < 0 || e.column > kMaxGridColumn) {
        return std::nullopt;
    }
    return e;
}

Result<> WriteAll(int fd, const QByteArray& bytes, const QString& path)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Failure::of(errno == ENOSPC ? Failure::Kind::DiskFull
                                               : Failure::Kind::WriteFailed,
                               path, {}, errno);
        }
        done += n;
    }
    if (::fdatasync(fd) != 0) {
        return Failure::of(Failure::Kind::WriteFailed, path, {}, errno);
    }
    return {};
}

} // namespace

QString JournalPath(const QString& reportPath)
{
    const QFileInfo report(reportPath);
    return report.dir().filePath(QStringLiteral(".") + report.fileName() +
                                 QStringLiteral(".journal"));
}

Result<JournalContents> ReadJournal(const QString& path, const JournalKey& key)
{
    QFile file(path);
    if (!file.exists()) {
        return Failure::of(Failure::Kind::NotFound, path);
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return Failure::of(Failure::Kind::NotReadable, path, file.errorString());
    }
    const QByteArray bytes = file.read(kMaxJournalBytes);
    JournalContents contents;
    contents.damaged = !file.atEnd();
    const qsizetype headerEnd = bytes.indexOf('\n');
    if (headerEnd < 0 || !bytes.startsWith(kMagic)) {
        return Failure::of(Failure::Kind::NotWellFormed, path);
    }
    if (bytes.left(headerEnd + 1) != HeaderLine(key)) {
        return Failure::of(Failure::Kind::NotAReport, path);
    }
    qsizetype at = headerEnd + 1;
    while (at < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', at);
        const std::optional<JournalEntry> entry =
            end < 0 ? std::nullopt : ParseEntry(QByteArrayView(bytes).sliced(at, end - at));
        if (!entry) {
            contents.damaged = true;
            break;
        }
        contents.entries.push_back(*entry);
        at = end + 1;
    }
    return contents;
}

EntryJournal::EntryJournal(QString path, JournalKey key)
    : m_path(std::move(path)), m_key(std::move(key))
{}

EntryJournal::~EntryJournal()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

Result<> EntryJournal::start()
{
    const QByteArray name = QFile::encodeName(m_path);
    m_fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) {
        return Failure::of(Failure::Kind::WriteFailed, m_path, {}, errno);
    }
    return WriteAll(m_fd, HeaderLine(m_key), m_path);
}

Result<> EntryJournal::record(const JournalEntry& entry)
{
    if (m_fd < 0) {
        if (Result<> started = start(); !started) {
            return started;
        }
    }
    return WriteAll(m_fd, EntryLine(entry), m_path);
}

void EntryJournal::remove()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    QFile::remove(m_path);
}

} // namespace kvor
