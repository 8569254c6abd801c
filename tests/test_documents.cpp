// Report documents: the skeleton of a new report, opening with the stamps, storing the grid with
// the hash, what the user is told when a file cannot be read or written, and kvor-verify, which
// checks a saved report on the receiver's side.

#include "core/GridText.h"
#include "core/Messages.h"
#include "core/ReportDocument.h"
#include "core/StructureFile.h"
#include "core/VerifyReport.h"
#include "core/XmlDom.h"
#include "support/Files.h"
#include "support/Opening.h"
#include "support/ProgramFolder.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace kvor;
using test::GoldenPath;
using test::ReadBytes;
using test::WriteBytes;

namespace {

constexpr int kSampleRows = 27; // rows of the sample Structure.xml

class Documents : public ::testing::Test
{
protected:
    void SetUp() override
    {
        state.structure = test::StructureAndTell();
        ASSERT_FALSE(state.structure->isEmpty());
        QDir().mkpath(folder.filePath("Data"));
        state.period = Period(3, 2004);
        state.municipality.name = QStringLiteral("Банско");
        state.municipality.ebk = QStringLiteral("5101");
    }
    void TearDown() override
    {
        // Let QTemporaryDir remove what a test protected.
        QFile::setPermissions(folder.filePath("Data"), QFileDevice::ReadOwner |
                                                           QFileDevice::WriteOwner |
                                                           QFileDevice::ExeOwner);
    }

    QString report() const { return folder.dataPath("mfddd_sd_5101_2004_03.xml"); }
    void protectData() const
    {
        QFile::setPermissions(folder.filePath("Data"),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    std::vector<XmlNode> documentRows() const
    {
        return selectNodes((*state.document), QStringLiteral("positions//str"));
    }
    // A grid with every amount cell "0", as the editor shows a new report.
    static TextTable zeroGrid(int dataRows = kSampleRows)
    {
        TextTable grid(kFirstDataRow + dataRows, 7);
        for (int r = kFirstDataRow; r < grid.Rows(); ++r) {
            for (const StoredAmount& a : kStoredAmounts) {
                grid.setTextMatrix(r, a.gridCol, QStringLiteral("0"));
            }
        }
        return grid;
    }

    test::FakePlatform fake;
    OpenReport state = test::EmptyReport();
    test::ProgramFolder folder{fake};
};

// --- the skeleton and opening ------------------------------------------------------------------

TEST_F(Documents, SkeletonAndOpenedNewReportAreTheGoldenFiles)
{
    const std::pair<const char*, std::function<QString()>> cases[] = {
        {"skeleton_sample.xml",
         [this] {
             const QString path = folder.dataPath("skeleton_sample.xml");
             test::CreateAndTell((*state.structure), path);
             return path;
         }},
        {"opened_sample.xml", [this] {
             EXPECT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
             return state.filePath;
         }}};
    for (const auto& [golden, make] : cases) {
        SCOPED_TRACE(golden);
        const QString path = make();
        const QByteArray expected = ReadBytes(GoldenPath(golden));
        const QByteArray written = ReadBytes(path);
        EXPECT_EQ(written.size(), expected.size());
        EXPECT_EQ(written, expected);
    }
    EXPECT_TRUE(fake.messages.isEmpty());
}

struct VersionCase
{
    const char* name;
    const char* inStructureFile; // as written in the attribute of Structure.xml
    const char* value;           // what a reader of the new report must see
};

class SkeletonVersions : public Documents, public ::testing::WithParamInterface<VersionCase>
{
};

TEST_P(SkeletonVersions, SurviveIntoAReadableReport)
{
    const QByteArray structure = "<nomenclatures version=\"" +
                                 QByteArray(GetParam().inStructureFile) +
                                 "\"><structure><str id=\"1\"/></structure><columns/>"
                                 "</nomenclatures>";
    folder.write("Structure.xml", structure);
    state.structure = test::StructureAndTell();
    ASSERT_FALSE(state.structure->isEmpty());
    test::CreateAndTell((*state.structure), report());
    DomDocument written;
    ASSERT_EQ(written.load(report()), kLoadOk) << ReadBytes(report()).toStdString();
    EXPECT_EQ(GetAttribute(written.documentElement(), "version").toStdString(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Cases, SkeletonVersions,
                         ::testing::Values(VersionCase{"apostrophe", "2004'1", "2004'1"},
                                           VersionCase{"ampersand", "A &amp; B", "A & B"},
                                           VersionCase{"less_than", "&lt;1&gt;", "<1>"},
                                           VersionCase{"double_quote", "&quot;x&quot;", "\"x\""},
                                           VersionCase{"tab_kept", "a&#9;b", "a\tb"},
                                           VersionCase{"missing_gives_empty_but_present", "", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Documents, ANewReportInAReadOnlyFolderIsRefusedWithThePath)
{
    protectData();
    test::CreateAndTell((*state.structure), report());
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, msg::kWriteDenied + report());
    EXPECT_EQ(fake.messages[0].title, msg::kTitleWriteError);
    EXPECT_EQ(fake.messages[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(QFile::exists(report()));
    // Opening tries the skeleton first; a folder it may not write is no tampered file.
    fake.messages.clear();
    EXPECT_FALSE(test::OpenAndTell(state, state.municipality, state.period));
    EXPECT_EQ(fake.texts(), QStringList({msg::kWriteDenied + report()}));
}

// What cannot be opened at all is no tampered file either.
TEST_F(Documents, AReportPathThatCannotBeOpenedIsReportedAsSuch)
{
    ASSERT_TRUE(QDir().mkpath(report()));
    EXPECT_FALSE(test::OpenAndTell(state, state.municipality, state.period));
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_TRUE(fake.messages[0].text.contains(report())) << fake.messages[0].text.toStdString();
    EXPECT_NE(fake.messages[0].text, msg::kXmlTampered);
    EXPECT_EQ(fake.messages[0].title, msg::kTitleWarning);
}

TEST_F(Documents, OpeningASavedReportRestampsInPlaceAndKeepsAmountsAndHash)
{
    WriteBytes(report(), "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
                         "<positions version=\"1\" period=\"01 / 2000\" ob_name=\"old\" ebk=\"9\" "
                         "hash=\"1_2_3\"><structure><str id=\"2\" col1=\" 5,00\"/></structure>"
                         "</positions>\r\n");
    ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
    DomDocument written;
    ASSERT_EQ(written.load(report()), kLoadOk);
    EXPECT_EQ(NodeXml(written.documentElement()),
              QStringLiteral("<positions version=\"1\" period=\"03 / 2004\" ob_name=\"Банско\" "
                             "ebk=\"5101\" hash=\"1_2_3\"><structure><str id=\"2\" "
                             "col1=\" 5,00\"/></structure></positions>"));
}

TEST_F(Documents, AMalformedReportIsRefusedAndLeftUntouched)
{
    const QByteArray broken = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
                              "<positions version=\"1\"><structure/>\r\n";
    WriteBytes(report(), broken);
    EXPECT_FALSE(test::OpenAndTell(state, state.municipality, state.period));
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, msg::kXmlTampered);
    EXPECT_EQ(fake.messages[0].title, msg::kTitleWarning);
    EXPECT_EQ(fake.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(ReadBytes(report()), broken);
    EXPECT_TRUE((*state.document).isEmpty());
}

TEST_F(Documents, AReportThatCannotBeRewrittenIsNotOpenedAndTheUserIsTold)
{
    ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
    const QByteArray before = ReadBytes(report());
    QFile::setPermissions(report(), QFileDevice::ReadOwner);
    EXPECT_FALSE(test::OpenAndTell(state, state.municipality, state.period));
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, msg::kWriteDenied + report());
    EXPECT_EQ(fake.messages[0].title, msg::kTitleWriteError);
    EXPECT_EQ(ReadBytes(report()), before);
}

// --- storing the grid --------------------------------------------------------------------------

TEST_F(Documents, CellTextsAreStoredExactlyAndTheHashFollowsThem)
{
    // The hash of the zero grid was worked out from the golden file's text with "hash" appended,
    // outside the program; it comes after the stamps.
    ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
    TextTable grid = zeroGrid();
    StoreGridValues((*state.document), grid);
    const XmlNode root = (*state.document).documentElement();
    EXPECT_TRUE(NodeXml(root).startsWith(
        QStringLiteral("<positions version=\"2004.1\" period=\"03 / 2004\" ob_name=\"Банско\" "
                       "ebk=\"5101\" hash=\"86_326649_451095\">")));

    grid.setTextMatrix(3, 1, QStringLiteral("12,50"));
    grid.setTextMatrix(4, 1, QStringLiteral(" 1 234,50"));
    grid.setTextMatrix(4, 3, QStringLiteral(" -7,00"));
    grid.setTextMatrix(4, 5, QString());
    grid.setTextMatrix(4, 6, QStringLiteral(" 1 227,50"));
    // Columns that hold no amount are not stored.
    grid.setTextMatrix(4, 2, QStringLiteral("код"));
    StoreGridValues((*state.document), grid);
    const auto rows = documentRows();
    EXPECT_EQ(GetAttribute(rows[0], "col1"), "12,50");
    EXPECT_EQ(NodeXml(rows[1]).left(NodeXml(rows[1]).indexOf(u'>') + 1),
              QStringLiteral("<str id=\"3\" restricted=\"1\" col1=\" 1 234,50\" col6=\" -7,00\" "
                             "col8=\"\" col4=\" 1 227,50\">"));
    const QString changed = GetAttribute(root, "hash");
    EXPECT_NE(changed, "86_326649_451095");
    // The same grid stored again gives the same hash.
    StoreGridValues((*state.document), grid);
    EXPECT_EQ(GetAttribute(root, "hash"), changed);
}

TEST_F(Documents, GridRowsBeyondTheReportAreIgnoredAndMissingOnesLeaveRowsAlone)
{
    ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
    TextTable longer = zeroGrid(kSampleRows + 2);
    longer.setTextMatrix(kFirstDataRow + kSampleRows, 1, QStringLiteral("9"));
    StoreGridValues((*state.document), longer);
    EXPECT_EQ(documentRows().size(), size_t(kSampleRows));

    TextTable shorter = zeroGrid(1);
    shorter.setTextMatrix(3, 1, QStringLiteral("1,00"));
    StoreGridValues((*state.document), shorter);
    EXPECT_EQ(GetAttribute(documentRows()[0], "col1"), "1,00");
    EXPECT_EQ(GetAttribute(documentRows()[1], "col1"), "0");
}

TEST_F(Documents, AReportTooLargeToHashIsStoredWithAnEmptyHash)
{
    ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
    TextTable grid = zeroGrid();
    grid.setTextMatrix(3, 1, QString(8'500'000, QChar(u'1')));
    StoreGridValues((*state.document), grid);
    const XmlNode root = (*state.document).documentElement();
    EXPECT_EQ(GetAttribute(root, "hash"), "");
    EXPECT_TRUE(NodeXml(root).contains(QStringLiteral(" hash=\"\">")));
}

// --- kvor-verify, the receiver's check ---------------------------------------------------------

class Verify : public Documents
{
protected:
    void SetUp() override
    {
        Documents::SetUp();
        ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
        TextTable grid(kFirstDataRow + 3, 7);
        grid.setTextMatrix(3, 1, QStringLiteral("1 234,50"));
        grid.setTextMatrix(4, 3, QStringLiteral(" 10,00"));
        StoreGridValues((*state.document), grid);
        ASSERT_TRUE(SaveDocument((*state.document), saved()));
    }

    QString saved() const { return report(); }
    // A copy of the saved report with one text replaced, as a hand edit would leave it.
    QString changedCopy(const char* name, const QByteArray& from, const QByteArray& to) const
    {
        QByteArray bytes = ReadBytes(saved());
        EXPECT_TRUE(bytes.contains(from));
        bytes.replace(from, to);
        const QString path = folder.dataPath(QString::fromLatin1(name));
        WriteBytes(path, bytes);
        return path;
    }

    static std::pair<int, QStringList> run(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral(KVOR_VERIFY_EXECUTABLE), arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        return {process.exitCode(), out.split(u'\n', Qt::SkipEmptyParts)};
    }
};

TEST_F(Verify, ASavedReportPassesAndAnyChangeIsFoundFileByFile)
{
    const QString digit = changedCopy("digit.xml", "1 234,50", "1 284,50");
    const QString stamp = changedCopy("stamp.xml", "03 / 2004", "04 / 2004");
    const QString broken = changedCopy("broken.xml", "</positions>", "");
    const QString bare = folder.dataPath("sub/bare.xml");
    WriteBytes(bare, ReadBytes(GoldenPath("skeleton_sample.xml")));
    WriteBytes(folder.dataPath("notes.txt"), "not a report");

    const auto [status, lines] = run({folder.filePath("Data")});
    EXPECT_EQ(status, 1);
    const QString differs = "\tПРОМЕНЕН: контролната сума (hash) не съвпада със съдържанието";
    ASSERT_EQ(lines.size(), 5);
    // The parser's reason follows in brackets.
    EXPECT_TRUE(
        lines[0].startsWith(broken + "\tПРОМЕНЕН: файлът не може да бъде прочетен като XML ("))
        << lines[0].toStdString();
    EXPECT_EQ(lines.mid(1).join(u'\n').toStdString(),
              QStringList({digit + differs, saved() + "\tOK", stamp + differs,
                           bare + "\tПРОМЕНЕН: няма контролна сума (hash)"})
                  .join(u'\n')
                  .toStdString());
}

TEST_F(Verify, TheCommandSucceedsOnlyWhenEveryFileIsOk)
{
    EXPECT_EQ(run({saved()}), std::make_pair(0, QStringList({saved() + "\tOK"})));
    EXPECT_EQ(run({saved(), folder.dataPath("absent.xml")}).first, 1);
    const QString empty = folder.filePath("empty");
    QDir().mkpath(empty);
    EXPECT_EQ(run({empty}).first, 1);
    EXPECT_EQ(run({}).first, 2);
    const auto [status, help] = run({"--help"});
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(help.join(u'\n').contains("подпапките"));
}

} // namespace
