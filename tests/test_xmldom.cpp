// The XML layer: loading in the declared encoding, the element text form, selections, attribute
// order, and saves that never lose or half-write a file.

#include "core/AtomicFile.h"
#include "core/Cp1251.h"
#include "core/XmlDom.h"
#include "support/Files.h"
#include "support/IndependentXml.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kvor;

namespace {

QByteArray cp1251(const char* utf8)
{
    return Cp1251EncodeLossy(QString::fromUtf8(utf8));
}

std::string xmlOf(const DomDocument& doc)
{
    return NodeXml(doc.documentElement()).toStdString();
}

// --- the element text form -----------------------------------------------------------------

struct TextFormCase
{
    const char* name;
    const char* source;
    const char* expected;
};

class TextForm : public ::testing::TestWithParam<TextFormCase>
{
};

TEST_P(TextForm, IsExact)
{
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes(GetParam().source), kLoadOk) << doc.errorReason().toStdString();
    EXPECT_EQ(xmlOf(doc), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextForm,
    ::testing::Values(TextFormCase{"childless", "<a/>", "<a/>"},
                      TextFormCase{"empty_pair_is_childless", "<a></a>", "<a/>"},
                      TextFormCase{"attributes_in_order_double_quoted", "<a z='1' b=\"2\" a='3'/>",
                                   "<a z=\"1\" b=\"2\" a=\"3\"/>"},
                      TextFormCase{"indentation_between_elements_dropped",
                                   "<a>\r\n\t<b x='1'>\r\n\t\t<c/>\r\n\t</b>\r\n\t<d/>\r\n</a>",
                                   "<a><b x=\"1\"><c/></b><d/></a>"},
                      TextFormCase{"attribute_escapes",
                                   "<a v='&amp; &lt; &gt; &quot; &apos; &#9;|&#10;|&#13;'/>",
                                   "<a v=\"&amp; &lt; > &quot; ' &#x9;|&#xA;|&#xD;\"/>"},
                      TextFormCase{"text_escapes", "<a>x &amp; y &lt; z &gt; w \"q\"</a>",
                                   "<a>x &amp; y &lt; z &gt; w \"q\"</a>"},
                      TextFormCase{"cyrillic_as_itself", "<a n='Общ размер'>Дълг</a>",
                                   "<a n=\"Общ размер\">Дълг</a>"},
                      TextFormCase{"prefixed_names_kept",
                                   "<xml><rs:data><z:row OB_Num='1'/></rs:data></xml>",
                                   "<xml><rs:data><z:row OB_Num=\"1\"/></rs:data></xml>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Attributes, SettingKeepsThePlaceOfAnExistingOneAndAppendsANewOne)
{
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes("<positions version='1'><structure/></positions>"), kLoadOk);
    XmlNode root = doc.documentElement();
    SetAttribute(root, "period", "03 / 2004");
    SetAttribute(root, "hash", "");
    SetAttribute(root, "version", "2");
    SetAttribute(root, "period", "04 / 2004");
    EXPECT_EQ(xmlOf(doc), "<positions version=\"2\" period=\"04 / 2004\" hash=\"\"><structure/>"
                          "</positions>");
    RemoveAttribute(root, "period");
    SetAttribute(root, "period", "05 / 2004");
    EXPECT_EQ(xmlOf(doc), "<positions version=\"2\" hash=\"\" period=\"05 / 2004\"><structure/>"
                          "</positions>");
    // What is missing reads empty; setting on no node does nothing.
    EXPECT_EQ(GetAttribute(root, "y"), "");
    EXPECT_EQ(GetAttribute(selectSingleNode(doc, "nothing/here"), "x"), "");
    SetAttribute(XmlNode(), "x", "1");
}

// --- selections ------------------------------------------------------------------------------

struct SelectionCase
{
    const char* name;
    const char* from; // an element to start from; nullptr: the document
    const char* path;
    const char* ids; // the id attributes of what is selected, in order
};

class Selections : public ::testing::TestWithParam<SelectionCase>
{
};

TEST_P(Selections, FindTheElementsInDocumentOrder)
{
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes(
                  "<n xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>"
                  "<rs:data><z:row id='r1'/><z:row id='r2'/></rs:data><data><row id='p'/></data>"
                  "<structure><str id='2'><str id='5'/></str><str id='3'/></structure>"
                  "<codes><code strid='5' colid='5' id='a'/><code strid='5' colid='7' id='b'/>"
                  "<code strid='15' colid='7' id='c'/></codes><other><str id='9'/></other></n>"),
              kLoadOk);
    const auto& p = GetParam();
    const std::vector<XmlNode> found =
        p.from ? selectNodes(selectSingleNode(doc, p.from), p.path) : selectNodes(doc, p.path);
    QStringList ids;
    for (const XmlNode& node : found) {
        ids << GetAttribute(node, "id");
    }
    EXPECT_EQ(ids.join(u' ').toStdString(), p.ids);
    EXPECT_EQ(GetAttribute(p.from ? selectSingleNode(selectSingleNode(doc, p.from), p.path)
                                  : selectSingleNode(doc, p.path),
                           "id"),
              ids.value(0));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Selections,
    ::testing::Values(
        SelectionCase{"prefixed_names_as_written", nullptr, "n/rs:data/z:row", "r1 r2"},
        SelectionCase{"plain_names_only_plain", nullptr, "n/data/row", "p"},
        SelectionCase{"descendants", nullptr, "n/structure//str", "2 5 3"},
        SelectionCase{"leading_slash", nullptr, "/n/structure//str", "2 5 3"},
        // From an element, a leading "//" still searches the whole document.
        SelectionCase{"double_slash_from_an_element", "n/structure", "//str", "2 5 3 9"},
        SelectionCase{"predicate", nullptr, "/n/codes/code[@strid='5']", "a b"},
        SelectionCase{"predicates_joined_by_and", nullptr,
                      "/n/codes/code[@strid='5' and @colid='7']", "b"},
        SelectionCase{"no_match", nullptr, "/n/codes/code[@strid='1' and @colid='7']", ""},
        SelectionCase{"not_a_path", nullptr, "this is [ not a path", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// --- loading -----------------------------------------------------------------------------------

TEST(Loading, FailuresLeaveAnEmptyDocumentAndACode)
{
    QTemporaryDir dir;
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes("<a/>"), kLoadOk);
    EXPECT_NE(doc.load(dir.filePath("missing.xml")), kLoadOk);
    EXPECT_TRUE(doc.isEmpty());

    for (const QByteArray& bad :
         {QByteArray("<positions><structure>"), QByteArray(""), QByteArray("   "),
          QByteArray("<a></b>"),
          QByteArray("<a>").repeated(100'000) + QByteArray("</a>").repeated(100'000),
          QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a n=\"\xE0\"/>")}) {
        ASSERT_EQ(doc.loadBytes("<a/>"), kLoadOk);
        EXPECT_NE(doc.loadBytes(bad), kLoadOk) << bad.toStdString();
        EXPECT_TRUE(doc.isEmpty());
        EXPECT_FALSE(doc.errorReason().isEmpty());
    }
}

// --- saving ------------------------------------------------------------------------------------

class Saving : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(Saving, Windows1251RoundTripKeepsEveryCharacter)
{
    DomDocument doc;
    ASSERT_EQ(
        doc.loadBytes("<?xml version='1.0' encoding='windows-1251'?><positions period='03 / 2004'>"
                      "<structure name='" +
                      cp1251("Вид") + "'/></positions>"),
        kLoadOk);
    // "中" and the emoji have no Windows-1251 code: they must survive as references, not as 0x1A.
    SetAttribute(doc.documentElement(), "ob_name",
                 QString::fromUtf8("Пловдив 中 \xF0\x9F\x98\x80 €"));
    ASSERT_TRUE(doc.save(path("r.xml")));
    const QByteArray expected = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
                                "<positions period=\"03 / 2004\" ob_name=\"" +
                                cp1251("Пловдив") +
                                " &#20013; &#128512; \x88\"><structure name=\"" + cp1251("Вид") +
                                "\"/></positions>\r\n";
    EXPECT_EQ(test::ReadBytes(path("r.xml")), expected);
    EXPECT_EQ(test::IndependentXmlProblem(expected), "");

    DomDocument back;
    ASSERT_EQ(back.load(path("r.xml")), kLoadOk);
    EXPECT_EQ(GetAttribute(back.documentElement(), "ob_name"),
              QString::fromUtf8("Пловдив 中 \xF0\x9F\x98\x80 €"));
}

// --- only Windows-1251 is written ---------------------------------------------------------------

QByteArray utf16(const char* utf8, bool bigEndian)
{
    QByteArray out(bigEndian ? "\xFE\xFF" : "\xFF\xFE", 2);
    for (const QChar c : QString::fromUtf8(utf8)) {
        const char high = static_cast<char>(c.unicode() >> 8);
        const char low = static_cast<char>(c.unicode() & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

QByteArray encoded(const char* codec, const char* utf8)
{
    QStringEncoder encoder(codec);
    return encoder.isValid() ? QByteArray(encoder.encode(QString::fromUtf8(utf8))) : QByteArray();
}

// Whatever a file declared, it is written back in Windows-1251 that readers sharing no code with
// the program take, with the same text form: the integrity hash is computed over it.
TEST_F(Saving, EveryEncodingReadIsWrittenAsWindows1251ThatOtherReadersTake)
{
    // The same text, with references for what an 8-bit code page may lack.
    const char* const body = "<positions ob_name=\"Дълг 中 \xF0\x9F\x98\x80 € &#152;\">"
                             "<str id=\"1\">Общо 中 &amp; &lt;</str><!-- бележка -->"
                             "<?pi данни?><![CDATA[<x> Дълг]]></positions>";
    const char* const referenced = "<positions ob_name=\"Дълг &#20013; &#x1F600; &#8364; &#152;\">"
                                   "<str id=\"1\">Общо &#20013; &amp; &lt;</str><!-- бележка -->"
                                   "<?pi данни?><![CDATA[<x> Дълг]]></positions>";
    const auto declared = [&](const char* encoding, bool references = false) {
        return QByteArray("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>\r\n" +
               (references ? referenced : body);
    };
    const std::pair<const char*, QByteArray> sources[] = {
        {"utf-8 declared", declared("UTF-8")},
        {"utf-8 undeclared", body},
        {"utf-8 with its mark", "\xEF\xBB\xBF" + declared("utf-8")},
        {"utf-16 little-endian", utf16(declared("UTF-16").constData(), false)},
        {"utf-16 big-endian", utf16(declared("UTF-16").constData(), true)},
        {"utf-7", encoded("UTF-7", declared("UTF-7").constData())},
        {"koi8-r", encoded("KOI8-R", declared("KOI8-R", true).constData())},
        {"iso-8859-5", encoded("ISO-8859-5", declared("ISO-8859-5", true).constData())},
        {"windows-1251 by another name",
         encoded("windows-1251", declared("cp1251", true).constData())},
    };
    for (const auto& [name, bytes] : sources) {
        SCOPED_TRACE(name);
        if (bytes.isEmpty()) {
            continue; // no such codec in this Qt
        }
        DomDocument doc;
        ASSERT_EQ(doc.loadBytes(bytes), kLoadOk) << doc.errorReason().toStdString();
        ASSERT_TRUE(doc.save(path("w.xml")));
        const QByteArray written = test::ReadBytes(path("w.xml"));
        EXPECT_EQ(test::IndependentXmlProblem(written), "") << written.toStdString();
        EXPECT_TRUE(written.contains(" &#20013; &#128512; \x88 &#152;\">"))
            << written.toStdString();
        DomDocument back;
        ASSERT_EQ(back.loadBytes(written), kLoadOk) << back.errorReason().toStdString();
        EXPECT_EQ(NodeXml(back.documentElement()), NodeXml(doc.documentElement()));
        EXPECT_EQ(back.toBytes(), written);
    }
}

TEST_F(Saving, ACharacterWindows1251LacksWhereNoReferenceCanStandIsRefusedNotWritten)
{
    const char* const documents[] = {
        "<a><!-- > 中 --></a>", "<a><?pi 中?></a>", "<a><![CDATA[中]]></a>",
        "<a><中/></a>",         "<a x中=\"1\"/>",   "<a><!-- x --><b 中=\"\"/></a>",
    };
    for (const char* source : documents) {
        SCOPED_TRACE(source);
        DomDocument doc;
        ASSERT_EQ(doc.loadBytes(source), kLoadOk) << doc.errorReason().toStdString();
        QString reason;
        EXPECT_TRUE(doc.toBytes(&reason).isEmpty());
        EXPECT_TRUE(reason.contains(QStringLiteral("U+4E2D"))) << reason.toStdString();
        EXPECT_FALSE(doc.save(path("n.xml")));
        EXPECT_FALSE(QFile::exists(path("n.xml")));
    }
}

TEST_F(Saving, AFailedSaveLeavesTheOldFileWholeAndNoNewFile)
{
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes("<a n='new'/>"), kLoadOk);
    ASSERT_TRUE(test::WriteBytes(path("old.xml"), "old content"));
    QFile::setPermissions(path("old.xml"), QFileDevice::ReadOwner);
    QString reason;
    EXPECT_FALSE(doc.save(path("old.xml"), &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(test::ReadBytes(path("old.xml")), QByteArray("old content"));
    EXPECT_EQ(test::Listing(dir.path()), QStringList{"old.xml"});

    EXPECT_FALSE(doc.save(dir.filePath("no/such/folder/a.xml"), &reason));
    EXPECT_EQ(reason, SystemReason(ENOENT));

    const QString ro = dir.filePath("ro");
    ASSERT_TRUE(QDir().mkdir(ro));
    QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(doc.save(ro + "/a.xml", &reason));
    EXPECT_EQ(reason, SystemReason(EACCES));
    EXPECT_EQ(test::Listing(dir.path()), QStringList({"old.xml", "ro"}));
    QFile::setPermissions(ro,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(Saving, AnEmptyDocumentIsNeverWritten)
{
    DomDocument doc;
    EXPECT_NE(doc.loadBytes("<broken"), kLoadOk);
    EXPECT_FALSE(doc.save(path("e.xml")));
    EXPECT_FALSE(QFile::exists(path("e.xml")));
}

} // namespace
