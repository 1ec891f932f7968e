#pragma once

class QFont;
class QString;

// The grid's size rules, in pixels, from the metrics of its fonts.
namespace dbgrid {

constexpr int kIndicatorWidth = 11;
constexpr int kDefaultColumnWidth = 64;
// Where a cell's text starts (or ends, right-aligned) and how far below the cell's top.
constexpr int kTextInset = 3;
constexpr int kTextTop = 2;

// A field column: DisplayWidth digit widths, but never narrower than its title; at most INT_MAX.
int FieldColumnWidth(int digitWidth, int overhang, int displayWidth, int titleWidth);
// The DisplayWidth that a column dragged to the given width stands for.
int DisplayWidthForColumn(int columnWidth, int averageCharWidth, int overhang);
// Row heights from the height of "Wg": a data row includes its grid line.
int DataRowHeight(int textHeight);
int TitleRowHeight(int titleTextHeight);

// The metrics these rules take, measured on a font. Outline fonts have no overhang.
int DigitWidth(const QFont& font);
int AverageCharWidth(const QFont& font);
int TextHeight(const QFont& font);
int TextWidth(const QFont& font, const QString& text);
inline int Overhang(const QFont&) {
  return 0;
}

}  // namespace dbgrid
