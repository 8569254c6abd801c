#include "editor/ReportEditor.h"

#include "editor/frmSpravka.h"

namespace kvor {

void ShowReportEditor(QWidget* parent)
{
    frmSpravka editor(parent);
    editor.exec();
}

} // namespace kvor
