// Every write site under failures the system really produces: a child process whose files may
// not grow (EFBIG, as on a full disk), a full and a read-only tmpfs mounted in a namespace of its
// own, a folder its user may not write, and a Data that is a file. Whatever fails, the old file
// stays byte for byte, no temporary file is left and the user is told.

#include "core/AtomicFile.h"
#include "core/KvorIni.h"
#include "core/Messages.h"
#include "core/ReportDocument.h"
#include "core/StructureFile.h"
#include "core/XmlDom.h"
#include "support/Child.h"
#include "support/Files.h"
#include "support/Opening.h"
#include "support/ProgramFolder.h"
#include "support/ReportFixture.h"

#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace kvor;
using test::ReadBytes;
using test::WriteBytes;

namespace {

constexpr rlim_t kSmallFileLimit = 256; // below every report, above nothing the sites need
constexpr rlim_t kTinyFileLimit = 4;    // below the one line of kvor.ini
constexpr uid_t kNobody = 65534;

class FailedWrites : public ::testing::Test
{
public:
    void SetUp() override
    {
        state.structure = test::StructureAndTell();
        ASSERT_FALSE(state.structure->isEmpty());
        QDir().mkpath(folder.filePath("Data"));
        QDir().mkpath(folder.filePath("stick"));
        state.period = Period(3, 2004);
        state.municipality = {QStringLiteral("Банско"), QStringLiteral("5101")};
    }

    QString report() const { return folder.dataPath("mfddd_sd_5101_2004_03.xml"); }
    QString copy() const { return folder.filePath("stick/mfddd_sd_5101_2004_03.xml"); }
    QString ini() const { return folder.filePath(kIniFileName); }

    // A saved report with figures, and a copy of it on the "medium".
    void saveReport()
    {
        ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
        ASSERT_TRUE(test::SaveTyped(state, report(),
                                    {{test::kFirstEditableRow, grid::kOpening, u"1 234,50"_qs}})
                        .ok());
        ASSERT_TRUE(QFile::copy(report(), copy()));
    }

    test::FakePlatform fake;
    test::ProgramFolder folder{fake};
    OpenReport state = test::EmptyReport();
};

// A write site as the program reaches it; returns what the user was told.
struct Site
{
    const char* name;
    bool reportExists;
    std::function<QString(FailedWrites&)> write;
};

void PrintTo(const Site& site, std::ostream* os)
{
    *os << site.name;
}

QString shown(const test::FakePlatform& fake)
{
    return fake.texts().join(u'|');
}

const Site kSites[] = {
    {"report_save", true,
     [](FailedWrites& t) {
         const Status saved = test::SaveTyped(
             t.state, t.report(), {{test::kFirstEditableRow, grid::kOpening, u"9 999,99"_qs}});
         return saved ? QStringLiteral("saved")
                      : WriteFailureMessage(t.report(), saved.failure().systemError,
                                            saved.failure().reason);
     }},
    {"new_report", false,
     [](FailedWrites& t) {
         test::CreateAndTell((*t.state.structure), t.report());
         return shown(t.fake);
     }},
    {"stamping_on_open", true,
     [](FailedWrites& t) {
         return test::OpenAndTell(t.state, t.state.municipality, t.state.period)
                    ? QStringLiteral("opened")
                    : shown(t.fake);
     }},
    {"copy_to_medium", true,
     [](FailedWrites& t) {
         DomDocument doc;
         if (doc.load(t.report()) != kLoadOk) {
             return doc.errorReason();
         }
         SetAttribute(doc.documentElement(), QStringLiteral("ob_name"), QStringLiteral("Разлог"));
         QString reason;
         int err = 0;
         return doc.save(t.copy(), &reason, &err) ? QStringLiteral("copied")
                                                  : WriteFailureMessage(t.copy(), err, reason);
     }},
    {"kvor_ini", true,
     [](FailedWrites& t) {
         const Status remembered = RememberMunicipality(1234);
         if (!remembered) {
             TellFailure(remembered.failure());
         }
         return shown(t.fake) + (remembered ? "|remembered anyway" : "");
     }},
};

class EverySite : public FailedWrites, public ::testing::WithParamInterface<Site>
{
protected:
    void SetUp() override
    {
        FailedWrites::SetUp();
        if (GetParam().reportExists) {
            saveReport();
        }
    }
    QString target() const
    {
        const QString name = QString::fromLatin1(GetParam().name);
        return name == u"copy_to_medium" ? copy() : name == u"kvor_ini" ? ini() : report();
    }
    // Runs the site in a child prepared by `prepare`; the folder must be as it was.
    void expectRefused(const std::function<void()>& prepare, const QString& expected)
    {
        const auto before = test::Snapshot(folder.path());
        const auto told = test::RunInChild([&] {
            prepare();
            return GetParam().write(*this);
        });
        ASSERT_TRUE(told.has_value()) << "the child did not end normally";
        EXPECT_EQ(*told, expected);
        EXPECT_EQ(test::Snapshot(folder.path()), before);
    }
};

TEST_P(EverySite, AFullDiskChangesNothingAndIsReported)
{
    const rlim_t limit =
        QString::fromLatin1(GetParam().name) == u"kvor_ini" ? kTinyFileLimit : kSmallFileLimit;
    expectRefused([limit] { test::LimitFileSize(limit); }, msg::kDiskFull);
}

TEST_P(EverySite, AFolderItsUserMayNotWriteChangesNothingAndIsReported)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the write as another user";
    }
    // Everything is the administrator's and readable by all; the writer is not the
    // administrator, so the system itself refuses to let it write.
    QDirIterator it(folder.path(), QDir::AllEntries | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const auto readable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                          QFileDevice::ReadOther | QFileDevice::ReadGroup;
    const auto traversable = QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    QFile::setPermissions(folder.path(), readable | traversable);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile::setPermissions(path, it.fileInfo().isDir() ? readable | traversable : readable);
    }
    const QString name = QString::fromLatin1(GetParam().name);
    // The ini file is the one site whose own message is fixed by its file.
    const QString expected = name == u"kvor_ini"
                                 ? msg::kIniReadOnly
                                 : msg::kWriteDenied + QDir::toNativeSeparators(target());
    expectRefused(
        [] {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                ::_exit(1);
            }
        },
        expected);
}

INSTANTIATE_TEST_SUITE_P(Sites, EverySite, ::testing::ValuesIn(kSites),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FailedWrites, ADataThatIsAFileIsReportedForTheReportAndTheNewReport)
{
    ASSERT_TRUE(QDir(folder.filePath("Data")).removeRecursively());
    WriteBytes(folder.filePath("Data"), "a file, not a folder");
    const auto before = test::Snapshot(folder.path());
    const QString expected = msg::kNotSaved + "\r\n" + QDir::toNativeSeparators(report()) +
                             "\r\nНа мястото на папката има файл със същото име.";

    test::CreateAndTell(*state.structure, report());
    EXPECT_EQ(fake.texts(), QStringList{expected});
    fake.messages.clear();
    EXPECT_FALSE(test::OpenAndTell(state, state.municipality, state.period));
    EXPECT_EQ(fake.texts(), QStringList{expected});

    ASSERT_EQ(state.document->loadBytes(ReadBytes(test::GoldenPath("opened_sample.xml"))),
              kLoadOk);
    QString reason;
    int err = 0;
    EXPECT_FALSE(state.document->save(report(), &reason, &err));
    EXPECT_EQ(WriteFailureMessage(report(), err, reason), expected);
    EXPECT_EQ(test::Snapshot(folder.path()), before);
}

TEST_F(FailedWrites, NoTemporaryFileBesideTheTargetMeansNoWriteAtAll)
{
    // A read-only folder with a writable report in it: the report is not rewritten in place.
    saveReport();
    const QByteArray old = ReadBytes(report());
    QFile::setPermissions(folder.filePath("Data"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString reason;
    int err = 0;
    EXPECT_FALSE(state.document->save(report(), &reason, &err));
    QFile::setPermissions(folder.filePath("Data"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(WriteFailureMessage(report(), err, reason),
              msg::kWriteDenied + QDir::toNativeSeparators(report()));
    EXPECT_EQ(ReadBytes(report()), old);
}

// --- a file system of its own -------------------------------------------------------------------

// In a child: a private mount namespace (a user namespace too when not root) with a small tmpfs
// at dir. False where the machine allows neither.
bool MountSmallTmpfs(const QString& dir)
{
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWNS) != 0) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return false;
        }
        // The same user inside, so that files made on the tmpfs have an owner.
        WriteBytes(QStringLiteral("/proc/self/setgroups"), "deny");
        WriteBytes(QStringLiteral("/proc/self/uid_map"),
                   QByteArray::number(uid) + " " + QByteArray::number(uid) + " 1");
        WriteBytes(QStringLiteral("/proc/self/gid_map"),
                   QByteArray::number(gid) + " " + QByteArray::number(gid) + " 1");
    }
    ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
    return ::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, "size=64k") == 0;
}

TEST(FileSystem, AFullAndAReadOnlyTmpfsLeaveTheReportAsItWas)
{
    QTemporaryDir dir;
    const QString mountPoint = dir.filePath("medium");
    ASSERT_TRUE(QDir().mkpath(mountPoint));
    const QString path = mountPoint + "/mfddd_sd_5101_2004_03.xml";
    const QByteArray old = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<positions/>\r\n";
    const QByteArray bigger(48 * 1024, 'x');
    const auto result = test::RunInChild([&]() -> QString {
        if (!MountSmallTmpfs(mountPoint)) {
            return QStringLiteral("skip");
        }
        QStringList out;
        if (!WriteFileAtomically(path, old)) {
            return QStringLiteral("the old report could not be written");
        }
        // Fill what is left.
        QFile filler(mountPoint + "/filler");
        filler.open(QIODevice::WriteOnly);
        while (filler.write(QByteArray(4096, 'f')) > 0 && filler.flush()) {
        }
        filler.close();
        int err = 0;
        QString reason;
        out << (WriteFileAtomically(path, bigger, &reason, &err)
                    ? QStringLiteral("written")
                    : WriteFailureMessage(path, err, reason));
        out << (ReadBytes(path) == old ? "old kept" : "old lost");
        QFile::remove(mountPoint + "/filler");
        // Read-only: the system refuses the temporary file.
        ::mount(nullptr, QFile::encodeName(mountPoint).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                nullptr);
        out << (WriteFileAtomically(path, "new", &reason, &err)
                    ? QStringLiteral("written")
                    : WriteFailureMessage(path, err, reason));
        out << (ReadBytes(path) == old ? "old kept" : "old lost");
        out << test::Listing(mountPoint).join(u',');
        return out.join(u'|');
    });
    ASSERT_TRUE(result.has_value());
    if (*result == u"skip") {
        GTEST_SKIP() << "this machine allows no mount namespace for a tmpfs";
    }
    EXPECT_EQ(result->split(u'|'),
              QStringList({msg::kDiskFull, "old kept", msg::kWriteDenied + path, "old kept",
                           "mfddd_sd_5101_2004_03.xml"}));
}

} // namespace

namespace {

// A link is followed where only its owner could have put it, and refused in a folder that others
// may write, such as /tmp, where it may be another user's.
TEST(WritePath, ALinkIsFollowedOnlyWhereNoOtherUserCouldHavePlantedIt)
{
    QTemporaryDir dir;
    for (const mode_t mode : {0700, 01777, 0777}) {
        SCOPED_TRACE(mode);
        const QString folder = dir.filePath(QString::number(mode, 8));
        ASSERT_TRUE(QDir().mkpath(folder));
        ::chmod(QFile::encodeName(folder).constData(), mode);
        const QString target = dir.filePath(QString::number(mode, 8) + ".target");
        ASSERT_TRUE(WriteBytes(target, "old"));
        ASSERT_TRUE(QFile::link(target, folder + "/r.xml"));
        int err = 0;
        const bool written = WriteFileAtomically(folder + "/r.xml", "new", nullptr, &err);
        EXPECT_EQ(written, mode == 0700);
        EXPECT_EQ(err, mode == 0700 ? 0 : ELOOP);
        EXPECT_EQ(ReadBytes(target), mode == 0700 ? "new" : "old");
        EXPECT_TRUE(QFileInfo(folder + "/r.xml").isSymLink());
    }
}

TEST(WritePath, ASaveSweepsOnlyTheStaleTemporaryFilesOfItsOwnTargetAndKeepsTheMode)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("r.xml");
    WriteBytes(target, "old");
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadGroup);
    const QStringList others = {".r.xml.ABC123.tmp", ".r.xml.abc12.tmp", ".other.xml.abc123.tmp",
                                "r.xml.abc123.tmp", ".r.xml.abc123.tmp.keep"};
    for (const QString& name : others + QStringList{".r.xml.abc123.tmp", ".r.xml.zz9zz9.tmp"}) {
        WriteBytes(dir.filePath(name), "left by someone");
    }
    const mode_t umaskBefore = ::umask(077); // the old file's mode, not the umask, decides
    const bool written = WriteFileAtomically(target, "new");
    ::umask(umaskBefore);
    ASSERT_TRUE(written);
    QStringList expected = others + QStringList{"r.xml"};
    expected.sort();
    EXPECT_EQ(test::Listing(dir.path()), expected);
    EXPECT_EQ(ReadBytes(target), "new");
    struct stat st
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

} // namespace
