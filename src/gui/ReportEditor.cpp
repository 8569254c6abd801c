#include "gui/ReportEditor.h"

#include "gui/frmSpravka.h"

namespace kvor {

void ShowReportEditor(QWidget* parent, AppState& state)
{
    frmSpravka editor(parent, state);
    editor.exec();
}

} // namespace kvor
