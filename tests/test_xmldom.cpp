// The XML layer: loading in the declared encoding, the element text form, selections, attribute
// order, and saves that never lose or half-write a file.

#include "storage/AtomicFile.h"
#include "storage/Cp1251.h"
#include "storage/XmlDom.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kvor;

namespace {

QByteArray cp1251(const char* utf8)
{
    return Cp1251EncodeLossy(QString::fromUtf8(utf8));
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
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
}

TEST(Attributes, MissingNodeOrAttributeReadsEmpty)
{
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes("<a x='1'/>"), kLoadOk);
    EXPECT_EQ(GetAttribute(doc.documentElement(), "x"), "1");
    EXPECT_EQ(GetAttribute(doc.documentElement(), "y"), "");
    EXPECT_EQ(GetAttribute(selectSingleNode(doc, "nothing/here"), "x"), "");
    SetAttribute(XmlNode(), "x", "1"); // no node: nothing happens
}

// --- selections ------------------------------------------------------------------------------

TEST(Selections, PrefixedNamesAreMatchedAsWritten)
{
    DomDocument doc;
    ASSERT_EQ(
        doc.loadBytes("<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>"
                      "<s:Schema xmlns:s='x'/><rs:data><z:row OB_Name='A' OB_Num='1'/>"
                      "<z:row OB_Name='B'/><z:row OB_Name='C' OB_Num='3'/></rs:data></xml>"),
        kLoadOk);
    const auto rows = selectNodes(doc, "xml/rs:data/z:row");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(GetAttribute(rows[0], "OB_Name"), "A");
    EXPECT_EQ(GetAttribute(rows[1], "OB_Num"), "");
    EXPECT_EQ(GetAttribute(rows[2], "OB_Num"), "3");

    DomDocument plain;
    ASSERT_EQ(plain.loadBytes("<xml><data><row OB_Name='A'/></data></xml>"), kLoadOk);
    EXPECT_TRUE(selectNodes(plain, "xml/rs:data/z:row").empty());
}

TEST(Selections, LeadingDoubleSlashSearchesTheWholeDocumentFromAnElement)
{
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes("<n><structure><str id='2'><str id='5'/></str><str id='3'/></structure>"
                            "<other><str id='9'/></other></n>"),
              kLoadOk);
    const XmlNode structure = selectSingleNode(doc, "n/structure");
    ASSERT_TRUE(structure);
    std::vector<QString> ids;
    for (const XmlNode s : selectNodes(structure, "//str")) {
        ids.push_back(GetAttribute(s, "id"));
    }
    EXPECT_EQ(ids, (std::vector<QString>{"2", "5", "3", "9"}));
    EXPECT_EQ(selectNodes(doc, "n/structure//str").size(), 3u);
    EXPECT_EQ(GetAttribute(selectSingleNode(doc, "/n/structure//str"), "id"), "2");
}

TEST(Selections, PredicatesJoinedByAnd)
{
    DomDocument doc;
    ASSERT_EQ(
        doc.loadBytes("<nomenclatures><codes><code strid='5' colid='5' item='a'/>"
                      "<code strid='5' colid='7' item='b'/><code strid='15' colid='7' item='c'/>"
                      "</codes></nomenclatures>"),
        kLoadOk);
    EXPECT_EQ(selectNodes(doc, "/nomenclatures/codes/code[@strid='5']").size(), 2u);
    EXPECT_EQ(
        GetAttribute(selectSingleNode(doc, "/nomenclatures/codes/code[@strid='5' and @colid='7']"),
                     "item"),
        "b");
    EXPECT_FALSE(selectSingleNode(doc, "/nomenclatures/codes/code[@strid='1' and @colid='7']"));
    EXPECT_TRUE(selectNodes(doc, "this is [ not a path").empty());
}

// --- loading -----------------------------------------------------------------------------------

TEST(Loading, Windows1251IsDecodedByTheDeclaration)
{
    DomDocument doc;
    const QByteArray bytes = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<a n=\"" +
                             cp1251("Община Пловдив §") + "\"/>";
    ASSERT_EQ(doc.loadBytes(bytes), kLoadOk);
    EXPECT_EQ(GetAttribute(doc.documentElement(), "n"), QString::fromUtf8("Община Пловдив §"));
    EXPECT_EQ(doc.encoding(), "windows-1251");
}

TEST(Loading, Utf16WithByteOrderMark)
{
    const QString text =
        QString::fromUtf8("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a n=\"Дълг\"/>");
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes(bytes), kLoadOk);
    EXPECT_EQ(GetAttribute(doc.documentElement(), "n"), QString::fromUtf8("Дълг"));
}

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
    EXPECT_EQ(readFile(path("r.xml")), expected);
    EXPECT_FALSE(readFile(path("r.xml")).contains('\x1a'));

    DomDocument back;
    ASSERT_EQ(back.load(path("r.xml")), kLoadOk);
    EXPECT_EQ(GetAttribute(back.documentElement(), "ob_name"),
              QString::fromUtf8("Пловдив 中 \xF0\x9F\x98\x80 €"));
}

TEST_F(Saving, Utf8DocumentsStayUtf8)
{
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a n=\"Дълг 中\"/>"),
              kLoadOk);
    ASSERT_TRUE(doc.save(path("u.xml")));
    EXPECT_EQ(readFile(path("u.xml")),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a n=\"Дълг 中\"/>\r\n"));
}

TEST_F(Saving, AnEncodingNoEncoderKnowsIsWrittenAsUtf8AndSaysSo)
{
    DomDocument doc;
    ASSERT_EQ(
        doc.loadBytes("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"x-nonsense\"?><a n=\"Дълг\"/>"),
        kLoadOk);
    DomDocument again;
    ASSERT_EQ(again.loadBytes(doc.toBytes()), kLoadOk);
    EXPECT_EQ(GetAttribute(again.documentElement(), "n"), QString::fromUtf8("Дълг"));
    EXPECT_TRUE(doc.toBytes().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
}

TEST_F(Saving, AFailedSaveLeavesTheOldFileWhole)
{
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes("<a n='new'/>"), kLoadOk);
    writeFile(path("old.xml"), "old content");
    QFile::setPermissions(path("old.xml"), QFileDevice::ReadOwner);
    QString reason;
    EXPECT_FALSE(doc.save(path("old.xml"), &reason));
    EXPECT_FALSE(reason.isEmpty());
    QFile::setPermissions(path("old.xml"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(readFile(path("old.xml")), QByteArray("old content"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    EXPECT_FALSE(doc.save(dir.filePath("no/such/folder/a.xml"), &reason));
    EXPECT_EQ(reason, SystemReason(ENOENT));
}

TEST_F(Saving, AReadOnlyFolderTakesNoNewFile)
{
    const QString ro = dir.filePath("ro");
    ASSERT_TRUE(QDir().mkdir(ro));
    QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes("<a/>"), kLoadOk);
    QString reason;
    EXPECT_FALSE(doc.save(ro + "/a.xml", &reason));
    QFile::setPermissions(ro,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(reason, SystemReason(EACCES));
    EXPECT_TRUE(QDir(ro).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(Saving, AnEmptyDocumentIsNeverWritten)
{
    DomDocument doc;
    EXPECT_NE(doc.loadBytes("<broken"), kLoadOk);
    EXPECT_FALSE(doc.save(path("e.xml")));
    EXPECT_FALSE(QFile::exists(path("e.xml")));
}

TEST(Cp1251, CodesAndFallbacks)
{
    EXPECT_EQ(Cp1251Code(u'А'), 192);
    EXPECT_EQ(Cp1251Code(u'я'), 255);
    EXPECT_EQ(Cp1251Code(u'§'), 0xA7);
    EXPECT_EQ(Cp1251Code(u'€'), 0x88);
    EXPECT_EQ(Cp1251Code(u'中'), -1);
    EXPECT_EQ(Cp1251EncodeLossy(QString::fromUtf8("a中б")), QByteArray("a?\xE1"));
    EXPECT_EQ(Cp1251Decode(QByteArray("\xC0\xE1\x88")), QString::fromUtf8("Аб€"));
}

} // namespace
