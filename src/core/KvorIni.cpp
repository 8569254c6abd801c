#include "core/KvorIni.h"

#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/FileRead.h"
#include "core/Platform.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace kvor {

QStringList ReadDelimitedFields(const QString& text)
{
    QStringList fields;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto isLineEnd = [](QChar c) { return c == u'\r' || c == u'\n'; };
    while (i < n) {
        while (i < n && (text[i] == u' ' || text[i] == u'\t')) {
            ++i;
        }
        if (i >= n) {
            break;
        }
        QString field;
        if (text[i] == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            field = text.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            // Anything between the closing quote and the next delimiter is not part of the field.
            while (i < n && text[i] != u',' && !isLineEnd(text[i])) {
                ++i;
            }
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != u',' && !isLineEnd(text[i])) {
                ++i;
            }
            field = text.mid(start, i - start);
            while (field.endsWith(u' ') || field.endsWith(u'\t')) {
                field.chop(1);
            }
        }
        if (i < n) {
            if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
                ++i;
            }
            ++i; // the delimiter itself
        }
        fields << field;
    }
    return fields;
}

namespace {

// The program writes one short line; a settings file of this size is something else.
constexpr qint64 kMaxIniBytes = qint64(1024) * 1024;

std::optional<short> toShort(const QString& value)
{
    bool ok = false;
    const int v = value.toInt(&ok, 10);
    if (!ok || v < -32768 || v > 32767) {
        return std::nullopt;
    }
    return static_cast<short>(v);
}

} // namespace

std::optional<short> FindRememberedPosition(const QStringList& fields)
{
    std::optional<short> found;
    for (const QString& field : fields) {
        if (!field.startsWith(QLatin1String("oba"))) {
            continue;
        }
        // A value that is no 16-bit integer is passed over rather than stopping the program.
        if (const auto v = toShort(field.mid(3).trimmed())) {
            found = v;
        }
    }
    return found;
}

QByteArray IniLine(int position)
{
    return "\"oba " + QByteArray::number(position) + "\"\r\n";
}

Result<std::optional<int>> ReadRememberedMunicipality(const QString& path)
{
    const ReadResult read = ReadRegularFile(path, kMaxIniBytes);
    if (read.status == ReadStatus::Missing) {
        return Failure::of(Failure::Kind::NotFound, path).about(Failure::Subject::Settings);
    }
    if (read.status != ReadStatus::Ok) {
        return Failure::of(Failure::Kind::NotReadable, path).about(Failure::Subject::Settings);
    }
    const auto found = FindRememberedPosition(ReadDelimitedFields(Cp1251Decode(read.bytes)));
    if (!found || *found < 0) {
        return std::optional<int>();
    }
    return std::optional<int>(*found);
}

Status WriteRememberedMunicipality(const QString& path, int position)
{
    if (!QFileInfo::exists(path)) {
        return Failure::of(Failure::Kind::NotFound, path).about(Failure::Subject::Settings);
    }
    int err = 0;
    QString why;
    if (WriteFileAtomically(path, IniLine(position), &why, &err)) {
        return {};
    }
    const auto kind =
        IsWriteDeniedError(err) ? Failure::Kind::ReadOnly : Failure::Kind::WriteFailed;
    return Failure::of(kind, path, why, err).about(Failure::Subject::Settings);
}

Status RememberMunicipality(int position)
{
    return WriteRememberedMunicipality(UserPath(QString::fromLatin1(kIniFileName)), position);
}

} // namespace kvor
