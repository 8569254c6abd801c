// The printout as the user meets it: a new file for each printout with one sheet, opened in the
// spreadsheet program; where the file goes when the temporary folder is missing; what the user is
// told when something fails.

#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "printout/PrintReport.h"
#include "printout/XlsxFile.h"
#include "printout/ZipEntries.h"
#include "support/Child.h"
#include "support/Files.h"
#include "support/PrintoutFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kvor;
using namespace kvor::test;

namespace {

using Outcome = PrintReportResult::Outcome;

const QRegularExpression kPrintoutName(QStringLiteral(R"(^KVOR_\d{8}_\d{6}_[a-z0-9]{10}\.xlsx$)"));

mode_t ModeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

QByteArray entryOf(const QString& path, const char* name)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return ReadZipEntry(f.readAll(), name).value_or(QByteArray());
}

// The names of the sheets of a written file.
QStringList sheetNames(const QString& path)
{
    QStringList names;
    const QString workbook = QString::fromUtf8(entryOf(path, "xl/workbook.xml"));
    for (qsizetype at = workbook.indexOf(u"<sheet name=\""); at >= 0;
         at = workbook.indexOf(u"<sheet name=\"", at + 1)) {
        const qsizetype start = at + 13;
        names << workbook.mid(start, workbook.indexOf(u'"', start) - start);
    }
    return names;
}

TEST_F(PrintoutTest, EachPrintoutIsANewFileWithOneSheetNamedOnFromTheLast)
{
    PrintoutRun run;
    PrintoutInput in = SamplePrintout();
    const PrintReportResult first = printReport(in, run);
    in.municipality = u"Варна"_qs;
    const PrintReportResult second = printReport(in, run);
    const PrintReportResult third = printReport(in, run);

    EXPECT_TRUE(fake.messages.isEmpty()) << str(fake.texts().join(u'|'));
    EXPECT_EQ(fake.busyDepth, 0);
    ASSERT_EQ(opened, (QStringList{first.path, second.path, third.path}));
    EXPECT_EQ(busyWhileOpening, (QList<int>{1, 1, 1}));
    const QStringList expected[] = {{u"Лист1"_qs}, {u"Лист2"_qs}, {u"Лист3"_qs}};
    int i = 0;
    for (const PrintReportResult& r : {first, second, third}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(r.outcome, Outcome::Opened);
        EXPECT_EQ(QFileInfo(r.path).absolutePath(), printoutPath());
        EXPECT_TRUE(kPrintoutName.match(QFileInfo(r.path).fileName()).hasMatch()) << str(r.path);
        EXPECT_EQ(ModeOf(r.path), 0600u);
        EXPECT_EQ(sheetNames(r.path), expected[i++]);
    }
    EXPECT_NE(first.path, second.path);
    EXPECT_NE(second.path, third.path);
    EXPECT_TRUE(entryOf(first.path, "xl/sharedStrings.xml").contains("община Пловдив"));
    EXPECT_TRUE(entryOf(second.path, "xl/sharedStrings.xml").contains("община Варна"));
    EXPECT_FALSE(entryOf(second.path, "xl/sharedStrings.xml").contains("община Пловдив"));
    // Only the printouts are left: the writer's own files are gone.
    EXPECT_EQ(Listing(printoutPath()).size(), 3);
    EXPECT_TRUE(Listing(tempPath()).isEmpty());

    // Another run starts again at the first sheet name.
    PrintoutRun another;
    EXPECT_EQ(sheetNames(printReport(in, another).path), QStringList{u"Лист1"_qs});
}

class PrintoutFolders;

struct FolderCase
{
    const char* name;
    std::function<void(PrintoutFolders&)> prepare;
    const char* folder; // relative to the test's root; "*" a new random folder in tmp; "" none
};

class PrintoutFolders : public PrintoutTest, public ::testing::WithParamInterface<FolderCase>
{
public:
    using PrintoutTest::printoutPath;
    using PrintoutTest::rootPath;
    using PrintoutTest::tempPath;
    QString rootFile(const char* name) const { return rootPath() + u'/' + QLatin1String(name); }
    // A file where a folder should be: permissions would not stop a privileged user.
    void fileAt(const char* name) { ASSERT_TRUE(WriteBytes(rootFile(name), "a file")); }
};

const QString kUid = QString::number(::geteuid());

const FolderCase kFolders[] = {
    {"cache", [](PrintoutFolders&) {}, "home/.cache/KVOR/printouts"},
    {"cacheNamed",
     [](PrintoutFolders& t) { qputenv("XDG_CACHE_HOME", QFile::encodeName(t.rootPath() + "/c")); },
     "c/KVOR/printouts"},
    {"cacheNamedRelative", [](PrintoutFolders&) { qputenv("XDG_CACHE_HOME", "c"); },
     "home/.cache/KVOR/printouts"},
    {"cacheWritableByOthers",
     [](PrintoutFolders& t) {
         QDir().mkpath(t.printoutPath());
         ::chmod(QFile::encodeName(t.printoutPath()).constData(), 0777);
         QDir().mkpath(t.rootPath() + "/run");
         qputenv("XDG_RUNTIME_DIR", QFile::encodeName(t.rootPath() + "/run"));
     },
     "run/KVOR-printouts"},
    {"noHome",
     [](PrintoutFolders& t) {
         t.fileAt("a-file");
         qputenv("HOME", QFile::encodeName(t.rootPath() + "/a-file"));
     },
     "tmp/KVOR-printouts-"},
    {"noHomeAndTheUsersFolderInTmpALink",
     [](PrintoutFolders& t) {
         t.fileAt("a-file");
         qputenv("HOME", QFile::encodeName(t.rootPath() + "/a-file"));
         QDir().mkpath(t.rootPath() + "/elsewhere");
         QFile::link(t.rootPath() + "/elsewhere", t.tempPath() + "/KVOR-printouts-" + kUid);
     },
     "*"},
    {"nothingUsable",
     [](PrintoutFolders& t) {
         t.fileAt("a-file");
         qputenv("HOME", QFile::encodeName(t.rootPath() + "/a-file"));
         qputenv("TMPDIR", QFile::encodeName(t.rootPath() + "/a-file"));
     },
     ""},
};

// The file goes to a folder only the user may enter, and the user is told its full path when no
// program opens it.
TEST_P(PrintoutFolders, AreTheUsersOwnAndTheMessageGivesTheFullPath)
{
    const FolderCase& p = GetParam();
    openerAnswer = false;
    p.prepare(*this);
    PrintoutRun run;
    const PrintReportResult r = printReport(SamplePrintout(), run);

    EXPECT_EQ(fake.busyDepth, 0);
    ASSERT_EQ(fake.messages.size(), 1);
    const ShownMessage& m = fake.messages[0];
    EXPECT_TRUE(Listing(rootPath() + "/elsewhere").isEmpty());
    if (!*p.folder) {
        EXPECT_EQ(r.outcome, Outcome::NotWritten);
        EXPECT_FALSE(r.reason.isEmpty());
        EXPECT_TRUE(opened.isEmpty());
        EXPECT_EQ(str(m.text), "Грешката е предизвикана от EXCEL");
        EXPECT_EQ(str(m.title), "TAVN - Грешка");
        EXPECT_EQ(m.icon, MsgIcon::Critical);
        EXPECT_EQ(Listing(rootPath()), QStringList({"a-file", "home", "tmp"}));
        return;
    }
    const QString folder = QFileInfo(r.path).absolutePath();
    const QString expected = QString::fromUtf8(p.folder) == u"tmp/KVOR-printouts-"
                                 ? rootFile("tmp/KVOR-printouts-") + kUid
                                 : rootFile(p.folder);
    if (*p.folder == '*') {
        EXPECT_TRUE(folder.startsWith(tempPath() + "/KVOR-printouts-")) << str(folder);
        // Not the planted link's name; a random name may still end in the digits of the uid.
        EXPECT_NE(folder, tempPath() + "/KVOR-printouts-" + kUid) << str(folder);
    } else {
        EXPECT_EQ(folder, expected);
    }
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(r.path), 0600u);
    EXPECT_EQ(r.outcome, Outcome::NotOpened);
    EXPECT_EQ(opened, QStringList{r.path});
    EXPECT_EQ(m.text, msg::kExcelNoViewer + QDir::toNativeSeparators(r.path));
    EXPECT_EQ(str(m.title), "TAVN - Внимание!");
    EXPECT_EQ(m.icon, MsgIcon::Exclamation);
    EXPECT_EQ(m.buttons, MsgButtons::Ok);
}

INSTANTIATE_TEST_SUITE_P(Table, PrintoutFolders, ::testing::ValuesIn(kFolders),
                         [](const auto& info) { return std::string(info.param.name); });

// Another local user plants links where a printout could go: at every name of the coming seconds
// in the shared temporary folder, at the folder of the user's printouts there, and in a home the
// other user owns. Nothing is written through them, and the printout goes to a new private folder.
TEST_F(PrintoutTest, LinksPlantedByAnotherUserAreNeverFollowed)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to plant the links as another user";
    }
    constexpr uid_t kNobody = 65534;
    const QString victim = rootPath() + "/victim";
    const QString otherHome = rootPath() + "/other-home";
    ASSERT_TRUE(QDir().mkpath(victim));
    ASSERT_TRUE(QDir().mkpath(otherHome));
    ::chmod(QFile::encodeName(rootPath()).constData(), 0755);
    ::chmod(QFile::encodeName(tempPath()).constData(), 01777);
    ::chmod(QFile::encodeName(victim).constData(), 0777);
    ASSERT_EQ(::chown(QFile::encodeName(otherHome).constData(), kNobody, kNobody), 0);
    const QDateTime now = QDateTime::currentDateTime();
    const auto planted = RunInChild([&] {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            return QStringLiteral("no setuid");
        }
        int made = 0;
        for (int s = -1; s < 30; ++s) {
            const QString stamp = now.addSecs(s).toString(u"yyyyMMdd_HHmmss"_qs);
            made += QFile::link(victim + "/pwned" + stamp + ".xlsx",
                                tempPath() + "/KVOR_" + stamp + ".xlsx");
        }
        made += QFile::link(victim, tempPath() + "/KVOR-printouts-0");
        made += QDir().mkpath(otherHome + "/.cache");
        made += QFile::link(victim, otherHome + "/.cache/KVOR");
        made += QFile::link(victim + "/pwned.xml", tempPath() + "/report.xml");
        return QString::number(made);
    });
    ASSERT_EQ(planted, QStringLiteral("35"));
    qputenv("HOME", QFile::encodeName(otherHome));
    const auto before = Snapshot(rootPath());

    PrintoutRun run;
    const PrintReportResult r = printReport(SamplePrintout(), run);
    ASSERT_EQ(r.outcome, Outcome::Opened) << str(r.reason);
    const QString folder = QFileInfo(r.path).absolutePath();
    EXPECT_EQ(ModeOf(folder), 0700u);
    // The writer itself refuses a link in a folder others may write.
    QString reason;
    int err = 0;
    EXPECT_FALSE(WriteFileAtomically(tempPath() + "/report.xml", "<r/>", &reason, &err));
    EXPECT_EQ(err, ELOOP);

    auto after = Snapshot(rootPath());
    const QString inFolder = QDir(rootPath()).relativeFilePath(folder);
    EXPECT_TRUE(after.contains(inFolder + '/' + QFileInfo(r.path).fileName()));
    for (auto it = after.begin(); it != after.end();) {
        it = it.key().startsWith(inFolder) ? after.erase(it) : std::next(it);
    }
    EXPECT_EQ(after, before);
    EXPECT_TRUE(Listing(victim).isEmpty());
}

// At start the printouts older than 30 days go; what the program did not name, or a link, stays.
TEST_F(PrintoutTest, OldPrintoutsAreRemovedAndNothingElse)
{
    ASSERT_EQ(PrintoutFolder(), printoutPath());
    struct Entry
    {
        const char* name;
        int days;
        bool link;
        bool kept;
    };
    const Entry entries[] = {
        {"KVOR_20261001_101010_aaaaaaaaaa.xlsx", 31, false, false},
        {"KVOR_20261110_101010_bbbbbbbbbb.xlsx", 29, false, true},
        {"KVOR_20261001_101010_cccccccccc.xlsx", 40, true, true},
        {"notes.xlsx", 40, false, true},
    };
    for (const Entry& e : entries) {
        const QString path = printoutPath() + u'/' + QLatin1String(e.name);
        ASSERT_TRUE(e.link ? QFile::link(rootPath() + "/target", path) : WriteBytes(path, "x"));
        const timeval then{::time(nullptr) - time_t(e.days) * 24 * 60 * 60, 0};
        const timeval times[2] = {then, then};
        ::lutimes(QFile::encodeName(path).constData(), times);
    }
    RemoveOldPrintouts();
    for (const Entry& e : entries) {
        EXPECT_EQ(ModeOf(printoutPath() + u'/' + QLatin1String(e.name)) != 0, e.kept) << e.name;
    }
}

// A disk that fills up while the file is written: the failure is told, no file takes the name
// and nothing of the writer's is left behind.
TEST_F(PrintoutTest, FileCutShortByAFullDiskIsAFailure)
{
    const PrintoutInput in = SamplePrintout();
    const QString target = tempPath() + QStringLiteral("/form.xlsx");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Writes past a few kilobytes fail as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &small);
        const auto reason = WriteFormFile(in, u"Лист1"_qs, target);
        _exit(reason && !reason->isEmpty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(QDir(tempPath()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

    // Without the limit the same file is written.
    EXPECT_FALSE(WriteFormFile(in, u"Лист1"_qs, target));
    EXPECT_TRUE(QFile::exists(target));
}

} // namespace
