#include "widgets/DBGridCellDelegate.h"

#include "widgets/DBGridSizes.h"
#include "widgets/TextPart.h"

#include <QAbstractScrollArea>
#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace {

// The first characters of text that cover at least width pixels (no glyph but a zero-width one
// is narrower than a pixel), or the last ones when fromEnd. A surrogate pair is never split.
QStringView Covering(QStringView text, int width, bool fromEnd) {
  return TextPart(text, std::max(0, width) + 1, fromEnd);
}

// The part of part that fits whole in width pixels: characters are dropped from its start (or
// its end) until it does. A surrogate pair goes as one.
QStringView Fitting(QStringView part, int width, bool dropFirst, const QFontMetrics& metrics) {
  while (!part.isEmpty() && metrics.horizontalAdvance(part.toString()) > width) {
    if (dropFirst)
      part = part.mid(part.size() > 1 && part.at(0).isHighSurrogate() ? 2 : 1);
    else
      part.chop(part.size() > 1 && part.at(part.size() - 1).isLowSurrogate() ? 2 : 1);
  }
  return part;
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
    // A text wider than its cell is cut at the edge away from its alignment, and an ellipsis
    // there says so: a long negative number must not pass for a positive one.
    const int room = right ? end - option.rect.left() : option.rect.right() + 1 - start;
    const QChar ellipsis(0x2026);
    const bool cut = text.size() > room + 1 ||
                     metrics.horizontalAdvance(Covering(text, room, right).toString()) > room;
    const int mark = cut ? metrics.horizontalAdvance(ellipsis) + 1 : 0;
    QStringView shown = right ? Covering(text, end - seen.left(), true)
                              : Covering(text, seen.right() + 1 - start, false);
    // Beside the ellipsis only whole characters: half a digit there reads as some other digit.
    if (cut) shown = Fitting(shown, room - mark - (right ? 1 : 0), right, metrics);
    const int x = right ? end - metrics.horizontalAdvance(shown.toString()) : start;
    painter->setFont(option.font);
    painter->setPen(palette.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
    const int baseline = option.rect.top() + dbgrid::kTextTop + metrics.ascent();
    if (cut) {
      const int markX = right ? option.rect.left() + 1 : option.rect.right() + 1 - mark;
      painter->drawText(markX, baseline, QString(ellipsis));
      painter->setClipRect(right ? option.rect.adjusted(mark + 1, 0, 0, 0)
                                 : option.rect.adjusted(0, 0, -mark, 0));
    }
    painter->drawText(x, baseline, shown.toString());
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
