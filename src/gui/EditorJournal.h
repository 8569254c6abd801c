#pragma once
// The editor's side of the journal of unsaved entries: every accepted entry is recorded at once;
// when a report is opened with a journal newer than its file, the user is offered the figures
// it holds. A save or a deliberate close removes it.

#include "core/EntryJournal.h"

#include <memory>

namespace kvor {

class ReportTableModel;

class EditorJournal final
{
public:
    EditorJournal(ReportTableModel* table, const QString& reportPath, JournalKey key);

    // Asks whether to restore a journal left by an editor that did not close; true when figures
    // were restored.
    bool offerRestore();
    // The report was saved or closed on purpose.
    void discard();

private:
    void record(int row, int column, const QString& figure);

    ReportTableModel* m_table;
    QString m_reportPath;
    JournalKey m_key;
    std::unique_ptr<EntryJournal> m_journal; // null while entries are not to be recorded
    bool m_failureShown = false;
};

} // namespace kvor
