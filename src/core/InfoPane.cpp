#include "core/InfoPane.h"

namespace kvor {

namespace {
// The pane switches to the footnote at different rows when a cell is left and when an opening
// amount is compared; both limits are kept as users know them.
constexpr int kLeaveNoteRow = 14;
constexpr int kCheckNoteRow = 13;
} // namespace

QString LeavePaneText(int row, const PaneTexts& t)
{
    if (row >= kLeaveNoteRow) {
        return t.msgNoPrev.isEmpty() ? t.note : t.msgNoPrev + kCrLf + t.note;
    }
    return t.msgNoPrev.isEmpty() ? t.infoTitle : t.msgNoPrev;
}

QString CheckColPaneText(int row, bool equal, bool columnAllBlack, const PaneTexts& t)
{
    const bool lower = row >= kCheckNoteRow;
    if (equal && columnAllBlack) {
        return lower ? t.note : t.infoTitle;
    }
    return lower ? t.msgRed + kCrLf + t.note : t.infoTitle + kCrLf + t.msgRed;
}

QString ActivatePaneText(const PaneTexts& t)
{
    return t.infoTitle + kCrLf + t.msgNoPrev;
}

} // namespace kvor
