// The finishing of a written spreadsheet file: the default style's font and the application's
// name change, every other part keeps its bytes; archives that are not as expected are refused.

#include "printout/XlsxFile.h"
#include "printout/ZipEntries.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

using namespace kvor;

namespace {

// A small workbook as the spreadsheet writer makes it, with a data descriptor after each part.
QByteArray WrittenWorkbook()
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("w.xlsx")));
    lxw_workbook* book = workbook_new(path.constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Лист1");
    worksheet_write_string(sheet, 0, 0, "СПРАВКА", nullptr);
    worksheet_write_number(sheet, 1, 0, 1234.5, nullptr);
    workbook_close(book);
    QFile f(QString::fromLocal8Bit(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const char* const kParts[] = {"[Content_Types].xml",        "_rels/.rels",
                              "docProps/core.xml",          "xl/workbook.xml",
                              "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml",
                              "xl/sharedStrings.xml",       "xl/theme/theme1.xml"};

TEST(FinishXlsx, NormalStyleIsArial10AndTheApplicationIsTheProgram)
{
    const QByteArray written = WrittenWorkbook();
    ASSERT_FALSE(written.isEmpty());
    QString reason;
    const auto finished = FinishXlsx(written, &reason);
    ASSERT_TRUE(finished) << reason.toStdString();

    const QByteArray styles = ReadZipEntry(*finished, "xl/styles.xml").value_or("");
    const qsizetype fonts = styles.indexOf("<fonts ");
    ASSERT_GE(fonts, 0);
    const qsizetype first = styles.indexOf("<font>", fonts);
    EXPECT_EQ(styles.mid(first, styles.indexOf("</font>", first) + 7 - first).toStdString(),
              "<font><sz val=\"10\"/><color theme=\"1\"/><name val=\"Arial\"/>"
              "<family val=\"2\"/></font>");
    EXPECT_FALSE(styles.contains("Calibri"));
    const QByteArray app = ReadZipEntry(*finished, "docProps/app.xml").value_or("");
    EXPECT_TRUE(app.contains("<Application>KVOR</Application>")) << app.toStdString();
    EXPECT_FALSE(app.contains("Microsoft"));
    for (const char* part : kParts) {
        SCOPED_TRACE(part);
        const auto before = ReadZipEntry(written, part);
        ASSERT_TRUE(before);
        EXPECT_EQ(ReadZipEntry(*finished, part), before);
    }
    // A finished file finishes again to the same parts.
    const auto again = FinishXlsx(*finished);
    ASSERT_TRUE(again);
    EXPECT_EQ(ReadZipEntry(*again, "xl/styles.xml"), ReadZipEntry(*finished, "xl/styles.xml"));
}

struct DamageCase
{
    const char* name;
    std::function<void(QByteArray&)> damage;
};

class DamagedArchives : public ::testing::TestWithParam<DamageCase>
{
};

TEST_P(DamagedArchives, AreRefusedWithAReason)
{
    QByteArray zip = WrittenWorkbook();
    GetParam().damage(zip);
    QString reason;
    EXPECT_FALSE(FinishXlsx(zip, &reason));
    EXPECT_FALSE(reason.isEmpty());
}

// Where the central directory starts, read from the end record.
qsizetype CentralStart(const QByteArray& zip)
{
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    return qsizetype(uint8_t(zip[end + 16])) | qsizetype(uint8_t(zip[end + 17])) << 8 |
           qsizetype(uint8_t(zip[end + 18])) << 16;
}

// Flips a byte inside the packed bytes of the named part.
void DamagePart(QByteArray& zip, const char* name)
{
    const qsizetype at = zip.indexOf(name);
    zip[at + qsizetype(strlen(name)) + 10] = char(zip[at + qsizetype(strlen(name)) + 10] ^ 0x55);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedArchives,
    ::testing::Values(
        DamageCase{"empty", [](QByteArray& z) { z.clear(); }},
        DamageCase{"no_end_record", [](QByteArray& z) { z.chop(22); }},
        DamageCase{"cut_in_the_middle", [](QByteArray& z) { z.remove(z.size() / 2, 200); }},
        DamageCase{"central_directory_past_the_end",
                   [](QByteArray& z) {
                       const qsizetype end = z.lastIndexOf(QByteArray("PK\x05\x06", 4));
                       z[end + 19] = char(0x7F);
                   }},
        DamageCase{
            "local_header_moved",
            [](QByteArray& z) { z[CentralStart(z) + 42] = char(z[CentralStart(z) + 42] + 1); }},
        DamageCase{"styles_damaged", [](QByteArray& z) { DamagePart(z, "xl/styles.xml"); }},
        DamageCase{"styles_missing",
                   [](QByteArray& z) { z.replace("xl/styles.xml", "xl/stylez.xml"); }},
        DamageCase{"application_missing",
                   [](QByteArray& z) {
                       z = *EditZipEntries(z, {{"docProps/app.xml", [](const QByteArray&) {
                                                    return std::optional<QByteArray>("<x/>");
                                                }}});
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
