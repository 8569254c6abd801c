#pragma once
// A municipality as the register names it: its name and its code in the unified budget
// classification (EBK), which also names its report files.

#include <QString>

namespace kvor {

struct Municipality
{
    QString name;
    QString ebk;

    friend bool operator==(const Municipality&, const Municipality&) = default;
};

} // namespace kvor
