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
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};
