// Start-up as the user meets it: the program run as a process on a program folder of its own.

#include "core/Messages.h"
#include "support/Files.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace kvor;

class StartupTest : public QObject
{
    Q_OBJECT

    // A program folder: a copy of the executable and, unless told otherwise, the sample files.
    struct Folder
    {
        QTemporaryDir dir;
        QString exe() const { return dir.filePath(QStringLiteral("kvor")); }
        QString log() const { return dir.filePath(QStringLiteral("messages.log")); }

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

    std::unique_ptr<QProcess> start(const Folder& f)
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("KVOR_MESSAGE_LOG"), f.log());
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(f.exe(), {});
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

    void twoStartsAtTheSameInstantLeaveOneRunning()
    {
        auto f = makeFolder();
        auto a = start(*f);
        auto b = start(*f);
        QTest::qWait(2500);
        const int running = (a->state() == QProcess::Running) + (b->state() == QProcess::Running);
        QCOMPARE(running, 1);
        QCOMPARE(f->messages(), QStringList({expectLine(kvor::msg::kSecondCopy)}));
        stop(*a);
        stop(*b);
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
