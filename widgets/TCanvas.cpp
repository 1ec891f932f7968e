#include "widgets/TCanvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <cstdlib>

void TCanvas::Attach(QPainter* painter, const QPalette& palette) {
  FPainter = painter;
  FPalette = palette;
  // Shapes must land on whole pixels exactly; glyphs keep the painter's own text rendering.
  FPainter->setRenderHint(QPainter::Antialiasing, false);
}

void TCanvas::Detach() {
  FPainter = nullptr;
}

void TCanvas::SetBrushColor(TColor color) {
  FBrushColor = color;
  FBrushStyle = bsSolid;
}

void TCanvas::SetFont(const QFont& font, TColor color) {
  FFont = font;
  FFontColor = color;
}

QColor TCanvas::Resolve(TColor color) const {
  return ColorToQColor(color, FPalette);
}

void TCanvas::PutPixels(int x, int y, int width, int height, const QColor& color) {
  FPainter->fillRect(QRect(x, y, width, height), color);
}

void TCanvas::FillRect(int left, int top, int right, int bottom) {
  if (!FPainter || right <= left || bottom <= top || FBrushStyle == bsClear) return;
  PutPixels(left, top, right - left, bottom - top, Resolve(FBrushColor));
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  if (!FPainter || right <= left || bottom <= top) return;
  FPainter->save();
  if (FPenStyle == psSolid) {
    QPen pen(Resolve(FPenColor));
    pen.setWidth(1);
    FPainter->setPen(pen);
  } else {
    FPainter->setPen(Qt::NoPen);
  }
  FPainter->setBrush(FBrushStyle == bsSolid ? QBrush(Resolve(FBrushColor)) : QBrush());
  // QRect's right edge is inclusive; the box's is not, so the rectangle is built from its size.
  FPainter->drawEllipse(QRect(left, top, right - left, bottom - top));
  FPainter->restore();
}

void TCanvas::MoveTo(int x, int y) {
  FPenPos = QPoint(x, y);
}

void TCanvas::LineTo(int x, int y) {
  const QPoint from = FPenPos;
  FPenPos = QPoint(x, y);
  if (!FPainter || FPenStyle == psClear || from == FPenPos) return;
  const QColor color = Resolve(FPenColor);
  const int dx = x - from.x();
  const int dy = y - from.y();
  // Straight runs in one fill each, so a ring costs four fills; the end pixel is never included.
  if (dy == 0) {
    const int left = dx > 0 ? from.x() : x + 1;
    PutPixels(left, y, std::abs(dx), 1, color);
    return;
  }
  if (dx == 0) {
    const int top = dy > 0 ? from.y() : y + 1;
    PutPixels(x, top, 1, std::abs(dy), color);
    return;
  }
  // Any other slope: Bresenham's walk, stopping one pixel short of the target.
  const int stepX = dx > 0 ? 1 : -1;
  const int stepY = dy > 0 ? 1 : -1;
  const int adx = std::abs(dx);
  const int ady = -std::abs(dy);
  int error = adx + ady;
  int px = from.x();
  int py = from.y();
  while (px != x || py != y) {
    PutPixels(px, py, 1, 1, color);
    const int doubled = 2 * error;
    if (doubled >= ady) {
      error += ady;
      px += stepX;
    }
    if (doubled <= adx) {
      error += adx;
      py += stepY;
    }
  }
}

int TCanvas::TextWidth(const QString& text) const {
  const QFontMetrics metrics =
      FPainter ? QFontMetrics(FFont, FPainter->device()) : QFontMetrics(FFont);
  return metrics.horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString& text) const {
  Q_UNUSED(text);
  // Every line of one font has the same cell height, whatever its characters.
  const QFontMetrics metrics =
      FPainter ? QFontMetrics(FFont, FPainter->device()) : QFontMetrics(FFont);
  return metrics.height();
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  if (!FPainter || text.isEmpty()) return;
  FPainter->save();
  FPainter->setFont(FFont);
  if (FBrushStyle == bsSolid) {
    FPainter->fillRect(QRect(x, y, TextWidth(text), TextHeight(text)), Resolve(FBrushColor));
  }
  FPainter->setPen(Resolve(FFontColor));
  const QFontMetrics metrics(FFont, FPainter->device());
  FPainter->drawText(QPoint(x, y + metrics.ascent()), text);
  FPainter->restore();
}
