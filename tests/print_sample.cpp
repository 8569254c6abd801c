// Prints the sample report (the sample structure, Пловдив, 03 / 2004, amounts in every figure
// column) as the "Към Excel" button does and keeps the spreadsheet file it opens, so that a
// reader independent of the program can check it.
//
// Usage: print_sample <structure.xml> <out.xlsx>

#include "printout/PrintReport.h"
#include "printout/SpreadsheetOpener.h"
#include "support/FakePlatform.h"
#include "support/SampleReport.h"

#include <QFile>
#include <QLocale>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: print_sample <structure.xml> <out.xlsx>\n");
        return 2;
    }
    using namespace kvor;
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    test::FakePlatform fake;
    AppState state;
    if (!test::LoadSampleState(state, QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "the structure file cannot be loaded\n");
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    QStringList opened;
    SpreadsheetOpener() = [&](const QString& path) {
        opened << path;
        QFile::remove(out);
        return QFile::copy(path, out);
    };
    cmdPrint_Click(test::ReportGrid(state.xmlStructure, test::GrowingAmounts), state);
    for (const QString& text : fake.texts()) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    for (const QString& path : opened) {
        QFile::remove(path);
    }
    return opened.size() == 1 && fake.messages.isEmpty() && fake.busyDepth == 0 ? 0 : 1;
}
