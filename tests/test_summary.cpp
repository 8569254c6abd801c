// kvor-summary on reports the program itself made and saved, then altered as a receiver may find
// them: a figure changed with the hash made again (intact but inconsistent), a figure changed
// without (tampered), a month that does not follow on, a missing report, two different files of a
// month, files of other months, and hostile files. The workbook is read back by openpyxl.

#include "summary/Summary.h"
#include "support/Child.h"
#include "support/FakePlatform.h"
#include "support/Files.h"
#include "support/MonthReports.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace kvor;
using namespace kvor::summary;
using test::MakeReport;
using test::ReadBytes;
using test::WriteBytes;

namespace {

// The summary's own statuses and periods, not the core's result and period.
using summary::Period;
using summary::Status;

const QString kStructure = QStringLiteral(KVOR_SAMPLE_DIR "/Structure.xml");
constexpr int kMonth = 3, kYear = 2004;

struct Case
{
    const char* ebk;
    const char* name;
    Status status;
    int findings; // -1: counted by the test from the figures
};
// clang-format off
const Case kCases[] = {
    {"1001", "Банско",   Status::Ok,           0},  // February and March, and a copy of March
    {"1002", "Бургас",   Status::Inconsistent, 3},  // a figure changed and hashed again
    {"1003", "Варна",    Status::Changed,      1},  // a figure changed, the hash left
    {"1004", "Видин",    Status::Missing,      1},  // February only
    {"1005", "Габрово",  Status::Conflicting,  2},  // two different files of March
    {"1006", "Добрич",   Status::Inconsistent, -1}, // March does not follow on from February
};
// clang-format on

QByteArray RegisterXml(int municipalities)
{
    QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><xml xmlns:rs='urn:schemas-microsoft-"
                   "com:rowset' xmlns:z='#RowsetSchema'><rs:data>";
    for (int i = 0; i < municipalities; ++i) {
        x += QByteArray("<z:row OB_Name='") + kCases[i].name + "' OB_Num='" + kCases[i].ebk + "'/>";
    }
    return x + "</rs:data></xml>";
}

// Changes report row n's increases; with the hash made again when `rehash`.
void ChangeFigure(const QString& path, int n, Money added, bool rehash)
{
    DomDocument doc;
    ASSERT_EQ(doc.load(path), kLoadOk);
    SetAttribute(selectNodes(doc, "positions/structure//str")[size_t(n)], "col6", added.text());
    ASSERT_TRUE(rehash ? SaveHashedDocument(doc, path).ok() : doc.save(path));
}

// The scenario, made once: the folder of received files, the program folder with the register
// and the structure, and the sums the intact reports of March must give.
class MonthSummary : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        test::FakePlatform fake;
        s_dir = new QTemporaryDir;
        const QString in = s_dir->filePath("in");
        WriteBytes(s_dir->filePath("prog/Obshtini.xml"), RegisterXml(6));
        WriteBytes(s_dir->filePath("prog/Structure.xml"), ReadBytes(kStructure));
        const auto make = [&](int i, int month, int seed, const QString& sub = {}) {
            return MakeReport(in + sub, kStructure, kCases[i].ebk, kCases[i].name, month, kYear,
                              seed);
        };
        const auto add = [](const test::MadeReport& r) {
            s_sums.resize(r.rows.size());
            for (size_t n = 0; n < r.rows.size(); ++n) {
                for (size_t c = 0; c < 4; ++c) {
                    s_sums[n][c] = *s_sums[n][c].plus(r.rows[n][c]);
                }
            }
        };
        make(0, 1, 1);
        make(0, 2, 1);
        add(make(0, kMonth, 1));
        make(0, kMonth, 1, "/copy");
        make(1, 2, 2);
        test::MadeReport changed = make(1, kMonth, 2);
        changed.rows[s_row][1] = *changed.rows[s_row][1].plus(Money::fromStotinki(100));
        ChangeFigure(changed.path, int(s_row), changed.rows[s_row][1], true);
        add(changed);
        make(2, kMonth, 3);
        ChangeFigure(in + "/mfddd_sd_1003_2004_03.xml", int(s_row), Money::fromStotinki(1), false);
        make(3, 2, 4);
        make(4, kMonth, 5);
        make(4, kMonth, 50, "/copy");
        const test::MadeReport february = make(5, 2, 6);
        const test::MadeReport march = make(5, kMonth, 60);
        add(march);
        for (size_t n = 0; n < march.rows.size(); ++n) {
            s_breaks += february.rows[n][3] != march.rows[n][0] ? 1 : 0;
        }
        // Hostile files, whose month no reading tells.
        const QString hostile = in + "/incoming";
        QDir().mkpath(hostile);
        WriteBytes(hostile + "/deep.xml",
                   "<positions>" + QByteArray(100000 * 3, 'x').replace("xxx", "<s>"));
        ::mkfifo(QFile::encodeName(hostile + "/pipe.xml").constData(), 0644);
        QFile::link("/dev/zero", hostile + "/zero.xml");
        QFile big(hostile + "/big.xml");
        big.open(QIODevice::WriteOnly);
        big.resize(qint64(64) * 1024 * 1024 + 1);
        s_hostile = {"deep.xml", "pipe.xml", "zero.xml", "big.xml"};
    }
    static void TearDownTestSuite() { delete s_dir; }

    static SummaryOptions options(const QStringList& folders)
    {
        return {folders, std::nullopt, s_dir->filePath("prog/Obshtini.xml"),
                s_dir->filePath("prog/Structure.xml")};
    }
    static QString in() { return s_dir->filePath("in"); }

    static inline QTemporaryDir* s_dir = nullptr;
    static inline std::vector<test::RowMoney> s_sums;
    static inline size_t s_row = 2; // the first row of the sample form that is typed into
    static inline int s_breaks = 0;
    static inline QStringList s_hostile;
};

TEST_F(MonthSummary, EveryMunicipalityGetsItsStatusFindingsAndTheIntactReportsAreSummed)
{
    const SummaryResult r = Summarize(options({in()}));
    ASSERT_TRUE(r.period);
    EXPECT_EQ(r.period->text(), "03 / 2004");
    ASSERT_EQ(r.lines.size(), std::size(kCases));
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const Case& c = kCases[i];
        SCOPED_TRACE(c.ebk);
        EXPECT_EQ(r.lines[i].ebk, c.ebk);
        EXPECT_EQ(r.lines[i].status, c.status);
        const auto of = std::count_if(r.findings.begin(), r.findings.end(),
                                      [&](const Finding& f) { return f.ebk == c.ebk; });
        EXPECT_EQ(of, c.findings < 0 ? s_breaks : c.findings);
    }
    EXPECT_GT(s_breaks, 10);
    EXPECT_EQ(r.summed, 3);
    EXPECT_EQ(r.otherPeriodFiles, 5); // January, and four of February
    ASSERT_EQ(r.sums.size(), s_sums.size());
    for (size_t n = 0; n < s_sums.size(); ++n) {
        for (size_t c = 0; c < 4; ++c) {
            EXPECT_EQ(r.sums[n][c].stotinki(), s_sums[n][c].stotinki()) << n << ' ' << c;
        }
    }
    // Each hostile file is told with its reason; the run went on past it.
    for (const QString& name : s_hostile) {
        EXPECT_EQ(std::count_if(r.findings.begin(), r.findings.end(),
                                [&](const Finding& f) {
                                    return f.file.endsWith("/" + name) && f.ebk.isEmpty() &&
                                           f.meaning.endsWith("месецът не е известен");
                                }),
                  1)
            << name.toStdString();
    }
    // The changed figure: its row's closing amount and the two totals over it, in increases.
    std::vector<std::pair<QString, QString>> changed;
    for (const Finding& f : r.findings) {
        if (f.ebk == "1002") {
            changed.emplace_back(f.row.left(2), f.column);
        }
    }
    EXPECT_EQ(changed, (std::vector<std::pair<QString, QString>>{{"1.", ColumnName(kClosing)},
                                                                 {"Об", ColumnName(kAdded)},
                                                                 {"I.", ColumnName(kAdded)}}));
}

// A month asked for; no register or no structure: the run goes on with what it has.
TEST_F(MonthSummary, AnotherMonthAndMissingRegisterOrStructure)
{
    SummaryOptions february = options({in()});
    february.period = Period{kYear, 2};
    const SummaryResult r = Summarize(february);
    EXPECT_EQ(r.count(Status::Ok), 4);      // 1001, 1002, 1004 and 1006
    EXPECT_EQ(r.count(Status::Missing), 2); // 1003 and 1005
    EXPECT_EQ(r.otherPeriodFiles, 1 + 7);

    SummaryOptions damaged = options({in()});
    damaged.registerPath = s_dir->filePath("none.xml");
    damaged.structurePath = s_dir->filePath("in/incoming/deep.xml");
    const SummaryResult d = Summarize(damaged);
    EXPECT_EQ(d.problems.size(), 2);
    EXPECT_EQ(d.count(Status::Missing), 0); // nothing to miss without a register
    EXPECT_EQ(d.summed, 3);                 // rows taken from the reports themselves
    ASSERT_EQ(d.sums.size(), s_sums.size());
    EXPECT_EQ(d.sums[0][kClosing], s_sums[0][kClosing]);
}

struct RunCase
{
    const char* name;
    QStringList args; // "IN" and "PROG" stand for the folders
    int exit;
    const char* says; // a line the output holds
};

QStringList Expand(QStringList args, const QString& in, const QString& prog)
{
    for (QString& a : args) {
        a.replace("IN", in).replace("PROG", prog);
    }
    return args;
}

TEST_F(MonthSummary, TheCommandAnswersWithItsExitStatus)
{
    const QString prog = s_dir->filePath("prog");
    const QString clean = s_dir->filePath("clean");
    WriteBytes(clean + "/reg.xml", RegisterXml(1));
    QDir().mkpath(clean + "/r");
    QDir().mkpath(clean + "/empty");
    QFile::copy(in() + "/mfddd_sd_1001_2004_03.xml", clean + "/r/mfddd_sd_1001_2004_03.xml");
    QFile::copy(in() + "/mfddd_sd_1001_2004_02.xml", clean + "/r/mfddd_sd_1001_2004_02.xml");
    const QString reg = "--register=" + prog + "/Obshtini.xml";
    const QString str = "--structure=" + prog + "/Structure.xml";
    const RunCase cases[] = {
        {"in order", {"--register", clean + "/reg.xml", str, clean + "/r"}, 0, "  наред: 1"},
        {"findings", {reg, str, "-q", "IN"}, 1, "  два различни файла: 1"},
        {"no report", {reg, str, clean + "/empty"}, 1, "Няма нито една справка"},
        {"a month", {reg, str, "--period", "02/2004", "--", "IN"}, 1, "Период 02 / 2004"},
        {"no register", {str, "--register", "PROG/none", "IN"}, 2, "регистърът на общините"},
        {"no folder", {reg, str, "PROG/none"}, 2, "няма такъв файл или папка"},
        {"no workbook", {reg, str, "--out", "PROG/none/s.xlsx", "IN"}, 2, "не е записана"},
        {"bad month", {"--period", "13/2004", "IN"}, 2, "13/2004"},
        {"no value", {"IN", "--out"}, 2, "--out"},
        {"unknown", {"--outfile", "IN"}, 2, "--outfile"},
        {"nothing", {}, 2, "Употреба"},
        {"help", {"--help"}, 0, "--period ММ/ГГГГ"},
        {"version", {"-V"}, 0, "kvor-summary 1."},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.name);
        QProcess run;
        run.start(KVOR_SUMMARY_EXECUTABLE, Expand(c.args, in(), prog));
        ASSERT_TRUE(run.waitForFinished(60000));
        const QString out =
            QString::fromUtf8(run.readAllStandardOutput() + run.readAllStandardError());
        EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.exitCode(), c.exit) << out.toStdString();
        EXPECT_TRUE(out.contains(QString::fromUtf8(c.says))) << out.toStdString();
    }
}

// A folder that cannot be read is told and the rest is read. Run as nobody where the test runs as
// root, whom no permission keeps out.
TEST_F(MonthSummary, AFolderThatCannotBeReadIsToldAndTheRestIsRead)
{
    constexpr uid_t kNobody = 65534;
    QTemporaryDir dir;
    const auto mode = [](const QString& path, mode_t m) {
        ::chmod(QFile::encodeName(path).constData(), m);
    };
    WriteBytes(dir.filePath("reg.xml"), RegisterXml(1));
    WriteBytes(dir.filePath("in/open/r.xml"), ReadBytes(in() + "/mfddd_sd_1001_2004_03.xml"));
    WriteBytes(dir.filePath("in/shut/r.xml"), ReadBytes(in() + "/mfddd_sd_1001_2004_03.xml"));
    for (const char* name : {"", "in", "in/open"}) {
        mode(dir.filePath(name), 0755);
    }
    mode(dir.filePath("in/shut"), 0);
    for (const char* name : {"reg.xml", "in/open/r.xml"}) {
        mode(dir.filePath(name), 0644);
    }
    const auto said = test::RunInChild([&]() -> QString {
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            return "not nobody";
        }
        QProcess run;
        run.start(KVOR_SUMMARY_EXECUTABLE, {"--register", dir.filePath("reg.xml"), "--structure",
                                            kStructure, dir.filePath("in")});
        run.waitForFinished(60000);
        return QString::number(run.exitCode()) + '\n' +
               QString::fromUtf8(run.readAllStandardError() + run.readAllStandardOutput());
    });
    mode(dir.filePath("in/shut"), 0755);
    ASSERT_TRUE(said);
    EXPECT_TRUE(said->startsWith("2\n")) << said->toStdString();
    EXPECT_TRUE(said->contains(dir.filePath("in/shut") + ": папката не може да бъде прочетена"));
    EXPECT_TRUE(said->contains("  наред: 1\n")) << said->toStdString();
}

// The workbook, read back by openpyxl and compared with the sums the editor's model gave; the
// folders read are left as they were; a file-size limit fails the write with its reason.
TEST_F(MonthSummary, TheWorkbookHoldsTheSumsStatusesAndFindings)
{
    const auto before = test::Snapshot(in());
    const QString xlsx = s_dir->filePath("summary.xlsx");
    QProcess run;
    run.start(KVOR_SUMMARY_EXECUTABLE,
              {"--register", s_dir->filePath("prog/Obshtini.xml"), "--structure",
               s_dir->filePath("prog/Structure.xml"), "--out", xlsx, in()});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 1);
    const QString out = QString::fromUtf8(run.readAllStandardOutput());
    EXPECT_TRUE(out.contains("\tБургас (1002)\tред „1. ")) << out.toStdString();
    EXPECT_EQ(test::Snapshot(in()), before);

    const SummaryResult r = Summarize(options({in()}));
    QJsonArray sums, statuses, firstTotals;
    for (const auto& row : s_sums) {
        sums.append(QJsonArray{qint64(row[0].stotinki()), qint64(row[1].stotinki()),
                               qint64(row[2].stotinki()), qint64(row[3].stotinki())});
    }
    for (const Case& c : kCases) {
        statuses.append(QJsonArray{c.ebk, StatusText(c.status)});
    }
    const QJsonObject expected{{"sums", sums},
                               {"statuses", statuses},
                               {"findings", qint64(r.findings.size())},
                               {"summed", r.summed}};
    WriteBytes(s_dir->filePath("expected.json"), QJsonDocument(expected).toJson());
    QProcess check;
    check.start("/usr/bin/python3",
                {KVOR_SUMMARY_CHECKER, xlsx, s_dir->filePath("expected.json"), kStructure});
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString()
                                   << check.readAllStandardError().toStdString();

    const QByteArray written = ReadBytes(xlsx);
    const auto limited = test::RunInChild([&] {
        test::LimitFileSize(1000);
        QProcess child;
        child.start(KVOR_SUMMARY_EXECUTABLE, {"-q", "--out", xlsx, in()});
        child.waitForFinished(60000);
        return QString::number(child.exitCode()) +
               (child.readAllStandardError().contains("не е записана") ? "" : " told nothing");
    });
    EXPECT_EQ(limited, "2");
    EXPECT_EQ(ReadBytes(xlsx), written);
}

} // namespace
