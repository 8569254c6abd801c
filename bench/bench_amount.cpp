// Amount texts are written and read on every entry, total update and comparison.

#include "core/Amount.h"
#include "core/ReportModel.h"
#include "core/XmlDom.h"

#include <benchmark/benchmark.h>

using namespace kvor;

namespace {

void BM_AmountText(benchmark::State& state)
{
    double v = 1234567.891;
    for (auto _ : state) {
        benchmark::DoNotOptimize(AmountText(v));
        v += 0.01;
    }
}
BENCHMARK(BM_AmountText);

void BM_ParseAmount(benchmark::State& state)
{
    const QString text = QStringLiteral(" 1 234 567,89");
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseAmount(text));
    }
}
BENCHMARK(BM_ParseAmount);

// One committed figure on the deepest row of the sample form: three totals follow.
void BM_CommitWithTotals(benchmark::State& state)
{
    DomDocument structure;
    structure.load(QStringLiteral(KVOR_SAMPLE_DIR "/Structure.xml"));
    ReportModel model(structure, DomDocument());
    constexpr int kLongTermRow = 4; // id 7, sumid 6-3-2
    double v = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.enter(kLongTermRow, grid::kAdded, AmountText(v += 1.5)));
    }
}
BENCHMARK(BM_CommitWithTotals);

} // namespace
