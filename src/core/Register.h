#pragma once
// The municipality register Obshtini.xml: one "z:row" per municipality, its name in OB_Name and
// its EBK code in OB_Num. A municipality is known by its position in the list.

#include <QString>
#include <QStringList>
#include <optional>

namespace kvor {

class DomDocument;

inline constexpr const char* kObshtiniFileName = "Obshtini.xml";

// Loads the register of the program folder into `reg` and gives the names in file order. A
// missing file is reported and ends the program (no value then); a file that cannot be parsed
// gives no names.
std::optional<QStringList> ReadObshtini(DomDocument& reg);

// The EBK code of the municipality at list position p; "" when there is no such row or code.
QString EbkOfPosition(const DomDocument& reg, int p);

} // namespace kvor
