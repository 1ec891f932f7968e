#pragma once

#include <QAbstractItemDelegate>

#include <functional>

// Paints one data cell: its text 3 pixels in from the side it is aligned to and 2 pixels below
// the top, clipped to the cell; the selected cell is highlighted while the grid has the focus.
class DBGridCellDelegate : public QAbstractItemDelegate {
  Q_OBJECT
 public:
  using Highlighted = std::function<bool(const QModelIndex&)>;
  explicit DBGridCellDelegate(Highlighted highlighted, QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  Highlighted FHighlighted;
};
