// Any text typed as a figure: an amount is read back from its text to the stotinka, and a text
// that is no amount says so without a value.

#include "core/Money.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    bool outOfRange = false;
    const auto money = kvor::Money::parse(text, &outOfRange);
    if (!money) {
        return 0;
    }
    if (outOfRange || kvor::Money::parse(money->text()) != money ||
        kvor::Money::parse(u' ' + money->text()) != money) {
        std::abort();
    }
    return 0;
}
