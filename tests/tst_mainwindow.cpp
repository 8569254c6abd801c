// The main window: which window each command opens, the help window, the splash and the status
// bar.

#include "app/Messages.h"
#include "app/frmHelp.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "setup/frmChoosePrm.h"
#include "support/FakePlatform.h"
#include "support/ProgramFolder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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

    void commandsOpenTheirWindowsModally_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("window");
        QTest::newRow("menu: new document") << "mnuNewDoc"
                                            << "frmChoosePrm";
        QTest::newRow("menu: correction") << "mnuDocument_Correct"
                                          << "frmChooseFile";
        QTest::newRow("menu: copy to disc") << "mnuSaveToDisc"
                                            << "frmSaveXMLAs";
        QTest::newRow("toolbar: new document") << "cmdNewDoc"
                                               << "frmChoosePrm";
        QTest::newRow("toolbar: correction") << "cmdEditDoc"
                                             << "frmChooseFile";
        QTest::newRow("toolbar: copy to disc") << "cmdSave"
                                               << "frmSaveXMLAs";
    }
    void commandsOpenTheirWindowsModally()
    {
        QFETCH(QString, command);
        QFETCH(QString, window);
        test::ProgramFolder folder(*m_fake);
        frmMain w;
        QString seen;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen = modal->objectName();
                modal->close();
            }
        });
        w.findChild<QAction*>(command)->trigger();
        QCOMPARE(seen, window);
        QVERIFY(!frmChoosePrm::OpenInstance()); // no dangling pointer to a closed dialog
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
        w.findChild<QAction*>(QStringLiteral("mnuHelp"))->trigger();
        QCOMPARE(m_fake->texts(), QStringList({m.text, m.text}));
        // Keys are matched exactly; others do nothing.
        w.tbrMain_ButtonClick(QStringLiteral("cmdhelp"));
        w.tbrMain_ButtonClick(QString());
        QCOMPARE(m_fake->messages.size(), 2);
        QVERIFY(!helpWindow(&w));
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

    void statusBarShowsTodaysDate()
    {
        frmMain w;
        QCOMPARE(w.statusPanel(1)->text(),
                 QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY(!w.statusPanel(2)->text().isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
