// Report documents: the skeleton of a new report, opening with the stamps, figures typed through
// the report model and saved with the hash, rows the report lacks, what the user is told when a
// file cannot be read or written, and kvor-verify, which checks a saved report on the receiver's
// side.

#include "core/OpenReport.h"
#include "core/ReportModel.h"
#include "core/Messages.h"
#include "core/ReportDocument.h"
#include "core/StructureFile.h"
#include "core/VerifyReport.h"
#include "core/XmlDom.h"
#include "support/Files.h"
#include "support/Opening.h"
#include "support/ProgramFolder.h"
#include "support/ReportFixture.h"

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
        return selectNodes(*state.document, QStringLiteral("positions//str"));
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
             test::CreateAndTell(*state.structure, path);
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
    test::CreateAndTell(*state.structure, report());
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
    test::CreateAndTell(*state.structure, report());
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
    EXPECT_TRUE(state.document->isEmpty());
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

// --- saving as the editor does ----------------------------------------------------------------

// Figures typed into a new report as the editor takes them: grouped, negative, half-way.
const std::initializer_list<test::Typed> kTyped = {
    {test::kFirstEditableRow, grid::kOpening, QStringLiteral("1 234,5")},
    {4, grid::kAdded, QStringLiteral("-7")},
    {4, grid::kSubtracted, QStringLiteral("2,675")},
    {5, grid::kOpening, QStringLiteral("1000000000000")},
};

// The golden file was checked outside the program: its hash recomputed from its text, its
// figures and totals added up by hand.
TEST_F(Documents, ASavedReportIsTheGoldenFileAndSavesAgainTheSame)
{
    ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
    ASSERT_TRUE(test::SaveTyped(state, report(), kTyped).ok());
    const QByteArray saved = ReadBytes(report());
    EXPECT_EQ(saved, ReadBytes(GoldenPath("saved_sample.xml")));
    EXPECT_EQ(VerifyReportFile(report()).status, VerifyStatus::Ok);
    // Opened and saved again with no entry: the same bytes.
    ASSERT_EQ(state.document->load(report()), kLoadOk);
    ASSERT_TRUE(test::SaveTyped(state, report(), {}).ok());
    EXPECT_EQ(ReadBytes(report()), saved);
}

// Rows of the form that the report lacks (the form gained rows) take figures like any other,
// are added to the file on save as a new report carries them, and read back with their totals.
TEST_F(Documents, ARowTheReportLacksIsAddedOnSaveAndReadBack)
{
    ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
    const auto rows = documentRows();
    for (size_t n = kSampleRows - 3; n < rows.size(); ++n) {
        rows[n].parent().remove_child(rows[n]);
    }
    ReportModel typed(*state.structure, *state.document);
    const int last = kSampleRows - 1;
    ASSERT_TRUE(typed.isEditable(last, grid::kOpening));
    ASSERT_EQ(typed.enter(last, grid::kOpening, QStringLiteral("12,5")),
              ReportModel::Entry::Accepted);
    ASSERT_TRUE(typed.store(*state.document).ok());
    ASSERT_TRUE(SaveHashedDocument(*state.document, report()).ok());
    EXPECT_EQ(VerifyReportFile(report()).status, VerifyStatus::Ok);

    DomDocument reopened;
    ASSERT_EQ(reopened.load(report()), kLoadOk);
    ASSERT_EQ(selectNodes(reopened, QStringLiteral("positions//str")).size(), size_t(kSampleRows));
    const ReportModel read(*state.structure, reopened);
    EXPECT_EQ(read.amount(last, grid::kOpening), Money::fromStotinki(1250));
    for (int n = 0; n < kSampleRows; ++n) {
        for (const int col : {grid::kOpening, grid::kAdded, grid::kSubtracted, grid::kClosing}) {
            EXPECT_EQ(read.amount(n, col), typed.amount(n, col)) << n << " " << col;
        }
    }
    // An added row carries the form's attributes but the caption, then the stored columns.
    EXPECT_TRUE(NodeXml(test::DocRow(reopened, last)).startsWith(u"<str id=\""));
    EXPECT_FALSE(NodeXml(test::DocRow(reopened, last)).contains(u"name="));
}

TEST_F(Documents, AReportThatIsNoReportIsNotSavedAndSaysWhy)
{
    ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
    const QByteArray before = ReadBytes(report());
    state.document->documentElement().set_name("other");
    const Status saved = test::SaveTyped(state, report(), {kTyped.begin()[0]});
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.failure().kind, Failure::Kind::NotAReport);
    EXPECT_EQ(ReadBytes(report()), before);
}

TEST_F(Documents, AReportTooLargeToHashIsSavedWithAnEmptyHash)
{
    ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
    SetAttribute(documentRows()[0], QStringLiteral("col1"), QString(8'500'000, QChar(u'1')));
    ASSERT_TRUE(SaveHashedDocument(*state.document, report()).ok());
    EXPECT_TRUE(ReadBytes(report()).contains(" hash=\"\">"));
}

// --- kvor-verify, the receiver's check ---------------------------------------------------------

class Verify : public Documents
{
protected:
    void SetUp() override
    {
        Documents::SetUp();
        ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period));
        ASSERT_TRUE(test::SaveTyped(state, saved(),
                                    {{test::kFirstEditableRow, grid::kOpening, u"1 234,50"_qs},
                                     {4, grid::kAdded, u"10"_qs}})
                        .ok());
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
    const QString digit = changedCopy("digit.xml",
                                      "1\xA0"
                                      "234,50",
                                      "1\xA0"
                                      "284,50");
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
