// Copying a saved report to another drive: the copy itself, what is refused without writing, the
// drive list with a drive that cannot be read, and the folder tree.

#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/Drives.h"
#include "core/Messages.h"
#include "core/XmlDom.h"
#include "gui/CopyToMediaDialog.h"
#include "support/Files.h"
#include "support/IndependentXml.h"
#include "support/ProgramFolder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <cerrno>

using namespace kvor;

namespace {

const QString kReportName = QStringLiteral("mfddd_sd_1234_2005_03.xml");

// A report as a person might have tidied it by hand: indented, single quotes, an escaped value.
const char* const kHandReport =
    "<?xml version='1.0' encoding='windows-1251'?>\r\n"
    "<positions version='2' period='03 / 2005' ob_name='Столична община' ebk='1234'"
    " hash='1834213_20_77'>\r\n"
    "  <structure name='Дълг'>\r\n"
    "    <str id='1' sumid='0' col1='10,00' col6=' 5,00' col8='0' col4='15,00'/>\r\n"
    "    <str id='2' sumid='1' col1='0' col6='0' col8='0' col4='0'>\r\n"
    "      <str id='3' sumid='2' col1='1 000,50' col6='0' col8='&amp;' col4='1 000,50'/>\r\n"
    "    </str>\r\n"
    "  </structure>\r\n"
    "</positions>\r\n";

QByteArray handReport()
{
    return Cp1251EncodeLossy(QString::fromUtf8(kHandReport));
}

// The same report as the program itself writes it.
QByteArray savedReport()
{
    DomDocument doc;
    doc.loadBytes(handReport());
    return doc.toBytes();
}

QString elementsOf(const QString& path)
{
    DomDocument doc;
    return doc.load(path) == kLoadOk ? NodeXml(doc.documentElement()) : doc.errorReason();
}

const QFileDevice::Permissions kReadOnlyFolder = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
const QFileDevice::Permissions kWritableFolder = kReadOnlyFolder | QFileDevice::WriteOwner;

// Drives staged by the test: real folders, any of which can be said to have no medium.
class FakeDrives final : public Drives
{
public:
    QList<DriveEntry> list() const override { return drives; }
    QString rootOf(const QString& path) const override
    {
        QString best;
        for (const DriveEntry& d : drives) {
            if ((path == d.rootPath || path.startsWith(d.rootPath + u'/')) &&
                d.rootPath.size() > best.size()) {
                best = d.rootPath;
            }
        }
        return best;
    }
    bool isReady(const QString& rootPath) const override
    {
        return !notReady.contains(rootPath) && QFileInfo(rootPath).isDir();
    }

    QList<DriveEntry> drives;
    QStringList notReady;
};

} // namespace

class CopyToMediaDialogTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::FakePlatform> m_fake;
    std::unique_ptr<test::ProgramFolder> m_program;
    std::unique_ptr<QTemporaryDir> m_stick;
    std::unique_ptr<QTemporaryDir> m_noMedium;
    FakeDrives m_drives;
    QString m_startDir;

    QString source() const { return m_program->dataPath(kReportName); }
    QString stickPath(const QString& name) const { return m_stick->filePath(name); }

    std::unique_ptr<CopyToMediaDialog> makeDialog()
    {
        auto dlg = std::make_unique<CopyToMediaDialog>(nullptr, &m_drives);
        dlg->show();
        return dlg;
    }
    static QLineEdit* fileBox(CopyToMediaDialog& dlg)
    {
        return dlg.findChild<QLineEdit*>(QStringLiteral("fileNameField"));
    }
    static QComboBox* driveList(CopyToMediaDialog& dlg)
    {
        return dlg.findChild<QComboBox*>(QStringLiteral("driveList"));
    }
    static QStringList rootsListed(CopyToMediaDialog& dlg)
    {
        QStringList out;
        for (int i = 0; i < driveList(dlg)->count(); ++i) {
            out << driveList(dlg)->itemData(i).toString();
        }
        return out;
    }
    static void chooseDrive(CopyToMediaDialog& dlg, const QString& root)
    {
        QComboBox* list = driveList(dlg);
        const int at = list->findData(root);
        QVERIFY2(at >= 0, qPrintable(root));
        list->setCurrentIndex(at);
    }
    // Chooses the stick as the target and the report in Data as the source.
    void prepareCopy(CopyToMediaDialog& dlg, const QString& sourceText)
    {
        chooseDrive(dlg, m_stick->path());
        QCOMPARE(dlg.targetFolder(), m_stick->path());
        fileBox(dlg)->setText(sourceText);
    }

private slots:
    void initTestCase() { m_startDir = QDir::currentPath(); }

    void init()
    {
        m_fake = std::make_unique<test::FakePlatform>();
        m_program = std::make_unique<test::ProgramFolder>(*m_fake, QStringList{});
        m_stick = std::make_unique<QTemporaryDir>();
        m_noMedium = std::make_unique<QTemporaryDir>();
        QVERIFY(test::WriteBytes(source(), savedReport()));
        // Listed out of order on purpose: removable drives are to come first.
        m_drives.drives = {
            {m_program->path(), QStringLiteral("Системен диск"), false},
            {m_stick->path(), QStringLiteral("STICK"), true},
            {m_noMedium->path(), QStringLiteral("Флопи"), true},
        };
        m_drives.notReady = QStringList{m_noMedium->path()};
    }

    void cleanup()
    {
        QDir::setCurrent(m_startDir);
        QFile::setPermissions(m_stick->path(), kWritableFolder);
        m_noMedium.reset();
        m_stick.reset();
        m_program.reset();
        m_fake.reset();
    }

    void copyIsTheSameDocument_data()
    {
        QTest::addColumn<QByteArray>("sourceBytes");
        QTest::addColumn<QByteArray>("oldTarget");
        QTest::addColumn<QString>("currentDir"); // below the program folder
        QTest::addColumn<QString>("typed");      // empty: the full native path
        const QByteArray older = "<?xml version=\"1.0\"?><positions hash=\"old\"/>";
        const auto copy = [](const char* name, const QByteArray& source, const QByteArray& old,
                             const char* dir, const QString& typed) {
            QTest::newRow(name) << source << old << QString::fromLatin1(dir) << typed;
        };
        copy("saved report, full path", savedReport(), {}, ".", {});
        copy("tidied by hand, bare name in the current folder", handReport(), {}, "Data",
             kReportName);
        copy("relative path over an older copy", savedReport(), older, ".", "Data/" + kReportName);
        copy("over a broken copy", savedReport(), "<positions", ".", {});
    }
    void copyIsTheSameDocument()
    {
        QFETCH(QByteArray, sourceBytes);
        QFETCH(QByteArray, oldTarget);
        QFETCH(QString, currentDir);
        QFETCH(QString, typed);
        QVERIFY(test::WriteBytes(source(), sourceBytes));
        if (!oldTarget.isEmpty()) {
            QVERIFY(test::WriteBytes(stickPath(kReportName), oldTarget));
        }
        QVERIFY(QDir::setCurrent(QDir(m_program->path()).filePath(currentDir)));
        auto dlg = makeDialog();
        prepareCopy(*dlg, typed.isEmpty() ? QDir::toNativeSeparators(source()) : typed);
        dlg->findChild<QPushButton*>(QStringLiteral("copyButton"))->click();

        QVERIFY2(m_fake->messages.isEmpty(), qPrintable(m_fake->texts().join(u'\n')));
        QCOMPARE(test::Listing(m_stick->path()), QStringList{kReportName});
        const QString copy = stickPath(kReportName);
        // Elements and attributes, the hash among them.
        QCOMPARE(elementsOf(copy), elementsOf(source()));
        QVERIFY(elementsOf(copy).contains(QStringLiteral(" hash=\"1834213_20_77\">")));
        // Still a Windows-1251 file for whoever receives it.
        const QByteArray bytes = test::ReadBytes(copy);
        const std::string problem = test::IndependentXmlProblem(bytes);
        QVERIFY2(problem.empty(), problem.c_str());
        QVERIFY(bytes.contains(Cp1251EncodeLossy(u"Столична община")));
        // The source is read, never rewritten.
        QCOMPARE(test::ReadBytes(source()), sourceBytes);
        QCOMPARE(m_fake->busyDepth, 0);
        QVERIFY(dlg->isVisible());
    }

    void refusedWithoutWriting_data()
    {
        QTest::addColumn<QByteArray>("sourceBytes"); // null: the saved report stays
        QTest::addColumn<QString>("typed");          // a name in Data; empty: the box is empty
        QTest::addColumn<bool>("oldCopy");
        QTest::addColumn<QString>("readOnly"); // "folder", "file" or nothing on the stick
        QTest::addColumn<QString>("message");  // %3: the parser's reason for the source
        QByteArray broken = savedReport();
        broken.chop(QByteArray("</positions>\r\n").size());
        QByteArray undefinedByte = savedReport();
        undefinedByte.replace("col8=\"&amp;\"", "col8=\"\x98\"");
        const QByteArray utf8 =
            QString::fromUtf8(kHandReport)
                .replace(QStringLiteral("windows-1251"), QStringLiteral("UTF-8"))
                .toUtf8();
        const QString notValid = msg::kChooseValidXml + QStringLiteral("\r\n%3");
        const auto refuse = [](const char* name, const QByteArray& source, const QString& typed,
                               bool oldCopy, const char* readOnly, const QString& message) {
            QTest::newRow(name) << source << typed << oldCopy << QString::fromLatin1(readOnly)
                                << message;
        };
        // %2: the target's path.
        const QString denied = msg::kWriteDenied + QStringLiteral("%2");
        refuse("empty file box", {}, {}, false, "", msg::kChooseFileToSave);
        refuse("source not well-formed", broken, kReportName, false, "", notValid);
        refuse("source empty", "", kReportName, false, "", notValid);
        refuse("broken source keeps the old copy", broken, kReportName, true, "", notValid);
        refuse("source with a byte Windows-1251 lacks", undefinedByte, kReportName, false, "",
               notValid);
        refuse("source not in Windows-1251", utf8, kReportName, false, "", notValid);
        refuse("source missing", {}, "mfddd_sd_1234_2005_04.xml", false, "",
               "Файлът не е намерен: %1");
        refuse("target folder read-only", {}, kReportName, false, "folder", denied);
        refuse("target file read-only", {}, kReportName, true, "file", denied);
    }
    void refusedWithoutWriting()
    {
        QFETCH(QByteArray, sourceBytes);
        QFETCH(QString, typed);
        QFETCH(bool, oldCopy);
        QFETCH(QString, readOnly);
        QFETCH(QString, message);
        if (!sourceBytes.isNull()) {
            QVERIFY(test::WriteBytes(source(), sourceBytes));
        }
        const QString path = typed.isEmpty() ? QString() : m_program->dataPath(typed);
        if (oldCopy) {
            QVERIFY(test::WriteBytes(stickPath(kReportName), handReport()));
        }
        if (readOnly == u"folder") {
            QVERIFY(QFile::setPermissions(m_stick->path(), kReadOnlyFolder));
        } else if (readOnly == u"file") {
            QVERIFY(QFile::setPermissions(stickPath(kReportName), QFileDevice::ReadOwner));
        }
        if (message.contains(QStringLiteral("%3"))) {
            DomDocument probe;
            QVERIFY(probe.loadWindows1251(path) != kLoadOk);
            message.replace(QStringLiteral("%3"), probe.errorReason());
        }
        message.replace(QStringLiteral("%1"), path);
        message.replace(QStringLiteral("%2"), QDir::toNativeSeparators(stickPath(kReportName)));
        const QStringList before = test::Listing(m_stick->path());
        const QByteArray oldBytes = test::ReadBytes(stickPath(kReportName));

        auto dlg = makeDialog();
        prepareCopy(*dlg, path);
        dlg->findChild<QPushButton*>(QStringLiteral("copyButton"))->click();

        QCOMPARE(m_fake->texts(), QStringList{message});
        QCOMPARE(m_fake->messages[0].title, msg::kTitleWarning);
        QCOMPARE(m_fake->messages[0].icon, MsgIcon::Critical);
        QCOMPARE(test::Listing(m_stick->path()), before);
        QCOMPARE(test::ReadBytes(stickPath(kReportName)), oldBytes);
        QCOMPARE(m_fake->busyDepth, 0);
        QVERIFY(dlg->isVisible());
    }

    void driveWithoutMediumReturnsToTheStartingDrive()
    {
        auto dlg = makeDialog();
        // Starts in the program folder, on its drive; removable drives head the list.
        QCOMPARE(dlg->initialFolder(), m_program->path());
        QCOMPARE(driveList(*dlg)->currentData().toString(), m_program->path());
        QCOMPARE(rootsListed(*dlg).last(), m_program->path());

        chooseDrive(*dlg, m_noMedium->path());
        QCOMPARE(m_fake->texts(), QStringList{msg::kDriveNotReady});
        QCOMPARE(m_fake->messages[0].title, msg::kTitleError);
        QCOMPARE(m_fake->messages[0].icon, MsgIcon::Critical);
        QCOMPARE(driveList(*dlg)->currentData().toString(), m_program->path());
        QCOMPARE(dlg->targetFolder(), dlg->initialFolder());

        // A drive that can be read shows its root; going back finds the starting folder again.
        chooseDrive(*dlg, m_stick->path());
        QCOMPARE(dlg->targetFolder(), m_stick->path());
        chooseDrive(*dlg, m_program->path());
        QCOMPARE(dlg->targetFolder(), dlg->initialFolder());
        QCOMPARE(m_fake->messages.size(), 1);

        // With the starting drive gone as well there is nowhere to go back to: one message, and
        // the dialog does not go round in circles.
        m_drives.notReady << m_program->path();
        chooseDrive(*dlg, m_noMedium->path());
        QCOMPARE(m_fake->texts(), QStringList({msg::kDriveNotReady, msg::kDriveNotReady}));
    }

    void driveListIsReadAgainWhenOpened()
    {
        auto dlg = makeDialog();
        chooseDrive(*dlg, m_stick->path());
        QTemporaryDir later;
        m_drives.drives.append({later.path(), QStringLiteral("LATER"), true});
        // The stick is pulled out while chosen.
        m_drives.drives.removeAt(1);
        driveList(*dlg)->showPopup();
        driveList(*dlg)->hidePopup();
        QVERIFY(rootsListed(*dlg).contains(later.path()));
        QVERIFY(!rootsListed(*dlg).contains(m_stick->path()));
        QCOMPARE(driveList(*dlg)->currentData().toString(), m_program->path());
        QCOMPARE(dlg->targetFolder(), dlg->initialFolder());
        QVERIFY(m_fake->messages.isEmpty());
    }

    void theCopyGoesIntoTheFolderChosenInTheTree()
    {
        QVERIFY(QDir(m_stick->path()).mkpath(QStringLiteral("Отчети/2005")));
        QVERIFY(test::WriteBytes(stickPath(QStringLiteral("note.xml")), "<a/>"));
        auto dlg = makeDialog();
        chooseDrive(*dlg, m_stick->path());
        // The drive's root is the one top item, and it is open.
        auto* tree = dlg->findChild<QTreeView*>(QStringLiteral("folderTree"));
        QCOMPARE(tree->model()->rowCount(tree->rootIndex()), 1);
        QVERIFY(tree->isExpanded(tree->model()->index(0, 0, tree->rootIndex())));
        // Only folders of the shown drive can be chosen.
        const QString inner = stickPath(QStringLiteral("Отчети/2005"));
        QVERIFY(dlg->setTargetFolder(inner));
        QVERIFY(!dlg->setTargetFolder(m_program->path()));
        QVERIFY(!dlg->setTargetFolder(stickPath(QStringLiteral("note.xml"))));
        QCOMPARE(dlg->targetFolder(), inner);
        fileBox(*dlg)->setText(source());
        dlg->findChild<QPushButton*>(QStringLiteral("copyButton"))->click();
        QVERIFY(m_fake->messages.isEmpty());
        QCOMPARE(test::Listing(m_stick->path()),
                 QStringList({"note.xml", "Отчети", "Отчети/2005", "Отчети/2005/" + kReportName}));
    }
};

QTEST_MAIN(CopyToMediaDialogTest)
#include "tst_copytomedia.moc"
