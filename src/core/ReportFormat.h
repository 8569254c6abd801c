#pragma once
// The names of the structure file's and the report file's elements and attributes, in one place:
// every reader and writer of either format takes them from here.

namespace kvor::xmlname {

// --- Structure.xml: the form --------------------------------------------------------------------
inline constexpr const char* kFormRoot = "nomenclatures";
inline constexpr const char* kFormVersion = "version";
// nomenclatures/structure holds the rows, nested "str" elements in document order.
inline constexpr const char* kRows = "structure";
inline constexpr const char* kRow = "str";
inline constexpr const char* kRowId = "id";
inline constexpr const char* kRowCaption = "name";          // also the caption of the whole list
inline constexpr const char* kRowTotals = "sumid";          // ids of the total rows, joined by "-"
inline constexpr const char* kRowRestricted = "restricted"; // "1": no figure may be typed
inline constexpr char kTotalsSeparator = '-';
// nomenclatures/columns//col: the headings.
inline constexpr const char* kColumns = "columns";
inline constexpr const char* kColumn = "col";
inline constexpr const char* kColumnId = "id";
inline constexpr const char* kColumnCaption = "name";
inline constexpr const char* kColumnProtected = "protected"; // "1": each report row stores it
// nomenclatures/codes/code: the code texts shown beside the increases and the decreases.
inline constexpr const char* kCodes = "codes";
inline constexpr const char* kCode = "code";
inline constexpr const char* kCodeRow = "strid";
inline constexpr const char* kCodeColumn = "colid";
inline constexpr const char* kCodeText = "item";
inline constexpr const char* kCodeColumnAdded = "5";
inline constexpr const char* kCodeColumnSubtracted = "7";

// --- a report file ------------------------------------------------------------------------------
inline constexpr const char* kReportRoot = "positions";
inline constexpr const char* kReportVersion = "version";
inline constexpr const char* kReportPeriod = "period";
inline constexpr const char* kReportMunicipality = "ob_name";
inline constexpr const char* kReportEbk = "ebk";
inline constexpr const char* kReportHash = "hash";
// positions/structure holds the stored rows ("str", matched with the form's rows by position).
// A stored column is "col" and its id: a new report carries "0" for each protected column.
inline constexpr const char* kColumnPrefix = "col";
inline constexpr const char* kOpening = "col1";
inline constexpr const char* kAdded = "col6";
inline constexpr const char* kSubtracted = "col8";
inline constexpr const char* kClosing = "col4";

} // namespace kvor::xmlname
