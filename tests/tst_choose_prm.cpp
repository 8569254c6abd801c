// "Данни за нов документ" as the user meets it: the periods around today, the remembered
// municipality, and "Избор" and "Отказ" with what they leave on disk and in the state.

#include "app/AppState.h"
#include "app/Messages.h"
#include "setup/frmChoosePrm.h"
#include "storage/Cp1251.h"
#include "storage/XmlDom.h"
#include "support/Files.h"
#include "support/ProgramFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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

// Closes whatever modal window opens over the dialog, so that the test also runs once "Избор"
// opens a real editor.
class EditorCloser final
{
public:
    EditorCloser()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->objectName() != u"frmChoosePrm") {
                // What the editor was given, before closing it clears the comparison flag.
                prevDataWhileOpen = State().bPrevData;
                ++editorsSeen;
                modal->close();
            }
        });
        m_timer.start();
    }

    bool prevDataWhileOpen = false;
    int editorsSeen = 0;

private:
    QTimer m_timer;
};

} // namespace

class ChoosePrmTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::FakePlatform> m_fake;
    std::unique_ptr<test::ProgramFolder> m_folder;

    QString report(const char* name) const { return m_folder->dataPath(QString::fromLatin1(name)); }
    QStringList openingAmounts() const
    {
        QStringList out;
        for (const XmlNode row : selectNodes(State().xmlDoc, "positions//str")) {
            out << GetAttribute(row, "col1");
        }
        return out;
    }

private slots:
    void init()
    {
        m_fake = std::make_unique<test::FakePlatform>();
        m_fake->today = QDate(2004, 3, 15);
        m_folder = std::make_unique<test::ProgramFolder>(*m_fake);
        m_folder->write("kvor.ini", kIniBefore);
        ResetState();
    }
    void cleanup()
    {
        m_folder.reset();
        m_fake.reset();
    }

    void keyboardStartsOnChoiceAndOffersOnlyTheLists()
    {
        frmChoosePrm dlg;
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(QApplication::focusWidget(), dlg.cmdOk());
        QStringList order;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        // The code is shown, never typed: it is skipped.
        QCOMPARE(order, QStringList({"cmdEsc", "cboObshtina", "cboDate", "cmdOk"}));
        QVERIFY(!dlg.cboDate()->isEditable());
        QVERIFY(!dlg.cboObshtina()->isEditable());
        QVERIFY(dlg.txtEBK()->isReadOnly());
    }

    void periodsAroundToday_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("selected");
        QTest::newRow("march 2004") << QDate(2004, 3, 15) << "01 / 2003"
                                    << "12 / 2006" << 14;
        QTest::newRow("january") << QDate(2004, 1, 1) << "01 / 2003"
                                 << "12 / 2006" << 12;
        QTest::newRow("december") << QDate(2010, 12, 31) << "01 / 2009"
                                  << "12 / 2012" << 23;
    }
    void periodsAroundToday()
    {
        QFETCH(QDate, today);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(int, selected);
        m_fake->today = today;
        frmChoosePrm dlg;
        QComboBox* periods = dlg.cboDate();
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
        QTest::newRow("none (-2)") << -2 << -1 << "" << kIniBefore;
        QTest::newRow("below -2") << -7 << -1 << "" << kIniBefore;
        QTest::newRow("just beyond the list") << 265 << -1 << "" << kIniBefore;
        QTest::newRow("far beyond") << 32767 << -1 << "" << kIniBefore;
    }
    void rememberedMunicipality()
    {
        QFETCH(int, remembered);
        QFETCH(int, selected);
        QFETCH(QString, code);
        QFETCH(QByteArray, ini);
        State().iObshtina = static_cast<short>(remembered);
        frmChoosePrm dlg;
        QCOMPARE(dlg.cboObshtina()->count(), 265);
        QCOMPARE(dlg.cboObshtina()->currentIndex(), selected);
        QCOMPARE(dlg.txtEBK()->text(), code);
        QCOMPARE(m_folder->read("kvor.ini"), ini);
        QVERIFY(m_fake->messages.isEmpty());
        QVERIFY(!m_fake->ended);
    }

    void choosingAMunicipalityRemembersIt()
    {
        State().iObshtina = -1;
        frmChoosePrm dlg;
        dlg.cboObshtina()->setCurrentIndex(2);
        QCOMPARE(dlg.txtEBK()->text(), QStringLiteral("5103"));
        QCOMPARE(State().Obshtina.NumEBK, QStringLiteral("5103"));
        QCOMPARE(State().iObshtina, short(2));
        QCOMPARE(m_folder->read("kvor.ini"), QByteArray("\"oba 2\"\r\n"));
    }

    void theRegisterIsReadOnEveryOpen()
    {
        {
            frmChoosePrm first;
            QCOMPARE(first.cboObshtina()->itemText(0), QStringLiteral("Банско"));
        }
        m_folder->write("Obshtini.xml", Register("<z:row OB_Name='Нова' OB_Num='9999'/>"));
        frmChoosePrm second;
        QCOMPARE(second.cboObshtina()->count(), 1);
        QCOMPARE(second.cboObshtina()->itemText(0), QStringLiteral("Нова"));
        QCOMPARE(second.txtEBK()->text(), QStringLiteral("9999"));
    }

    // --- "Избор" ------------------------------------------------------------------------------

    void choosingCreatesTheReportAndStaysOpen()
    {
        EditorCloser closer;
        frmChoosePrm dlg;
        dlg.show();
        QTest::mouseClick(dlg.cmdOk(), Qt::LeftButton);
        QVERIFY(m_fake->messages.isEmpty());
        QVERIFY(dlg.isVisible());
        QCOMPARE(closer.editorsSeen, 1);
        const AppState& state = State();
        QCOMPARE(state.sPeriod, QStringLiteral("03 / 2004"));
        QCOMPARE(state.Obshtina.Name, QStringLiteral("Банско"));
        QCOMPARE(state.sFileName, report("mfddd_sd_5101_2004_03.xml"));
        QCOMPARE(test::ReadBytes(state.sFileName),
                 test::ReadBytes(test::GoldenPath("opened_sample.xml")));
        QVERIFY(!closer.prevDataWhileOpen);
        QCOMPARE(state.sMsgNoPrev, msg::kMsgNoPrev);
        // The skeleton was built without captions; the editor needs them back.
        const XmlNode first = selectSingleNode(state.xmlStructure, "nomenclatures/structure//str");
        QCOMPARE(GetAttribute(first, "name"),
                 QStringLiteral("Общ размер на общинския дълг (I + II)"));
    }

    void choosingCarriesThePreviousMonth()
    {
        EditorCloser closer;
        test::WriteBytes(report("mfddd_sd_5101_2004_02.xml"),
                         "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<positions>"
                         "<structure><str col4=\" 1,00\"/><str col4=\"2,00\"/></structure>"
                         "</positions>\r\n");
        frmChoosePrm dlg;
        dlg.show();
        QTest::mouseClick(dlg.cmdOk(), Qt::LeftButton);
        QCOMPARE(closer.editorsSeen, 1);
        QVERIFY(closer.prevDataWhileOpen);
        QVERIFY(!State().bPrevData); // cleared when the editor closed
        QCOMPARE(State().sMsgNoPrev, QString());
        QCOMPARE(openingAmounts().mid(0, 3), QStringList({" 1,00", "2,00", "0"}));
        // Carried in memory only; the user's save writes them.
        QVERIFY(!test::ReadBytes(State().sFileName).contains("2,00"));
    }

    void refusals_data()
    {
        QTest::addColumn<int>("remembered");
        QTest::addColumn<QString>("file"); // written before the dialog opens
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("staysOpen");
        const auto unsafe = [](const QByteArray& code) {
            return Register("<z:row OB_Name='Опасна' OB_Num='" + code + "'/>");
        };
        const int warn = int(MsgIcon::Exclamation);
        const QString kUnsafe = QStringLiteral("Невалиден код по ЕБК на общината!");
        QTest::newRow("no municipality")
            << -1 << QString() << QByteArray() << "Изберете община!    " << warn << true;
        QTest::newRow("a name of blanks only")
            << 0 << "Obshtini.xml" << Register("<z:row OB_Name='  ' OB_Num='5101'/>")
            << "Изберете община!    " << warn << true;
        QTest::newRow("code climbing out")
            << 0 << "Obshtini.xml" << unsafe("/../../../x") << kUnsafe << warn << true;
        QTest::newRow("code with a tab")
            << 0 << "Obshtini.xml" << unsafe("51&#9;01") << kUnsafe << warn << true;
        QTest::newRow("code with a trailing blank")
            << 0 << "Obshtini.xml" << unsafe("5101 ") << kUnsafe << warn << true;
        QTest::newRow("malformed report")
            << 0 << "Data/mfddd_sd_5101_2004_03.xml" << QByteArray("<positions><structure>")
            << "XML файлът е бил променен неоторизирано!    " << int(MsgIcon::Critical) << false;
        QTest::newRow("broken structure")
            << 0 << "Structure.xml" << QByteArray("<nomenclatures><structure>")
            << "Грешка във структурния фаил!" << int(MsgIcon::None) << false;
    }
    void refusals()
    {
        QFETCH(int, remembered);
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(int, icon);
        QFETCH(bool, staysOpen);
        State().iObshtina = short(remembered);
        if (!file.isEmpty()) {
            m_folder->write(file, bytes);
        }
        frmChoosePrm dlg;
        dlg.show();
        QVERIFY(frmChoosePrm::OpenInstance() == &dlg);
        const QStringList before = test::Listing(m_folder->path());
        const QByteArray ini = m_folder->read("kvor.ini");
        QTest::mouseClick(dlg.cmdOk(), Qt::LeftButton);
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
        QVERIFY(State().xmlDoc.isEmpty());
        if (staysOpen) { // refused before anything was read for the report
            QVERIFY(State().xmlStructure.isEmpty());
        }
    }

    void loadingTheStructureWithoutTheDialogClosesNothing()
    {
        // The correction of a report loads the structure while no new-document dialog exists.
        m_folder->write("Structure.xml", "<nomenclatures/>");
        QVERIFY(!frmChoosePrm::OpenInstance());
        QVERIFY(!LoadStructure(QStringLiteral("2004")));
        QCOMPARE(m_fake->texts(), QStringList({msg::kStructureError}));
    }

    // --- "Отказ" ------------------------------------------------------------------------------

    void cancelClosesAndKeepsTheRememberedPosition()
    {
        State().iObshtina = 3;
        frmChoosePrm dlg;
        dlg.show();
        QTest::mouseClick(dlg.cmdEsc(), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(m_folder->read("kvor.ini"), QByteArray("\"oba 3\"\r\n"));
        QVERIFY(!QFileInfo::exists(m_folder->filePath("Data")));
        QVERIFY(m_fake->messages.isEmpty());
    }
};

QTEST_MAIN(ChoosePrmTest)
#include "tst_choose_prm.moc"
