#include "widgets/DBGridCellDelegate.h"

#include "widgets/DBGridSizes.h"

#include <QPainter>
#include <QStyleOptionViewItem>

DBGridCellDelegate::DBGridCellDelegate(Highlighted highlighted, QObject* parent)
    : QAbstractItemDelegate(parent), FHighlighted(std::move(highlighted)) {}

void DBGridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  const bool highlighted = FHighlighted && FHighlighted(index);
  const QPalette& palette = option.palette;
  painter->save();
  painter->setClipRect(option.rect);
  painter->fillRect(option.rect, palette.color(highlighted ? QPalette::Highlight : QPalette::Base));

  const QString text = index.data(Qt::DisplayRole).toString();
  if (!text.isEmpty()) {
    const auto alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    const QFontMetrics metrics(option.font);
    int x = option.rect.left() + dbgrid::kTextInset;
    if (alignment & Qt::AlignRight)
      x = option.rect.left() + option.rect.width() - dbgrid::kTextInset -
          metrics.horizontalAdvance(text);
    painter->setFont(option.font);
    painter->setPen(palette.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(x, option.rect.top() + dbgrid::kTextTop + metrics.ascent(), text);
  }
  painter->restore();
}

QSize DBGridCellDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  const QFontMetrics metrics(option.font);
  return {
      metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 2 * dbgrid::kTextInset,
      dbgrid::DataRowHeight(dbgrid::TextHeight(option.font))};
}
