#include "core/OpenReport.h"

#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/PrevData.h"
#include "core/ReportName.h"
#include "core/StructureFile.h"
#include "core/XmlCheck.h"

#include <QFileInfo>
#include <cerrno>

namespace kvor {

namespace {

using Kind = Failure::Kind;
using Subject = Failure::Subject;

// The version goes into a single-quoted attribute; without escaping, a quote, an ampersand or a
// less-than sign in it would make every new report unreadable. Line ends and tabs are written as
// references so that the parser does not turn them into blanks.
QString EscapeSingleQuoted(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar ch : value) {
        switch (ch.unicode()) {
        case u'&':
            out += u"&amp;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'\'':
            out += u"&apos;";
            break;
        case u'\t':
            out += u"&#9;";
            break;
        case u'\n':
            out += u"&#10;";
            break;
        case u'\r':
            out += u"&#13;";
            break;
        default:
            out += ch;
        }
    }
    return out;
}

Failure WriteFailure(const QString& path, int err, const QString& reason)
{
    return WriteFailureOf(path, err, reason).about(Subject::Report);
}

// A file already read while opening, and what it held.
struct ReadReport
{
    QString path;
    std::unique_ptr<DomDocument> document;
};

bool IsSameFile(const QString& a, const QString& b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// The report at path: the one already read when it is that file, else read now, or created from
// the form when there is none.
Result<std::unique_ptr<DomDocument>> LoadReport(const QString& path, const DomDocument& structure,
                                                ReadReport* alreadyRead)
{
    if (alreadyRead && alreadyRead->document && IsSameFile(alreadyRead->path, path)) {
        return std::move(alreadyRead->document);
    }
    auto document = std::make_unique<DomDocument>();
    long loaded = kLoadOk;
    if (!QFileInfo::exists(path)) {
        const Result<QByteArray> created = CreateReportFile(structure, path);
        if (!created) {
            return created.failure();
        }
        loaded = document->loadBytes(*created);
    } else {
        loaded = document->load(path);
    }
    if (loaded == kLoadMissing || loaded == kLoadUnreadable) {
        // The file could not be opened at all: a permission or device problem, which says nothing
        // about what the file holds.
        return Failure::of(Kind::NotReadable, path, document->errorReason()).about(Subject::Report);
    }
    if (loaded != kLoadOk) {
        return Failure::of(Kind::NotWellFormed, path, document->errorReason())
            .about(Subject::Report);
    }
    // Without its root and rows the report could take no figures, and a save would write it under
    // a name without period.
    if (!selectSingleNode(*document, QStringLiteral("/positions/structure"))) {
        return Failure::of(Kind::NotAReport, path).about(Subject::Report);
    }
    return document;
}

// Stamps the period and the municipality into the report and saves it.
Status StampAndSave(DomDocument& document, const QString& path, const Period& period,
                    const Municipality& municipality)
{
    // In this order, so that a new report has them in this order after `version`.
    const XmlNode positions = document.documentElement();
    SetAttribute(positions, QStringLiteral("period"), period.text());
    SetAttribute(positions, QStringLiteral("ob_name"), municipality.name);
    SetAttribute(positions, QStringLiteral("ebk"), municipality.ebk);
    QString reason;
    int err = 0;
    if (!document.save(path, &reason, &err)) {
        // The report would otherwise be edited while every save of it fails unseen.
        return WriteFailure(path, err, reason);
    }
    return {};
}

// Whether the previous month's report exists; its closing amounts open a month without figures.
bool TakePreviousMonth(OpenReport& report)
{
    const QString path = PreviousReportPath(report.municipality.ebk, report.period);
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return false;
    }
    // A previous report that cannot be parsed has no rows, so nothing is taken from it.
    DomDocument previous;
    previous.load(path);
    CarryClosingAmounts(previous, *report.document);
    return true;
}

Result<OpenReport> Open(const Municipality& municipality, const Period& period,
                        ReadReport* alreadyRead)
{
    // The code and the period name the file: they must not lead anywhere outside Data.
    if (!period.isValid() || !IsSafeEbkCode(municipality.ebk)) {
        return Failure::of(Kind::Invalid);
    }
    Result<std::unique_ptr<DomDocument>> structure = ReadStructure();
    if (!structure) {
        return structure.failure();
    }
    EnsureDataFolder();
    OpenReport report;
    report.period = period;
    report.municipality = municipality;
    report.filePath = ReportFilePath(municipality.ebk, period);
    Result<std::unique_ptr<DomDocument>> document =
        LoadReport(report.filePath, **structure, alreadyRead);
    if (!document) {
        return document.failure();
    }
    if (const Status saved = StampAndSave(**document, report.filePath, period, municipality);
        !saved) {
        return saved.failure();
    }
    report.structure = std::move(*structure);
    report.document = std::move(*document);
    report.previousMonthExists = TakePreviousMonth(report);
    return report;
}

} // namespace

QString SkeletonText(const QString& version, const QString& structureXml)
{
    return QStringLiteral("<?xml version='1.0' encoding='windows-1251'?><positions version='") +
           EscapeSingleQuoted(version) + QStringLiteral("'>") + structureXml +
           QStringLiteral("</positions>");
}

QString BuildEmptyStructure(const DomDocument& structureDoc)
{
    // The rows are changed in a copy: the form keeps its captions for the editor.
    pugi::xml_document scratch;
    const XmlNode structure = scratch.append_copy(
        selectSingleNode(structureDoc, QStringLiteral("/nomenclatures/structure")));
    const auto columns = selectNodes(structureDoc, QStringLiteral("nomenclatures/columns//col"));
    for (const XmlNode row : selectNodes(structure, QStringLiteral("//str"))) {
        RemoveAttribute(row, QStringLiteral("name"));
        for (const XmlNode column : columns) {
            if (GetAttribute(column, QStringLiteral("protected")) == u"1") {
                SetAttribute(row,
                             QStringLiteral("col") + GetAttribute(column, QStringLiteral("id")),
                             QStringLiteral("0"));
            }
        }
    }
    return NodeXml(structure);
}

Result<QByteArray> CreateReportFile(const DomDocument& structure, const QString& path)
{
    const QString version = GetAttribute(structure.documentElement(), QStringLiteral("version"));
    // Characters the code page lacks are kept as references rather than lost.
    const QString text = SkeletonText(version, BuildEmptyStructure(structure));
    if (FirstForbiddenXmlChar(text) >= 0) {
        // The file would be refused when read.
        return WriteFailure(path, EINVAL,
                            QStringLiteral("Структурата съдържа знак, който XML не допуска."));
    }
    QString reason;
    int err = 0;
    const QByteArray bytes = Cp1251EncodeXml(text, &reason);
    if (bytes.isEmpty()) {
        // A character Windows-1251 lacks in a name or a comment of the structure.
        return WriteFailure(path, EINVAL, reason);
    }
    if (!WriteFileAtomically(path, bytes, &reason, &err)) {
        return WriteFailure(path, err, reason);
    }
    return bytes;
}

Result<OpenReport> OpenOrCreateReport(const Municipality& municipality, const Period& period)
{
    return Open(municipality, period, nullptr);
}

Result<ChosenReport> NameReportToCorrect(const DomDocument& chosen, const QString& chosenFile)
{
    const XmlNode positions = selectSingleNode(chosen, QStringLiteral("positions"));
    const Municipality municipality{GetAttribute(positions, QStringLiteral("ob_name")),
                                    GetAttribute(positions, QStringLiteral("ebk"))};
    // The chosen file may come from anywhere: its period and code name the report in Data, so
    // they must not be able to lead outside it.
    const auto period = Period::fromText(GetAttribute(positions, QStringLiteral("period")));
    if (municipality.name.isEmpty() || !period || !IsSafeEbkCode(municipality.ebk)) {
        return Failure::of(Kind::Invalid, chosenFile).about(Subject::ChosenFile);
    }
    return ChosenReport{municipality, *period, ReportFilePath(municipality.ebk, *period)};
}

Result<OpenReport> OpenReportForCorrection(const QString& chosenFile)
{
    ReadReport chosen{chosenFile, std::make_unique<DomDocument>()};
    chosen.document->load(chosenFile);
    const Result<ChosenReport> named = NameReportToCorrect(*chosen.document, chosenFile);
    if (!named) {
        return named.failure();
    }
    return Open(named->municipality, named->period, &chosen);
}

} // namespace kvor
