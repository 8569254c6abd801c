#pragma once
// The official form drawn by the program itself on any paged device (a printer, its preview, a
// PDF): the cells of the printed sheet in their places, looks and order. The table is scaled to the
// page's width; a form a little too long for one page is drawn a little smaller, a longer one goes
// on over further pages, each with the table's heading repeated and a page number, and the
// footnote and the signature lines follow the last row, kept together.

#include <QPageLayout>

class QPagedPaintDevice;

namespace kvor {

struct PrintoutInput;

// The family the form is drawn in: DejaVu Sans has every Cyrillic letter and comes with every
// Debian desktop Qt runs on (fonts-dejavu-core); where it is missing, fontconfig's choice is used.
inline constexpr const char* kDrawnFormFont = "DejaVu Sans";

// The page the form is made for: A4 landscape with margins any printer can print.
QPageLayout FormPageLayout();

// Draws the form on the device's pages as they are laid out now (the user may have chosen another
// paper). The number of pages drawn; 0 when the device could not be painted on.
int PaintForm(const PrintoutInput& input, QPagedPaintDevice& device);

} // namespace kvor
