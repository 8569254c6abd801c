// "Данни за нов документ" as the user meets it: the periods around today, the remembered
// municipality, and "Избор" and "Отказ" with what they leave on disk and in the state.

#include "core/Cp1251.h"
#include "core/Messages.h"
#include "core/OpenReport.h"
#include "core/Register.h"
#include "core/XmlDom.h"
#include "gui/NewReportDialog.h"
#include "support/Files.h"
#include "support/ModalWatcher.h"
#include "support/ProgramFolder.h"
#include "support/Widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace kvor;

namespace {

const QByteArray kIniBefore = "oba 0\r\n"; // unquoted: any rewrite shows

// A register file in the code page the real one uses; rows are given in UTF-8.
QByteArray Register(const QByteArray& rows)
{
    return Cp1251EncodeLossy(
        QStringLiteral("<?xml version='1.0' encoding='windows-1251'?>\r\n"
                       "<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>"
                       "<rs:data>") +
        QString::fromUtf8(rows) + QStringLiteral("</rs:data></xml>\r\n"));
}

} // namespace

class NewReportDialogTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::FakePlatform> m_fake;
    std::unique_ptr<test::ProgramFolder> m_folder;
    QString report(const char* name) const { return m_folder->dataPath(QString::fromLatin1(name)); }
    static QStringList openingAmounts(const OpenReport& opened)
    {
        QStringList out;
        for (const XmlNode row : selectNodes(*opened.document, "positions//str")) {
            out << GetAttribute(row, "col1");
        }
        return out;
    }

    // The dialog as the main window makes it: over the register of the program folder.
    static std::unique_ptr<NewReportDialog> makeDialog(std::optional<int> remembered = 0)
    {
        const Result<QList<Municipality>> municipalities = ReadRegister();
        [&] { QVERIFY(municipalities.ok()); }();
        return std::make_unique<NewReportDialog>(
            municipalities.ok() ? *municipalities : QList<Municipality>(), remembered);
    }

private slots:
    void init()
    {
        m_fake = std::make_unique<test::FakePlatform>();
        m_fake->today = QDate(2004, 3, 15);
        m_folder = std::make_unique<test::ProgramFolder>(*m_fake);
        m_folder->write("kvor.ini", kIniBefore);
    }
    void cleanup()
    {
        m_folder.reset();
        m_fake.reset();
    }

    static void period(const char* name, QDate today, const char* first, const char* last,
                       int selected)
    {
        QTest::newRow(name) << today << QString::fromLatin1(first) << QString::fromLatin1(last)
                            << selected;
    }
    void periodsAroundToday_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("selected");
        period("march 2004", QDate(2004, 3, 15), "01 / 2003", "12 / 2006", 14);
        period("january", QDate(2004, 1, 1), "01 / 2003", "12 / 2006", 12);
        period("december", QDate(2010, 12, 31), "01 / 2009", "12 / 2012", 23);
    }
    void periodsAroundToday()
    {
        QFETCH(QDate, today);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(int, selected);
        m_fake->today = today;
        const auto dialog = makeDialog();
        NewReportDialog& dlg = *dialog;
        QComboBox* periods = test::Child<QComboBox>(dlg, "periodList");
        QCOMPARE(periods->count(), 48);
        QCOMPARE(periods->itemText(0), first);
        QCOMPARE(periods->itemText(47), last);
        QCOMPARE(periods->currentIndex(), selected);
        QCOMPARE(
            periods->currentText(),
            QStringLiteral("%1 / %2").arg(today.month(), 2, 10, QChar(u'0')).arg(today.year()));
    }

    // --- the municipality ---------------------------------------------------------------------

    void rememberedMunicipality_data()
    {
        QTest::addColumn<int>("remembered");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QByteArray>("ini");
        QTest::newRow("first") << 0 << 0 << "5101" << QByteArray("\"oba 0\"\r\n");
        QTest::newRow("position 12") << 12 << 12 << "5113" << QByteArray("\"oba 12\"\r\n");
        QTest::newRow("last") << 264 << 264 << "7805" << QByteArray("\"oba 264\"\r\n");
        QTest::newRow("none (-1)") << -1 << -1 << "" << kIniBefore;
        QTest::newRow("below -2") << -7 << -1 << "" << kIniBefore;
        QTest::newRow("just beyond the list") << 265 << -1 << "" << kIniBefore;
    }
    void rememberedMunicipality()
    {
        QFETCH(int, remembered);
        QFETCH(int, selected);
        QFETCH(QString, code);
        QFETCH(QByteArray, ini);
        const auto dialog = makeDialog(remembered);
        NewReportDialog& dlg = *dialog;
        QCOMPARE(test::Child<QComboBox>(dlg, "municipalityList")->count(), 265);
        QCOMPARE(test::Child<QComboBox>(dlg, "municipalityList")->currentIndex(), selected);
        QCOMPARE(test::Child<QLineEdit>(dlg, "ebkField")->text(), code);
        QCOMPARE(m_folder->read("kvor.ini"), ini);
        QVERIFY(m_fake->messages.isEmpty());
    }

    void choosingAMunicipalityRemembersIt()
    {
        const auto dialog = makeDialog(std::nullopt);
        QSignalSpy remembered(dialog.get(), &NewReportDialog::municipalityRemembered);
        test::Child<QComboBox>(*dialog, "municipalityList")->setCurrentIndex(2);
        QCOMPARE(test::Child<QLineEdit>(*dialog, "ebkField")->text(), QStringLiteral("5103"));
        QCOMPARE(remembered.size(), 1);
        QCOMPARE(remembered[0][0].toInt(), 2);
        QCOMPARE(m_folder->read("kvor.ini"), QByteArray("\"oba 2\"\r\n"));
    }

    // --- "Избор" ------------------------------------------------------------------------------

    void choosingCreatesTheReportAndStaysOpen_data()
    {
        QTest::addColumn<QByteArray>("previous"); // the report of 02 / 2004, if any
        QTest::addColumn<QString>("openings");    // of the first three rows, joined by "|"
        QTest::newRow("no previous month") << QByteArray() << "0|0|0";
        QTest::newRow("previous month carried")
            << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<positions>"
                          "<structure><str col4=\" 1,00\"/><str col4=\"2,00\"/></structure>"
                          "</positions>\r\n")
            << " 1,00|2,00|0";
    }
    void choosingCreatesTheReportAndStaysOpen()
    {
        QFETCH(QByteArray, previous);
        QFETCH(QString, openings);
        if (!previous.isEmpty()) {
            QVERIFY(test::WriteBytes(report("mfddd_sd_5101_2004_02.xml"), previous));
        }
        test::ModalWatcher closer(QStringLiteral("frmSpravka"), [](QWidget*) { return true; });
        const auto dialog = makeDialog();
        NewReportDialog& dlg = *dialog;
        dlg.show();
        QTest::mouseClick(test::Child<QPushButton>(dlg, "chooseButton"), Qt::LeftButton);
        QVERIFY(m_fake->messages.isEmpty());
        QVERIFY(dlg.isVisible());
        QCOMPARE(closer.seen, 1);
        QVERIFY(dlg.lastOpened());
        const OpenReport& opened = *dlg.lastOpened();
        // The golden file holds the period and the name chosen.
        QCOMPARE(opened.filePath, report("mfddd_sd_5101_2004_03.xml"));
        QCOMPARE(opened.period.text(), QStringLiteral("03 / 2004"));
        // Carried in memory only: the file is the new report; the user's save writes the rest.
        QCOMPARE(test::ReadBytes(opened.filePath),
                 test::ReadBytes(test::GoldenPath("opened_sample.xml")));
        QCOMPARE(openingAmounts(opened).mid(0, 3).join(u'|'), openings);
        QCOMPARE(opened.previousMonthExists, !previous.isEmpty());
        // The skeleton was built without captions; the editor needs them.
        const XmlNode first = selectSingleNode(*opened.structure, "nomenclatures/structure//str");
        QCOMPARE(GetAttribute(first, "name"),
                 QStringLiteral("Общ размер на общинския дълг (I + II)"));
    }

    static void refusal(const char* name, int remembered, const char* file, const QByteArray& bytes,
                        const char* message, MsgIcon icon, bool staysOpen)
    {
        QTest::newRow(name) << remembered << QString::fromLatin1(file) << bytes
                            << QString::fromUtf8(message) << int(icon) << staysOpen;
    }
    void refusals_data()
    {
        QTest::addColumn<int>("remembered");
        QTest::addColumn<QString>("file"); // written before the dialog opens
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("staysOpen");
        const auto named = [](const QByteArray& name, const QByteArray& code) {
            return Register("<z:row OB_Name='" + name + "' OB_Num='" + code + "'/>");
        };
        const char* const choose = "Изберете община!    ";
        const char* const unsafe = "Невалиден код по ЕБК на общината!";
        const MsgIcon warn = MsgIcon::Exclamation;
        refusal("no municipality", -1, "", {}, choose, warn, true);
        refusal("a name of blanks only", 0, "Obshtini.xml", named("  ", "5101"), choose, warn,
                true);
        refusal("code climbing out", 0, "Obshtini.xml", named("О", "/../../../x"), unsafe, warn,
                true);
        refusal("code with a tab", 0, "Obshtini.xml", named("О", "51&#9;01"), unsafe, warn, true);
        refusal("code with a trailing blank", 0, "Obshtini.xml", named("О", "5101 "), unsafe, warn,
                true);
        refusal("malformed report", 0, "Data/mfddd_sd_5101_2004_03.xml", "<positions><structure>",
                "XML файлът е бил променен неоторизирано!    ", MsgIcon::Critical, false);
        refusal("no report in the file", 0, "Data/mfddd_sd_5101_2004_03.xml",
                "<?xml version='1.0'?><positions period='03 / 2004'/>",
                "XML файлът е бил променен неоторизирано!    ", MsgIcon::Critical, false);
        refusal("broken structure", 0, "Structure.xml", "<nomenclatures><structure>",
                "Грешка във структурния фаил!", MsgIcon::None, false);
        refusal("a total names a missing row", 0, "Structure.xml",
                "<nomenclatures><structure><str id='2'/><str id='5' sumid='3-2'/></structure>"
                "<columns><col id='1' protected='1'/></columns></nomenclatures>",
                "Грешка във структурния фаил!", MsgIcon::None, false);
    }
    void refusals()
    {
        QFETCH(int, remembered);
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(int, icon);
        QFETCH(bool, staysOpen);
        if (!file.isEmpty()) {
            m_folder->write(file, bytes);
        }
        const auto dialog = makeDialog(remembered);
        NewReportDialog& dlg = *dialog;
        dlg.show();
        const QStringList before = test::Listing(m_folder->path());
        const QByteArray ini = m_folder->read("kvor.ini");
        QTest::mouseClick(test::Child<QPushButton>(dlg, "chooseButton"), Qt::LeftButton);
        QCOMPARE(m_fake->texts(), QStringList({message}));
        QCOMPARE(int(m_fake->messages[0].icon), icon);
        if (icon == int(MsgIcon::Exclamation)) {
            QCOMPARE(m_fake->messages[0].title, QStringLiteral("KVOR - Внимание!"));
        }
        QCOMPARE(dlg.isVisible(), staysOpen);
        QCOMPARE(test::Listing(m_folder->path()), before);
        QCOMPARE(m_folder->read("kvor.ini"), ini);
        if (!file.isEmpty()) {
            QCOMPARE(m_folder->read(file), bytes);
        }
        QVERIFY(!dlg.lastOpened());
    }

    // --- "Отказ" ------------------------------------------------------------------------------

    void cancelClosesAndKeepsTheRememberedPosition()
    {
        const auto dialog = makeDialog(3);
        NewReportDialog& dlg = *dialog;
        dlg.show();
        QTest::mouseClick(test::Child<QPushButton>(dlg, "cancelButton"), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(m_folder->read("kvor.ini"), QByteArray("\"oba 3\"\r\n"));
        QVERIFY(!QFileInfo::exists(m_folder->filePath("Data")));
        QVERIFY(m_fake->messages.isEmpty());
    }
};

QTEST_MAIN(NewReportDialogTest)
#include "tst_newreport.moc"
