#include "printout/ZipEntries.h"

#include <algorithm>
#include <cstdint>
#include <vector>
#include <zlib.h>

namespace kvor {

namespace {

inline constexpr uint32_t kLocalSignature = 0x04034b50;
inline constexpr uint32_t kCentralSignature = 0x02014b50;
inline constexpr uint32_t kEndSignature = 0x06054b50;
inline constexpr qsizetype kLocalHeaderSize = 30;
inline constexpr qsizetype kCentralHeaderSize = 46;
inline constexpr qsizetype kEndSize = 22;
inline constexpr qsizetype kMaxCommentSize = 0xFFFF;
inline constexpr uint16_t kStored = 0;
inline constexpr uint16_t kDeflated = 8;
inline constexpr uint16_t kHasDataDescriptor = 0x0008;
inline constexpr uint16_t kVersionNeeded = 20;
inline constexpr int kRawDeflate = -15; // zlib's window bits for a stream without header

uint16_t get16(QByteArrayView b, qsizetype at)
{
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

uint32_t get32(QByteArrayView b, qsizetype at)
{
    return uint32_t(get16(b, at)) | uint32_t(get16(b, at + 2)) << 16;
}

void put16(QByteArray& b, qsizetype at, uint16_t v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

void put32(QByteArray& b, qsizetype at, uint32_t v)
{
    put16(b, at, uint16_t(v & 0xFFFF));
    put16(b, at + 2, uint16_t(v >> 16));
}

struct Entry
{
    QByteArrayView name;
    qsizetype central = 0; // where its record in the central directory starts
    qsizetype centralSize = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t crc = 0;
    uint32_t packedSize = 0;
    uint32_t size = 0;
    qsizetype local = 0; // where its local header starts
};

struct Archive
{
    std::vector<Entry> entries; // in the order of the central directory
    qsizetype centralStart = 0;
    qsizetype end = 0; // where the end record starts
};

bool fail(QString* reason, const QString& text)
{
    if (reason) {
        *reason = text;
    }
    return false;
}

bool readArchive(QByteArrayView zip, Archive& a, QString* reason)
{
    const qsizetype lowest = std::max<qsizetype>(0, zip.size() - kEndSize - kMaxCommentSize);
    a.end = -1;
    for (qsizetype at = zip.size() - kEndSize; at >= lowest; --at) {
        if (get32(zip, at) == kEndSignature) {
            a.end = at;
            break;
        }
    }
    if (a.end < 0) {
        return fail(reason, QStringLiteral("архивът няма край"));
    }
    const uint16_t count = get16(zip, a.end + 10);
    const uint32_t centralSize = get32(zip, a.end + 12);
    a.centralStart = get32(zip, a.end + 16);
    if (get16(zip, a.end + 4) != 0 || get16(zip, a.end + 6) != 0 ||
        count != get16(zip, a.end + 8) || a.centralStart + qsizetype(centralSize) > a.end) {
        return fail(reason, QStringLiteral("архивът е повреден или разделен на части"));
    }
    qsizetype at = a.centralStart;
    for (int i = 0; i < count; ++i) {
        if (at + kCentralHeaderSize > a.end || get32(zip, at) != kCentralSignature) {
            return fail(reason, QStringLiteral("съдържанието на архива е повредено"));
        }
        Entry e;
        e.central = at;
        e.flags = get16(zip, at + 8);
        e.method = get16(zip, at + 10);
        e.crc = get32(zip, at + 16);
        e.packedSize = get32(zip, at + 20);
        e.size = get32(zip, at + 24);
        const qsizetype nameSize = get16(zip, at + 28);
        e.centralSize = kCentralHeaderSize + nameSize + get16(zip, at + 30) + get16(zip, at + 32);
        e.local = get32(zip, at + 42);
        if (at + e.centralSize > a.end || e.local + kLocalHeaderSize > a.centralStart ||
            get32(zip, e.local) != kLocalSignature) {
            return fail(reason, QStringLiteral("съдържанието на архива е повредено"));
        }
        e.name = zip.sliced(at + kCentralHeaderSize, nameSize);
        a.entries.push_back(e);
        at += e.centralSize;
    }
    return true;
}

// Where the entry's packed bytes start, checked to lie before the central directory.
qsizetype dataStart(QByteArrayView zip, const Archive& a, const Entry& e)
{
    const qsizetype start =
        e.local + kLocalHeaderSize + get16(zip, e.local + 26) + get16(zip, e.local + 28);
    return start + qsizetype(e.packedSize) <= a.centralStart ? start : -1;
}

std::optional<QByteArray> unpack(QByteArrayView zip, const Archive& a, const Entry& e,
                                 QString* reason)
{
    const qsizetype start = dataStart(zip, a, e);
    if (start < 0 || qsizetype(e.size) > kMaxZipEntrySize ||
        (e.method != kStored && e.method != kDeflated)) {
        fail(reason,
             QStringLiteral("частта не може да бъде прочетена: ") + QString::fromUtf8(e.name));
        return std::nullopt;
    }
    const QByteArrayView packed = zip.sliced(start, e.packedSize);
    QByteArray out;
    if (e.method == kStored) {
        out = packed.toByteArray();
    } else {
        out.resize(e.size);
        z_stream s{};
        if (inflateInit2(&s, kRawDeflate) != Z_OK) {
            fail(reason, QStringLiteral("няма памет за разархивиране"));
            return std::nullopt;
        }
        s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
        s.avail_in = uInt(packed.size());
        s.next_out = reinterpret_cast<Bytef*>(out.data());
        s.avail_out = uInt(out.size());
        const int done = inflate(&s, Z_FINISH);
        const bool whole = done == Z_STREAM_END && s.total_out == e.size;
        inflateEnd(&s);
        if (!whole) {
            fail(reason, QStringLiteral("частта е повредена: ") + QString::fromUtf8(e.name));
            return std::nullopt;
        }
    }
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(out.constData()), uInt(out.size()));
    if (out.size() != qsizetype(e.size) || crc != e.crc) {
        fail(reason, QStringLiteral("частта е повредена: ") + QString::fromUtf8(e.name));
        return std::nullopt;
    }
    return out;
}

std::optional<QByteArray> pack(const QByteArray& content)
{
    z_stream s{};
    if (deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kRawDeflate, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        return std::nullopt;
    }
    QByteArray out;
    out.resize(qsizetype(deflateBound(&s, uLong(content.size()))));
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.constData()));
    s.avail_in = uInt(content.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = uInt(out.size());
    const bool done = deflate(&s, Z_FINISH) == Z_STREAM_END;
    out.resize(qsizetype(s.total_out));
    deflateEnd(&s);
    return done ? std::optional(out) : std::nullopt;
}

} // namespace

std::optional<QByteArray> ReadZipEntry(QByteArrayView zip, QByteArrayView name, QString* reason)
{
    Archive a;
    if (!readArchive(zip, a, reason)) {
        return std::nullopt;
    }
    for (const Entry& e : a.entries) {
        if (e.name == name) {
            return unpack(zip, a, e, reason);
        }
    }
    fail(reason, QStringLiteral("в архива липсва ") + QString::fromUtf8(name));
    return std::nullopt;
}

std::optional<QByteArray>
EditZipEntries(QByteArrayView zip, const std::map<QByteArray, ZipEntryEdit>& edits, QString* reason)
{
    Archive a;
    if (!readArchive(zip, a, reason)) {
        return std::nullopt;
    }
    // Each entry's local part runs from its header to the next header (or the central
    // directory), which takes in a data descriptor after the packed bytes.
    std::vector<qsizetype> starts{a.centralStart};
    for (const Entry& e : a.entries) {
        starts.push_back(e.local);
    }
    std::sort(starts.begin(), starts.end());
    const auto localEnd = [&starts](qsizetype local) {
        return *std::upper_bound(starts.begin(), starts.end(), local);
    };

    QByteArray out;
    out.reserve(zip.size() + 1024);
    QByteArray central;
    size_t edited = 0;
    for (const Entry& e : a.entries) {
        QByteArray record = zip.sliced(e.central, e.centralSize).toByteArray();
        put32(record, 42, uint32_t(out.size()));
        const auto edit = edits.find(e.name.toByteArray());
        if (edit == edits.end()) {
            out += zip.sliced(e.local, localEnd(e.local) - e.local);
        } else {
            const auto old = unpack(zip, a, e, reason);
            if (!old) {
                return std::nullopt;
            }
            const auto content = edit->second(*old);
            if (!content) {
                fail(reason,
                     QStringLiteral("частта не е каквато се очаква: ") + QString::fromUtf8(e.name));
                return std::nullopt;
            }
            const auto packed = pack(*content);
            if (!packed) {
                fail(reason, QStringLiteral("няма памет за архивиране"));
                return std::nullopt;
            }
            const uint32_t crc = uint32_t(crc32(
                0, reinterpret_cast<const Bytef*>(content->constData()), uInt(content->size())));
            const uint16_t flags = e.flags & ~kHasDataDescriptor;
            QByteArray header(kLocalHeaderSize, '\0');
            put32(header, 0, kLocalSignature);
            put16(header, 4, kVersionNeeded);
            put16(header, 6, flags);
            put16(header, 8, kDeflated);
            put32(header, 10, get32(zip, e.central + 12)); // time and date
            put32(header, 14, crc);
            put32(header, 18, uint32_t(packed->size()));
            put32(header, 22, uint32_t(content->size()));
            put16(header, 26, uint16_t(e.name.size()));
            out += header;
            out += e.name;
            out += *packed;
            put16(record, 8, flags);
            put16(record, 10, kDeflated);
            put32(record, 16, crc);
            put32(record, 20, uint32_t(packed->size()));
            put32(record, 24, uint32_t(content->size()));
            ++edited;
        }
        central += record;
    }
    if (edited != edits.size()) {
        fail(reason, QStringLiteral("в архива липсва част, която трябва да се промени"));
        return std::nullopt;
    }
    QByteArray end = zip.sliced(a.end).toByteArray();
    put32(end, 12, uint32_t(central.size()));
    put32(end, 16, uint32_t(out.size()));
    out += central;
    out += end;
    return out;
}

} // namespace kvor
