// Any text typed as a figure: a number is read back to the value its amount text shows.

#include "core/Amount.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto v = kvor::ParseAmount(text);
    if (!v || std::fabs(*v) > 1e12) { // beyond that two decimals exceed a double
        return 0;
    }
    const auto back = kvor::ParseAmount(kvor::AmountText(*v));
    if (!back || std::fabs(*back - std::round(*v * 100) / 100) > 0.0101) {
        std::abort();
    }
    return 0;
}
