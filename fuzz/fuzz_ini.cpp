// Any bytes as kvor.ini: the fields are read without crashing and a found position is 16-bit.

#include "core/Cp1251.h"
#include "core/KvorIni.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text =
        kvor::Cp1251Decode(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    (void)kvor::FindRememberedPosition(kvor::ReadDelimitedFields(text));
    return 0;
}
