#include "editor/ReportEditor.h"

namespace kvor {

void ShowReportEditor(QWidget*)
{
}

} // namespace kvor
