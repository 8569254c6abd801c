#include "core/AppState.h"

#include "core/Messages.h"

#include <memory>

namespace kvor {

namespace {
std::unique_ptr<AppState> g_state;
} // namespace

AppState& State()
{
    if (!g_state) {
        g_state = std::make_unique<AppState>();
    }
    return *g_state;
}

void ResetState()
{
    g_state = std::make_unique<AppState>();
    FillFixedTexts(*g_state);
}

void FillFixedTexts(AppState& state)
{
    state.sNote = msg::kNote;
    state.sMsgRed = msg::kMsgRed;
    state.sMsgNoPrev = msg::kMsgNoPrev;
    state.sInfoTitle = msg::kInfoTitle;
}

QString PeriodMonth(const QString& period)
{
    return period.left(2);
}

QString PeriodYear(const QString& period)
{
    return period.mid(5, 4);
}

} // namespace kvor
