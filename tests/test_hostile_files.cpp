// Files made to break a reader: each is refused with the reader's own reason, without a crash, a
// hang or anything written, by the XML layer, by opening a report and by kvor-verify. What XML
// allows near those edges is still read.

#include "core/FileRead.h"
#include "core/Messages.h"
#include "core/ReportDocument.h"
#include "core/ReportModel.h"
#include "core/StructureFile.h"
#include "core/VerifyReport.h"
#include "core/XmlCheck.h"
#include "core/XmlDom.h"
#include "support/Child.h"
#include "support/Files.h"
#include "support/IndependentXml.h"
#include "support/Opening.h"
#include "support/ProgramFolder.h"

#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <cerrno>
#include <climits>
#include <fcntl.h>
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

// depth levels, the innermost one an empty element.
QByteArray NestedToAnEmptyElement(int depth)
{
    return kDeclaration + QByteArray("<s>").repeated(depth - 1) + "<s/>" +
           QByteArray("</s>").repeated(depth - 1);
}

QByteArray Utf16WithMark(const QByteArray& ascii)
{
    QByteArray out("\xFF\xFE", 2);
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

QByteArray Declared(const QByteArray& declaration)
{
    return declaration + "<positions/>";
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
    {"undeclared_entity_ending_in_digits", Report("&a65;")},
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
    {"reference_wrapping_past_32_bits", Report("&#x100000061;")},
    {"reference_without_digits", Report("&#x;")},
    {"raw_control_byte", Report("<str col1=\"\x01\"/>")},
    {"utf8_lone_surrogate_bytes",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a v=\"\xED\xA0\x80\"/>"},
    {"one_level_too_deep_to_an_empty_element", NestedToAnEmptyElement(kMaxXmlDepth + 1)},
    {"declaration_after_the_root", Report({}, "<?xml version=\"1.0\"?>")},
    {"declaration_inside_the_root", Report("<?xml version=\"1.0\"?>")},
    {"declaration_twice", kDeclaration + Report({})},
    {"declaration_after_a_blank", " " + Report({})},
    {"declaration_in_capitals", Declared("<?XML version=\"1.0\"?>")},
    {"declaration_of_version_2", Declared("<?xml version=\"2.0\"?>")},
    {"declaration_without_a_version", Declared("<?xml encoding=\"windows-1251\"?>")},
    {"declaration_out_of_order",
     Declared("<?xml version=\"1.0\" standalone=\"yes\" encoding=\"windows-1251\"?>")},
    {"declaration_unquoted", Declared("<?xml version=1.0?>")},
    {"declaration_quotes_unclosed", Declared("<?xml version=\"1.0 encoding=\"windows-1251\"?>")},
    {"declaration_unknown_attribute", Declared("<?xml version=\"1.0\" charset=\"utf-8\"?>")},
    {"encoding_name_with_a_blank", Declared("<?xml version=\"1.0\" encoding=\"windows 1251\"?>")},
    {"encoding_name_starting_with_a_digit", Declared("<?xml version=\"1.0\" encoding=\"1251\"?>")},
    {"standalone_neither_yes_nor_no", Declared("<?xml version=\"1.0\" standalone=\"maybe\"?>")},
    {"doctype_after_the_root", Report({}, "<!DOCTYPE positions>")},
    {"doctype_twice", "<!DOCTYPE positions><!DOCTYPE positions><positions/>"},
    {"two_dashes_in_a_comment", Report("<!-- 1 -- 2 -->")},
    {"cdata_end_in_text", Report("<str>1 ]]> 2</str>")},
    {"section_sign_in_an_element_name", Report("<str\xA7 col1=\"1\"/>")},
    {"section_sign_in_an_attribute_name", Report("<str col\xA7=\"1\"/>")},
    {"name_starting_with_a_middle_dot", Report("<\xB7str/>")},
    {"utf16_mark_with_a_windows_1251_declaration", Utf16WithMark(Report({}))},
    {"utf8_mark_with_a_windows_1251_declaration", "\xEF\xBB\xBF" + Report({})},
    {"byte_0x98_undefined_in_windows_1251", Report("<str col1=\"\x98\"/>")},
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
        {"doctype_with_brackets_in_quoted_values",
         "<!DOCTYPE positions SYSTEM \"a]>\" [<!ENTITY e \"x]>y\"><!-- ]> -->"
         "<!ENTITY f 'v]>'>]><positions/>"},
        {"declaration_in_full_single_quoted",
         Declared("<?xml version='1.0' encoding='windows-1251' standalone='no' ?>")},
        {"names_as_xml_allows", Report("<\xC0:b-c.d_\xB7 _\xC1=\"1\"/>")},
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

// Opening stamps and rewrites a report, a save adds the hash: each writes Windows-1251 that
// readers sharing no code with the program take, and the hash still checks, whatever the file
// declared when it was read.
TEST_F(HostileFiles, EveryReportWrittenIsWindows1251WhateverTheFileDeclared)
{
    const QString text = QStringLiteral("<positions version=\"1\" ob_name=\"Банско &#20013;\">"
                                        "<structure><str id=\"2\" col1=\"0\"/></structure>"
                                        "</positions>");
    const auto in = [&](const char* codec, const char* declaredName = nullptr) {
        QStringEncoder encoder(codec);
        const QString declared =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>")
                .arg(QString::fromLatin1(declaredName ? declaredName : codec)) +
            text;
        return encoder.isValid() ? QByteArray(encoder.encode(declared)) : QByteArray();
    };
    const std::pair<const char*, QByteArray> sources[] = {
        {"new report", {}},
        {"utf-8", in("UTF-8")},
        {"utf-16", "\xFF\xFE" + in("UTF-16LE", "UTF-16")},
        {"koi8-r", in("KOI8-R")},
        {"iso-8859-5", in("ISO-8859-5")},
    };
    const QString report = folder.dataPath("mfddd_sd_5101_2004_03.xml");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(report).path()));
    for (const auto& [name, bytes] : sources) {
        SCOPED_TRACE(name);
        QFile::remove(report);
        if (!bytes.isEmpty()) {
            ASSERT_TRUE(WriteBytes(report, bytes));
        }
        ASSERT_TRUE(test::OpenAndTell(state, state.municipality, state.period))
            << fake.texts().join(u'\n').toStdString();
        EXPECT_EQ(test::IndependentXmlProblem(ReadBytes(report)), "");
        ReportModel figures(*state.structure, *state.document);
        ASSERT_EQ(figures.enter(0, grid::kOpening, QStringLiteral("1 234,50")),
                  ReportModel::Entry::Accepted);
        ASSERT_TRUE(figures.store(*state.document).ok());
        ASSERT_TRUE(SaveHashedDocument(*state.document, report));
        EXPECT_EQ(test::IndependentXmlProblem(ReadBytes(report)), "");
        EXPECT_EQ(VerifyReportFile(report).status, VerifyStatus::Ok);
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

// --- kvor-verify on what cannot be checked ----------------------------------------------------

constexpr uid_t kNobody = 65534;
const QString kNotRegular = QStringLiteral("ПРОМЕНЕН: не е обикновен файл");

// kvor-verify's lines for the arguments, run as nobody when the test runs as root (who could read
// a folder without read permission).
QStringList Verify(const QList<QByteArray>& arguments, bool errors)
{
    QProcess verify;
    if (::geteuid() == 0) {
        verify.setChildProcessModifier([] {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                ::_exit(3);
            }
        });
    }
    // A name that is no UTF-8 cannot be a QProcess argument: the shell makes it from octal.
    QByteArray script = "exec \"$0\"";
    for (const QByteArray& a : arguments) {
        script += " \"$(printf '";
        for (const char c : a) {
            script += "\\" + QByteArray::number(static_cast<unsigned char>(c), 8);
        }
        script += "')\"";
    }
    verify.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QString::fromLatin1(script),
                                             QStringLiteral(KVOR_VERIFY_EXECUTABLE)});
    EXPECT_TRUE(verify.waitForFinished(60000)) << "kvor-verify did not finish";
    EXPECT_EQ(verify.exitCode(), 1);
    const QByteArray out = errors ? verify.readAllStandardError() : verify.readAllStandardOutput();
    return QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
}

// A chain of folders, each name 200 bytes, deeper than a path may be long; made and removed
// by relative names, as no single path reaches the bottom.
class DeepFolders final
{
public:
    DeepFolders(const QByteArray& top, int levels) : m_top(top), m_levels(levels)
    {
        const int cwd = ::open(".", O_RDONLY | O_DIRECTORY);
        EXPECT_EQ(::chdir(top.constData()), 0);
        for (int i = 0; i < levels; ++i) {
            EXPECT_EQ(::mkdir(name().constData(), 0755), 0);
            EXPECT_EQ(::chdir(name().constData()), 0);
        }
        EXPECT_EQ(::fchdir(cwd), 0);
        ::close(cwd);
    }
    ~DeepFolders()
    {
        const int cwd = ::open(".", O_RDONLY | O_DIRECTORY);
        for (int i = m_levels; i > 0; --i) {
            if (::chdir(m_top.constData()) != 0) {
                break;
            }
            for (int j = 1; j < i; ++j) {
                (void)::chdir(name().constData());
            }
            ::rmdir(name().constData());
        }
        (void)::fchdir(cwd);
        ::close(cwd);
    }
    // The path of the first folder whose path is longer than the system takes.
    QByteArray firstTooLong() const
    {
        QByteArray path = m_top;
        while (path.size() < PATH_MAX) {
            path += '/' + name();
        }
        return path;
    }
    static QByteArray name() { return QByteArray(200, 'd'); }

private:
    QByteArray m_top;
    int m_levels;
};

TEST(VerifyFolder, WhatCannotBeCheckedIsNamedWithItsOwnReasonAndTheRestIsChecked)
{
    QTemporaryDir temp;
    ASSERT_EQ(::chmod(QFile::encodeName(temp.path()).constData(), 0755), 0);
    const QByteArray dir = QFile::encodeName(temp.path());
    const auto at = [&](const char* name) { return dir + '/' + name; };
    ASSERT_EQ(::mkfifo(at("pipe.xml").constData(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", at("zero.xml").constData()), 0);
    WriteBytes(temp.filePath("deep.xml"), Nested(kVeryDeep));
    ASSERT_TRUE(QDir().mkpath(temp.filePath("locked")));
    WriteBytes(temp.filePath("locked/a.xml"), Report({}));
    ASSERT_EQ(::chmod(at("locked").constData(), 0), 0);
    // Qt cannot name it to remove it with the folder.
    struct Unlinked
    {
        QByteArray path;
        ~Unlinked() { ::unlink(path.constData()); }
    } const notUtf8{at("r\xE0.xml")};
    const int fd = ::open(notUtf8.path.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const DeepFolders deep(dir, PATH_MAX / 200 + 1);
    const QString shown = temp.path();

    const std::pair<QString, QString> files[] = {
        {shown + "/pipe.xml", kNotRegular},
        {shown + "/zero.xml", kNotRegular},
        {shown + "/deep.xml", "ПРОМЕНЕН: файлът не може да бъде прочетен като XML (Файлът не е "
                              "валиден XML: елементите са вложени по-дълбоко от 64 нива.)"},
        {shown + "/r\\xE0.xml",
         "ПРОМЕНЕН: името на файла или на папка над него не е валиден UTF-8 текст"},
    };
    const std::pair<QString, QString> folders[] = {
        {shown + "/locked", "папката не може да бъде прочетена: няма права за четене на папката"},
        {QString::fromUtf8(deep.firstTooLong()),
         "папката не може да бъде прочетена: пътят е по-дълъг, отколкото системата допуска"},
    };
    const QStringList lines = Verify({dir}, false);
    const QStringList errors = Verify({dir}, true);
    EXPECT_EQ(lines.size(), std::size(files));
    for (const auto& [path, verdict] : files) {
        EXPECT_TRUE(lines.contains(path + u'\t' + verdict)) << path.toStdString();
    }
    EXPECT_EQ(errors.size(), std::size(folders)) << errors.join(u'\n').toStdString();
    for (const auto& [path, verdict] : folders) {
        EXPECT_TRUE(errors.contains(path + u'\t' + verdict)) << path.left(80).toStdString();
    }

    // Given by name: a name longer than a file system takes, a name that is no UTF-8.
    const QByteArray longName = dir + '/' + QByteArray(NAME_MAX + 1, 'n') + ".xml";
    EXPECT_EQ(
        Verify({longName, at("r\xE0.xml")}, false),
        QStringList({QString::fromUtf8(longName) +
                         "\tПРОМЕНЕН: пътят е по-дълъг, отколкото системата допуска",
                     shown + "/r\\xE0.xml\tПРОМЕНЕН: името на файла не е валиден UTF-8 текст"}));
    ASSERT_EQ(::chmod(at("locked").constData(), 0755), 0);
}

} // namespace
