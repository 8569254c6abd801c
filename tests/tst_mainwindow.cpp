// The main window: its commands, toolbar keys, status bar and the help window.

#include "app/Messages.h"
#include "app/frmHelp.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "support/FakePlatform.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

using namespace kvor;

class MainWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<test::FakePlatform> m_fake;

    frmHelp* helpWindow(QWidget* owner)
    {
        return owner->findChild<frmHelp*>(QStringLiteral("frmHelp"));
    }

private slots:
    void init()
    {
        m_fake = std::make_unique<test::FakePlatform>();
        m_fake->folder = m_dir.path();
        QFile::remove(m_dir.filePath(QStringLiteral("help.html")));
    }
    void cleanup() { m_fake.reset(); }

    void menuBarHasTheCommandsInOrder()
    {
        frmMain w;
        QCOMPARE(w.windowTitle(), QStringLiteral("KVOR"));
        QStringList top;
        for (QAction* a : w.menuBar()->actions()) {
            top << a->text();
        }
        QCOMPARE(top, QStringList({"Документ", "Изходна информация", "Помощ", "Изход"}));
        auto items = [&](const char* menu) {
            QStringList out;
            for (QAction* a : w.findChild<QMenu*>(QString::fromLatin1(menu))->actions()) {
                out << a->objectName() + u'=' + a->text();
            }
            return out;
        };
        QCOMPARE(items("mnuRegisters"), QStringList({"mnuNewDoc=Въвеждане на документи",
                                                     "mnuDocument_Correct=Корекция на документ"}));
        QCOMPARE(items("mnuInformation"),
                 QStringList({"mnuSaveToDisc=Съхранение на файл на дискета"}));
        for (QAction* a : w.menuBar()->actions()) {
            QVERIFY(a->isEnabled());
        }
    }

    void toolbarHasFourKeyedButtonsWithTooltips()
    {
        frmMain w;
        QStringList seen;
        for (QAction* a : w.tbrMain()->actions()) {
            QVERIFY(!a->icon().isNull());
            QVERIFY(a->isEnabled());
            seen << a->objectName() + u'=' + a->toolTip();
        }
        QCOMPARE(seen, QStringList({"cmdNewDoc=Въвеждане на отчет", "cmdEditDoc=Редакция на отчет",
                                    "cmdSave=Съхраняване на отчет", "cmdHelp=Помощ"}));
    }

    void helpWithoutTheFileNamesTheMissingPath()
    {
        frmMain w;
        w.tbrMain_ButtonClick(QStringLiteral("cmdHelp"));
        QCOMPARE(m_fake->messages.size(), 1);
        const auto& m = m_fake->messages[0];
        QCOMPARE(m.text, msg::kNoHelpFile + QDir::toNativeSeparators(m_dir.filePath("help.html")));
        QCOMPARE(m.title, msg::kTitleWarning);
        QCOMPARE(m.icon, MsgIcon::Exclamation);
        // The menu item does exactly the same.
        w.findChild<QAction*>(QStringLiteral("mnuHelp"))->trigger();
        QCOMPARE(m_fake->messages.size(), 2);
        QCOMPARE(m_fake->messages[1].text, m.text);
    }

    void helpShowsTheGuideWithItsContents()
    {
        QFile f(m_dir.filePath(QStringLiteral("help.html")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<html><head><title>KVOR - Помощ</title></head><body>"
                "<h1>Ръководство</h1><h2>Въвеждане на документи</h2><p>Текст.</p>"
                "<h3>Период</h3><p>Още.</p><h2>Изход</h2><p>Край.</p></body></html>");
        f.close();
        frmMain w;
        w.show();
        w.mnuHelp_Click();
        frmHelp* help = helpWindow(&w);
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(m_fake->messages.isEmpty());
        QTreeWidget* toc = help->contents();
        QCOMPARE(toc->topLevelItemCount(), 3);
        QCOMPARE(toc->topLevelItem(1)->text(0), QStringLiteral("Въвеждане на документи"));
        QCOMPARE(toc->topLevelItem(1)->child(0)->text(0), QStringLiteral("Период"));
        QVERIFY(help->showSection(QStringLiteral("Изход")));
        QVERIFY(!help->showSection(QStringLiteral("Няма такъв")));
        // A second click raises the same window.
        w.tbrMain_ButtonClick(QStringLiteral("cmdHelp"));
        QCOMPARE(w.findChildren<frmHelp*>().size(), 1);
    }

    void unknownToolbarKeysAreIgnored()
    {
        frmMain w;
        w.tbrMain_ButtonClick(QStringLiteral("cmdhelp"));
        w.tbrMain_ButtonClick(QString());
        QVERIFY(m_fake->messages.isEmpty());
        QVERIFY(!helpWindow(&w));
    }

    void splashMayCloseAfterOneSecondOrAtEscape()
    {
        frmSplash timed;
        QElapsedTimer clock;
        clock.start();
        timed.Form_Load();
        QVERIFY(!timed.ReadyToClose());
        QTest::keyClick(&timed, Qt::Key_A); // other keys change nothing
        QVERIFY(!timed.ReadyToClose());
        QTRY_VERIFY_WITH_TIMEOUT(timed.ReadyToClose(), 3000);
        QVERIFY(clock.elapsed() >= 900);
        QVERIFY(!timed.tmrDelay()->isActive());

        frmSplash escaped;
        escaped.Form_Load();
        QTest::keyClick(&escaped, Qt::Key_Escape);
        QVERIFY(escaped.ReadyToClose());
        QVERIFY(!escaped.isVisible());
        QVERIFY(!escaped.tmrDelay()->isActive());
    }

    void statusBarShowsTextDateAndTime()
    {
        frmMain w;
        w.refreshClock();
        QVERIFY(!w.statusPanel(0)->text().isEmpty());
        QCOMPARE(w.statusPanel(1)->text(),
                 QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY(!w.statusPanel(2)->text().isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
