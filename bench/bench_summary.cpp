// kvor-summary's reading, checking and summing of a year of reports of every municipality of the
// register: 265 municipalities × 12 months of the sample's form, made once in a temporary folder
// by the editor's report model and hash. Target: ≤ 2 s for the 3,180 files.

#include "core/ReportHash.h"
#include "core/XmlDom.h"
#include "summary/Summary.h"
#include "support/FakePlatform.h"
#include "support/MonthReports.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sys/resource.h>

using namespace kvor;

namespace {

const QString kSample = QStringLiteral(KVOR_SAMPLE_DIR);
constexpr int kMonths = 12;
constexpr int kYear = 2004;

// Every report of the year for the first `municipalities` of the register. The first report is
// made as the editor makes a new one; the others are that document restamped, their figures
// entered into the report model and the hash taken, written without the synced replacement that
// would make the setting up take minutes.
std::unique_ptr<QTemporaryDir> MakeYear(int municipalities)
{
    test::FakePlatform fake;
    auto dir = std::make_unique<QTemporaryDir>();
    const QString structurePath = kSample + QStringLiteral("/Structure.xml");
    const test::MadeReport first =
        test::MakeReport(dir->filePath("first"), structurePath, "0000", "Първа", 1, kYear, 1);
    DomDocument structure;
    structure.load(structurePath);
    DomDocument reg;
    reg.load(kSample + QStringLiteral("/Obshtini.xml"));
    const auto rows = selectNodes(reg, QStringLiteral("xml/rs:data/z:row"));
    const int cols[] = {grid::kOpening, grid::kAdded, grid::kSubtracted};
    for (int m = 0; m < municipalities && m < int(rows.size()); ++m) {
        for (int month = 1; month <= kMonths; ++month) {
            DomDocument doc;
            doc.load(first.path);
            const XmlNode root = doc.documentElement();
            const QString ebk = GetAttribute(rows[size_t(m)], QStringLiteral("OB_Num"));
            SetAttribute(root, QStringLiteral("period"),
                         QStringLiteral("%1 / %2").arg(month, 2, 10, QChar(u'0')).arg(kYear));
            SetAttribute(root, QStringLiteral("ob_name"),
                         GetAttribute(rows[size_t(m)], QStringLiteral("OB_Name")));
            SetAttribute(root, QStringLiteral("ebk"), ebk);
            ReportModel model(structure, doc);
            for (int n = 0; n < model.rowCount(); ++n) {
                const auto typed = test::TypedStotinki(m + 1, n, month);
                for (size_t c = 0; c < 3; ++c) {
                    if (model.isEditable(n, cols[c])) {
                        model.enter(n, cols[c], Money::fromStotinki(typed[c]).text());
                    }
                }
            }
            model.store(doc);
            const QByteArray bytes =
                doc.toBytesWithDerivedAttribute(QStringLiteral("hash"), [](QStringView text) {
                    return DocumentHash(text).value_or(QString());
                });
            QFile file(dir->filePath(QStringLiteral("reports/%1/mfddd_sd_%2_%3_%4.xml")
                                         .arg(month)
                                         .arg(ebk)
                                         .arg(kYear)
                                         .arg(month, 2, 10, QChar(u'0'))));
            QDir().mkpath(QFileInfo(file).absolutePath());
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
                return nullptr;
            }
        }
    }
    return dir;
}

void BM_SummaryOfAYear(benchmark::State& state)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> years;
    const int municipalities = int(state.range(0));
    auto& year = years[municipalities];
    if (!year) {
        year = MakeYear(municipalities);
    }
    if (!year) {
        state.SkipWithError("the reports could not be written");
        return;
    }
    const summary::SummaryOptions options{{year->filePath("reports")},
                                          std::nullopt,
                                          kSample + QStringLiteral("/Obshtini.xml"),
                                          kSample + QStringLiteral("/Structure.xml")};
    summary::SummaryResult result;
    for (auto _ : state) {
        result = summary::Summarize(options);
        benchmark::DoNotOptimize(result);
    }
    // Every report of December intact and consistent, and the other months set aside.
    if (result.summed != municipalities ||
        result.otherPeriodFiles != municipalities * (kMonths - 1)) {
        state.SkipWithError("the year was not read as made");
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["files"] = double(municipalities * kMonths);
    state.counters["peak_rss_MiB"] = double(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_SummaryOfAYear)->Arg(10)->Arg(265)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
