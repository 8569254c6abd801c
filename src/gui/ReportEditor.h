#pragma once
// Opens the report editor over `parent` for the report set up in `state`, modally; returns when
// the editor has closed.

class QWidget;

namespace kvor {

struct AppState;

void ShowReportEditor(QWidget* parent, AppState& state);

} // namespace kvor
