// Any bytes as kvor.ini in the user's folder: the file layer reads the position the fields
// name, and remembering a municipality rewrites the file to the one line that reads back as it.

#include "FuzzFolder.h"
#include "core/Cp1251.h"
#include "core/KvorIni.h"

using namespace kvor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzFolder& f = fuzz::folder();
    const fuzz::FuzzPlatform& p = f.reset();
    const QString path = f.userPath(QString::fromLatin1(kIniFileName));
    fuzz::FuzzFolder::write(path, fuzz::bytesOf(data, size));

    constexpr short kUntouched = -2;
    short position = kUntouched;
    fuzz::check(ReadIni(path, position) == IniStatus::Ok);
    const auto expected =
        FindRememberedPosition(ReadDelimitedFields(Cp1251Decode(fuzz::bytesOf(data, size))));
    fuzz::check(position == expected.value_or(kUntouched));

    fuzz::check(RememberMunicipality(position) && p.messages == 0 && !p.ended);
    fuzz::check(fuzz::FuzzFolder::read(path) == IniLine(position));
    short again = kUntouched;
    fuzz::check(ReadIni(path, again) == IniStatus::Ok && again == position);
    return 0;
}
