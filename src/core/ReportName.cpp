#include "core/ReportName.h"

#include "core/Platform.h"

#include <QDir>

namespace kvor {

QString ReportFileName(const QString& ebk, const QString& year, const QString& month)
{
    return QStringLiteral("mfddd_sd_") + ebk + u'_' + year + u'_' + month + QStringLiteral(".xml");
}

QString DataFolder()
{
    return UserPath(QString::fromLatin1(kDataFolderName));
}

QString ReportFilePath(const QString& ebk, const QString& year, const QString& month)
{
    return DataFolder() + u'/' + ReportFileName(ebk, year, month);
}

QString ReportFilePath(const QString& ebk, const Period& period)
{
    return ReportFilePath(ebk, period.yearText(), period.monthText());
}

void EnsureDataFolder()
{
    QDir().mkpath(DataFolder());
}

bool IsSafeEbkCode(const QString& code)
{
    static const QString kForbidden = QStringLiteral("<>:\"/\\|?*");
    if (code.contains(QLatin1String(".."))) {
        return false;
    }
    for (const QChar ch : code) {
        // Format characters (bidirectional overrides, zero-width marks) count as control
        // characters: they make a name read differently from what it holds.
        const QChar::Category category = ch.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format ||
            kForbidden.contains(ch)) {
            return false;
        }
    }
    // Blanks at the ends make a name that differs from the code the user sees only by what cannot
    // be seen; any other white space is no part of a code either.
    if (!code.isEmpty() && (code.front().isSpace() || code.back().isSpace())) {
        return false;
    }
    return true;
}

} // namespace kvor
