// Any bytes as the municipality register: reading it never crashes, gives one name per row, and
// asking for the code of any list position, inside the list or not, is answered.

#include "FuzzFolder.h"
#include "core/Register.h"
#include "core/XmlDom.h"

using namespace kvor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzFolder& f = fuzz::folder();
    const fuzz::FuzzPlatform& p = f.reset();
    fuzz::FuzzFolder::write(f.installPath(QString::fromLatin1(kObshtiniFileName)),
                            fuzz::bytesOf(data, size));

    DomDocument reg;
    const auto names = ReadObshtini(reg);
    // The file is there, so the program goes on whatever it holds.
    fuzz::check(names.has_value() && !p.ended);
    const int count = int(names->size());
    for (const int position : {-1, 0, count / 2, count - 1, count, 32767}) {
        const QString code = EbkOfPosition(reg, position);
        if (position < 0 || position >= count) {
            fuzz::check(code.isEmpty());
        }
    }
    return 0;
}
