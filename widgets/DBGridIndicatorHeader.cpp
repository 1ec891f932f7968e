#include "widgets/DBGridIndicatorHeader.h"

#include "widgets/DBGridSizes.h"

#include <QPainter>
#include <QStyleOptionHeader>

namespace {
constexpr int kArrowWidth = 6;
constexpr int kArrowHeight = 11;
constexpr int kArrowRightGap = 2;
}  // namespace

DBGridIndicatorHeader::DBGridIndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {
  setSectionsClickable(false);
  setHighlightSections(false);
  setMinimumSectionSize(1);
  setSectionResizeMode(QHeaderView::Fixed);
  setFixedWidth(dbgrid::kIndicatorWidth);
}

void DBGridIndicatorHeader::SetIndicatorRow(int row) {
  if (row == FIndicatorRow) return;
  const int previous = FIndicatorRow;
  FIndicatorRow = row;
  if (previous >= 0) updateSection(previous);
  if (row >= 0) updateSection(row);
}

QSize DBGridIndicatorHeader::sizeHint() const {
  // Fixed: measuring the sections' contents would visit every row of a large result.
  return {dbgrid::kIndicatorWidth, 0};
}

QRect DBGridIndicatorHeader::ArrowRect(const QRect& section) {
  const int right = section.left() + section.width() - kArrowRightGap;  // exclusive
  const int top = section.top() + (section.height() - kArrowHeight) / 2;
  return {right - kArrowWidth, top, kArrowWidth, kArrowHeight};
}

void DBGridIndicatorHeader::paintSection(QPainter* painter, const QRect& rect,
                                         int logicalIndex) const {
  if (!rect.isValid()) return;
  QStyleOptionHeader option;
  initStyleOption(&option);
  option.rect = rect;
  option.section = logicalIndex;
  option.state &= ~(QStyle::State_Sunken | QStyle::State_On | QStyle::State_MouseOver);
  style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
  if (logicalIndex != FIndicatorRow) return;

  // Drawn row by row so the triangle is the same pixels on every platform: one pixel wide at its
  // top and bottom rows, six at its middle row.
  const QRect arrow = ArrowRect(rect);
  painter->save();
  painter->setClipRect(rect);
  for (int y = 0; y < kArrowHeight; ++y) {
    const int width = std::min(y, kArrowHeight - 1 - y) + 1;
    painter->fillRect(arrow.left(), arrow.top() + y, width, 1, Qt::black);
  }
  painter->restore();
}
