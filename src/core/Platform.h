#pragma once
// What the program asks of the machine it runs on: where the program's files are read and
// written, what day it is, and the busy pointer. The desktop implementation lives with the
// widgets; tests put in their own folders and day.

#include <QDate>
#include <QString>

namespace kvor {

class Platform
{
public:
    virtual ~Platform() = default;

    // Where the distributed files are read: the register, the structure, the help and the
    // kvor.ini a user's first one is made from. No trailing separator.
    virtual QString InstallFolder() const = 0;
    // Where the user's files are written: kvor.ini, Data and the one-copy lock. The install
    // folder itself when it may be written (a portable copy), else the user's data folder.
    virtual QString UserFolder() const = 0;
    virtual QDate Today() const = 0;
    // Shows the busy (hourglass) pointer or takes it away again.
    virtual void SetBusy(bool busy) = 0;
};

Platform& platform();
// Installs the platform; the caller keeps ownership. Passing nullptr restores none.
void setPlatform(Platform* p);

// A path inside the install folder or the user's folder: the folder, a separator and the name.
QString InstallPath(const QString& name);
QString UserPath(const QString& name);

} // namespace kvor
