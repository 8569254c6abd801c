#pragma once
// Structure.xml, the form of the report.

#include <QString>

namespace kvor {

class DomDocument;

inline constexpr const char* kStructureFileName = "Structure.xml";

// Whether a parsed structure file can be used: it has nomenclatures/structure and
// nomenclatures/columns, every row id is a 16-bit integer (the code texts of a row are looked
// up through that number), and a new report built from it can be written in Windows-1251 and
// read back: every name under nomenclatures/structure has a Windows-1251 code, and every column
// id is letters, digits, '-', '_' or '.' of that code page.
bool IsUsableStructure(const DomDocument& structure);

// Loads Structure.xml of the program folder afresh into `structure`, which undoes what building a
// new report changed in memory. A missing file is reported and ends the program; a file that
// cannot be parsed or used is reported with the structure-file error and leaves `structure`
// empty. False after either.
bool ReadStructure(DomDocument& structure);

} // namespace kvor
