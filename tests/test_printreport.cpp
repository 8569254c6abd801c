// The printout as the user meets it: a new file for each printout with one sheet, opened in the
// spreadsheet program; where the file goes when the temporary folder is missing; what the user is
// told when something fails.

#include "core/Messages.h"
#include "printout/PrintReport.h"
#include "printout/XlsxFile.h"
#include "printout/ZipEntries.h"
#include "support/PrintoutFixture.h"

#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kvor;
using namespace kvor::test;

namespace {

using Outcome = PrintReportResult::Outcome;

QByteArray entryOf(const QString& path, const char* name)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return ReadZipEntry(f.readAll(), name).value_or(QByteArray());
}

// The names of the sheets of a written file.
QStringList sheetNames(const QString& path)
{
    QStringList names;
    const QString workbook = QString::fromUtf8(entryOf(path, "xl/workbook.xml"));
    for (qsizetype at = workbook.indexOf(u"<sheet name=\""); at >= 0;
         at = workbook.indexOf(u"<sheet name=\"", at + 1)) {
        const qsizetype start = at + 13;
        names << workbook.mid(start, workbook.indexOf(u'"', start) - start);
    }
    return names;
}

TEST_F(PrintoutTest, EachPrintoutIsANewFileWithOneSheetNamedOnFromTheLast)
{
    PrintoutRun run;
    PrintoutInput in = SamplePrintout();
    const PrintReportResult first = printReport(in, run);
    in.municipality = u"Варна"_qs;
    const PrintReportResult second = printReport(in, run);
    const PrintReportResult third = printReport(in, run);

    EXPECT_TRUE(fake.messages.isEmpty()) << str(fake.texts().join(u'|'));
    EXPECT_EQ(fake.busyDepth, 0);
    ASSERT_EQ(opened, (QStringList{first.path, second.path, third.path}));
    EXPECT_EQ(busyWhileOpening, (QList<int>{1, 1, 1}));
    const QStringList expected[] = {{u"Лист1"_qs}, {u"Лист2"_qs}, {u"Лист3"_qs}};
    int i = 0;
    for (const PrintReportResult& r : {first, second, third}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(r.outcome, Outcome::Opened);
        EXPECT_EQ(QFileInfo(r.path).absolutePath(), tempPath());
        EXPECT_EQ(str(QFileInfo(r.path).suffix()), "xlsx");
        EXPECT_EQ(sheetNames(r.path), expected[i++]);
    }
    EXPECT_NE(first.path, second.path);
    EXPECT_NE(second.path, third.path);
    EXPECT_TRUE(entryOf(first.path, "xl/sharedStrings.xml").contains("община Пловдив"));
    EXPECT_TRUE(entryOf(second.path, "xl/sharedStrings.xml").contains("община Варна"));
    EXPECT_FALSE(entryOf(second.path, "xl/sharedStrings.xml").contains("община Пловдив"));
    // Only the printouts are left: the writer's own files are gone.
    EXPECT_EQ(
        QDir(tempPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(),
        3);

    // Another run starts again at the first sheet name.
    PrintoutRun another;
    EXPECT_EQ(sheetNames(printReport(in, another).path), QStringList{u"Лист1"_qs});
}

enum class Temp
{
    Usable,
    Missing,
    AFile,
    Relative,
};

struct FolderCase
{
    const char* name;
    Temp temp;
    bool homeUsable;
    bool inHome; // otherwise in the temporary folder; nothing written when neither is usable
};

class PrintoutFolders : public PrintoutTest, public ::testing::WithParamInterface<FolderCase>
{
};

// With no program for the file, the user is told where it is: always a full path.
TEST_P(PrintoutFolders, FileGoesToAFolderThatExistsAndTheMessageGivesItsFullPath)
{
    const FolderCase& p = GetParam();
    openerAnswer = false;
    const QString missing = rootPath() + QStringLiteral("/no-such-folder");
    // A file where the folder should be: permissions would not stop a privileged user.
    const QString aFile = rootPath() + QStringLiteral("/a-file");
    QFile f(aFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString oldCwd = QDir::currentPath();
    switch (p.temp) {
    case Temp::Usable:
        break;
    case Temp::Missing:
        qputenv("TMPDIR", QFile::encodeName(missing));
        break;
    case Temp::AFile:
        qputenv("TMPDIR", QFile::encodeName(aFile));
        break;
    case Temp::Relative:
        QDir::setCurrent(rootPath());
        qputenv("TMPDIR", "tmp");
        break;
    }
    if (!p.homeUsable) {
        qputenv("HOME", QFile::encodeName(aFile));
    }
    PrintoutRun run;
    const PrintReportResult r = printReport(SamplePrintout(), run);
    QDir::setCurrent(oldCwd);

    EXPECT_EQ(fake.busyDepth, 0);
    ASSERT_EQ(fake.messages.size(), 1);
    const ShownMessage& m = fake.messages[0];
    if (!p.inHome && (p.temp == Temp::Missing || p.temp == Temp::AFile)) {
        EXPECT_EQ(r.outcome, Outcome::NotWritten);
        EXPECT_FALSE(r.reason.isEmpty());
        EXPECT_TRUE(opened.isEmpty());
        EXPECT_EQ(str(m.text), "Грешката е предизвикана от EXCEL");
        EXPECT_EQ(str(m.title), "TAVN - Грешка");
        EXPECT_EQ(m.icon, MsgIcon::Critical);
        EXPECT_TRUE(
            QDir(tempPath()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        EXPECT_TRUE(
            QDir(homePath()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        return;
    }
    EXPECT_EQ(r.outcome, Outcome::NotOpened);
    EXPECT_EQ(QFileInfo(r.path).absolutePath(), p.inHome ? homePath() : tempPath());
    EXPECT_TRUE(QFileInfo(r.path).isAbsolute());
    EXPECT_TRUE(QFile::exists(r.path));
    EXPECT_EQ(opened, QStringList{r.path});
    EXPECT_EQ(m.text, msg::kExcelNoViewer + QDir::toNativeSeparators(r.path));
    EXPECT_EQ(str(m.text.left(70)),
              "Няма програма за отваряне на електронни таблици. Файлът е записан в: /");
    EXPECT_EQ(str(m.title), "TAVN - Внимание!");
    EXPECT_EQ(m.icon, MsgIcon::Exclamation);
    EXPECT_EQ(m.buttons, MsgButtons::Ok);
}

INSTANTIATE_TEST_SUITE_P(Table, PrintoutFolders,
                         ::testing::Values(FolderCase{"temp", Temp::Usable, true, false},
                                           FolderCase{"relative_temp", Temp::Relative, true, false},
                                           FolderCase{"temp_missing", Temp::Missing, true, true},
                                           FolderCase{"temp_is_a_file", Temp::AFile, true, true},
                                           FolderCase{"temp_missing_home_a_file", Temp::Missing,
                                                      false, false},
                                           FolderCase{"both_files", Temp::AFile, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A disk that fills up while the file is written: the failure is told, no file takes the name
// and nothing of the writer's is left behind.
TEST_F(PrintoutTest, FileCutShortByAFullDiskIsAFailure)
{
    const PrintoutInput in = SamplePrintout();
    const QString target = tempPath() + QStringLiteral("/form.xlsx");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Writes past a few kilobytes fail as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &small);
        const auto reason = WriteFormFile(in, u"Лист1"_qs, target);
        _exit(reason && !reason->isEmpty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(QDir(tempPath()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

    // Without the limit the same file is written.
    EXPECT_FALSE(WriteFormFile(in, u"Лист1"_qs, target));
    EXPECT_TRUE(QFile::exists(target));
}

} // namespace
