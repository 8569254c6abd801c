// The form the program draws, read back as its reader would: pdfinfo for the pages and the paper,
// pdffonts for the embedded fonts, pdftotext for every text of the printed sheet in its order; and
// `kvor --pdf` refusing what it cannot use, with nothing written.

#include "GeneratedReport.h"
#include "core/Messages.h"
#include "core/ReportModel.h"
#include "printout/FormCells.h"
#include "printout/FormPdf.h"
#include "support/Files.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kvor;

namespace {

QString RunTool(const QString& program, const QStringList& args, int* status = nullptr,
                QString* err = nullptr)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(program, args);
    process.waitForFinished(120000);
    if (status) {
        *status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    if (err) {
        *err = QString::fromUtf8(process.readAllStandardError());
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The generated forms are UTF-8 text; their declaration is made to say so.
QByteArray Utf8(QByteArray xml)
{
    return xml.replace("windows-1251", "UTF-8");
}

QStringList Words(const QStringList& texts)
{
    return texts.join(u' ').split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

struct FormCase
{
    const char* name;
    int rows;
    bool commandLine; // through `kvor --pdf` with the program folder's structure (the sample's)
    bool onePage;
};

class FormPdfText : public testing::TestWithParam<FormCase>
{
};

TEST_P(FormPdfText, ReadsAsThePrintedSheet)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        GTEST_SKIP() << "poppler-utils are not installed";
    }
    const FormCase& c = GetParam();
    QTemporaryDir dir;
    const QString report = dir.filePath(QStringLiteral("report.xml"));
    const QString pdf = dir.filePath(QStringLiteral("form.pdf"));
    ASSERT_TRUE(test::WriteBytes(report, Utf8(bench::ReportXml(c.rows, true))));
    DomDocument structure;
    DomDocument document;
    if (c.commandLine) {
        ASSERT_EQ(structure.load(QStringLiteral(KVOR_SAMPLE_DIR "/Structure.xml")), kLoadOk);
    } else {
        structure.loadBytes(
            Utf8(bench::StructureXml(c.rows, bench::SampleProportionCodes(c.rows))));
    }
    ASSERT_EQ(document.load(report), kLoadOk);
    const ReportModel model(structure, document);
    const PrintoutInput input =
        PrintoutOf(model, QStringLiteral("Банско"), QStringLiteral("03 / 2004"), msg::kNote);
    if (c.commandLine) {
        int status = -1;
        RunTool(QStringLiteral(KVOR_EXECUTABLE), {QStringLiteral("--pdf"), report, pdf}, &status);
        ASSERT_EQ(status, 0);
    } else {
        ASSERT_TRUE(SaveFormPdf(input, pdf).ok());
    }

    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QStringLiteral("842 x 595 pts (A4)"))) << info.toStdString();
    const int pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    EXPECT_EQ(pages == 1, c.onePage) << pages;
    // Every font embedded: the emb column, fifth from the end of each font's line.
    const QStringList fonts = RunTool(QStringLiteral("pdffonts"), {pdf}).split(u'\n').mid(2);
    for (const QString& line : fonts) {
        const QStringList cols = line.split(u' ', Qt::SkipEmptyParts);
        EXPECT_TRUE(cols.isEmpty() || cols.value(cols.size() - 5) == u"yes") << line.toStdString();
    }

    // The sheet's texts, word by word, in the order of the PDF's text; the heading repeated on
    // further pages and the page numbers come in between.
    const QStringList pdfWords = Words(
        {RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")})});
    const QStringList sheetWords = Words(FormCells(input).texts());
    qsizetype at = 0;
    for (const QString& word : sheetWords) {
        while (at < pdfWords.size() && pdfWords[at] != word) {
            ++at;
        }
        ASSERT_LT(at, pdfWords.size()) << "missing or out of order: " << word.toStdString();
        ++at;
    }
    if (!c.onePage) {
        EXPECT_TRUE(pdfWords.join(u' ').contains(QStringLiteral("Страница %1 от %1").arg(pages)));
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, FormPdfText,
                         testing::Values(FormCase{"sample", 27, true, true},
                                         FormCase{"generated1000", 1000, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase
{
    const char* name;
    QByteArray report; // empty: no report file at all
    const char* output;
};

class PdfCommandRefuses : public testing::TestWithParam<RefusedCase>
{
};

// Exit status 2, a message in Bulgarian, and an older file of the output's name left as it was.
TEST_P(PdfCommandRefuses, WritesNothing)
{
    const RefusedCase& c = GetParam();
    QTemporaryDir dir;
    const QString report = dir.filePath(QStringLiteral("report.xml"));
    if (!c.report.isEmpty()) {
        ASSERT_TRUE(test::WriteBytes(report, c.report));
    }
    const QString out = dir.filePath(QString::fromUtf8(c.output));
    test::WriteBytes(dir.filePath(QStringLiteral("old.pdf")), "old");
    const QStringList before = test::Listing(dir.path());
    int status = -1;
    QString err;
    RunTool(QStringLiteral(KVOR_EXECUTABLE), {QStringLiteral("--pdf"), report, out}, &status, &err);
    EXPECT_EQ(status, 2);
    EXPECT_TRUE(err.startsWith(QStringLiteral("kvor: "))) << err.toStdString();
    EXPECT_EQ(test::Listing(dir.path()), before);
    EXPECT_EQ(test::ReadBytes(dir.filePath(QStringLiteral("old.pdf"))), "old");
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, PdfCommandRefuses,
    testing::Values(RefusedCase{"missingReport", {}, "form.pdf"},
                    RefusedCase{"cutShort", bench::ReportXml(27, true).left(300), "old.pdf"},
                    RefusedCase{"notAReport", "<?xml version=\"1.0\"?><nomenclatures/>", "x.pdf"},
                    RefusedCase{"noSuchFolder", bench::ReportXml(27, true), "none/form.pdf"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
