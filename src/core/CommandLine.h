#pragma once
// The command line of the executables: help, version, the options each program adds, and the
// texts printed about them. Parsed before any application object exists, so that answering the
// command line never needs a display.

#include <QString>
#include <QStringList>
#include <cstdio>
#include <span>

namespace kvor {

enum class CommandAction
{
    Run,
    ShowVersion,
    ShowHelp,
    ExportPdf, // kvor --pdf REPORT OUT: the values are the report and the PDF
    Refuse
};

// An option a program takes besides help and version: its name as typed ("--name" or, for the
// toolkit's own, "-name"), how many arguments after it belong to it, and what it asks for. An
// option whose action is Run is passed over with its values (the toolkit reads it itself).
// One of one value may also be written "name=value".
struct OptionSpec
{
    const char* name;
    int valueCount;
    CommandAction action;
};

struct CommandRequest
{
    CommandAction action = CommandAction::Run;
    // The arguments that are no options, in their order ("--" ends the options).
    QStringList operands;
    // The option that decided the action, and the values that followed it.
    QString option;
    QStringList values;
    // When action is Refuse: the option not understood, or one whose values are missing.
    QString refused;
    bool valuesMissing = false;
};

// args without the program's own name. The first option that asks for something decides: help,
// version and any option of `options` with another action than Run end the parsing; an option not
// understood refuses the whole line.
CommandRequest ParseCommandLine(const QStringList& args, std::span<const OptionSpec> options = {});

// "kvor 1.0.0" and the line under it, ending in a line break.
QString VersionText(const QString& program);
// What is printed about a refused line (an unknown option or one without its values), ending in
// a line break.
QString RefusedText(const QString& program, const CommandRequest& request);
// What is printed for an option the program does not know, ending in a line break.
QString RefusedOptionText(const QString& program, const QString& option);

// Writes text as UTF-8, whatever the process locale is, and flushes it.
void PrintText(std::FILE* stream, const QString& text);

} // namespace kvor
