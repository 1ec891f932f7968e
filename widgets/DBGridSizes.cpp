#include "widgets/DBGridSizes.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <limits>

namespace dbgrid {

int FieldColumnWidth(int digitWidth, int overhang, int displayWidth, int titleWidth) {
  // In 64 bits: a field of a large DisplayWidth would overflow an int.
  const qint64 byCharacters = qint64(digitWidth - overhang) * displayWidth + overhang + 4;
  const qint64 width = std::max<qint64>(byCharacters, qint64(titleWidth) + 4);
  return static_cast<int>(std::clamp<qint64>(width, 0, std::numeric_limits<int>::max()));
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
