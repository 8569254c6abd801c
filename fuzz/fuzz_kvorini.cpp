// Any bytes as kvor.ini in the user's folder: the file layer reads the position the fields
// name, and remembering a municipality rewrites the file to the one line that reads back as it.

#include "FuzzFolder.h"
#include "core/Cp1251.h"
#include "core/KvorIni.h"

using namespace kvor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzFolder& f = fuzz::folder();
    f.reset();
    const QString path = f.userPath(QString::fromLatin1(kIniFileName));
    fuzz::FuzzFolder::write(path, fuzz::bytesOf(data, size));

    const Result<std::optional<int>> read = ReadRememberedMunicipality(path);
    fuzz::check(read.ok());
    const auto named =
        FindRememberedPosition(ReadDelimitedFields(Cp1251Decode(fuzz::bytesOf(data, size))));
    fuzz::check(*read == (named && *named >= 0 ? std::optional<int>(*named) : std::nullopt));

    const int position = read->value_or(0);
    fuzz::check(RememberMunicipality(position).ok());
    fuzz::check(fuzz::FuzzFolder::read(path) == IniLine(position));
    const Result<std::optional<int>> again = ReadRememberedMunicipality(path);
    fuzz::check(again.ok() && *again == std::optional<int>(position));
    return 0;
}
