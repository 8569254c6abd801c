// What the desktop hands the program and shows of it: a report file opened from outside, and the
// About window.

#include "core/Messages.h"
#include "core/OpenReport.h"
#include "core/ReportDocument.h"
#include "core/ReportName.h"
#include "core/StructureFile.h"
#include "gui/AboutDialog.h"
#include "gui/MainWindow.h"
#include "gui/ReportFileArgument.h"
#include "support/Files.h"
#include "support/ModalWatcher.h"
#include "support/Opening.h"
#include "support/ReportFixture.h"
#include "support/Widgets.h"
#include "support/WindowFixture.h"

#include <kvor/Version.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <clocale>

using namespace kvor;

Q_DECLARE_METATYPE(QList<kvor::MsgAnswer>)

namespace {

constexpr int kBondsRow = 5; // grid row of the first item of the sample form

} // namespace

class DesktopTest : public test::WindowFixture
{
    Q_OBJECT

    QTemporaryDir m_elsewhere;
    QList<QUrl> m_opened;

    QString inData() const { return m_folder->dataPath("mfddd_sd_1234_2005_03.xml"); }

public slots:
    void openUrl(const QUrl& url) { m_opened << url; }

private slots:
    void initTestCase()
    {
        setLocale();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // "given": a report of 99,00 outside Data; "data": what Data holds first (nothing, the same
    // bytes, another report of 77,00), the answers to the questions, and what the editor shows
    // (empty: no editor, and Data is as it was).
    void reportFromOutside_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QList<MsgAnswer>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("shown");
        using A = MsgAnswer;
        QTest::newRow("copied in") << "none" << QList{A::Yes} << 1 << "99,00";
        QTest::newRow("not copied") << "none" << QList{A::No} << 1 << "";
        QTest::newRow("replaces") << "other" << QList{A::Yes} << 1 << "99,00";
        QTest::newRow("keeps Data's") << "other" << QList{A::No} << 1 << "77,00";
        QTest::newRow("cancelled") << "other" << QList{A::Cancel} << 1 << "";
        QTest::newRow("same bytes") << "same" << QList<A>{} << 0 << "99,00";
        QTest::newRow("the one in Data") << "itself" << QList<A>{} << 0 << "77,00";
    }
    void reportFromOutside()
    {
        QFETCH(QString, data);
        QFETCH(QList<MsgAnswer>, answers);
        QFETCH(int, questions);
        QFETCH(QString, shown);
        QString given = m_elsewhere.filePath("given.xml");
        QVERIFY(test::SaveStampedReport(given, QStringLiteral("99,00")));
        if (data == u"same") {
            QDir().mkpath(DataFolder());
            QVERIFY(test::WriteBytes(inData(), test::ReadBytes(given)));
        } else if (data == u"other" || data == u"itself") {
            QVERIFY(test::SaveStampedReport(inData(), QStringLiteral("77,00")));
        }
        if (data == u"itself") {
            given = inData();
        }
        const QByteArray givenBytes = test::ReadBytes(given);
        const QByteArray before = test::ReadBytes(inData());
        m_fake->answers = answers;

        QString seen;
        test::ModalWatcher watcher(QStringLiteral("frmSpravka"), [&](QWidget* w) {
            const auto* grid = w->findChild<QAbstractItemView*>(QStringLiteral("grdDocEnter"));
            seen = grid->model()->index(kBondsRow - 3, 1).data().toString();
            return true;
        });
        CorrectReportFile(nullptr, given);

        QCOMPARE(seen, shown);
        QCOMPARE(m_fake->messages.size(), questions);
        if (data != u"itself") {
            QCOMPARE(test::ReadBytes(given), givenBytes);
        }
        if (shown.isEmpty()) {
            QCOMPARE(test::ReadBytes(inData()), before);
        }
    }

    void aFileThatIsNoReportIsRefusedAndNothingWritten()
    {
        const QString path = m_elsewhere.filePath("other.xml");
        QVERIFY(test::WriteBytes(path, "<positions ebk=\"1234\"/>"));
        CorrectReportFile(nullptr, path);
        QCOMPARE(m_fake->texts(), QStringList{msg::kChooseValidXml});
        QVERIFY(!QFileInfo::exists(DataFolder()) || QDir(DataFolder()).isEmpty());
    }

    void aboutNamesVersionLicenceFolderAndQt()
    {
        MainWindow main;
        QAction* about = main.findChild<QAction*>(QStringLiteral("aboutAction"));
        QVERIFY(about);
        QCOMPARE(about->text(), QStringLiteral("&За програмата"));
        QVERIFY(main.findChild<QMenu*>(QStringLiteral("helpMenu"))->actions().contains(about));

        AboutDialog dialog(&main);
        auto value = [&](const char* name) { return test::Child<QLabel>(dialog, name)->text(); };
        QCOMPARE(value("lblVersion"), QString::fromLatin1(kVersion));
        QCOMPARE(value("lblLicence"), kLicenceText);
        QCOMPARE(value("lblDataFolder"), QDir::toNativeSeparators(DataFolder()));
        QCOMPARE(value("lblQtVersion"), QString::fromLatin1(qVersion()));
        for (const QWidget* w : dialog.findChildren<QWidget*>()) {
            if (qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w)) {
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
            }
        }
        test::Child<QAbstractButton>(dialog, "cmdOpenFolder")->click();
        QCOMPARE(m_opened, QList{QUrl::fromLocalFile(DataFolder())});
        QVERIFY(QFileInfo(DataFolder()).isDir());
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
