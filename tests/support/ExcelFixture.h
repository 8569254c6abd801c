#pragma once
// A test of the spreadsheet layer: no spreadsheet application is left running from an earlier
// test, files are written to a temporary folder of the test's own, the files the layer would open
// are only recorded, and amounts are read under Bulgarian regional settings.

#include "printout/SpreadsheetOpener.h"
#include "printout/modGridToExcel.h"
#include "support/FakePlatform.h"

#include <QByteArray>
#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kvor::test {

class ExcelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QuitSpreadsheet();
        ASSERT_TRUE(m_temp.isValid());
        m_oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        m_oldOpener = SpreadsheetOpener();
        SpreadsheetOpener() = [this](const QString& path) {
            opened << path;
            busyWhileOpening << fake.busyDepth;
            return openerAnswer;
        };
    }
    void TearDown() override
    {
        QuitSpreadsheet();
        SpreadsheetOpener() = m_oldOpener;
        QLocale::setDefault(QLocale::c());
        if (m_oldTmp.isEmpty()) {
            qunsetenv("TMPDIR");
        } else {
            qputenv("TMPDIR", m_oldTmp);
        }
    }

    static void QuitSpreadsheet()
    {
        try {
            xl::Application::GetActive()->Quit();
        } catch (const xl::XlError&) {
        }
        Excel() = {};
    }
    static bool SpreadsheetRuns()
    {
        try {
            return xl::Application::GetActive() != nullptr;
        } catch (const xl::XlError&) {
            return false;
        }
    }
    QString tempPath() const { return m_temp.path(); }

    FakePlatform fake;
    QStringList opened;
    QList<int> busyWhileOpening;
    bool openerAnswer = true;

private:
    QTemporaryDir m_temp;
    QByteArray m_oldTmp;
    FileOpener m_oldOpener;
};

inline std::string str(const QString& s)
{
    return s.toStdString();
}

} // namespace kvor::test
