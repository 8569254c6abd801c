// A writer killed at any moment: a child saves a report over and over, alternating two contents,
// and is killed with SIGKILL at random moments. After every kill the report parses and is one of
// the two contents whole; a killed writer may leave its temporary file, and the next save of
// the report removes it.

#include "core/AtomicFile.h"
#include "core/XmlDom.h"
#include "support/Files.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace kvor;

namespace {

constexpr int kKills = 240;
constexpr int kRows = 400; // a report some tens of KiB long, so that kills land inside writes

DomDocument& Report(DomDocument& doc, const char* figure)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"windows-1251\"?><positions><structure>";
    for (int i = 0; i < kRows; ++i) {
        xml += "<str id=\"" + QByteArray::number(i) + "\" col1=\"" + figure + "\" col4=\"" +
               figure + "\"/>";
    }
    xml += "</structure></positions>";
    EXPECT_EQ(doc.loadBytes(xml), kLoadOk);
    return doc;
}

QStringList TemporaryFiles(const QString& folder, const QString& name)
{
    QStringList out;
    for (const QString& entry : test::Listing(folder)) {
        if (IsTemporaryFileOf(entry, name)) {
            out << entry;
        }
    }
    return out;
}

TEST(KilledWriter, LeavesTheOldOrTheNewReportWholeAndNoTemporaryFileAfterTheNextSave)
{
    QTemporaryDir dir;
    const QString name = QStringLiteral("mfddd_sd_5101_2004_03.xml");
    const QString path = dir.filePath(name);
    DomDocument a;
    DomDocument b;
    Report(a, "1 234,50");
    Report(b, "9 876,00");
    const QByteArray bytesA = a.toBytes();
    const QByteArray bytesB = b.toBytes();
    ASSERT_TRUE(a.save(path));

    int temporaryLeft = 0;
    int sawB = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (unsigned n = 0;; ++n) {
                (n % 2 ? a : b).save(path);
            }
        }
        // From "before the first write" to "some saves in".
        std::this_thread::sleep_for(
            std::chrono::microseconds(QRandomGenerator::global()->bounded(3000)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status));

        const QByteArray now = test::ReadBytes(path);
        ASSERT_TRUE(now == bytesA || now == bytesB)
            << "kill " << kill << ": " << now.size() << " bytes";
        sawB += now == bytesB;
        DomDocument parsed;
        ASSERT_EQ(parsed.load(path), kLoadOk);
        // Each save sweeps what earlier killed writers left, so they do not pile up.
        const QStringList temporary = TemporaryFiles(dir.path(), name);
        temporaryLeft += !temporary.isEmpty();
    }
    ASSERT_TRUE(a.save(path));
    EXPECT_EQ(test::Listing(dir.path()), QStringList{name});
    // Figures for whoever reruns this: how many kills fell inside a write.
    std::cout << kKills << " kills, " << temporaryLeft << " inside a write, " << sawB
              << " after a save of the second content\n";
    RecordProperty("kills", kKills);
    RecordProperty("kills_inside_a_write", temporaryLeft);
}

} // namespace
