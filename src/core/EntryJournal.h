#pragma once
// The journal of figures typed since a report was last saved: a small file beside the report
// ("Data/.<report>.journal"), one line per accepted entry, each synced to disk before the next,
// so that a program killed with figures unsaved can offer them at the next open. It never
// touches the report itself; a save or a deliberate close removes it.
//
// Its first line names the report ("KVOR-JOURNAL 1", EBK code, year, month); each entry line is
// "row<TAB>column<TAB>figure<TAB>checksum", the checksum (CRC-32, hex) over the rest of the line.
// A line cut short or with a wrong checksum ends what can be restored.

#include "core/Result.h"

#include <QString>
#include <vector>

namespace kvor {

// A journal larger than this is read up to it and counted as damaged beyond.
inline constexpr qint64 kMaxJournalBytes = 8 * 1024 * 1024;

// Which report a journal belongs to.
struct JournalKey
{
    QString ebk;
    QString year;
    QString month;
    friend bool operator==(const JournalKey&, const JournalKey&) = default;
};

struct JournalEntry
{
    int row = 0;
    int column = 0;
    QString figure;
    friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

struct JournalContents
{
    std::vector<JournalEntry> entries; // those before any damage, in the order they were made
    bool damaged = false;              // something after them could not be read
};

// The journal of the report at `reportPath`.
QString JournalPath(const QString& reportPath);

// The journal's entries. A journal of another report (`key`), or one whose first line is no
// journal's, is a Failure (NotAReport); a missing one NotFound.
Result<JournalContents> ReadJournal(const QString& path, const JournalKey& key);

class EntryJournal final
{
public:
    EntryJournal(QString path, JournalKey key);
    ~EntryJournal();
    EntryJournal(const EntryJournal&) = delete;
    EntryJournal& operator=(const EntryJournal&) = delete;

    // Appends an entry and syncs it; the file is started (anew) by the first entry after it was
    // created or removed.
    Result<> record(const JournalEntry& entry);
    // Closes and deletes the file.
    void remove();
    const QString& path() const { return m_path; }

private:
    Result<> start();

    QString m_path;
    JournalKey m_key;
    int m_fd = -1;
};

} // namespace kvor
