#pragma once

#include <QHeaderView>

// The grid's title row: each title left-aligned in the header's font (the grid's title font),
// 3 pixels in and 2 down, clipped to its section, on the fixed-cell background.
class DBGridTitleHeader : public QHeaderView {
  Q_OBJECT
 public:
  explicit DBGridTitleHeader(QWidget* parent = nullptr);

  QSize sizeHint() const override;

 protected:
  // A double click is a second press: it never sizes a column to its contents, which is not a
  // data grid's behaviour and would read every value of the column.
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};
