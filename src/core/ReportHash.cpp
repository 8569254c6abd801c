#include "core/ReportHash.h"

#include "core/Cp1251.h"

#include <cstdint>

namespace kvor {

std::optional<QString> DocumentHash(QStringView text)
{
    // Every code is below 256, so the third number is exactly 255 times the length: a longer text
    // cannot be hashed, whatever it holds.
    if (text.size() > kLongestHashedText) {
        return std::nullopt;
    }
    constexpr std::int32_t kQuestionMark = 63;
    std::int32_t a = 0;
    std::int32_t b = 0;
    std::int32_t sum = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int code = Cp1251Code(text[i].unicode());
        const std::int32_t c = code < 0 ? kQuestionMark : code;
        // Positions count from 1.
        a = a ^ (c + static_cast<std::int32_t>(i + 1)) ^ 255;
        b += c ^ 255;
        sum += c;
    }
    // The third number continues from the second.
    const std::int32_t third = b + sum;
    return QString::number(a) + u'_' + QString::number(b) + u'_' + QString::number(third);
}

} // namespace kvor
