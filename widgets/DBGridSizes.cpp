#include "widgets/DBGridSizes.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <algorithm>

namespace dbgrid {

int FieldColumnWidth(int digitWidth, int overhang, int displayWidth, int titleWidth) {
  const int byCharacters = (digitWidth - overhang) * displayWidth + overhang + 4;
  return std::max(byCharacters, titleWidth + 4);
}

int DisplayWidthForColumn(int columnWidth, int averageCharWidth, int overhang) {
  // A font without a measurable average width would divide by zero.
  const int a = std::max(1, averageCharWidth);
  return (columnWidth + a / 2 - overhang - 3) / a;
}

int DataRowHeight(int textHeight) {
  return textHeight + 1 + 3;
}

int TitleRowHeight(int titleTextHeight) {
  return titleTextHeight + 4;
}

int DigitWidth(const QFont& font) {
  return QFontMetrics(font).horizontalAdvance(QLatin1Char('0'));
}

int AverageCharWidth(const QFont& font) {
  return QFontMetrics(font).averageCharWidth();
}

int TextHeight(const QFont& font) {
  // The extent of "Wg" is the font's full cell height, whatever the two letters' shapes.
  return QFontMetrics(font).size(Qt::TextSingleLine, QStringLiteral("Wg")).height();
}

int TextWidth(const QFont& font, const QString& text) {
  return QFontMetrics(font).horizontalAdvance(text);
}

}  // namespace dbgrid
