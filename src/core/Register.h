#pragma once
// The municipality register Obshtini.xml: one "z:row" per municipality, its name in OB_Name and
// its EBK code in OB_Num. A municipality is known by its position in the list.

#include "core/Municipality.h"
#include "core/Result.h"

#include <QList>

namespace kvor {

inline constexpr const char* kRegisterFileName = "Obshtini.xml";

// The municipalities of the register of the install folder, in file order; a row without a code
// gives an empty code. A missing file is a NotFound failure; a file that cannot be parsed gives
// an empty list (choosing then asks for a municipality).
Result<QList<Municipality>> ReadRegister();

} // namespace kvor
