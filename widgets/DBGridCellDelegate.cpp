#include "widgets/DBGridCellDelegate.h"

#include "widgets/DBGridSizes.h"
#include "widgets/TextPart.h"

#include <QAbstractScrollArea>
#include <QPainter>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace {

// The first characters of text that cover at least width pixels (no glyph but a zero-width one
// is narrower than a pixel), or the last ones when fromEnd. A surrogate pair is never split.
QStringView Covering(QStringView text, int width, bool fromEnd) {
  return TextPart(text, std::max(0, width) + 1, fromEnd);
}

}  // namespace

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
    const bool right = (alignment & Qt::AlignRight) != 0;
    const QFontMetrics metrics(option.font);
    // Only the part of the text that can be seen is laid out: a value of 50 MB would cost
    // seconds and gigabytes per repaint otherwise.
    QRect seen = option.rect;
    if (const auto* view = qobject_cast<const QAbstractScrollArea*>(option.widget))
      seen &= view->viewport()->rect();
    const int start = option.rect.left() + dbgrid::kTextInset;
    const int end = option.rect.left() + option.rect.width() - dbgrid::kTextInset;
    const QStringView shown = right ? Covering(text, end - seen.left(), true)
                                    : Covering(text, seen.right() + 1 - start, false);
    const int x = right ? end - metrics.horizontalAdvance(shown.toString()) : start;
    painter->setFont(option.font);
    painter->setPen(palette.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(x, option.rect.top() + dbgrid::kTextTop + metrics.ascent(), shown.toString());
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
