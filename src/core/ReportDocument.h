#pragma once
// Report documents: storing the grid's amounts with the integrity hash, and saving. Opening and
// creating a report is OpenReport's.

#include <QString>

namespace kvor {

class DomDocument;
class GridText;

// A stored amount: the attribute of every report row and the grid column it is shown in.
struct StoredAmount
{
    const char* attribute;
    int gridCol;
};
inline constexpr StoredAmount kStoredAmounts[] = {
    {"col1", 1}, // opening amount
    {"col6", 3}, // added during the month
    {"col8", 5}, // subtracted during the month
    {"col4", 6}, // closing amount
};
// Grid rows 0 to 2 hold the headings; report row n is grid row n + kFirstDataRow.
inline constexpr int kFirstDataRow = 3;

// Copies the amounts of the grid's data rows into the report `doc`, exactly as the cells hold
// them, and sets `hash` (empty when the document is too large to be hashed).
void StoreGridValues(DomDocument& doc, const GridText& grid);

// Writes a report document to path with its integrity hash in `hash` (empty when the document is
// too large to be hashed); the document keeps the hash. The text is built once: the hash is taken
// of it and the same text is written, through a temporary file that replaces the target only
// when it is complete. On failure reason (when given) receives the reason in Bulgarian and
// errorNumber the system's error number (WriteFailureMessage makes the user's message of them).
[[nodiscard]] bool SaveHashedDocument(DomDocument& doc, const QString& path,
                                      QString* reason = nullptr, int* errorNumber = nullptr);

// Writes the report `doc` to path, replacing the file only when the whole document was written.
// On failure reason (when given) receives the reason in Bulgarian and errorNumber the system's
// error number (WriteFailureMessage makes the user's message of them).
[[nodiscard]] bool SaveDocument(const DomDocument& doc, const QString& path,
                                QString* reason = nullptr, int* errorNumber = nullptr);

} // namespace kvor
