#pragma once
// The command line both executables understand: a version, a usage text, and nothing the window
// would need. Parsed before any application object exists, so that asking for the version never
// needs a display.

#include <QString>
#include <QStringList>
#include <cstdio>

namespace kvor {

enum class CommandAction
{
    Run,
    ShowVersion,
    ShowHelp,
    ExportPdf, // kvor --pdf REPORT OUT: the operands are the report and the PDF
    Refuse
};

struct CommandRequest
{
    CommandAction action = CommandAction::Run;
    // The arguments that are no options, in their order ("--" ends the options).
    QStringList operands;
    // The option that is not understood, when action is Refuse.
    QString refused;
};

// args without the program's own name. The first option decides: help and version end the
// parsing, an option not understood refuses the whole line. "--pdf" is an option only where
// pdfOption says so (kvor's).
CommandRequest ParseCommandLine(const QStringList& args, bool pdfOption = false);

// "kvor 1.0.0" and the line under it, ending in a line break.
QString VersionText(const QString& program);
// What is printed for an option the program does not know, ending in a line break.
QString RefusedOptionText(const QString& program, const QString& option);

// The usage text of the program itself.
QString KvorUsageText();
// What kvor says about arguments it was given but does not take.
QString KvorRefusedOperandText(const QString& operand);

// Writes text as UTF-8, whatever the process locale is, and flushes it.
void PrintText(std::FILE* stream, const QString& text);

} // namespace kvor
