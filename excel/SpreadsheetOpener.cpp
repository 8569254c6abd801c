#include "excel/SpreadsheetOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace kvor {

FileOpener& SpreadsheetOpener()
{
    static FileOpener opener = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    return opener;
}

} // namespace kvor
