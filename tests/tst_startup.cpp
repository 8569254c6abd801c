// Start-up as the user meets it: the program run as a process on a program folder of its own.

#include "core/Messages.h"
#include "support/Files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace kvor;

class StartupTest : public QObject
{
    Q_OBJECT

    // A program folder: a copy of the executable and, unless told otherwise, the sample files;
    // and a home of the user who runs it, where the messages are written too.
    struct Folder
    {
        QTemporaryDir dir;
        QTemporaryDir home;
        QString exe() const { return dir.filePath(QStringLiteral("kvor")); }
        QString log() const { return home.filePath(QStringLiteral("messages.log")); }
        QString userData() const { return home.filePath(QStringLiteral("data/KVOR")); }

        QStringList messages() const
        {
            QFile f(log());
            if (!f.open(QIODevice::ReadOnly)) {
                return {};
            }
            return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        }
        void writeIni(const QByteArray& bytes) const
        {
            QVERIFY(test::WriteBytes(dir.filePath(QStringLiteral("kvor.ini")), bytes));
        }
    };

    std::unique_ptr<Folder> makeFolder(bool withIni = true)
    {
        auto f = std::make_unique<Folder>();
        [&] {
            QVERIFY(f->dir.isValid());
            QVERIFY(QFile::copy(QStringLiteral(KVOR_EXECUTABLE), f->exe()));
            QFile::setPermissions(f->exe(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            const QString sample = QStringLiteral(KVOR_SAMPLE_DIR);
            for (const char* name : {"Obshtini.xml", "Structure.xml", "help.html"}) {
                QVERIFY(QFile::copy(sample + u'/' + QLatin1String(name),
                                    f->dir.filePath(QLatin1String(name))));
            }
            if (withIni) {
                f->writeIni("\"oba 0\"\r\n");
            }
        }();
        return f;
    }

    // Mounts the program folder read-only in a mount namespace of its own and runs the program
    // there: a read-only file system, which refuses root as well.
    static QStringList readOnlyRun(const QString& folder, const QString& command)
    {
        return {QStringLiteral("-rm"),
                QStringLiteral("sh"),
                QStringLiteral("-c"),
                QStringLiteral("mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\" && "
                               "exec \"$2\""),
                QStringLiteral("sh"),
                folder,
                command};
    }

    static bool canMountReadOnly()
    {
        QTemporaryDir dir;
        QProcess p;
        p.start(QStringLiteral("unshare"), readOnlyRun(dir.path(), QStringLiteral("true")));
        return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    }

    // The program run by the user whose home is f's, or by another whose home is `home`.
    std::unique_ptr<QProcess> start(const Folder& f, bool readOnly = false,
                                    const QString& home = {},
                                    const std::function<void()>& inChild = {})
    {
        const QString userHome = home.isEmpty() ? f.home.path() : home;
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("KVOR_MESSAGE_LOG"), f.log());
        env.insert(QStringLiteral("HOME"), userHome);
        env.insert(QStringLiteral("XDG_DATA_HOME"), userHome + QStringLiteral("/data"));
        env.insert(QStringLiteral("TMPDIR"), userHome);
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (inChild) {
            p->setChildProcessModifier(inChild);
        }
        if (readOnly) {
            p->start(QStringLiteral("unshare"), readOnlyRun(f.dir.path(), f.exe()));
        } else {
            p->start(f.exe(), {});
        }
        [&] { QVERIFY(p->waitForStarted(10000)); }();
        return p;
    }

    // Long enough for the splash second to pass and the main window to be up.
    static bool stillRunningAfterStartUp(QProcess& p)
    {
        return !p.waitForFinished(2500) && p.state() == QProcess::Running;
    }

    static void stop(QProcess& p)
    {
        p.terminate();
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished(5000);
        }
    }

    static QString expectLine(const QString& text)
    {
        return kvor::msg::kTitleWarning + u'\t' + QString::number(1) + u'\t' + text;
    }

private slots:
    void endsWithAMessageWhenKvorIniIsMissing()
    {
        auto f = makeFolder(false);
        auto p = start(*f);
        QVERIFY(p->waitForFinished(10000));
        QVERIFY(p->exitCode() != 0);
        QCOMPARE(f->messages(), QStringList({expectLine(kvor::msg::kNoIniFile)}));
    }

    void aSecondCopyIsRefusedAndTheFirstKeepsRunning()
    {
        auto f = makeFolder();
        auto first = start(*f);
        QVERIFY(stillRunningAfterStartUp(*first));
        auto second = start(*f);
        QVERIFY(second->waitForFinished(10000));
        QVERIFY(second->exitCode() != 0);
        QCOMPARE(f->messages(), QStringList({expectLine(kvor::msg::kSecondCopy)}));
        QCOMPARE(first->state(), QProcess::Running);
        stop(*first);
    }

    // The copy on the other folder also has key values that are no numbers: it starts normally.
    void startsNormallyAndACopyOnAnotherFolderMayRun()
    {
        auto a = makeFolder();
        auto b = makeFolder();
        b->writeIni("\"oba\"\r\nobama\r\n\"oba 99999\"\r\n");
        auto first = start(*a);
        auto second = start(*b);
        QVERIFY(stillRunningAfterStartUp(*first));
        QVERIFY(stillRunningAfterStartUp(*second));
        QVERIFY(a->messages().isEmpty() && b->messages().isEmpty());
        stop(*first);
        stop(*second);
    }

    void aLockLeftByACrashedCopyDoesNotBlock()
    {
        auto f = makeFolder();
        auto first = start(*f);
        QVERIFY(stillRunningAfterStartUp(*first));
        ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
        QVERIFY(first->waitForFinished(5000));
        auto second = start(*f);
        QVERIFY(stillRunningAfterStartUp(*second));
        QVERIFY(f->messages().isEmpty());
        stop(*second);
    }

    // Two users of one shared program folder share its Data, whatever their temporary folders.
    void aSecondUserOfAWritableFolderIsRefused()
    {
        auto f = makeFolder();
        QTemporaryDir otherHome;
        auto first = start(*f);
        QVERIFY(stillRunningAfterStartUp(*first));
        auto second = start(*f, false, otherHome.path());
        QVERIFY(second->waitForFinished(10000));
        QVERIFY(second->exitCode() != 0);
        QCOMPARE(f->messages(), QStringList({expectLine(kvor::msg::kSecondCopy)}));
        QVERIFY(!QFileInfo::exists(f->userData()));
        stop(*first);
    }

    // A read-only program folder: kvor.ini is made in the user's data folder from the one
    // given, the lock lives there, and another user with a data folder of their own may run.
    void aReadOnlyFolderKeepsTheUsersFilesInTheirDataFolder()
    {
        if (!canMountReadOnly()) {
            QSKIP("no read-only mount possible here (unshare -rm refused)");
        }
        auto f = makeFolder();
        f->writeIni("\"oba 3\"\r\n");
        auto first = start(*f, true);
        QVERIFY(stillRunningAfterStartUp(*first));
        QVERIFY(f->messages().isEmpty());
        QCOMPARE(test::ReadBytes(f->userData() + QStringLiteral("/kvor.ini")),
                 QByteArray("\"oba 3\"\r\n"));
        QVERIFY(QFileInfo::exists(f->userData() + QStringLiteral("/.kvor.lock")));

        auto again = start(*f, true);
        QVERIFY(again->waitForFinished(10000));
        QVERIFY(again->exitCode() != 0);
        QCOMPARE(f->messages(), QStringList({expectLine(kvor::msg::kSecondCopy)}));

        QTemporaryDir otherHome;
        auto other = start(*f, true, otherHome.path());
        QVERIFY(stillRunningAfterStartUp(*other));
        QVERIFY(QFileInfo::exists(otherHome.filePath(QStringLiteral("data/KVOR/kvor.ini"))));
        stop(*first);
        stop(*other);
    }

    // Neither the program folder nor the user's data folder may be written: what is missing is
    // named, and no other copy is blamed.
    void aUserFolderThatCannotBeMadeIsNoSecondCopy()
    {
        if (!canMountReadOnly()) {
            QSKIP("no read-only mount possible here (unshare -rm refused)");
        }
        auto f = makeFolder();
        auto p = start(*f, true, f->dir.path());
        QVERIFY(p->waitForFinished(10000));
        QVERIFY(p->exitCode() != 0);
        QCOMPARE(f->messages(), QStringList({expectLine(kvor::msg::kNoIniFile)}));
    }

    void severalStartsAtTheSameInstantLeaveOneRunning()
    {
        constexpr int kStarts = 5;
        auto f = makeFolder();
        std::vector<std::unique_ptr<QProcess>> copies;
        for (int i = 0; i < kStarts; ++i) {
            copies.push_back(start(*f));
        }
        QTest::qWait(2500);
        const auto running = std::count_if(copies.begin(), copies.end(), [](const auto& p) {
            return p->state() == QProcess::Running;
        });
        QCOMPARE(running, 1);
        QCOMPARE(f->messages(), QStringList(kStarts - 1, expectLine(kvor::msg::kSecondCopy)));
        for (auto& p : copies) {
            stop(*p);
        }
    }

    // A lock the program cannot know to be stale: the user is asked, with the machine and the
    // time shown (the message log answers "Да"), and the program goes on.
    void aLockThatMayBeStaleIsOffered_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("shown");
        QTest::newRow("anotherMachinesOld")
            << false << QStringLiteral("„elsewhere“ (заключени на ");
        QTest::newRow("aFolder") << true << QStringLiteral("/.kvor.lock има папка");
    }
    void aLockThatMayBeStaleIsOffered()
    {
        QFETCH(bool, folder);
        QFETCH(QString, shown);
        auto f = makeFolder();
        const QString lock = f->dir.filePath(QStringLiteral(".kvor.lock"));
        if (folder) {
            QVERIFY(QDir().mkpath(lock));
        } else {
            QVERIFY(test::WriteBytes(lock, "42\nkvor\nelsewhere\n"));
            QFile file(lock);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                     QFileDevice::FileModificationTime));
        }
        auto p = start(*f);
        QVERIFY(stillRunningAfterStartUp(*p));
        const QStringList told = f->messages();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].startsWith(kvor::msg::kTitleWarning + QStringLiteral("\t2\t")) &&
                     told[0].contains(shown),
                 qPrintable(told[0]));
        QVERIFY(QFileInfo(lock).isFile());
        stop(*p);
    }

    // Some sites limit the size of a user's files at login. The program ignores the signal such a
    // limit sends itself, so that a write beyond it fails as on a full disk: here the lock's
    // record cannot be written, and the program runs on.
    void aFileSizeLimitEndsNothing()
    {
        auto f = makeFolder();
        auto p = start(*f, false, {}, [] {
            ::signal(SIGXFSZ, SIG_DFL);
            const rlimit none{0, 0};
            ::setrlimit(RLIMIT_FSIZE, &none);
        });
        QVERIFY(stillRunningAfterStartUp(*p));
        QVERIFY(f->messages().isEmpty());
        QVERIFY(QFileInfo::exists(f->dir.filePath(QStringLiteral(".kvor.lock"))));
        stop(*p);
        QVERIFY(test::Listing(f->dir.path()).filter(QStringLiteral(".tmp")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
