#pragma once
// The official printed form of the report: a two-line title, the table with its two-level
// heading, borders and grey bands, the footnote and the signature lines on a landscape A4 page.
// The form is told cell by cell to a sheet, which may be a file or, in tests, a record.

#include "printout/PrintoutInput.h"

#include <QString>
#include <array>
#include <cstdint>

namespace kvor {

// Sheet columns, counted from 1 as the spreadsheet counts them.
namespace sheetcol {
inline constexpr int A = 1, B = 2, C = 3, D = 4, E = 5, F = 6, G = 7;
}

// The looks a cell of the form can have.
enum class Look : uint8_t
{
    Plain,         // the default font and nothing else
    Title,         // "СПРАВКА"
    Subtitle,      // the title's second line and the empty row under it
    Heading,       // the table's first heading row
    Subheading,    // its second heading row
    ColumnNumbers, // the row of column numbers
    Caption,       // a row's name
    Code,          // the code texts
    Amount,        // the figures
    GreyCaption,   // the same three on a highlighted row
    GreyCode,
    GreyAmount,
    NoteHeading, // "Забележка:"
    Footnote,
    Signature,
};
inline constexpr int kLookCount = int(Look::Signature) + 1;

enum class HAlign : uint8_t
{
    General,
    Center,
    Right
};

struct LookSpec
{
    double size; // points, of Arial
    bool bold;
    bool underline; // single
    bool wrap;
    HAlign horizontal;
    bool verticalCenter; // otherwise at the bottom
    bool grey;           // the light grey band (C0C0C0)
    bool lines;          // thin lines on all four edges
    bool amount;         // number format "0.00"
};

// clang-format off
inline constexpr std::array<LookSpec, kLookCount> kLooks{{
    //  size  bold   underl wrap   horizontal      vcenter grey   lines  amount
    {   10,   false, false, false, HAlign::General, false, false, false, false}, // Plain
    {   12,   true,  true,  true,  HAlign::Center,  true,  false, false, false}, // Title
    {   12,   true,  false, true,  HAlign::Center,  true,  false, false, false}, // Subtitle
    {   11,   true,  false, true,  HAlign::Center,  true,  true,  true,  false}, // Heading
    {   11,   false, false, true,  HAlign::Center,  true,  true,  true,  false}, // Subheading
    {   11,   false, false, true,  HAlign::Center,  true,  false, true,  false}, // ColumnNumbers
    {   10,   false, false, false, HAlign::General, false, false, true,  false}, // Caption
    {   10,   false, false, false, HAlign::Center,  false, false, true,  false}, // Code
    {   10,   false, false, false, HAlign::Right,   false, false, true,  true }, // Amount
    {   10,   false, false, false, HAlign::General, false, true,  true,  false}, // GreyCaption
    {   10,   false, false, false, HAlign::Center,  false, true,  true,  false}, // GreyCode
    {   10,   false, false, false, HAlign::Right,   false, true,  true,  true }, // GreyAmount
    {   10,   false, true,  false, HAlign::General, false, false, false, false}, // NoteHeading
    {   10,   false, false, true,  HAlign::General, false, false, false, false}, // Footnote
    {   10,   true,  false, false, HAlign::General, false, false, false, false}, // Signature
}};
// clang-format on

inline constexpr const char* kFormFont = "Arial";
inline constexpr double kFormFontSize = 10;
inline constexpr const char* kAmountFormat = "0.00";
inline constexpr uint32_t kGreyBand = 0xC0C0C0;

struct PageLayout
{
    bool landscape;
    int paperSize; // the spreadsheet's paper number: 9 is A4
    int scale;     // percent
    double leftMargin, rightMargin, topMargin, bottomMargin; // inches
    double defaultRowHeight;                                 // points, for Arial 10
};

// Where the form is written. Rows and columns count from 1. A merge is declared before the cells
// it covers are written; every cell of a merged block is written with its own look.
class FormSheet
{
public:
    virtual ~FormSheet() = default;
    virtual void page(const PageLayout& layout) = 0;
    virtual void columnWidth(int col, double characters) = 0;
    virtual void rowHeight(int row, double points) = 0;
    virtual void merge(int top, int left, int bottom, int right) = 0;
    virtual void text(int row, int col, const QString& text, Look look) = 0;
    virtual void number(int row, int col, double value, Look look) = 0;
    virtual void blank(int row, int col, Look look) = 0;
};

// The sheet rows the form takes for a grid of gridRows rows (at least the three heading rows).
int FormRowCount(int gridRows);

// Writes the whole form. Amounts become numbers, and so does a text that reads as an amount
// ("1 234,50"), as it would when typed into the spreadsheet; an empty text leaves the cell blank.
void WriteForm(const PrintoutInput& input, FormSheet& sheet);

} // namespace kvor
