#pragma once
// A test of the printout: files go to a temporary folder of the test's own (also standing in for
// the home folder), the files the printout would open are only recorded, and the sample report's
// input is at hand.

#include "core/AppState.h"
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
    AppState state;
    LoadSampleState(state, kSampleStructure);
    FillReport(state.xmlDoc, state.xmlStructure, GrowingAmounts);
    const ReportModel report(state.xmlStructure, state.xmlDoc);
    return PrintoutOf(report, state.Obshtina.Name, state.sPeriod, state.sNote);
}

class PrintoutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("tmp")));
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("home")));
        m_oldTmp = qgetenv("TMPDIR");
        m_oldHome = qgetenv("HOME");
        qputenv("TMPDIR", QFile::encodeName(tempPath()));
        qputenv("HOME", QFile::encodeName(homePath()));
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
        restore("TMPDIR", m_oldTmp);
        restore("HOME", m_oldHome);
    }

    QString tempPath() const { return m_root.filePath(QStringLiteral("tmp")); }
    QString homePath() const { return m_root.filePath(QStringLiteral("home")); }
    QString rootPath() const { return m_root.path(); }

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

    QTemporaryDir m_root;
    QByteArray m_oldTmp;
    QByteArray m_oldHome;
    FileOpener m_oldOpener;
};

inline std::string str(const QString& s)
{
    return s.toStdString();
}

} // namespace kvor::test
