#include "core/CommandLine.h"

#include <kvor/Version.h>

namespace kvor {

CommandRequest ParseCommandLine(const QStringList& args, bool pdfOption)
{
    CommandRequest request;
    bool optionsEnded = false;
    for (const QString& arg : args) {
        if (optionsEnded || !arg.startsWith(u'-') || arg == u"-") {
            request.operands << arg;
            continue;
        }
        if (arg == u"--") {
            optionsEnded = true;
        } else if (arg == u"--help" || arg == u"-h") {
            request.action = CommandAction::ShowHelp;
            return request;
        } else if (arg == u"--version" || arg == u"-V") {
            request.action = CommandAction::ShowVersion;
            return request;
        } else if (pdfOption && arg == u"--pdf" && request.action == CommandAction::Run) {
            request.action = CommandAction::ExportPdf;
        } else {
            request.action = CommandAction::Refuse;
            request.refused = arg;
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

QString KvorUsageText()
{
    return QStringLiteral(
        "Употреба: kvor [ОПЦИЯ]\n"
        "\n"
        "Въвеждане, запис, корекция, печат и копиране на месечната справка за\n"
        "структурата и размера на дълга на община. Без опции програмата отваря\n"
        "главния си прозорец.\n"
        "\n"
        "Опции:\n"
        "  -h, --help     показва този текст и завършва\n"
        "  -V, --version  показва версията на програмата и завършва\n"
        "  --pdf СПРАВКА.xml ИЗХОД.pdf\n"
        "                 записва официалната форма на справката като PDF, без\n"
        "                 прозорец (структурата е Structure.xml от папката на\n"
        "                 програмата); код на завършване 0 при успех, 2 при грешка\n"
        "\n"
        "Справките се пазят в папка Data. Когато в папката на програмата може да се\n"
        "пише (преносимо копие), Data и kvor.ini са в нея; иначе са в личната папка\n"
        "с данни на потребителя (обикновено ~/.local/share/KVOR). Правете редовно\n"
        "резервно копие на папка Data.\n");
}

QString KvorRefusedOperandText(const QString& operand)
{
    return QStringLiteral("kvor: програмата не приема аргументи: „") + operand +
           QStringLiteral("“\nВижте „kvor --help“.\n");
}

void PrintText(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace kvor
