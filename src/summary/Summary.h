#pragma once
// A month's reports of every municipality, checked and summed for whoever receives them: each
// report's hash, its sums row by row and total by total, its opening amounts against the month
// before, and which municipalities of the register have no report or two different ones. Reads
// one report at a time; only the sums of the form's rows are kept.

#include "summary/SummaryForm.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kvor::summary {

// What became of a municipality's report for the month.
enum class Status
{
    Ok,           // intact and consistent
    Inconsistent, // intact, but a sum, a total or an opening amount disagrees
    Changed,      // changed after it was saved, or never saved with a hash
    Unreadable,   // not a regular file, too large, or not a report
    Conflicting,  // two files of the month with different contents
    Missing,      // no report for the month
};
inline constexpr int kStatusCount = int(Status::Missing) + 1;
// In words, for the receiver.
QString StatusText(Status status);

// One thing found, as the receiver reads it.
struct Finding
{
    QString ebk;
    QString municipality;
    QString file;
    QString row;    // the row's caption; empty when the finding is about the whole file
    QString column; // ColumnName; empty when about the whole row or file
    std::optional<Money> expected;
    std::optional<Money> found;
    QString meaning;
};

struct MunicipalityLine
{
    QString ebk;
    QString name;
    QString file; // the files, "; " between them, when there are several
    Status status = Status::Missing;
    std::optional<Amounts> firstTotal; // of an intact report that fits the form
    bool inRegister = true;
};

struct SummaryOptions
{
    QStringList folders;          // folders or single files
    std::optional<Period> period; // the latest period found when not given
    QString registerPath;         // Obshtini.xml
    QString structurePath;        // Structure.xml
};

struct SummaryResult
{
    std::optional<Period> period; // none when no report of any period was found
    std::vector<MunicipalityLine> lines;
    std::vector<Finding> findings;
    // The form's rows summed over the intact reports that fit the form.
    std::vector<Amounts> sums;
    int summed = 0;
    int otherPeriodFiles = 0; // left out
    // Files, folders, the register or the structure that could not be used, with the reason: a
    // file error. The run went on without them.
    QStringList problems;
    // The structure the sums are laid out by: Structure.xml, or one made of the form's rows.
    QByteArray structureXml;
    std::optional<SummaryForm> form;

    int count(Status status) const;
    // Reports of a period were found, every one intact and consistent, and nothing else.
    bool allInOrder() const { return period && findings.empty(); }
};

SummaryResult Summarize(const SummaryOptions& options);

} // namespace kvor::summary
