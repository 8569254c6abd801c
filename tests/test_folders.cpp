// Where the program reads its given files and writes the user's: the choice of folders and the
// user's first kvor.ini.

#include "core/Folders.h"
#include "support/Files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kvor;
using test::ReadBytes;
using test::WriteBytes;

namespace {

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
    EXPECT_EQ(SeedUserFolder({l.installed(), l.user()}), c.ok);
    EXPECT_TRUE(QFileInfo(l.user()).isDir());
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

} // namespace
