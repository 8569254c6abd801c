// The journal of unsaved entries: what a process killed with SIGKILL had recorded is all there,
// and a journal cut short or damaged gives back exactly the entries before the damage.

#include "core/EntryJournal.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace kvor;

namespace {

const JournalKey kKey{"5101", "2004", "03"};

JournalEntry Entry(int i)
{
    return {i, 1 + 2 * (i % 3),
            QString::number(i) + QStringLiteral("\u00a0234,5") + QString::number(i % 10)};
}

TEST(EntryJournal, EntriesMadeBeforeAKillAreAllRead)
{
    QTemporaryDir dir;
    const QString path = JournalPath(dir.filePath("mfddd_sd_5101_2004_03.xml"));
    EXPECT_TRUE(path.endsWith("/.mfddd_sd_5101_2004_03.xml.journal"));
    constexpr int kEntries = 37;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        EntryJournal journal(path, kKey);
        for (int i = 0; i < kEntries; ++i) {
            if (!journal.record(Entry(i))) {
                ::_exit(1);
            }
        }
        [[maybe_unused]] const ssize_t n = ::write(ready[1], "x", 1);
        for (;;) {
            ::pause();
        }
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_TRUE(WIFSIGNALED(status));

    const Result<JournalContents> read = ReadJournal(path, kKey);
    ASSERT_TRUE(read.ok());
    EXPECT_FALSE(read->damaged);
    ASSERT_EQ(read->entries.size(), size_t(kEntries));
    for (int i = 0; i < kEntries; ++i) {
        EXPECT_EQ(read->entries[size_t(i)], Entry(i));
    }
    // Another report's, or no journal at all, is refused and left as it is.
    EXPECT_EQ(ReadJournal(path, {"5101", "2004", "04"}).failure().kind, Failure::Kind::NotAReport);
    EXPECT_TRUE(QFile::exists(path));

    // A journal started again after a save holds only what came after it.
    EntryJournal again(path, kKey);
    again.remove();
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_TRUE(again.record(Entry(5)).ok());
    EXPECT_EQ(ReadJournal(path, kKey)->entries, std::vector<JournalEntry>{Entry(5)});
}

struct Damage
{
    const char* name;
    // Applied to the bytes of a journal of five entries.
    QByteArray (*change)(QByteArray);
    size_t entries;
    bool damaged;
    std::optional<Failure::Kind> refused;
};

class DamagedJournal : public ::testing::TestWithParam<Damage>
{
};

TEST_P(DamagedJournal, RestoresWhatCameBeforeTheDamage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(".r.journal");
    {
        EntryJournal journal(path, kKey);
        for (int i = 0; i < 5; ++i) {
            ASSERT_TRUE(journal.record(Entry(i)).ok());
        }
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray changed = GetParam().change(file.readAll());
    file.resize(0);
    file.write(changed);
    file.close();
    const Result<JournalContents> read = ReadJournal(path, kKey);
    ASSERT_EQ(read.ok(), !GetParam().refused) << GetParam().name;
    if (!read) {
        EXPECT_EQ(read.failure().kind, *GetParam().refused) << GetParam().name;
        return;
    }
    EXPECT_EQ(read->damaged, GetParam().damaged) << GetParam().name;
    ASSERT_EQ(read->entries.size(), GetParam().entries) << GetParam().name;
    for (size_t i = 0; i < GetParam().entries; ++i) {
        EXPECT_EQ(read->entries[i], Entry(int(i))) << GetParam().name;
    }
}

QByteArray LineStart(const QByteArray& b, int line)
{
    qsizetype at = 0;
    for (int i = 0; i < line; ++i) {
        at = b.indexOf('\n', at) + 1;
    }
    return b.left(at);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedJournal,
    ::testing::Values(
        Damage{"whole", [](QByteArray b) { return b; }, 5, false, {}},
        Damage{"last line cut", [](QByteArray b) { return b.chopped(3); }, 4, true, {}},
        Damage{"line end lost", [](QByteArray b) { return b.chopped(1); }, 4, true, {}},
        Damage{"digit changed in entry 3",
               [](QByteArray b) {
                   const qsizetype at = LineStart(b, 3).size();
                   b[at] = b[at] == '2' ? '7' : '2';
                   return b;
               },
               2,
               true,
               {}},
        Damage{"zeros after entry 2",
               [](QByteArray b) { return LineStart(b, 3) + QByteArray(100, '\0'); },
               2,
               true,
               {}},
        Damage{"header only", [](QByteArray b) { return LineStart(b, 1); }, 0, false, {}},
        Damage{"header cut", [](QByteArray b) { return b.left(8); }, 0, false,
               Failure::Kind::NotWellFormed},
        Damage{"another report", [](QByteArray b) { return b.replace("\t5101\t", "\t5102\t"); }, 0,
               false, Failure::Kind::NotAReport}));

} // namespace
