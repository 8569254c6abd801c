// Prints the sample report (the sample structure, Пловдив, 03 / 2004, amounts in every figure
// column) as the "Към Excel" button does and keeps the spreadsheet file it opens, so that a reader
// independent of the program can check it. With a row count, the report rows are the sample's
// over and over up to that many.
//
// Usage: print_sample <structure.xml> <out.xlsx> [report rows]

#include "core/Messages.h"
#include "core/OpenReport.h"
#include "printout/PrintReport.h"
#include "printout/SpreadsheetOpener.h"
#include "support/FakePlatform.h"
#include "support/SampleReport.h"

#include <QFile>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: print_sample <structure.xml> <out.xlsx> [report rows]\n");
        return 2;
    }
    using namespace kvor;
    test::FakePlatform fake;
    OpenReport state;
    if (!test::LoadSampleState(state, QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "the structure file cannot be loaded\n");
        return 1;
    }
    test::FillReport(*state.document, *state.structure, test::GrowingAmounts);
    const ReportModel report(*state.structure, *state.document);
    PrintoutInput in = PrintoutOf(report, state.municipality.name, state.period.text(), msg::kNote);
    if (argc == 4) {
        const size_t sample = in.rows.size() - grid::kHeadingRows;
        const size_t rows = size_t(std::max(std::atoi(argv[3]), 0)) + grid::kHeadingRows;
        for (size_t r = grid::kHeadingRows; r < rows && sample > 0; ++r) {
            if (r >= in.rows.size()) {
                in.rows.push_back(in.rows[grid::kHeadingRows + (r - grid::kHeadingRows) % sample]);
                in.highlighted.push_back(
                    in.highlighted[grid::kHeadingRows + (r - grid::kHeadingRows) % sample]);
            }
        }
        in.rows.resize(rows);
        in.highlighted.resize(rows);
    }

    const QString out = QString::fromLocal8Bit(argv[2]);
    QStringList opened;
    SpreadsheetOpener() = [&](const QString& path) {
        opened << path;
        QFile::remove(out);
        return QFile::copy(path, out);
    };
    PrintoutRun run;
    const PrintReportResult result = printReport(in, run);
    for (const QString& text : fake.texts()) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    QFile::remove(result.path);
    return opened.size() == 1 && fake.messages.isEmpty() && fake.busyDepth == 0 ? 0 : 1;
}
