// The command line of both executables: what is parsed, and what a user sees without a display.

#include "core/CommandLine.h"
#include "core/Messages.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kvor;

namespace {

struct ParseCase
{
    const char* name;
    QStringList args;
    CommandAction action;
    QStringList operands;
    QString refused;
    QStringList values = {};
};

class Parse : public testing::TestWithParam<ParseCase>
{
};

// Options a program may add: the toolkit's, passed over with their values, and one of its own
// that takes two.
constexpr OptionSpec kOptions[] = {
    {"-style", 1, CommandAction::Run},
    {"-reverse", 0, CommandAction::Run},
    {"--pair", 2, CommandAction::ShowHelp},
};

TEST_P(Parse, DecidesByTheFirstOption)
{
    const ParseCase& c = GetParam();
    const CommandRequest r = ParseCommandLine(c.args, kOptions);
    EXPECT_EQ(r.action, c.action);
    EXPECT_EQ(r.operands, c.operands);
    EXPECT_EQ(r.refused, c.refused);
    EXPECT_EQ(r.values, c.values);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Parse,
    testing::Values(
        ParseCase{"nothing", {}, CommandAction::Run, {}, {}},
        ParseCase{"files", {"a.xml", "Data"}, CommandAction::Run, {"a.xml", "Data"}, {}},
        ParseCase{"help", {"--help"}, CommandAction::ShowHelp, {}, {}},
        ParseCase{"version", {"--version"}, CommandAction::ShowVersion, {}, {}},
        ParseCase{
            "versionAfterAFile", {"a.xml", "--version"}, CommandAction::ShowVersion, {"a.xml"}, {}},
        ParseCase{"firstOptionWins", {"--version", "--help"}, CommandAction::ShowVersion, {}, {}},
        ParseCase{
            "unknownBeforeHelp", {"--verison", "--help"}, CommandAction::Refuse, {}, "--verison"},
        ParseCase{"unknownShort", {"-x", "a.xml"}, CommandAction::Refuse, {}, "-x"},
        ParseCase{"dashAlone", {"-"}, CommandAction::Run, {"-"}, {}},
        ParseCase{"dashesEndOptions",
                  {"--", "--help", "-x.xml"},
                  CommandAction::Run,
                  {"--help", "-x.xml"},
                  {}},
        ParseCase{"toolkitOptionsPassed",
                  {"-style", "a.xml", "-reverse", "b.xml", "-style=fusion"},
                  CommandAction::Run,
                  {"b.xml"},
                  {}},
        ParseCase{
            "toolkitValueMissing", {"a.xml", "-style"}, CommandAction::Refuse, {"a.xml"}, "-style"},
        ParseCase{"ownOptionValues",
                  {"--pair", "r.xml", "o.pdf", "x"},
                  CommandAction::ShowHelp,
                  {},
                  {},
                  {"r.xml", "o.pdf"}},
        ParseCase{"ownOptionShort", {"--pair", "r.xml"}, CommandAction::Refuse, {}, "--pair"}),
    [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

struct RunCase
{
    const char* name;
    const char* program;
    QStringList args;
    int exitCode;
    QString stdoutStart; // empty: nothing on standard output
    QString stderrPart;  // empty: nothing on standard error
};

class Run : public testing::TestWithParam<RunCase>
{
};

// No display at all: asking the version or the usage must not need a window.
TEST_P(Run, AnswersWithoutADisplay)
{
    const RunCase& c = GetParam();
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(env);
    process.start(QString::fromLatin1(c.program), c.args);
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), c.exitCode);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    if (c.stdoutStart.isEmpty()) {
        EXPECT_TRUE(out.isEmpty()) << out.toStdString();
    } else {
        EXPECT_TRUE(out.startsWith(c.stdoutStart)) << out.toStdString();
    }
    if (c.stderrPart.isEmpty()) {
        EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    } else {
        EXPECT_TRUE(err.contains(c.stderrPart)) << err.toStdString();
    }
}

const QString kVersionLine = QStringLiteral(" " KVOR_PROJECT_VERSION "\n");

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Run,
    testing::Values(
        RunCase{"kvorVersion", KVOR_EXECUTABLE, {"--version"}, 0, "kvor" + kVersionLine, {}},
        RunCase{"kvorHelp",
                KVOR_EXECUTABLE,
                {"--help"},
                0,
                "Употреба: kvor [ОПЦИЯ] [--] [СПРАВКА.xml]\n",
                {}},
        RunCase{"kvorUnknownLongOption",
                KVOR_EXECUTABLE,
                {"--open"},
                2,
                {},
                "kvor: непозната опция „--open“"},
        RunCase{
            "kvorUnknownShortOption", KVOR_EXECUTABLE, {"-x"}, 2, {}, "kvor: непозната опция „-x“"},
        RunCase{"kvorTwoReports", KVOR_EXECUTABLE, {"a.xml", "b.xml"}, 2, {}, "една справка"},
        RunCase{"kvorNoDisplay", KVOR_EXECUTABLE, {}, 1, {}, "kvor: няма графичен дисплей"},
        RunCase{
            "verifyVersion", KVOR_VERIFY_EXECUTABLE, {"-V"}, 0, "kvor-verify" + kVersionLine, {}},
        RunCase{"verifyHelp", KVOR_VERIFY_EXECUTABLE, {"-h"}, 0, "Употреба: kvor-verify", {}},
        RunCase{"verifyUnknownOption",
                KVOR_VERIFY_EXECUTABLE,
                {"--version=2"},
                2,
                {},
                "kvor-verify: непозната опция „--version=2“"},
        RunCase{"verifyNoFiles", KVOR_VERIFY_EXECUTABLE, {}, 2, {}, "Употреба: kvor-verify"},
        // After "--" a name that starts with a dash is a file again (here a missing one).
        RunCase{"verifyFileAfterDashes",
                KVOR_VERIFY_EXECUTABLE,
                {"--", "-missing.xml"},
                1,
                "-missing.xml\tПРОМЕНЕН: ",
                {}}),
    [](const testing::TestParamInfo<RunCase>& info) { return info.param.name; });

// Every file under folder with its bytes (a folder or a pipe as its kind alone).
QStringList Snapshot(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QString entry = info.filePath() + u' ' + QString::number(info.permissions());
        if (info.isFile()) {
            QFile f(info.filePath());
            if (f.open(QIODevice::ReadOnly)) {
                entry += QString::fromLatin1(f.readAll().toHex());
            }
        }
        out << entry;
    }
    out.sort();
    return out;
}

// A report file given on the command line that cannot be opened: the correction's message, exit
// status 2, no window, nothing changed, with a display (the message box) and without (stderr).
TEST(CommandLine, AReportThatCannotBeOpenedIsRefusedWithoutAWindow)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(d.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("damaged.xml",
          "<?xml version=\"1.0\"?><positions ob_name=\"Банско\" period=\"03 / 2004\"");
    write("notareport.xml", "<nomenclatures version=\"2004.1\"/>");
    write("unreadable.xml", "<positions ob_name=\"Банско\" period=\"03 / 2004\" ebk=\"5101\"/>");
    ASSERT_EQ(::chmod(QFile::encodeName(d.filePath("unreadable.xml")).constData(), 0), 0);
    ASSERT_TRUE(d.mkdir(QStringLiteral("folder.xml")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(d.filePath("fifo.xml")).constData(), 0600), 0);
    QStringList names = {"missing.xml", "folder.xml", "fifo.xml", "damaged.xml", "notareport.xml"};
    if (::geteuid() != 0) { // root reads a file without read bits
        names << "unreadable.xml";
    }
    QTemporaryDir homeDir; // whatever the toolkit caches stays out of the files looked at
    const QString home = homeDir.path();
    const QStringList before = Snapshot(dir.path());

    for (const bool display : {false, true}) {
        for (const QString& name : names) {
            SCOPED_TRACE((name + (display ? " with a display" : " without")).toStdString());
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
                env.remove(QString::fromLatin1(var));
            }
            const QString log = QDir::temp().filePath(QStringLiteral("kvor-cli-messages.log"));
            QFile::remove(log);
            if (display) {
                env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
                env.insert(QStringLiteral("KVOR_MESSAGE_LOG"), log);
            }
            env.insert(QStringLiteral("HOME"), home);
            env.insert(QStringLiteral("XDG_DATA_HOME"), home);
            QProcess process;
            process.setProcessEnvironment(env);
            process.start(QStringLiteral(KVOR_EXECUTABLE), {d.filePath(name)});
            ASSERT_TRUE(process.waitForFinished(30000));
            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(process.exitCode(), 2);
            const QString err = QString::fromUtf8(process.readAllStandardError());
            EXPECT_TRUE(err.contains(msg::kChooseValidXml)) << err.toStdString();
            if (display) {
                QFile shown(log);
                ASSERT_TRUE(shown.open(QIODevice::ReadOnly));
                EXPECT_TRUE(QString::fromUtf8(shown.readAll()).contains(msg::kChooseValidXml));
                QFile::remove(log);
            }
            EXPECT_EQ(Snapshot(dir.path()), before);
        }
    }
}

} // namespace
