#pragma once
// The receiver's check of a report file: its `hash` recomputed exactly as the program computes it
// when it saves.

#include <QString>

namespace kvor {

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

} // namespace kvor
