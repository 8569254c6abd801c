#pragma once
// The fixture of the window tests: fake prompts and a program folder of their own for each test,
// made by setUp() and dropped by tearDown(), which the test class's init() and cleanup() call.

#include "support/FakePlatform.h"
#include "support/ProgramFolder.h"

#include <QLocale>
#include <QObject>
#include <clocale>
#include <memory>

namespace kvor::test {

class WindowFixture : public QObject
{
protected:
    std::unique_ptr<FakePlatform> m_fake;
    std::unique_ptr<ProgramFolder> m_folder;

    // Bulgarian regional settings, and the C library's numbers as the program sets them.
    static void setLocale()
    {
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        std::setlocale(LC_NUMERIC, "C");
    }
    void setUp()
    {
        m_fake = std::make_unique<FakePlatform>();
        m_folder = std::make_unique<ProgramFolder>(*m_fake);
    }
    void tearDown()
    {
        m_folder.reset();
        m_fake.reset();
    }
};

} // namespace kvor::test
