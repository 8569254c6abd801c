#pragma once
// The heading of the report table on three levels, as the printed form has it: a group heading
// over its two columns, the columns' own headings below it (a single column's heading standing on
// both levels) and the column numbers 1 to 7.

#include <QHeaderView>

namespace kvor {

class ReportHeader final : public QHeaderView
{
    Q_OBJECT
public:
    explicit ReportHeader(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    // Paints the whole heading of one column into rect (also used for the locked caption column).
    void paintColumnHeading(QPainter* painter, const QRect& rect, int logicalIndex) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int lineHeight() const;
    void paintCell(QPainter* painter, const QRect& rect, const QString& text) const;
    // The first section of the group a column belongs to, and how many sections it spans.
    std::pair<int, int> groupOf(int logicalIndex) const;
};

} // namespace kvor
