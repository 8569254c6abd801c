// Opening a saved report for correction: the chosen file only names the municipality and the
// period; the report in Data is what the editor opens.

#include "core/Messages.h"
#include "core/OpenReport.h"
#include "core/ReportDocument.h"
#include "gui/CorrectionDialog.h"
#include "support/Files.h"
#include "support/ModalWatcher.h"
#include "support/Opening.h"
#include "support/ReportFixture.h"
#include "support/Widgets.h"
#include "support/WindowFixture.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>

using namespace kvor;

namespace {

constexpr int kBondsRow = 5; // grid row of the first item of the sample form

} // namespace

class CorrectionDialogTest : public test::WindowFixture
{
    Q_OBJECT

    QTemporaryDir m_elsewhere;
    // The report the dialog opened last.
    QString m_openedPath;
    QString m_openedPeriod;

    QString canonical() const { return m_folder->dataPath("mfddd_sd_1234_2005_03.xml"); }

    // Opens `path` through the dialog; returns the opening amount the editor showed, or nothing
    // when no editor opened.
    std::optional<QString> openThrough(const QString& path)
    {
        std::optional<QString> shown;
        test::ModalWatcher watcher(QStringLiteral("frmSpravka"), [&](QWidget* w) {
            const auto* grid = w->findChild<QAbstractItemView*>(QStringLiteral("grdDocEnter"));
            shown = grid->model()->index(kBondsRow - 3, 1).data().toString();
            return true;
        });
        CorrectionDialog dlg;
        dlg.show();
        test::Child<QLineEdit>(dlg, "fileNameField")->setText(path);
        test::Child<QPushButton>(dlg, "openButton")->click();
        [&] { QVERIFY(dlg.isVisible()); }(); // the dialog stays for another report
        if (const OpenReport* opened = dlg.lastOpened()) {
            m_openedPath = opened->filePath;
            m_openedPeriod = opened->period.text();
        }
        return shown;
    }

private slots:
    void initTestCase() { setLocale(); }

    void init()
    {
        setUp();
        m_openedPath.clear();
        m_openedPeriod.clear();
    }

    void cleanup() { tearDown(); }

    void aCopyFromElsewhereOpensTheReportInDataNotTheCopy()
    {
        QVERIFY(test::SaveStampedReport(canonical(), QStringLiteral("77,00")));
        const QString copy = m_elsewhere.filePath("copy.xml");
        QVERIFY(test::SaveStampedReport(copy, QStringLiteral("99,00")));
        const QByteArray copyBytes = test::ReadBytes(copy);
        // Surrounding blanks of a typed path are dropped.
        QCOMPARE(openThrough(QStringLiteral("  ") + copy + QStringLiteral("  ")),
                 QStringLiteral("77,00"));
        QVERIFY(m_fake->messages.isEmpty());
        QCOMPARE(m_openedPath, canonical());
        QCOMPARE(m_openedPeriod, QStringLiteral("03 / 2005"));
        QCOMPARE(test::ReadBytes(copy), copyBytes);
        // The report in Data itself, read once for both its names and its figures.
        QCOMPARE(openThrough(canonical()), QStringLiteral("77,00"));
    }

    void aFileInDataThatIsNoReportIsRefusedAndLeftAlone()
    {
        const QString copy = m_elsewhere.filePath("copy.xml");
        QVERIFY(test::SaveStampedReport(copy, QStringLiteral("99,00")));
        const QByteArray notAReport = "<?xml version='1.0'?><positions period='03 / 2005'/>";
        QVERIFY(test::WriteBytes(canonical(), notAReport));
        QVERIFY(!openThrough(copy));
        QCOMPARE(m_fake->texts(), QStringList({msg::kXmlTampered}));
        QCOMPARE(test::ReadBytes(canonical()), notAReport);
    }

    void withoutAReportInDataANewEmptyOneIsCreatedThere()
    {
        const QString copy = m_elsewhere.filePath("copy.xml");
        QVERIFY(test::SaveStampedReport(copy, QStringLiteral("99,00"), QStringLiteral("11 / 2006"),
                                        QStringLiteral("5101")));
        QCOMPARE(openThrough(copy), QStringLiteral("0"));
        QVERIFY(QFileInfo::exists(m_folder->dataPath("mfddd_sd_5101_2006_11.xml")));
    }

    // The period and code rules themselves are tested with the report names.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: the box is left empty
        QTest::addColumn<QString>("message");
        auto report = [](const char* period, const char* ebk, const char* name = "Пловдив") {
            return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><positions period=\"") +
                   period + "\" ob_name=\"" + name + "\" ebk=\"" + ebk +
                   "\"><structure><str id=\"2\" col1=\"5\"/></structure></positions>";
        };
        const QString invalid = msg::kChooseValidXml;
        QTest::newRow("empty box") << QByteArray() << msg::kChooseFile;
        QTest::newRow("not XML") << QByteArray("<positions><structure>") << invalid;
        QTest::newRow("no name") << report("03 / 2005", "1234", "") << invalid;
        QTest::newRow("code climbs out") << report("03 / 2005", "../../etc") << invalid;
        QTest::newRow("code with backslash") << report("03 / 2005", "..\\x") << invalid;
        QTest::newRow("month 13") << report("13 / 2005", "1234") << invalid;
        QTest::newRow("year climbs out") << report("03 / ../a", "1234") << invalid;
    }
    void refusals()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString path = m_elsewhere.filePath("chosen.xml");
        if (!content.isEmpty()) {
            QVERIFY(test::WriteBytes(path, content));
        }
        const QStringList before = test::Listing(m_folder->path());
        const QStringList beforeElsewhere = test::Listing(m_elsewhere.path());
        const auto shown = openThrough(content.isEmpty() ? QString() : path);
        QVERIFY(!shown);
        QCOMPARE(m_fake->texts(), QStringList({message}));
        QCOMPARE(m_fake->messages[0].title, msg::kTitleWarning);
        QCOMPARE(m_fake->messages[0].icon, MsgIcon::Critical);
        QCOMPARE(test::Listing(m_folder->path()), before);
        QCOMPARE(test::Listing(m_elsewhere.path()), beforeElsewhere);
        QFile::remove(path);
    }

    void aBrokenStructureIsReportedAndTheDialogStays()
    {
        const QString copy = m_elsewhere.filePath("copy.xml");
        QVERIFY(test::SaveStampedReport(copy, QStringLiteral("99,00")));
        m_folder->write("Structure.xml", "<nomenclatures><structure>");
        QVERIFY(!openThrough(copy)); // no editor, and the dialog is still there
        QCOMPARE(m_fake->texts(), QStringList({msg::kStructureError}));
        QVERIFY(!QFileInfo::exists(canonical()));
    }

    void theFileDialogStartsInDataAndACancelKeepsTheText()
    {
        CorrectionDialog dlg;
        test::Child<QLineEdit>(dlg, "fileNameField")->setText(QStringLiteral("earlier.xml"));
        test::Child<QPushButton>(dlg, "browseButton")->click();
        QCOMPARE(m_fake->openRequests.size(), 1);
        const OpenFileRequest& r = m_fake->openRequests[0];
        QCOMPARE(r.initialDir, m_folder->filePath("Data"));
        QVERIFY(QFileInfo(m_folder->filePath("Data")).isDir());
        QCOMPARE(test::Child<QLineEdit>(dlg, "fileNameField")->text(),
                 QStringLiteral("earlier.xml"));
        m_fake->openAnswers = {QStringLiteral("/somewhere/chosen.xml")};
        test::Child<QPushButton>(dlg, "browseButton")->click();
        QCOMPARE(test::Child<QLineEdit>(dlg, "fileNameField")->text(),
                 QStringLiteral("/somewhere/chosen.xml"));
    }
};

QTEST_MAIN(CorrectionDialogTest)
#include "tst_correction.moc"
