// Loading the form and a report, their element text form and saving.

#include "core/XmlDom.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace kvor;

namespace {

// A report with n rows, as large reports of a bigger form would be.
QByteArray reportBytes(int rows)
{
    QByteArray text = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
                      "<positions version=\"1\" period=\"03 / 2004\" ob_name=\"x\" ebk=\"1234\">"
                      "<structure name=\"x\">";
    for (int i = 0; i < rows; ++i) {
        text += "<str id=\"" + QByteArray::number(i + 2) +
                "\" sumid=\"3-2\" col1=\"1 234,50\" col6=\"0,00\" col8=\"12,00\" col4=\"1 222,50\"/>";
    }
    text += "</structure></positions>\r\n";
    return text;
}

void BM_LoadStructure(benchmark::State& state)
{
    DomDocument doc;
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc.load(QStringLiteral(KVOR_SAMPLE_DIR "/Structure.xml")));
    }
}
BENCHMARK(BM_LoadStructure);

void BM_LoadReport(benchmark::State& state)
{
    const QByteArray bytes = reportBytes(static_cast<int>(state.range(0)));
    DomDocument doc;
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc.loadBytes(bytes));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_LoadReport)->Arg(27)->Arg(1000);

void BM_ElementTextForm(benchmark::State& state)
{
    DomDocument doc;
    doc.loadBytes(reportBytes(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        benchmark::DoNotOptimize(NodeXml(doc.documentElement()));
    }
}
BENCHMARK(BM_ElementTextForm)->Arg(27)->Arg(1000);

void BM_SaveReport(benchmark::State& state)
{
    QTemporaryDir dir;
    DomDocument doc;
    doc.loadBytes(reportBytes(27));
    const QString path = dir.filePath(QStringLiteral("r.xml"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc.save(path));
    }
}
BENCHMARK(BM_SaveReport);

void BM_SelectRows(benchmark::State& state)
{
    DomDocument doc;
    doc.loadBytes(reportBytes(1000));
    for (auto _ : state) {
        benchmark::DoNotOptimize(selectNodes(doc, QStringLiteral("positions/structure//str")));
    }
}
BENCHMARK(BM_SelectRows);

} // namespace
