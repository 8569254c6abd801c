// The main window: which window each command opens, the help window and the splash.

#include "core/Messages.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"
#include "gui/SplashScreen.h"
#include "support/FakePlatform.h"
#include "support/Files.h"
#include "support/ProgramFolder.h"
#include "support/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

    HelpWindow* helpWindow(QWidget* owner)
    {
        return owner->findChild<HelpWindow*>(QStringLiteral("helpWindow"));
    }

private slots:
    void init()
    {
        m_fake = std::make_unique<test::FakePlatform>();
        m_fake->folder = m_dir.path();
        QFile::remove(m_dir.filePath(QStringLiteral("help.html")));
    }
    void cleanup() { m_fake.reset(); }

    // Menu commands, then the toolbar keys.
    void commandsOpenTheirWindowsModally_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("window");
        const char* const rows[][2] = {
            {"newReportAction", "newReportDialog"},     {"correctReportAction", "correctionDialog"},
            {"copyToMediaAction", "copyToMediaDialog"}, {"newReportButton", "newReportDialog"},
            {"correctReportButton", "correctionDialog"},   {"copyToMediaButton", "copyToMediaDialog"}};
        for (const auto& r : rows) {
            QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromLatin1(r[1]);
        }
    }
    void commandsOpenTheirWindowsModally()
    {
        QFETCH(QString, command);
        QFETCH(QString, window);
        test::ProgramFolder folder(*m_fake);
        MainWindow w;
        QString seen;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen = modal->objectName();
                modal->close();
            }
        });
        w.findChild<QAction*>(command)->trigger();
        QCOMPARE(seen, window);
    }

    // The menu command, its toolbar button and F1 all open the help.
    void helpWithoutTheFileNamesTheMissingPath()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.findChild<QAction*>(QStringLiteral("helpButton"))->trigger();
        QCOMPARE(m_fake->messages.size(), 1);
        const test::ShownMessage m = m_fake->messages[0];
        QCOMPARE(m.text, msg::kNoHelpFile + QDir::toNativeSeparators(m_dir.filePath("help.html")));
        QCOMPARE(m.title, msg::kTitleWarning);
        QCOMPARE(m.icon, MsgIcon::Exclamation);
        w.findChild<QAction*>(QStringLiteral("helpAction"))->trigger();
        QTest::keyClick(&w, Qt::Key_F1);
        QCOMPARE(m_fake->texts(), QStringList({m.text, m.text, m.text}));
        QVERIFY(!helpWindow(&w));
    }

    void helpShowsTheGuideWithItsContentsInOneWindow()
    {
        QVERIFY(test::WriteBytes(m_dir.filePath(QStringLiteral("help.html")),
                                 "<html><body><h1>Ръководство</h1><h2>Въвеждане</h2>"
                                 "<h3>Период</h3><h2>Изход</h2></body></html>"));
        MainWindow w;
        w.show();
        w.findChild<QAction*>(QStringLiteral("helpAction"))->trigger();
        w.findChild<QAction*>(QStringLiteral("helpButton"))->trigger();
        QVERIFY(m_fake->messages.isEmpty());
        QCOMPARE(w.findChildren<HelpWindow*>().size(), 1);
        HelpWindow* help = helpWindow(&w);
        QVERIFY(help->isVisible());
        auto* contents = test::Child<QTreeWidget>(*help, "helpContents");
        QCOMPARE(contents->topLevelItemCount(), 3);
        QCOMPARE(contents->topLevelItem(1)->child(0)->text(0), QStringLiteral("Период"));
        QVERIFY(help->showSection(QStringLiteral("Изход")));
        QVERIFY(!help->showSection(QStringLiteral("Няма такъв")));
    }

    // Drawn afresh at twice the size for a display scaled to 200 %: a bitmap of 32 pixels would
    // come back as it is, to be blown up and blurred.
    void toolbarPicturesAreDrawnForTheDisplaysScale()
    {
        MainWindow w;
        for (const char* key : {"newReportButton", "correctReportButton", "copyToMediaButton", "helpButton"}) {
            const QIcon icon = w.findChild<QAction*>(QString::fromLatin1(key))->icon();
            const QImage image = icon.pixmap(QSize(32, 32), 2.0).toImage();
            QCOMPARE(image.size(), QSize(64, 64));
            // Something is drawn: the picture was found among the program's resources.
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
                }
            }
            QVERIFY2(opaque > 64 * 64 / 4, key);
        }
    }

    void splashMayCloseAfterOneSecondOrAtEscape()
    {
        SplashScreen timed;
        QElapsedTimer clock;
        clock.start();
        timed.start();
        QVERIFY(!timed.readyToClose());
        QTest::keyClick(&timed, Qt::Key_A); // other keys change nothing
        QVERIFY(!timed.readyToClose());
        QTRY_VERIFY_WITH_TIMEOUT(timed.readyToClose(), 3000);
        QVERIFY(clock.elapsed() >= 900);
        QVERIFY(!test::Child<QTimer>(timed, "closeDelay")->isActive());

        SplashScreen escaped;
        escaped.start();
        QTest::keyClick(&escaped, Qt::Key_Escape);
        QVERIFY(escaped.readyToClose());
        QVERIFY(!escaped.isVisible());
        QVERIFY(!test::Child<QTimer>(escaped, "closeDelay")->isActive());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
