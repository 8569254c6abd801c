#pragma once
// The report files kvor-verify is given: a file, or every *.xml below a folder. The walk keeps the
// names as the system gives them, so that a folder it cannot read or a name it cannot show is
// told for what it is instead of being passed over or mistaken for a missing file.

#include <QByteArray>
#include <QList>
#include <QString>

namespace kvor {

struct ReportFileEntry
{
    QString path;        // to be shown; bytes that are no UTF-8 appear as \xNN
    QString problem;     // empty: the file is to be checked; else why it cannot be, in Bulgarian
    bool folder = false; // the problem is a folder's (its files were not checked)
};

// Sorted by path. nativePath is the argument as the system gave it.
QList<ReportFileEntry> ReportFilesOf(const QByteArray& nativePath);

// The bytes as text: UTF-8 where they are, \xNN for every byte that is not.
QString ShownPath(const QByteArray& nativePath);

} // namespace kvor
