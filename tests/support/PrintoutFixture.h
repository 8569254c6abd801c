#pragma once
// A test of the printout: the temporary folder and the home folder are folders of the test's own
// (the printouts go to the home's cache folder), the files the printout would open are only
// recorded, and the sample report's input is at hand.

#include "core/Messages.h"
#include "core/OpenReport.h"
#include "printout/PrintoutInput.h"
#include "printout/SpreadsheetOpener.h"
#include "support/FakePlatform.h"
#include "support/SampleReport.h"

#include <QByteArray>
#include <QDir>
#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kvor::test {

inline const QString kSampleStructure = QStringLiteral(KVOR_SAMPLE_DIR "/Structure.xml");

// The input of a printout of the sample report with growing amounts, written in Bulgarian as the
// editor writes them.
inline PrintoutInput SamplePrintout()
{
    OpenReport state;
    LoadSampleState(state, kSampleStructure);
    FillReport(*state.document, *state.structure, GrowingAmounts);
    const ReportModel report(*state.structure, *state.document);
    return PrintoutOf(report, state.municipality.name, state.period.text(), msg::kNote);
}

class PrintoutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("tmp")));
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("home")));
        for (const char* name : kVariables) {
            m_old << qgetenv(name);
        }
        qputenv("TMPDIR", QFile::encodeName(tempPath()));
        qputenv("HOME", QFile::encodeName(homePath()));
        qunsetenv("XDG_CACHE_HOME");
        qunsetenv("XDG_RUNTIME_DIR");
        m_oldOpener = SpreadsheetOpener();
        SpreadsheetOpener() = [this](const QString& path) {
            opened << path;
            busyWhileOpening << fake.busyDepth;
            return openerAnswer;
        };
    }
    void TearDown() override
    {
        SpreadsheetOpener() = m_oldOpener;
        for (qsizetype i = 0; i < m_old.size(); ++i) {
            restore(kVariables[i], m_old[i]);
        }
    }

    QString tempPath() const { return m_root.filePath(QStringLiteral("tmp")); }
    QString homePath() const { return m_root.filePath(QStringLiteral("home")); }
    QString rootPath() const { return m_root.path(); }
    QString printoutPath() const { return homePath() + QStringLiteral("/.cache/KVOR/printouts"); }

    FakePlatform fake;
    QStringList opened;
    QList<int> busyWhileOpening;
    bool openerAnswer = true;

private:
    static void restore(const char* name, const QByteArray& old)
    {
        if (old.isEmpty()) {
            qunsetenv(name);
        } else {
            qputenv(name, old);
        }
    }

    static constexpr const char* kVariables[] = {"TMPDIR", "HOME", "XDG_CACHE_HOME",
                                                 "XDG_RUNTIME_DIR"};
    QTemporaryDir m_root;
    QList<QByteArray> m_old;
    FileOpener m_oldOpener;
};

inline std::string str(const QString& s)
{
    return s.toStdString();
}

} // namespace kvor::test
