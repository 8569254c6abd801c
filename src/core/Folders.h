#pragma once
// Where the program reads the files it was given and writes the user's own. A program folder
// that may be written keeps everything together, as a portable copy always has; a system-wide
// install or a read-only share sends the user's files to the user's data folder instead.

#include <QString>

namespace kvor {

struct Folders
{
    QString install; // the register, the structure, the help and the distributed kvor.ini
    QString user;    // kvor.ini, Data and the one-copy lock
};

// exeFolder is the executable's folder, installedData the data folder of an installed program
// (<prefix>/share/kvor seen from <prefix>/bin) and userData the user's own data folder. A folder
// beside the executable with any of the program's files in it is a program folder: it is used
// for everything when a file can be created in it. An installed program always writes to the
// user's data folder, so that updating the package never meets a user's report.
Folders ChooseFolders(const QString& exeFolder, const QString& installedData,
                      const QString& userData);

// Whether a new file can be created in folder, found by creating one and removing it again: a
// read-only file system refuses even a user whom the permission bits would let in.
bool CanCreateFilesIn(const QString& folder);

// Makes folder, and any missing folder above it, so that only the user may enter it (0700
// whatever the umask). An existing folder is used only when it is a folder, not a link, owned by
// the user and writable by no one else; what others could still read in it is taken from them.
// False when the folder cannot be made or used so.
bool MakePrivateFolder(const QString& folder);

// Creates the user's data folder and its Data private to the user and, on first start, its
// kvor.ini as a copy of the distributed one; a data folder that earlier versions left readable
// by all is made private too. An existing kvor.ini is never replaced. False when a copy was needed
// and could not be made; start-up then finds no kvor.ini and says so.
bool SeedUserFolder(const Folders& folders);

} // namespace kvor
