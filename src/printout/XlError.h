#pragma once
// A refusal of the spreadsheet: the error number and text that an automation caller sees, so
// that the printout can choose its message by the number as it would for Excel.

#include <QString>
#include <utility>

namespace kvor::xl {

// Numbers as the automation runtime reports them.
enum XlErrorNumber : long
{
    kErrOverflow = 6,
    kErrSubscript = 9,
    kErrFileAccess = 75,
    kErrObjectNotSet = 91,
    kErrCannotCreate = 429,
    kErrClassNotFound = 432,
    kErrNoPrinter = 1004, // Excel's number for any refused method or property
    kErrDisconnected = -2147417848,
};

class XlError final
{
public:
    XlError(long number, QString description) : Number(number), Description(std::move(description))
    {}

    long Number;
    QString Description;
};

} // namespace kvor::xl
