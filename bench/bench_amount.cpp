// Amount texts are written and read on every entry, total update and comparison.

#include "core/Money.h"
#include "core/ReportModel.h"
#include "core/XmlDom.h"

#include <benchmark/benchmark.h>

using namespace kvor;

namespace {

void BM_MoneyText(benchmark::State& state)
{
    std::int64_t stotinki = 123456789;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Money::fromStotinki(stotinki++).text());
    }
}
BENCHMARK(BM_MoneyText);

void BM_MoneyParse(benchmark::State& state)
{
    const QString text = QStringLiteral(" 1 234 567,89");
    for (auto _ : state) {
        benchmark::DoNotOptimize(Money::parse(text));
    }
}
BENCHMARK(BM_MoneyParse);

// One committed figure on the deepest row of the sample form: three totals follow.
void BM_CommitWithTotals(benchmark::State& state)
{
    DomDocument structure;
    structure.load(QStringLiteral(KVOR_SAMPLE_DIR "/Structure.xml"));
    ReportModel model(structure, DomDocument());
    constexpr int kLongTermRow = 4; // id 7, sumid 6-3-2
    std::int64_t stotinki = 0;
    for (auto _ : state) {
        const QString typed = Money::fromStotinki(stotinki += 150).text();
        benchmark::DoNotOptimize(model.enter(kLongTermRow, grid::kAdded, typed));
    }
}
BENCHMARK(BM_CommitWithTotals);

} // namespace
