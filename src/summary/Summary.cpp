#include "summary/Summary.h"

#include "core/FileRead.h"
#include "core/ReportDocument.h"
#include "core/ReportFiles.h"
#include "core/StructureFile.h"
#include "core/VerifyReport.h"
#include "core/XmlDom.h"
#include "summary/ReportCheck.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <map>

namespace kvor::summary {

namespace {

// A file found in the folders, as far as the first reading tells: which municipality and month it
// is for, and whether it reads as a report at all. The report itself is not kept.
struct FileEntry
{
    QString path;
    std::optional<Period> period;
    QString ebk;
    QString name;
    QByteArray digest;  // of the file's bytes: two files of a month are compared by it
    QString unreadable; // why the file is no readable report; empty when it is one
};

// The name the program gives a report: mfddd_sd_<EBK>_<year>_<month>.xml. Used only for a file
// that cannot be read, to tell whose and which month's it was meant to be.
void TakeFromFileName(FileEntry& entry)
{
    static const QRegularExpression kName(QStringLiteral("^mfddd_sd_(.+)_(\\d{4})_(\\d{2})\\.xml$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const auto match = kName.match(QFileInfo(entry.path).fileName());
    if (match.hasMatch()) {
        entry.ebk = match.captured(1);
        entry.period = Period::parse(match.captured(3) + u'/' + match.captured(2));
    }
}

FileEntry ReadEntry(const QString& path)
{
    FileEntry entry{path, {}, {}, {}, {}, {}};
    const ReadResult read = ReadRegularFile(path);
    if (read.status != ReadStatus::Ok) {
        entry.unreadable = read.status == ReadStatus::NotRegular
                               ? QStringLiteral("не е обикновен файл")
                               : read.reason;
        TakeFromFileName(entry);
        return entry;
    }
    entry.digest = QCryptographicHash::hash(read.bytes, QCryptographicHash::Sha256);
    DomDocument doc;
    if (doc.loadBytes(read.bytes) != kLoadOk) {
        entry.unreadable =
            QStringLiteral("файлът не може да бъде прочетен като XML (%1)").arg(doc.errorReason());
        TakeFromFileName(entry);
        return entry;
    }
    const XmlNode root = doc.documentElement();
    entry.period = Period::parse(GetAttribute(root, QStringLiteral("period")));
    entry.ebk = GetAttribute(root, QStringLiteral("ebk")).trimmed();
    entry.name = GetAttribute(root, QStringLiteral("ob_name"));
    if (std::string_view(root.name()) != "positions" || !entry.period || entry.ebk.isEmpty()) {
        entry.unreadable = QStringLiteral("не е справка (няма период или код по ЕБК)");
        entry.period.reset();
        TakeFromFileName(entry);
    }
    return entry;
}

struct Municipality
{
    QString ebk;
    QString name;
};

class Summarizer final
{
public:
    explicit Summarizer(const SummaryOptions& options) : m_options(options) {}

    SummaryResult run();

private:
    void readStructure();
    std::vector<Municipality> readRegister();
    void catalogue();
    void choosePeriod();
    void summarize(const Municipality& m, bool inRegister);
    Status checkReport(const QString& path, const QString& ebk, const FindingSink& note,
                       MunicipalityLine& line);
    std::optional<std::vector<Money>> previousClosings(const QString& ebk, QString* file);
    void sum(const std::vector<Amounts>& amounts);
    void problem(const QString& what) { m_result.problems << what; }

    const SummaryOptions& m_options;
    SummaryResult m_result;
    std::vector<FileEntry> m_files;
    std::map<QString, std::vector<size_t>> m_ofPeriod;   // by EBK code
    std::map<QString, std::vector<size_t>> m_ofPrevious; // the month before, by EBK code
    bool m_sumOverflowed = false;
};

void Summarizer::readStructure()
{
    const QString path = m_options.structurePath;
    const ReadResult read = ReadRegularFile(path);
    DomDocument doc;
    QString why = read.reason;
    if (read.status == ReadStatus::Ok) {
        if (doc.loadBytes(read.bytes) != kLoadOk) {
            why = doc.errorReason();
        } else if (!IsUsableStructure(doc) || !(m_result.form = SummaryForm::fromStructure(doc))) {
            why = QStringLiteral("не е описание на справката");
        } else {
            m_result.structureXml = read.bytes;
            return;
        }
    }
    problem(QStringLiteral("%1: формата на справката не може да бъде използвана (%2); редовете се "
                           "вземат от първата цяла справка")
                .arg(path, why.isEmpty() ? QStringLiteral("не е обикновен файл") : why));
}

std::vector<Municipality> Summarizer::readRegister()
{
    DomDocument reg;
    std::vector<Municipality> list;
    if (reg.load(m_options.registerPath) == kLoadOk) {
        for (const XmlNode row : selectNodes(reg, QStringLiteral("xml/rs:data/z:row"))) {
            list.push_back({GetAttribute(row, QStringLiteral("OB_Num")).trimmed(),
                            GetAttribute(row, QStringLiteral("OB_Name"))});
        }
    }
    if (list.empty()) {
        const QString why = reg.errorCode() != kLoadOk ? reg.errorReason()
                                                       : QStringLiteral("няма нито една община");
        problem(QStringLiteral("%1: регистърът на общините не може да бъде използван (%2); "
                               "липсващите общини не се проверяват")
                    .arg(m_options.registerPath, why));
    }
    return list;
}

void Summarizer::catalogue()
{
    QSet<QString> seen;
    for (const QString& argument : m_options.folders) {
        if (!QFileInfo::exists(argument) && !QFileInfo(argument).isSymLink()) {
            problem(QStringLiteral("%1: няма такъв файл или папка").arg(argument));
            continue;
        }
        // The same walk as kvor-verify's: folders it cannot read and names it cannot show are
        // told with their reason; the run goes on with the rest.
        for (const ReportFileEntry& entry : ReportFilesOf(QFile::encodeName(argument))) {
            if (!entry.problem.isEmpty()) {
                problem(entry.path + QStringLiteral(": ") + entry.problem);
            } else if (!seen.contains(QFileInfo(entry.path).absoluteFilePath())) {
                seen.insert(QFileInfo(entry.path).absoluteFilePath());
                m_files.push_back(ReadEntry(entry.path));
            }
        }
    }
}

void Summarizer::choosePeriod()
{
    std::optional<Period>& chosen = m_result.period;
    chosen = m_options.period;
    // The latest month of a report that reads; of any file only where none reads.
    for (const bool readableOnly : {true, false}) {
        for (const FileEntry& f : m_files) {
            const bool counts = f.period && (f.unreadable.isEmpty() || !readableOnly);
            if (!m_options.period && counts && (!chosen || f.period->key() > chosen->key())) {
                chosen = f.period;
            }
        }
        if (chosen) {
            break;
        }
    }
    for (size_t i = 0; i < m_files.size(); ++i) {
        const FileEntry& f = m_files[i];
        if (!f.period) {
            Finding unknown;
            unknown.file = f.path;
            unknown.meaning = f.unreadable + QStringLiteral("; месецът не е известен");
            m_result.findings.push_back(unknown);
        } else if (*f.period == *chosen) {
            m_ofPeriod[f.ebk].push_back(i);
        } else {
            ++m_result.otherPeriodFiles;
            if (*f.period == chosen->previous()) {
                m_ofPrevious[f.ebk].push_back(i);
            }
        }
    }
}

SummaryResult Summarizer::run()
{
    readStructure();
    const std::vector<Municipality> municipalities = readRegister();
    catalogue();
    choosePeriod();
    if (!m_result.period) {
        return std::move(m_result);
    }
    QSet<QString> registered;
    for (const Municipality& m : municipalities) {
        registered.insert(m.ebk);
        summarize(m, true);
    }
    for (const auto& [ebk, files] : m_ofPeriod) {
        if (!registered.contains(ebk)) {
            summarize({ebk, m_files[files.front()].name}, municipalities.empty());
        }
    }
    if (m_sumOverflowed) {
        m_result.findings.push_back(
            {{}, {}, {}, {}, {}, {}, {}, QStringLiteral("сборът излиза извън обхвата на числата")});
    }
    if (m_result.form && m_result.structureXml.isEmpty()) {
        m_result.structureXml = m_result.form->structureXml();
    }
    return std::move(m_result);
}

// The closing amounts of the municipality's report of the month before, when exactly one version
// of it is among the files, it is intact and it fits the form.
std::optional<std::vector<Money>> Summarizer::previousClosings(const QString& ebk, QString* file)
{
    const auto found = m_ofPrevious.find(ebk);
    if (found == m_ofPrevious.end() || !m_result.form) {
        return std::nullopt;
    }
    const FileEntry& first = m_files[found->second.front()];
    for (const size_t i : found->second) {
        if (m_files[i].digest != first.digest || !m_files[i].unreadable.isEmpty()) {
            return std::nullopt;
        }
    }
    DomDocument doc;
    if (VerifyReportFile(first.path, doc).status != VerifyStatus::Ok) {
        return std::nullopt;
    }
    const auto amounts = ReadAmounts(doc, *m_result.form, [](int, int, auto, auto, auto&) {});
    if (!amounts) {
        return std::nullopt;
    }
    std::vector<Money> closings;
    closings.reserve(amounts->size());
    for (const Amounts& a : *amounts) {
        closings.push_back(a[kClosing]);
    }
    *file = first.path;
    return closings;
}

void Summarizer::sum(const std::vector<Amounts>& amounts)
{
    m_result.sums.resize(amounts.size());
    for (size_t n = 0; n < amounts.size(); ++n) {
        for (size_t c = 0; c < size_t(kAmountColumns); ++c) {
            const auto total = m_result.sums[n][c].plus(amounts[n][c]);
            m_sumOverflowed = m_sumOverflowed || !total;
            m_result.sums[n][c] = total.value_or(m_result.sums[n][c]);
        }
    }
    ++m_result.summed;
}

// Reads the report of the month once, checks it and adds it to the sums when it is intact.
Status Summarizer::checkReport(const QString& path, const QString& ebk, const FindingSink& note,
                               MunicipalityLine& line)
{
    // The month before first, so that one document is held at a time.
    QString previousFile;
    auto closings = previousClosings(ebk, &previousFile);
    DomDocument doc;
    const VerifyResult verified = VerifyReportFile(path, doc);
    if (verified.status != VerifyStatus::Ok) {
        note(-1, -1, {}, {}, verified.reason);
        const bool changed =
            verified.status == VerifyStatus::NoHash || verified.status == VerifyStatus::HashDiffers;
        return changed ? Status::Changed : Status::Unreadable;
    }
    if (!m_result.form) {
        // Without a usable structure the first intact report gives the rows.
        m_result.form = SummaryForm::fromReport(doc);
        closings = previousClosings(ebk, &previousFile);
    }
    const size_t before = m_result.findings.size();
    const auto amounts = m_result.form ? ReadAmounts(doc, *m_result.form, note) : std::nullopt;
    if (!amounts) {
        return Status::Inconsistent;
    }
    const bool figuresRead = before == m_result.findings.size();
    const PreviousMonth previous{closings.value_or(std::vector<Money>()), previousFile};
    const bool consistent =
        CheckAmounts(*m_result.form, *amounts, closings ? &previous : nullptr, note) && figuresRead;
    sum(*amounts);
    line.firstTotal = (*amounts)[size_t(m_result.form->firstTotal())];
    return consistent ? Status::Ok : Status::Inconsistent;
}

void Summarizer::summarize(const Municipality& m, bool inRegister)
{
    MunicipalityLine line{m.ebk, m.name, {}, Status::Missing, {}, inRegister};
    const auto findingAt = [&](const QString& file) {
        return [this, &m, file](int row, int column, std::optional<Money> expected,
                                std::optional<Money> found, const QString& meaning) {
            const SummaryForm* form = m_result.form ? &*m_result.form : nullptr;
            const QString caption = row < 0 || !form ? QString()
                                    : form->rows()[size_t(row)].caption.isEmpty()
                                        ? QStringLiteral("Ред ") + form->rows()[size_t(row)].id
                                        : form->rows()[size_t(row)].caption;
            m_result.findings.push_back(
                {m.ebk, m.name, file, caption, ColumnName(column), expected, found, meaning});
        };
    };
    const auto files = m_ofPeriod.find(m.ebk);
    if (files == m_ofPeriod.end()) {
        findingAt({})(-1, -1, {}, {}, QStringLiteral("няма справка за периода"));
        m_result.lines.push_back(line);
        return;
    }
    const std::vector<size_t>& ofMonth = files->second;
    const FileEntry& entry = m_files[ofMonth.front()];
    QStringList paths;
    bool differ = false;
    for (const size_t i : ofMonth) {
        paths << m_files[i].path;
        differ = differ || m_files[i].digest != entry.digest || !m_files[i].unreadable.isEmpty();
    }
    line.file = paths.join(QStringLiteral("; "));
    if (!inRegister) {
        findingAt(entry.path)(-1, -1, {}, {},
                              QStringLiteral("кодът по ЕБК не е в регистъра на общините"));
    }
    if (differ && ofMonth.size() > 1) {
        line.status = Status::Conflicting;
        for (const size_t i : ofMonth) {
            findingAt(m_files[i].path)(-1, -1, {}, {},
                                       QStringLiteral("за същата община и месец има и друг файл с "
                                                      "различно съдържание; не е сумиран"));
        }
    } else if (!entry.unreadable.isEmpty()) {
        line.status = Status::Unreadable;
        findingAt(entry.path)(-1, -1, {}, {}, entry.unreadable);
    } else {
        line.file = entry.path;
        line.status = checkReport(entry.path, m.ebk, findingAt(entry.path), line);
    }
    m_result.lines.push_back(line);
}

} // namespace

QString StatusText(Status status)
{
    switch (status) {
    case Status::Ok:
        return QStringLiteral("наред");
    case Status::Inconsistent:
        return QStringLiteral("с несъответствия");
    case Status::Changed:
        return QStringLiteral("променена след записа");
    case Status::Unreadable:
        return QStringLiteral("нечетим файл");
    case Status::Conflicting:
        return QStringLiteral("два различни файла");
    case Status::Missing:
        return QStringLiteral("липсва");
    }
    return {};
}

int SummaryResult::count(Status status) const
{
    return int(std::count_if(lines.begin(), lines.end(),
                             [status](const MunicipalityLine& l) { return l.status == status; }));
}

SummaryResult Summarize(const SummaryOptions& options)
{
    return Summarizer(options).run();
}

} // namespace kvor::summary
