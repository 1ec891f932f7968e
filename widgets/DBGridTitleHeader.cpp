#include "widgets/DBGridTitleHeader.h"

#include "widgets/DBGridSizes.h"

#include <QPainter>
#include <QStyleOptionHeader>

DBGridTitleHeader::DBGridTitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setDefaultAlignment(Qt::AlignLeft | Qt::AlignTop);
  setSectionsClickable(false);
  setHighlightSections(false);
  setSortIndicatorShown(false);
  setMinimumSectionSize(1);
}

QSize DBGridTitleHeader::sizeHint() const {
  // The width is the view's affair; only the height is fixed by the font.
  return {QHeaderView::sizeHint().width(), dbgrid::TitleRowHeight(dbgrid::TextHeight(font()))};
}

void DBGridTitleHeader::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
}

void DBGridTitleHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (!rect.isValid()) return;
  QStyleOptionHeader option;
  initStyleOption(&option);
  option.rect = rect;
  option.section = logicalIndex;
  option.text.clear();
  option.state &= ~(QStyle::State_Sunken | QStyle::State_On | QStyle::State_MouseOver);
  style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);

  const QString title =
      model() != nullptr
          ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString()
          : QString();
  if (title.isEmpty()) return;
  painter->save();
  painter->setClipRect(rect);
  painter->setFont(font());
  painter->setPen(palette().color(QPalette::ButtonText));
  const QFontMetrics metrics(font());
  painter->drawText(rect.left() + dbgrid::kTextInset,
                    rect.top() + dbgrid::kTextTop + metrics.ascent(), title);
  painter->restore();
}
