#include "gui/ReportEditor.h"

#include "gui/frmSpravka.h"

namespace kvor {

void ShowReportEditor(QWidget* parent)
{
    frmSpravka editor(parent);
    editor.exec();
}

} // namespace kvor
