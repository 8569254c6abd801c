#pragma once
// Opens the report editor over `parent` for the report set up in the application state, modally;
// returns when the editor has closed.

class QWidget;

namespace kvor {

void ShowReportEditor(QWidget* parent);

} // namespace kvor
