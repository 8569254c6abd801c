// The PDF of the official form drawn by the program, for forms of 27, 1,000 and 32,000 rows: from
// the report model to the finished file's bytes (the form's cells, the layout, the drawing and the
// embedded fonts). The atomic write that follows costs what any write of those bytes costs.

#include "GeneratedReport.h"
#include "core/Messages.h"
#include "core/ReportModel.h"
#include "printout/FormPdf.h"
#include "printout/PrintoutInput.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <clocale>

using namespace kvor;

namespace {

void BM_FormPdf(benchmark::State& st)
{
    const int rows = int(st.range(0));
    // The generated forms are UTF-8 text under a windows-1251 declaration.
    DomDocument structure;
    DomDocument report;
    structure.loadBytes(bench::StructureXml(rows, bench::SampleProportionCodes(rows))
                            .replace("windows-1251", "UTF-8"));
    report.loadBytes(bench::ReportXml(rows, true).replace("windows-1251", "UTF-8"));
    const ReportModel model(structure, report);
    const PrintoutInput input =
        PrintoutOf(model, QStringLiteral("Банско"), QStringLiteral("03 / 2004"), msg::kNote);
    qint64 bytes = 0;
    for (auto _ : st) {
        bytes = FormPdf(input).size();
        benchmark::DoNotOptimize(bytes);
    }
    st.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_FormPdf)->Arg(27)->Arg(1000)->Arg(32000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
