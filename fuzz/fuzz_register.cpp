// Any bytes as the municipality register: reading it never crashes and, the file being there,
// always gives a list (the program goes on whatever it holds).

#include "FuzzFolder.h"
#include "core/Register.h"

using namespace kvor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzFolder& f = fuzz::folder();
    f.reset();
    fuzz::FuzzFolder::write(f.installPath(QString::fromLatin1(kRegisterFileName)),
                            fuzz::bytesOf(data, size));
    fuzz::check(ReadRegister().ok());
    return 0;
}
