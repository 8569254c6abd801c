#include "core/CommandLine.h"

#include <kvor/Version.h>

#include <algorithm>

namespace kvor {

namespace {

const OptionSpec kCommonOptions[] = {
    {"--help", 0, CommandAction::ShowHelp},
    {"-h", 0, CommandAction::ShowHelp},
    {"--version", 0, CommandAction::ShowVersion},
    {"-V", 0, CommandAction::ShowVersion},
};

// The option `arg` names, and a value written into it with "=".
const OptionSpec* findOption(const QString& arg, std::span<const OptionSpec> options,
                             QString& inlineValue, bool& hasInlineValue)
{
    for (std::span<const OptionSpec> table :
         {std::span<const OptionSpec>(kCommonOptions), options}) {
        for (const OptionSpec& spec : table) {
            const QLatin1String name(spec.name);
            if (arg == name) {
                return &spec;
            }
            if (spec.valueCount == 1 && arg.startsWith(name) && arg.size() > name.size() &&
                arg.at(name.size()) == u'=') {
                inlineValue = arg.mid(name.size() + 1);
                hasInlineValue = true;
                return &spec;
            }
        }
    }
    return nullptr;
}

} // namespace

CommandRequest ParseCommandLine(const QStringList& args, std::span<const OptionSpec> options)
{
    CommandRequest request;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (optionsEnded || !arg.startsWith(u'-') || arg == u"-") {
            request.operands << arg;
            continue;
        }
        if (arg == u"--") {
            optionsEnded = true;
            continue;
        }
        QString inlineValue;
        bool hasInlineValue = false;
        const OptionSpec* spec = findOption(arg, options, inlineValue, hasInlineValue);
        if (!spec) {
            request.action = CommandAction::Refuse;
            request.refused = arg;
            return request;
        }
        QStringList values;
        if (hasInlineValue) {
            values << inlineValue;
        } else {
            const qsizetype available = std::min<qsizetype>(spec->valueCount, args.size() - i - 1);
            values = args.mid(i + 1, available);
            i += available;
        }
        if (values.size() < spec->valueCount) {
            request.action = CommandAction::Refuse;
            request.refused = arg;
            request.valuesMissing = true;
            return request;
        }
        if (spec->action != CommandAction::Run) {
            request.action = spec->action;
            request.option = arg;
            request.values = values;
            return request;
        }
    }
    return request;
}

QString VersionText(const QString& program)
{
    return program + u' ' + QString::fromLatin1(kVersion) +
           QStringLiteral("\nСправка за структурата и размера на дълга на община.\n");
}

QString RefusedOptionText(const QString& program, const QString& option)
{
    return program + QStringLiteral(": непозната опция „") + option + QStringLiteral("“\nВижте „") +
           program + QStringLiteral(" --help“.\n");
}

QString RefusedText(const QString& program, const CommandRequest& request)
{
    if (!request.valuesMissing) {
        return RefusedOptionText(program, request.refused);
    }
    return program + QStringLiteral(": на опцията „") + request.refused +
           QStringLiteral("“ липсва стойност\nВижте „") + program + QStringLiteral(" --help“.\n");
}

void PrintText(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace kvor
