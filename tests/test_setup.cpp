// Setting a report up without the dialog: the register, the structure file and its checks, and
// the carry of the previous month's closing amounts.

#include "core/Messages.h"
#include "core/PrevData.h"
#include "core/Register.h"
#include "core/StructureFile.h"
#include "core/XmlDom.h"
#include "support/Files.h"
#include "support/Opening.h"
#include "support/ProgramFolder.h"

#include <gtest/gtest.h>

using namespace kvor;

namespace {

class Setup : public ::testing::Test
{
protected:
    test::FakePlatform fake;
    OpenReport state = test::EmptyReport();
    test::ProgramFolder folder{fake};
};

QByteArray Register(const QByteArray& rows)
{
    return "<?xml version='1.0' encoding='windows-1251'?>\r\n"
           "<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>\r\n"
           "<s:Schema id='RowsetSchema' xmlns:s='uuid:x'/>\r\n<rs:data>\r\n" +
           rows + "</rs:data>\r\n</xml>\r\n";
}

// --- the register ------------------------------------------------------------------------------

struct RegisterCase
{
    const char* name;
    QByteArray file;
    const char* names; // joined by "|"
    const char* codes; // EBK of positions 0, 1, 2, 3, joined by "|"
};

class Registers : public Setup, public ::testing::WithParamInterface<RegisterCase>
{
};

TEST_P(Registers, AreReadByPrefixedPathAndPosition)
{
    folder.write("Obshtini.xml", GetParam().file);
    const Result<QList<Municipality>> municipalities = ReadRegister();
    ASSERT_TRUE(municipalities.ok());
    QStringList names;
    for (const Municipality& m : *municipalities) {
        names << m.name;
    }
    EXPECT_EQ(names.join(u'|'), GetParam().names);
    QStringList codes;
    for (int p = 0; p < 4; ++p) {
        codes << municipalities->value(p).ebk;
    }
    EXPECT_EQ(codes.join(u'|'), GetParam().codes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Registers,
    ::testing::Values(
        RegisterCase{"three_rows_in_file_order",
                     Register("<z:row OB_Name='C' OB_Num='3'/><z:row OB_Name='A' OB_Num='1'/>"
                              "<z:row OB_Name='B' OB_Num='2'/>"),
                     "C|A|B", "3|1|2|"},
        RegisterCase{"same_name_keeps_own_code",
                     Register("<z:row OB_Name='A' OB_Num='1'/><z:row OB_Name='A' OB_Num='2'/>"),
                     "A|A", "1|2||"},
        RegisterCase{"missing_attributes_read_empty",
                     Register("<z:row OB_Num='1'/><z:row OB_Name='B'/>"), "|B", "1|||"},
        RegisterCase{"rows_without_prefixes_are_not_rows",
                     "<xml><data><row OB_Name='A' OB_Num='1'/></data></xml>", "", "|||"},
        RegisterCase{"not_well_formed_gives_an_empty_list",
                     "<xml><rs:data><z:row OB_Name='A'></rs:data>", "", "|||"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the structure file ------------------------------------------------------------------------

struct StructureCase
{
    const char* name;
    QByteArray file;
    bool usable;
};

class StructureFiles : public Setup, public ::testing::WithParamInterface<StructureCase>
{
};

QByteArray Structure(const QByteArray& rows, const QByteArray& rest = "<columns/>")
{
    return "<?xml version='1.0' encoding='windows-1251'?>\r\n<nomenclatures version='1'>"
           "<structure name='x'>" +
           rows + "</structure>" + rest + "</nomenclatures>";
}

TEST_P(StructureFiles, AreLoadedOrRefusedWithTheStructureError)
{
    folder.write("Structure.xml", GetParam().file);
    const Result<std::unique_ptr<DomDocument>> read = ReadStructure();
    EXPECT_EQ(read.ok(), GetParam().usable);
    if (read.ok()) {
        EXPECT_FALSE((*read)->isEmpty());
        return;
    }
    TellFailure(read.failure());
    EXPECT_FALSE(fake.ended);
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, "Грешка във структурния фаил!");
    // No title of its own: the platform puts the program's.
    EXPECT_EQ(fake.messages[0].title, "");
    EXPECT_EQ(fake.messages[0].icon, MsgIcon::None);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StructureFiles,
    ::testing::Values(
        StructureCase{"sample", test::ReadBytes(test::ProgramFolder::sampleFile("Structure.xml")),
                      true},
        StructureCase{"no_rows", Structure(""), true},
        StructureCase{"nested_rows_and_edges_of_range",
                      Structure("<str id='-32768'><str id='32767'/></str><str id=' 02 '/>"), true},
        StructureCase{"not_well_formed", Structure("<str id='1'>"), false},
        StructureCase{"no_structure", "<nomenclatures><columns/><str id='1'/></nomenclatures>",
                      false},
        StructureCase{"no_columns", Structure("<str id='1'/>", ""), false},
        StructureCase{"columns_not_a_child", Structure("<str id='1'/>", "<x><columns/></x>"),
                      false},
        StructureCase{"other_root", "<root><structure/><columns/></root>", false},
        StructureCase{"id_not_a_number", Structure("<str id='1'/><str id='x'/>"), false},
        StructureCase{"id_beyond_16_bits", Structure("<str id='32768'/>"), false},
        StructureCase{"id_fraction", Structure("<str id='1.5'/>"), false},
        StructureCase{"id_missing", Structure("<str name='a'/>"), false},
        // A new report is written in Windows-1251 and must read back.
        StructureCase{"cyrillic_names_and_column_id",
                      "<?xml version='1.0' encoding='UTF-8'?><nomenclatures><structure>"
                      "<ред id='1' име='a'/></structure><columns><col id='б1' protected='1'/>"
                      "</columns></nomenclatures>",
                      true},
        StructureCase{"element_name_outside_the_code_page",
                      "<?xml version='1.0' encoding='UTF-8'?><nomenclatures><structure>"
                      "<strÄ id='1'/></structure><columns/></nomenclatures>",
                      false},
        StructureCase{"attribute_name_outside_the_code_page",
                      "<?xml version='1.0' encoding='UTF-8'?><nomenclatures><structure>"
                      "<str id='1' nameÄ='a'/></structure><columns/></nomenclatures>",
                      false},
        // Totals are added up into the rows "sumid" names; a row that is not there loses them.
        StructureCase{
            "totals_into_rows_of_the_form",
            Structure("<str id='2'><str id='3' sumid='2'/></str><str id='4' sumid='3-2'/>"), true},
        StructureCase{"a_total_names_a_missing_row",
                      Structure("<str id='2'/><str id='4' sumid='3-2'/>"), false},
        StructureCase{
            "column_id_no_name_can_hold",
            Structure("<str id='1'/>", "<columns><col id='1 x' protected='1'/></columns>"), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Setup, AMissingRegisterOrStructureFileIsReportedAndEndsTheProgram)
{
    const std::tuple<const char*, std::function<bool()>, QString> cases[] = {
        {"Obshtini.xml",
         [] {
             const auto read = ReadRegister();
             if (!read) {
                 TellFailure(read.failure());
             }
             return read.ok();
         },
         u"В работната директория няма файл със структурата на общините!   \r\n"
         u"Свържете се с дистрибутора на програмата!"_qs},
        {"Structure.xml",
         [] {
             const auto read = ReadStructure();
             if (!read) {
                 TellFailure(read.failure());
             }
             return read.ok();
         },
         u"В работната директория няма файл със структурата на документа!   \r\n"
         u"Свържете се с дистрибутора на програмата!"_qs}};
    for (const auto& [file, read, text] : cases) {
        SCOPED_TRACE(file);
        fake.messages.clear();
        fake.ended = false;
        QFile::remove(folder.filePath(file));
        EXPECT_FALSE(read());
        ASSERT_EQ(fake.messages.size(), 1);
        EXPECT_EQ(fake.messages[0].text, text);
        EXPECT_EQ(fake.messages[0].title, msg::kTitleWarning);
        EXPECT_EQ(fake.messages[0].icon, MsgIcon::Critical);
        EXPECT_TRUE(fake.ended);
    }
}

// --- the previous month ------------------------------------------------------------------------

QByteArray Report(const QByteArray& rows)
{
    return "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<positions version=\"1\">"
           "<structure>" +
           rows + "</structure></positions>\r\n";
}

// A report of one row per value (values joined by "|"), each with the attribute `attr`; "-"
// leaves it out.
QByteArray Flat(const char* attr, const char* values)
{
    QByteArray rows;
    for (const QString& v : QString::fromUtf8(values).split(u'|')) {
        rows += v == u"-" ? "<str/>" : "<str " + QByteArray(attr) + "='" + v.toUtf8() + "'/>";
    }
    return Report(rows);
}

struct CarryCase
{
    const char* name;
    QByteArray current;
    QByteArray previous;   // empty: there is no previous report
    const char* col1After; // joined by "|"
};

class PreviousMonth : public Setup, public ::testing::WithParamInterface<CarryCase>
{
protected:
    QStringList col1s() const
    {
        QStringList out;
        for (const XmlNode row : selectNodes(report, "positions//str")) {
            out << GetAttribute(row, "col1");
        }
        return out;
    }
    DomDocument report;
};

TEST_P(PreviousMonth, CarriesClosingIntoOpeningAmounts)
{
    const CarryCase& p = GetParam();
    ASSERT_EQ(report.loadBytes(p.current), kLoadOk);
    DomDocument previous;
    if (!p.previous.isEmpty()) {
        previous.loadBytes(p.previous);
    }
    CarryClosingAmounts(previous, report);
    EXPECT_EQ(col1s().join(u'|'), p.col1After);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviousMonth,
    ::testing::Values(
        CarryCase{"longer_previous_fills_every_row", Flat("col1", "0|0|0"),
                  Flat("col4", "1,00|2,00|3,00|4,00"), "1,00|2,00|3,00"},
        CarryCase{"shorter_previous_leaves_the_rest", Flat("col1", "0|5|6"),
                  Flat("col4", "1,00|2,00"), "1,00|2,00|6"},
        CarryCase{"text_copied_unchanged_and_missing_gives_empty", Flat("col1", "0|0|0"),
                  Flat("col4", " 1 234,50|-|abc"), " 1 234,50||abc"},
        CarryCase{"rows_at_any_depth", Report("<str col1='0'><str col1='0'/></str><str col1='0'/>"),
                  Report("<str col4='1'/><str col4='2'><str col4='3'/></str>"), "1|2|3"},
        // Figures already typed for the new month stay.
        CarryCase{"first_opening_amount_not_zero", Flat("col1", " 0,00|0"), Flat("col4", "1|2"),
                  " 0,00|0"},
        CarryCase{"first_opening_amount_missing", Flat("col1", "-|0"), Flat("col4", "1|2"), "|0"},
        CarryCase{"malformed_previous_copies_nothing", Flat("col1", "0"),
                  "<positions><structure><str col4='1'/>", "0"},
        CarryCase{"no_previous_report", Flat("col1", "0"), "", "0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Setup, TheMonthBeforeIsFoundOnlyInsideData)
{
    EXPECT_EQ(PreviousReportPath("1234", Period(1, 2004)),
              folder.dataPath("mfddd_sd_1234_2003_12.xml"));
    // A report chosen for correction may carry any code; the look-up must not leave Data.
    EXPECT_EQ(PreviousReportPath("/../../mfddd_sd_x", Period(1, 2004)), QString());
}

} // namespace
