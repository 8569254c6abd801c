#include "core/AppState.h"

namespace kvor {

QString PeriodMonth(const QString& period)
{
    return period.left(2);
}

QString PeriodYear(const QString& period)
{
    return period.mid(5, 4);
}

} // namespace kvor
