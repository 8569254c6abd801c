#pragma once
// The receiver's check of a report file: its `hash` recomputed exactly as the program computes it
// when it saves.

#include <QString>
#include <QStringList>

namespace kvor {

class DomDocument;

enum class VerifyStatus
{
    Ok,
    NotRegular,
    Unreadable,
    NoHash,
    HashDiffers
};

struct VerifyResult
{
    VerifyStatus status = VerifyStatus::Ok;
    // In Bulgarian, for the person who checks; empty when the file is OK.
    QString reason;
};

VerifyResult VerifyReportFile(const QString& path);
// The same check leaving the file's document in doc (with `hash` emptied) for further reading.
VerifyResult VerifyReportFile(const QString& path, DomDocument& doc);

} // namespace kvor
