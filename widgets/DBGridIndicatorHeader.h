#pragma once

#include <QHeaderView>

// The grid's indicator column, 11 pixels wide: the current record's row carries a solid black
// right-pointing triangle, every other row nothing.
class DBGridIndicatorHeader : public QHeaderView {
  Q_OBJECT
 public:
  explicit DBGridIndicatorHeader(QWidget* parent = nullptr);

  // The row that carries the indicator; -1 for none.
  int IndicatorRow() const { return FIndicatorRow; }
  void SetIndicatorRow(int row);

  QSize sizeHint() const override;

  // The triangle's pixels, 6 wide and 11 high, for a section of the given rectangle: its right
  // edge 2 pixels left of the section's right edge, centred vertically.
  static QRect ArrowRect(const QRect& section);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

 private:
  int FIndicatorRow = -1;
};
