// The command line of both executables: what is parsed, and what a user sees without a display.

#include "core/CommandLine.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace kvor;

namespace {

struct ParseCase
{
    const char* name;
    QStringList args;
    CommandAction action;
    QStringList operands;
    QString refused;
};

class Parse : public testing::TestWithParam<ParseCase>
{
};

TEST_P(Parse, DecidesByTheFirstOption)
{
    const ParseCase& c = GetParam();
    const CommandRequest r = ParseCommandLine(c.args);
    EXPECT_EQ(r.action, c.action);
    EXPECT_EQ(r.operands, c.operands);
    EXPECT_EQ(r.refused, c.refused);
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
        ParseCase{"dashAlone", {"-"}, CommandAction::Run, {"-"}, {}},
        ParseCase{"dashesEndOptions",
                  {"--", "--help", "-x.xml"},
                  CommandAction::Run,
                  {"--help", "-x.xml"},
                  {}}),
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
        RunCase{"kvorHelp", KVOR_EXECUTABLE, {"--help"}, 0, "Употреба: kvor [ОПЦИЯ]\n", {}},
        RunCase{"kvorUnknownLongOption",
                KVOR_EXECUTABLE,
                {"--open"},
                2,
                {},
                "kvor: непозната опция „--open“"},
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

} // namespace
