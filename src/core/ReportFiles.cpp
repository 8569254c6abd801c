#include "core/ReportFiles.h"

#include "core/FileRead.h"

#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace kvor {

namespace {

bool IsUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // The decoding happens when its result is taken.
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool IsXmlName(QByteArrayView name)
{
    return name.size() > 4 && name.last(4).compare(".xml", Qt::CaseInsensitive) == 0;
}

QString FolderCause(int err)
{
    return err == EACCES || err == EPERM ? QStringLiteral("няма права за четене на папката")
                                         : ReadFailureCause(err);
}

void Walk(const QByteArray& folder, QList<ReportFileEntry>& found)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir) {
        found.append({ShownPath(folder),
                      QStringLiteral("папката не може да бъде прочетена: ") + FolderCause(errno),
                      true});
        return;
    }
    QList<QByteArray> folders;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        const QByteArray path = folder.endsWith('/') ? folder + name : folder + '/' + name;
        struct stat st
        {
        };
        // Links are not followed into folders; a link named *.xml is checked as what it names.
        // A path too long to look at is still seen to be a folder, and told as one.
        const bool isFolder =
            entry->d_type == DT_DIR || (entry->d_type == DT_UNKNOWN &&
                                        ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode));
        if (isFolder) {
            folders.append(path);
        } else if (IsXmlName(name)) {
            const bool shown = IsUtf8(path);
            found.append({ShownPath(path),
                          shown ? QString()
                                : QStringLiteral("името на файла или на папка над него не е "
                                                 "валиден UTF-8 текст"),
                          false});
        }
        errno = 0;
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0) {
        found.append({ShownPath(folder),
                      QStringLiteral("папката не може да бъде прочетена: ") + FolderCause(err),
                      true});
    }
    for (const QByteArray& sub : folders) {
        Walk(sub, found);
    }
}

} // namespace

QString ShownPath(const QByteArray& nativePath)
{
    QString out;
    qsizetype i = 0;
    while (i < nativePath.size()) {
        const auto lead = static_cast<unsigned char>(nativePath[i]);
        const qsizetype length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        const QByteArrayView piece =
            QByteArrayView(nativePath).sliced(i).first(std::min(length, nativePath.size() - i));
        if (lead < 0x80 ||
            (lead >= 0xC2 && lead <= 0xF4 && IsUtf8(piece) && piece.size() == length)) {
            out += QString::fromUtf8(piece);
            i += piece.size();
        } else {
            out +=
                QStringLiteral("\\x") + QString::number(lead, 16).toUpper().rightJustified(2, u'0');
            ++i;
        }
    }
    return out;
}

QList<ReportFileEntry> ReportFilesOf(const QByteArray& nativePath)
{
    struct stat st
    {
    };
    if (::stat(nativePath.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        if (!IsUtf8(nativePath)) {
            return {{ShownPath(nativePath),
                     QStringLiteral("името на файла не е валиден UTF-8 текст"), false}};
        }
        return {{QString::fromUtf8(nativePath), {}, false}};
    }
    QList<ReportFileEntry> found;
    Walk(nativePath, found);
    std::sort(found.begin(), found.end(),
              [](const ReportFileEntry& a, const ReportFileEntry& b) { return a.path < b.path; });
    return found;
}

} // namespace kvor
