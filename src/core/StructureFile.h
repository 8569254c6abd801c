#pragma once
// Structure.xml, the form of the report.

#include "core/Result.h"

#include <QString>
#include <memory>

namespace kvor {

class DomDocument;

inline constexpr const char* kStructureFileName = "Structure.xml";

// Whether a parsed structure file can be used: it has nomenclatures/structure and
// nomenclatures/columns, every row id is a 16-bit integer (the code texts of a row are looked
// up through that number), and a new report built from it can be written in Windows-1251 and
// read back: every name under nomenclatures/structure has a Windows-1251 code, and every column
// id is letters, digits, '-', '_' or '.' of that code page; every total a row names in "sumid" is
// a row of the form.
bool IsUsableStructure(const DomDocument& structure);

// Reads Structure.xml of the install folder. NotFound when it is missing; NotWellFormed or
// NotAReport when it cannot be parsed or used.
Result<std::unique_ptr<DomDocument>> ReadStructure();

} // namespace kvor
