#include "gui/EditorJournal.h"
#include "gui/UserPrompts.h"

#include "core/Messages.h"
#include "core/Platform.h"
#include "gui/ReportTableModel.h"

#include <QDir>
#include <QFileInfo>

namespace kvor {

namespace {

const QString kAskRestore =
    QStringLiteral("Програмата е била прекъсната, преди да бъдат записани въведените данни "
                   "(%1 въвеждания).\r\nДа бъдат ли възстановени?");
const QString kRestoredBeforeDamage =
    QStringLiteral("Файлът с незаписаните данни е повреден. Възстановени са въвежданията "
                   "преди повредата (%1).");
const QString kOtherJournal =
    QStringLiteral("Файлът с незаписани данни не е от тази справка и е оставен непроменен:\r\n%1");
const QString kJournalNotWritten =
    QStringLiteral("Въведените данни не могат да се пазят до записа им:\r\n%1");
const QString kRestoreStep = QStringLiteral("Възстановяване");

} // namespace

EditorJournal::EditorJournal(ReportTableModel* table, const QString& reportPath, JournalKey key)
    : m_table(table), m_reportPath(reportPath), m_key(std::move(key)),
      m_journal(std::make_unique<EntryJournal>(JournalPath(reportPath), m_key))
{
    m_table->setEntryObserver([this](const CellFigure& f) { record(f.row, f.column, f.text); });
}

bool EditorJournal::offerRestore()
{
    const QString path = m_journal->path();
    const QFileInfo journal(path);
    const QFileInfo report(m_reportPath);
    if (!journal.exists() || (report.exists() && journal.lastModified() <= report.lastModified())) {
        return false; // none, or one the report's last save already holds
    }
    const Result<JournalContents> read = ReadJournal(path, m_key);
    if (!read) {
        // Not this report's: left for the user, and this editor keeps no journal beside it.
        prompts().showMessage(kOtherJournal.arg(QDir::toNativeSeparators(path)), MsgButtons::Ok,
                          MsgIcon::Exclamation, msg::kTitleWarning);
        m_journal.reset();
        return false;
    }
    if (read->entries.empty()) {
        return false;
    }
    const MsgAnswer answer =
        prompts().showMessage(kAskRestore.arg(read->entries.size()), MsgButtons::YesNo,
                          MsgIcon::Question, msg::kTitleWarning);
    if (answer != MsgAnswer::Yes) {
        // The user chose the report as saved; the figures are not offered again.
        m_journal->remove();
        return false;
    }
    std::vector<CellFigure> figures;
    figures.reserve(read->entries.size());
    for (const JournalEntry& e : read->entries) {
        if (e.row < m_table->rowCount()) {
            figures.push_back({e.row, e.column, e.figure});
        }
    }
    // Replayed as one step, recorded again into a journal started afresh.
    const bool restored =
        m_table->enterFigures(figures, kRestoreStep, true) == ReportModel::Entry::Accepted;
    if (read->damaged) {
        prompts().showMessage(kRestoredBeforeDamage.arg(read->entries.size()), MsgButtons::Ok,
                          MsgIcon::Exclamation, msg::kTitleWarning);
    }
    return restored;
}

void EditorJournal::discard()
{
    if (m_journal) {
        m_journal->remove();
    }
}

void EditorJournal::record(int row, int column, const QString& figure)
{
    if (!m_journal) {
        return;
    }
    const Result<> recorded = m_journal->record({row, column, figure});
    if (!recorded && !m_failureShown) {
        m_failureShown = true;
        prompts().showMessage(kJournalNotWritten.arg(QDir::toNativeSeparators(m_journal->path())),
                          MsgButtons::Ok, MsgIcon::Exclamation, msg::kTitleWarning);
    }
}

} // namespace kvor
