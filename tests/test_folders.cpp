// Where the program reads its given files and writes the user's: the choice of folders and the
// user's first kvor.ini.

#include "core/Folders.h"
#include "core/SingleInstance.h"
#include "support/Child.h"
#include "support/Files.h"

#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

using namespace kvor;
using test::ReadBytes;
using test::WriteBytes;

namespace {

constexpr uid_t kNobody = 65534;

// A program folder, an installed data folder beside it and a user's data folder, each filled as a
// case says.
struct Layout
{
    QTemporaryDir root;
    QString exe() const { return root.filePath("prefix/bin"); }
    QString installed() const { return root.filePath("prefix/share/kvor"); }
    QString user() const { return root.filePath("home/KVOR"); }
};

struct ChoiceCase
{
    const char* name;
    const char* fileBesideExe; // nullptr: none
    bool installedExists;
    const char* install; // "exe" or "installed"
    const char* user;    // "exe" or "user"
};

class Choice : public testing::TestWithParam<ChoiceCase>
{
};

TEST_P(Choice, FollowsWhatIsBesideTheExecutable)
{
    const ChoiceCase& c = GetParam();
    Layout l;
    QDir().mkpath(l.exe());
    if (c.fileBesideExe) {
        ASSERT_TRUE(WriteBytes(l.exe() + '/' + c.fileBesideExe, "x"));
    }
    if (c.installedExists) {
        ASSERT_TRUE(WriteBytes(l.installed() + "/Structure.xml", "x"));
    }
    auto pick = [&](const char* which) {
        return QString::fromLatin1(which) == u"exe"    ? l.exe()
               : QString::fromLatin1(which) == u"user" ? l.user()
                                                       : l.installed();
    };
    // The installed folder is named the way the executable finds it: through "..".
    const Folders f = ChooseFolders(l.exe(), l.exe() + "/../share/kvor", l.user());
    EXPECT_EQ(f.install, pick(c.install));
    EXPECT_EQ(f.user, pick(c.user));
    EXPECT_EQ(test::Listing(l.exe()),
              c.fileBesideExe ? QStringList{c.fileBesideExe} : QStringList{})
        << "the write probe is left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Folders, Choice,
    testing::Values(
        ChoiceCase{"portableCopy", "Structure.xml", false, "exe", "exe"},
        ChoiceCase{"portableCopyWithOnlyKvorIni", "kvor.ini", false, "exe", "exe"},
        ChoiceCase{"programFolderWinsOverAnInstall", "Obshtini.xml", true, "exe", "exe"},
        ChoiceCase{"installed", nullptr, true, "installed", "user"},
        ChoiceCase{"installedBesideUnrelatedFiles", "kvor-verify", true, "installed", "user"},
        // Nothing anywhere: the executable's folder, where the missing files are then named.
        ChoiceCase{"nothing", nullptr, false, "exe", "exe"}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return info.param.name; });

TEST(Folders, ANewFileCannotBeCreatedInAFolderThatIsNoFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(WriteBytes(dir.filePath("file"), "x"));
    EXPECT_TRUE(CanCreateFilesIn(dir.path()));
    EXPECT_FALSE(CanCreateFilesIn(dir.filePath("file")));
    EXPECT_FALSE(CanCreateFilesIn(dir.filePath("missing")));
}

mode_t ModeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

struct SeedCase
{
    const char* name;
    QByteArray installed; // "<none>": no kvor.ini given
    QByteArray existing;  // "<none>": the user has none yet
    bool ok;
    QByteArray after; // the user's kvor.ini afterwards, "<missing>" when there is none
};

class Seed : public testing::TestWithParam<SeedCase>
{
};

TEST_P(Seed, MakesTheFirstKvorIniAndNeverReplacesOne)
{
    const SeedCase& c = GetParam();
    Layout l;
    QDir().mkpath(l.installed());
    if (c.installed != "<none>") {
        ASSERT_TRUE(WriteBytes(l.installed() + "/kvor.ini", c.installed));
    }
    if (c.existing != "<none>") {
        ASSERT_TRUE(WriteBytes(l.user() + "/kvor.ini", c.existing));
    }
    // Private whatever the umask; a folder an earlier version made readable by all is closed.
    const mode_t oldMask = ::umask(0);
    EXPECT_EQ(SeedUserFolder({l.installed(), l.user()}), c.ok);
    ::umask(oldMask);
    EXPECT_EQ(ModeOf(l.user()), 0700u);
    EXPECT_EQ(ModeOf(l.user() + "/Data"), 0700u);
    if (c.existing == "<none>" && c.ok) {
        EXPECT_EQ(ModeOf(l.user() + "/kvor.ini"), 0600u);
    }
    EXPECT_EQ(ReadBytes(l.user() + "/kvor.ini"), c.after);
    EXPECT_EQ(ReadBytes(l.installed() + "/kvor.ini"),
              c.installed == "<none>" ? QByteArray("<missing>") : c.installed);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, Seed,
    testing::Values(
        SeedCase{"firstStart", "\"oba 0\"\r\n", "<none>", true, "\"oba 0\"\r\n"},
        SeedCase{"usersOwnKept", "\"oba 0\"\r\n", "\"oba 12\"\r\n", true, "\"oba 12\"\r\n"},
        SeedCase{"nothingToCopy", "<none>", "<none>", false, "<missing>"},
        SeedCase{"tooLargeToBeAKvorIni", QByteArray(70 * 1024, 'o'), "<none>", false, "<missing>"}),
    [](const testing::TestParamInfo<SeedCase>& info) { return info.param.name; });

TEST(Folders, APortableCopySeedsNothing)
{
    QTemporaryDir dir;
    EXPECT_TRUE(SeedUserFolder({dir.path(), dir.path()}));
    EXPECT_TRUE(test::Listing(dir.path()).isEmpty());
}

// --- the one-copy lock --------------------------------------------------------------------------

using Result = SingleInstance::Result;
using Kind = FoundLock::Kind;

const char* ResultName(Result r)
{
    switch (r) {
    case Result::Acquired:
        return "Acquired";
    case Result::HeldByAnother:
        return "HeldByAnother";
    case Result::CannotLock:
        return "CannotLock";
    case Result::AskUser:
        return "AskUser";
    }
    return "?";
}

const QByteArray kHere = QSysInfo::machineHostName().toUtf8();
// A process id no process has: the kernel's own limit is below it.
const QByteArray kDeadPid = "2147483646";
constexpr qint64 kHour = 60 * 60;

void SetAge(const QString& path, qint64 seconds)
{
    const timeval then{::time(nullptr) - time_t(seconds), 0};
    const timeval times[2] = {then, then};
    ::lutimes(QFile::encodeName(path).constData(), times);
}

struct LockCase
{
    const char* name;
    std::function<void(const QString& lock)> plant;
    const char* first;    // what tryAcquire() answers
    const char* asRoot;   // the same for an administrator, when it differs; nullptr otherwise
    Kind kind;            // what was found, when the user is asked
    const char* host;     // the machine shown
    const char* takeOver; // what the answer "Да" gives
};

void Plant(const QString& lock, const QByteArray& bytes, qint64 age, int mode = 0644)
{
    ASSERT_TRUE(WriteBytes(lock, bytes));
    ::chmod(QFile::encodeName(lock).constData(), mode_t(mode));
    SetAge(lock, age);
}

const LockCase kLocks[] = {
    {"free", [](const QString&) {}, "Acquired", nullptr, Kind::None, "", "Acquired"},
    {"leftByADeadCopyHere",
     [](const QString& l) { Plant(l, kDeadPid + "\nkvor\n" + kHere + "\n", kHour); }, "Acquired",
     nullptr, Kind::None, "", "Acquired"},
    {"leftByADeadCopyHereReadOnly",
     [](const QString& l) { Plant(l, kDeadPid + "\nkvor\n" + kHere + "\n", 0, 0444); }, "Acquired",
     nullptr, Kind::None, "", "Acquired"},
    {"emptyAndJustMade", [](const QString& l) { Plant(l, "", 0); }, "HeldByAnother", nullptr,
     Kind::None, "", "HeldByAnother"},
    {"emptyAndOld", [](const QString& l) { Plant(l, "", 60); }, "Acquired", nullptr, Kind::None, "",
     "Acquired"},
    {"otherMachineRecent", [](const QString& l) { Plant(l, "42\nkvor\nelsewhere\n", 11 * kHour); },
     "HeldByAnother", nullptr, Kind::None, "", "HeldByAnother"},
    {"otherMachineOld", [](const QString& l) { Plant(l, "42\nkvor\nelsewhere\n", 13 * kHour); },
     "AskUser", nullptr, Kind::OtherMachine, "elsewhere", "Acquired"},
    {"noCopyNamed", [](const QString& l) { Plant(l, "not a lock", 0); }, "AskUser", nullptr,
     Kind::Unknown, "", "Acquired"},
    {"unreadable", [](const QString& l) { Plant(l, kDeadPid + "\nkvor\n" + kHere + "\n", 0, 0); },
     "AskUser", "Acquired", Kind::Unreadable, "", "Acquired"},
    {"aFolder",
     [](const QString& l) { ASSERT_TRUE(WriteBytes(l + "/kept", "what the folder holds")); },
     "AskUser", nullptr, Kind::NotAFile, "", "Acquired"},
    {"aLink",
     [](const QString& l) {
         ASSERT_TRUE(QFile::link(QFileInfo(l).absolutePath() + "/../never-made", l));
     },
     "AskUser", nullptr, Kind::NotAFile, "", "Acquired"},
};

void PrintTo(const LockCase& c, std::ostream* os)
{
    *os << c.name;
}

class Locks : public testing::TestWithParam<LockCase>
{
};

// Whatever stood there, once a copy has the lock no other copy gets it, not even by taking over.
TEST_P(Locks, AreTakenOverOrOfferedAndNeverShared)
{
    const LockCase& c = GetParam();
    QTemporaryDir root;
    const QString folder = root.filePath("user");
    ASSERT_TRUE(QDir().mkpath(folder));
    c.plant(SingleInstance::lockPath(folder));
    SingleInstance guard(folder);
    const char* first = ::geteuid() == 0 && c.asRoot ? c.asRoot : c.first;
    Result r = guard.tryAcquire();
    ASSERT_STREQ(ResultName(r), first);
    if (r == Result::AskUser) {
        EXPECT_EQ(guard.found().kind, c.kind);
        EXPECT_EQ(guard.found().host, QString::fromLatin1(c.host));
        r = guard.takeOver();
    }
    EXPECT_STREQ(ResultName(r), first == std::string("AskUser") ? c.takeOver : first);
    if (r != Result::Acquired) {
        return;
    }
    SingleInstance second(folder);
    EXPECT_EQ(second.tryAcquire(), Result::HeldByAnother);
    EXPECT_EQ(second.takeOver(), Result::HeldByAnother);
    EXPECT_TRUE(ReadBytes(guard.path()).startsWith(QByteArray::number(::getpid()) + "\nkvor\n"));
    EXPECT_FALSE(QFileInfo::exists(root.filePath("never-made")));
    guard.release();
    EXPECT_FALSE(QFileInfo::exists(guard.path()));
    EXPECT_EQ(second.tryAcquire(), Result::Acquired);
    // A folder that stood in the lock's place was put aside with what it held.
    EXPECT_EQ(test::Listing(folder).filter("kept").size(), c.name == std::string("aFolder"));
}

INSTANTIATE_TEST_SUITE_P(Folders, Locks, testing::ValuesIn(kLocks),
                         [](const auto& info) { return std::string(info.param.name); });

struct SharedLockCase
{
    const char* name;
    int folderMode;
};

class SharedLocks : public testing::TestWithParam<SharedLockCase>
{
};

// A copy killed while another user ran it left its lock, 0644 and theirs, in a shared folder:
// the next user takes it over, with or without the right to remove it.
TEST_P(SharedLocks, LeftByAnotherUserAreTakenOverAndHeld)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the start as another user";
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Plant(SingleInstance::lockPath(dir.path()), kDeadPid + "\nkvor\n" + kHere + "\n", kHour);
    ::chmod(QFile::encodeName(dir.path()).constData(), mode_t(GetParam().folderMode));
    const auto told = test::RunInChild([&] {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            return QStringLiteral("no setuid");
        }
        SingleInstance first(dir.path());
        SingleInstance second(dir.path());
        QStringList out{ResultName(first.tryAcquire()), ResultName(second.tryAcquire()),
                        ResultName(second.takeOver())};
        first.release();
        out << ResultName(second.tryAcquire());
        return out.join(u',');
    });
    ASSERT_TRUE(told.has_value());
    EXPECT_EQ(*told, "Acquired,HeldByAnother,HeldByAnother,Acquired");
}

INSTANTIATE_TEST_SUITE_P(Folders, SharedLocks,
                         testing::Values(SharedLockCase{"writableByAll", 0777},
                                         SharedLockCase{"sticky", 01777}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
