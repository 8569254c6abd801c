#include "core/KvorIni.h"

#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/FileRead.h"
#include "core/Messages.h"
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

QByteArray IniLine(short position)
{
    return "\"oba " + QByteArray::number(position) + "\"\r\n";
}

IniStatus ReadIni(const QString& path, short& position)
{
    const ReadResult read = ReadRegularFile(path, kMaxIniBytes);
    if (read.status == ReadStatus::Missing) {
        return IniStatus::Missing;
    }
    if (read.status != ReadStatus::Ok) {
        return IniStatus::Failed;
    }
    const auto found = FindRememberedPosition(ReadDelimitedFields(Cp1251Decode(read.bytes)));
    if (found) {
        position = *found;
    }
    return IniStatus::Ok;
}

IniStatus WriteIni(const QString& path, short position, int* errorNumber, QString* reason)
{
    if (!QFileInfo::exists(path)) {
        return IniStatus::Missing;
    }
    int err = 0;
    QString why;
    if (WriteFileAtomically(path, IniLine(position), &why, &err)) {
        return IniStatus::Ok;
    }
    if (errorNumber) {
        *errorNumber = err;
    }
    if (reason) {
        *reason = why;
    }
    return IsWriteDeniedError(err) ? IniStatus::ReadOnly : IniStatus::Failed;
}

bool RememberMunicipality(short position)
{
    const QString path = UserPath(QString::fromLatin1(kIniFileName));
    int err = 0;
    QString reason;
    switch (WriteIni(path, position, &err, &reason)) {
    case IniStatus::Ok:
        return true;
    case IniStatus::Missing:
        platform().MsgBox(msg::kNoIniFile, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
        platform().End(1);
        return false;
    case IniStatus::ReadOnly:
        platform().MsgBox(msg::kIniReadOnly, MsgButtons::Ok, MsgIcon::Exclamation,
                          msg::kTitleWarning);
        return false;
    case IniStatus::Failed:
        // The choice is not remembered; the user learns why rather than finding it gone later.
        platform().MsgBox(WriteFailureMessage(path, err, reason), MsgButtons::Ok, MsgIcon::Critical,
                          msg::kTitleWriteError);
        return false;
    }
    return false;
}

} // namespace kvor
