// Files made to break a reader: each is refused with the reader's own reason, without a crash, a
// hang or anything written, by the XML layer, by opening a report and by kvor-verify. What XML
// allows near those edges is still read.

#include "core/FileRead.h"
#include "core/Messages.h"
#include "core/ReportDocument.h"
#include "core/StructureFile.h"
#include "core/VerifyReport.h"
#include "core/XmlCheck.h"
#include "core/XmlDom.h"
#include "support/Child.h"
#include "support/Files.h"
#include "support/Opening.h"
#include "support/ProgramFolder.h"

#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace kvor;
using test::ReadBytes;
using test::WriteBytes;

namespace {

constexpr int kVeryDeep = 100000;
const QByteArray kDeclaration = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>";

QByteArray Nested(int depth, bool closed = true)
{
    QByteArray out = kDeclaration + "<positions>";
    for (int i = 1; i < depth; ++i) {
        out += "<s>";
    }
    if (closed) {
        for (int i = 1; i < depth; ++i) {
            out += "</s>";
        }
        out += "</positions>";
    }
    return out;
}

QByteArray Report(const QByteArray& inside, const QByteArray& after = {})
{
    return kDeclaration + "<positions version=\"1\" period=\"03 / 2004\" ob_name=\"x\" ebk=\"1\">" +
           inside + "</positions>" + after;
}

QByteArray ManyAttributes(int count)
{
    QByteArray out = kDeclaration + "<positions";
    for (int i = 0; i < count; ++i) {
        out += " a" + QByteArray::number(i) + "=\"1\"";
    }
    return out + " a0=\"2\"/>";
}

struct Hostile
{
    const char* name;
    QByteArray bytes;
};

void PrintTo(const Hostile& h, std::ostream* os)
{
    *os << h.name;
}

const Hostile kHostile[] = {
    {"nested_100000_deep", Nested(kVeryDeep)},
    {"nested_100000_deep_unclosed", Nested(kVeryDeep, false)},
    {"nested_one_level_too_deep", Nested(kMaxXmlDepth + 1)},
    {"text_after_the_root", Report({}, "figures")},
    {"text_before_the_root", "x" + Report({})},
    {"second_element_after_the_root", Report({}, "<positions/>")},
    {"cdata_after_the_root", Report({}, "<![CDATA[x]]>")},
    {"nul_bytes_after_the_root", Report({}, QByteArray("\0\0\0<b/>", 7))},
    {"nul_byte_in_a_value", Report(QByteArray("<str col1=\"1\0\"/>", 16))},
    {"duplicate_attribute", Report("<str id=\"1\" col1=\"5\" col1=\"7\"/>")},
    {"duplicate_among_100000_attributes", ManyAttributes(kVeryDeep)},
    {"undeclared_entity_in_text", Report("&nbsp;")},
    {"undeclared_entity_in_a_value", Report("<str col1=\"&euro;\"/>")},
    {"entity_declared_in_the_doctype",
     "<!DOCTYPE positions [<!ENTITY e \"1\">]><positions a=\"&e;\"/>"},
    {"ampersand_alone", Report("<str col1=\"1 & 2\"/>")},
    {"less_than_in_a_value", Report("<str col1=\"<1\"/>")},
    {"reference_to_a_control_character", Report("&#1;")},
    {"hex_reference_to_a_control_in_a_value", Report("<str col1=\"&#x1F;\"/>")},
    {"reference_to_fffe", Report("&#xFFFE;")},
    {"reference_to_a_surrogate", Report("&#xD800;")},
    {"reference_beyond_unicode", Report("&#x110000;")},
    {"reference_without_digits", Report("&#x;")},
    {"raw_control_byte", Report("<str col1=\"\x01\"/>")},
    {"utf8_lone_surrogate_bytes",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a v=\"\xED\xA0\x80\"/>"},
};

class HostileFiles : public ::testing::TestWithParam<Hostile>
{
protected:
    void SetUp() override
    {
        state.structure = test::StructureAndTell();
        ASSERT_FALSE(state.structure->isEmpty());
        state.period = Period(3, 2004);
        state.municipality = {QStringLiteral("Банско"), QStringLiteral("5101")};
    }
    test::FakePlatform fake;
    test::ProgramFolder folder{fake};
    OpenReport state = test::EmptyReport();
};

TEST_P(HostileFiles, AreRefusedWithAReasonAndNothingIsWritten)
{
    DomDocument doc;
    EXPECT_NE(doc.loadBytes(GetParam().bytes), kLoadOk);
    EXPECT_FALSE(doc.errorReason().isEmpty());
    EXPECT_TRUE(doc.isEmpty());

    // As the report to be corrected: refused with the program's message, left as it was.
    const QString report = folder.dataPath("mfddd_sd_5101_2004_03.xml");
    ASSERT_TRUE(WriteBytes(report, GetParam().bytes));
    const auto before = test::Snapshot(folder.path());
    EXPECT_FALSE(test::OpenAndTell(state, state.municipality, state.period));
    EXPECT_EQ(fake.texts(), QStringList{msg::kXmlTampered});
    EXPECT_EQ(test::Snapshot(folder.path()), before);

    const VerifyResult verdict = VerifyReportFile(report);
    EXPECT_EQ(verdict.status, VerifyStatus::Unreadable);
    EXPECT_TRUE(verdict.reason.startsWith("файлът не може да бъде прочетен като XML (Файлът "))
        << verdict.reason.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, HostileFiles, ::testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NearTheEdges, WhatXmlAllowsIsStillRead)
{
    const std::pair<const char*, QByteArray> allowed[] = {
        {"nested_as_deep_as_allowed", Nested(kMaxXmlDepth)},
        {"comment_and_blanks_after_the_root", Report({}, "\r\n<!-- end -->\r\n")},
        {"instruction_after_the_root", Report({}, "<?done?>")},
        {"predefined_and_character_references",
         Report("<str col1=\"&lt;&gt;&amp;&apos;&quot;&#9;&#x10FFFF;&#128512;\"/>")},
        {"doctype_without_entities", "<!DOCTYPE positions><positions/>"},
        {"cdata_inside", Report("<![CDATA[ & < ]]>")},
    };
    for (const auto& [name, bytes] : allowed) {
        DomDocument doc;
        EXPECT_EQ(doc.loadBytes(bytes), kLoadOk) << name << ": " << doc.errorReason().toStdString();
    }
}

TEST(NearTheEdges, ALeadingByteOrderMarkInAValueIsKeptThroughSaveAndLoad)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bom.xml");
    for (const QByteArray& source :
         {kDeclaration + "<positions ob_name=\"&#xFEFF;x\"/>",
          QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><positions "
                     "ob_name=\"\xEF\xBB\xBFx\"/>")}) {
        DomDocument doc;
        ASSERT_EQ(doc.loadBytes(source), kLoadOk);
        EXPECT_EQ(GetAttribute(doc.documentElement(), "ob_name"), QStringLiteral("\uFEFFx"));
        EXPECT_EQ(NodeXml(doc.documentElement()),
                  QStringLiteral("<positions ob_name=\"\uFEFFx\"/>"));
        ASSERT_TRUE(doc.save(path));
        DomDocument back;
        ASSERT_EQ(back.load(path), kLoadOk);
        EXPECT_EQ(GetAttribute(back.documentElement(), "ob_name"), QStringLiteral("\uFEFFx"));
    }
}

TEST(Writer, RefusesACharacterXmlForbidsInsteadOfWritingOrDroppingIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("r.xml");
    const QByteArray old = Report({});
    WriteBytes(path, old);
    for (const char16_t bad : {u'\x01', u'\x1F', u'\xFFFE', u'\xFFFF'}) {
        DomDocument doc;
        ASSERT_EQ(doc.loadBytes(old), kLoadOk);
        SetAttribute(doc.documentElement(), "ob_name", QStringLiteral("a") + QChar(bad) + "b");
        QString reason;
        int err = 0;
        EXPECT_FALSE(doc.save(path, &reason, &err));
        EXPECT_TRUE(reason.contains(QString::number(bad, 16).toUpper())) << reason.toStdString();
        EXPECT_EQ(err, EINVAL);
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_FALSE(doc.save(dir.filePath("new.xml")));
        EXPECT_FALSE(QFile::exists(dir.filePath("new.xml")));
    }
}

TEST(Writer, ATreeBuiltDeeperThanAnyFileIsStillWrittenWithoutRecursion)
{
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes("<positions/>"), kLoadOk);
    XmlNode node = doc.documentElement();
    for (int i = 0; i < kVeryDeep; ++i) {
        node = node.append_child("s");
    }
    const QString text = NodeXml(doc.documentElement());
    EXPECT_EQ(text.size(), qsizetype(QStringLiteral("<positions>").size() + (kVeryDeep - 1) * 7 +
                                     4 + QStringLiteral("</positions>").size()));
    EXPECT_EQ(text.count(QStringLiteral("<s/>")), 1);
    EXPECT_TRUE(text.endsWith(QStringLiteral("</s></s></positions>")));
}

TEST(Sizes, AFileLargerThanAnyReportIsRefusedUnread)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.xml");
    QFile huge(path);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(kMaxReadBytes + 1)); // sparse: nothing to read but its size
    huge.close();
    DomDocument doc;
    EXPECT_EQ(doc.load(path), kLoadUnreadable);
    EXPECT_TRUE(doc.errorReason().contains(QStringLiteral("64 MiB")));
    const VerifyResult verdict = VerifyReportFile(path);
    EXPECT_EQ(verdict.status, VerifyStatus::Unreadable);
    EXPECT_EQ(verdict.reason, QStringLiteral("файлът е по-голям от 64 MiB и не може да е справка"));
}

// --- kvor-verify on a folder with things that are no files ------------------------------------

TEST(VerifyFolder, PipesDevicesAndLinksToThemAreReportedAndTheRestIsChecked)
{
    QTemporaryDir dir;
    const auto at = [&](const char* name) { return QFile::encodeName(dir.filePath(name)); };
    ASSERT_EQ(::mkfifo(at("pipe.xml").constData(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", at("zero.xml").constData()), 0);
    QStringList special = {dir.filePath("pipe.xml"), dir.filePath("zero.xml")};
    // Making a device node needs privileges a test may not have; the link covers devices then.
    if (::mknod(at("device.xml").constData(), S_IFCHR | 0644, makedev(1, 3)) == 0) {
        special << dir.filePath("device.xml");
    }
    WriteBytes(dir.filePath("deep.xml"), Nested(kVeryDeep));

    QProcess verify;
    verify.start(QStringLiteral(KVOR_VERIFY_EXECUTABLE), {dir.path()});
    ASSERT_TRUE(verify.waitForFinished(60000)) << "kvor-verify did not finish";
    EXPECT_EQ(verify.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(verify.exitCode(), 1);
    const QStringList lines =
        QString::fromUtf8(verify.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString& path : special) {
        EXPECT_TRUE(lines.contains(path + QStringLiteral("\tПРОМЕНЕН: не е обикновен файл")))
            << path.toStdString();
    }
    EXPECT_EQ(lines.size(), special.size() + 1);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
        return line.startsWith(dir.filePath("deep.xml") + "\tПРОМЕНЕН: ");
    }));
}

} // namespace
