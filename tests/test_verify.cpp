// kvor-verify, the receiver's check: a report saved by the program passes, any change to it is
// found, and the command reports each file and sets its exit status.

#include "app/AppState.h"
#include "editor/GridText.h"
#include "setup/StructureFile.h"
#include "storage/VerifyReport.h"
#include "storage/modXml.h"
#include "support/Files.h"
#include "support/ProgramFolder.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace kvor;

namespace {

class Verify : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetState();
        ASSERT_TRUE(ReadStructure());
        QDir().mkpath(folder.filePath("Data"));
        State().sPeriod = QStringLiteral("03 / 2004");
        State().Obshtina.Name = QStringLiteral("Банско");
        State().Obshtina.NumEBK = QStringLiteral("5101");
        ASSERT_TRUE(OpenDocument(saved()));
        TextTable grid(kFirstDataRow + 3, 7);
        grid.setTextMatrix(3, 1, QStringLiteral("1 234,50"));
        grid.setTextMatrix(4, 3, QStringLiteral(" 10,00"));
        StoreGridValues(grid);
        ASSERT_TRUE(SaveDocument(saved()));
    }

    QString saved() const { return folder.dataPath("mfddd_sd_5101_2004_03.xml"); }
    // A copy of the saved report with one text replaced, as a hand edit would leave it.
    QString changedCopy(const char* name, const QByteArray& from, const QByteArray& to) const
    {
        QByteArray bytes = test::ReadBytes(saved());
        EXPECT_TRUE(bytes.contains(from));
        bytes.replace(from, to);
        const QString path = folder.dataPath(QString::fromLatin1(name));
        test::WriteBytes(path, bytes);
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

    test::FakePlatform fake;
    test::ProgramFolder folder{fake};
};

TEST_F(Verify, ASavedReportPassesAndAnyChangeIsFoundFileByFile)
{
    const QString digit = changedCopy("digit.xml", "1 234,50", "1 284,50");
    const QString stamp = changedCopy("stamp.xml", "03 / 2004", "04 / 2004");
    const QString broken = changedCopy("broken.xml", "</positions>", "");
    const QString bare = folder.dataPath("sub/bare.xml");
    test::WriteBytes(bare, test::ReadBytes(test::GoldenPath("skeleton_sample.xml")));
    test::WriteBytes(folder.dataPath("notes.txt"), "not a report");

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
