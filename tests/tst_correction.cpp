// Opening a saved report for correction: the chosen file only names the municipality and the
// period; the report in Data is what the editor opens.

#include "core/AppState.h"
#include "core/Messages.h"
#include "core/ReportDocument.h"
#include "core/StructureFile.h"
#include "gui/CorrectionDialog.h"
#include "support/Files.h"
#include "support/ModalWatcher.h"
#include "support/ReportFixture.h"
#include "support/Widgets.h"

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

class ChooseFileTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::FakePlatform> m_fake;
    std::unique_ptr<test::ProgramFolder> m_folder;
    QTemporaryDir m_elsewhere;
    std::unique_ptr<AppState> m_state;

    QString canonical() const { return m_folder->dataPath("mfddd_sd_1234_2005_03.xml"); }

    // A report saved by the program, with `opening` as the first item's opening amount.
    void saveReport(const QString& path, const QString& opening,
                    const QString& period = QStringLiteral("03 / 2005"),
                    const QString& ebk = QStringLiteral("1234"))
    {
        AppState s;
        QVERIFY(ReadStructure(s.xmlStructure));
        s.sPeriod = period;
        s.Obshtina = {QStringLiteral("Пловдив"), ebk};
        QDir().mkpath(QFileInfo(path).absolutePath());
        QVERIFY(OpenDocument(s, path));
        SetAttribute(test::DocRow(s.xmlDoc, kBondsRow - 3), "col1", opening);
        QVERIFY(s.xmlDoc.save(path));
    }

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
        CorrectionDialog dlg(nullptr, *m_state);
        dlg.show();
        test::Child<QLineEdit>(dlg, "txtFileName")->setText(path);
        test::Child<QPushButton>(dlg, "cmdOpen")->click();
        [&] { QVERIFY(dlg.isVisible()); }(); // the dialog stays for another report
        return shown;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        std::setlocale(LC_NUMERIC, "C");
    }

    void init()
    {
        m_fake = std::make_unique<test::FakePlatform>();
        m_folder = std::make_unique<test::ProgramFolder>(*m_fake);
        m_state = std::make_unique<AppState>();
    }

    void cleanup()
    {
        m_folder.reset();
        m_fake.reset();
    }

    void aCopyFromElsewhereOpensTheReportInDataNotTheCopy()
    {
        saveReport(canonical(), QStringLiteral("77,00"));
        const QString copy = m_elsewhere.filePath("copy.xml");
        saveReport(copy, QStringLiteral("99,00"));
        const QByteArray copyBytes = test::ReadBytes(copy);
        // Surrounding blanks of a typed path are dropped.
        QCOMPARE(openThrough(QStringLiteral("  ") + copy + QStringLiteral("  ")),
                 QStringLiteral("77,00"));
        QVERIFY(m_fake->messages.isEmpty());
        QCOMPARE(m_state->sFileName, canonical());
        QCOMPARE(m_state->sPeriod, QStringLiteral("03 / 2005"));
        QCOMPARE(test::ReadBytes(copy), copyBytes);
    }

    void withoutAReportInDataANewEmptyOneIsCreatedThere()
    {
        const QString copy = m_elsewhere.filePath("copy.xml");
        saveReport(copy, QStringLiteral("99,00"), QStringLiteral("11 / 2006"),
                   QStringLiteral("5101"));
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
        saveReport(copy, QStringLiteral("99,00"));
        m_folder->write("Structure.xml", "<nomenclatures><structure>");
        QVERIFY(!openThrough(copy)); // no editor, and the dialog is still there
        QCOMPARE(m_fake->texts(), QStringList({msg::kStructureError}));
        QVERIFY(!QFileInfo::exists(canonical()));
    }

    void theFileDialogStartsInDataAndACancelKeepsTheText()
    {
        CorrectionDialog dlg(nullptr, *m_state);
        test::Child<QLineEdit>(dlg, "txtFileName")->setText(QStringLiteral("earlier.xml"));
        test::Child<QPushButton>(dlg, "cmdChooseFile")->click();
        QCOMPARE(m_fake->openRequests.size(), 1);
        const OpenFileRequest& r = m_fake->openRequests[0];
        QCOMPARE(r.initialDir, m_folder->filePath("Data"));
        QCOMPARE(r.title, QStringLiteral("Избор на файл"));
        QCOMPARE(r.filter, QStringLiteral("Xml files (*.xml)|*.xml|All files|*.*"));
        QVERIFY(r.fileMustExist);
        QVERIFY(r.hideReadOnly);
        QVERIFY(QFileInfo(m_folder->filePath("Data")).isDir());
        QCOMPARE(test::Child<QLineEdit>(dlg, "txtFileName")->text(), QStringLiteral("earlier.xml"));
        m_fake->openAnswers = {QStringLiteral("/somewhere/chosen.xml")};
        test::Child<QPushButton>(dlg, "cmdChooseFile")->click();
        QCOMPARE(test::Child<QLineEdit>(dlg, "txtFileName")->text(),
                 QStringLiteral("/somewhere/chosen.xml"));
    }

    void periodTexts_data()
    {
        QTest::addColumn<QString>("period");
        QTest::addColumn<bool>("valid");
        QTest::newRow("january") << "01 / 2004" << true;
        QTest::newRow("december") << "12 / 2099" << true;
        for (const char* bad :
             {"13 / 2004", "00 / 2004", "3 / 2004", "03/2004", "01 / 2004 ", "01 - 2004",
              "03 / ../a", "03 / 20041", "03 / 2004\n", "03 / 2004\r\n", ""}) {
            QTest::newRow(bad) << QString::fromLatin1(bad) << false;
        }
    }
    void periodTexts()
    {
        QFETCH(QString, period);
        QFETCH(bool, valid);
        QCOMPARE(IsValidPeriodText(period), valid);
    }
};

QTEST_MAIN(ChooseFileTest)
#include "tst_correction.moc"
