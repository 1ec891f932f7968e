#include "widgets/TCustomPanel.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "widgets/TCanvas.h"

TCustomPanel::TCustomPanel(QWidget* parent) : QWidget(parent) {
  // Every pixel is painted here, so Qt need not erase the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCustomPanel::SetCaption(const QString& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  update();
}

void TCustomPanel::SetFontColor(TColor color) {
  if (color == FFontColor) return;
  FFontColor = color;
  update();
}

void TCustomPanel::SetAlignment(TAlignment alignment) {
  if (alignment == FAlignment) return;
  FAlignment = alignment;
  update();
}

void TCustomPanel::SetBevelInner(TBevelCut cut) {
  if (cut == FBevelInner) return;
  FBevelInner = cut;
  update();
}

void TCustomPanel::SetBevelOuter(TBevelCut cut) {
  if (cut == FBevelOuter) return;
  FBevelOuter = cut;
  update();
}

void TCustomPanel::SetBevelWidth(int width) {
  width = std::max(width, 1);
  if (width == FBevelWidth) return;
  FBevelWidth = width;
  update();
}

void TCustomPanel::SetBorderWidth(int width) {
  width = std::max(width, 0);
  if (width == FBorderWidth) return;
  FBorderWidth = width;
  update();
}

void TCustomPanel::SetBorderStyle(TBorderStyle style) {
  if (style == FBorderStyle) return;
  FBorderStyle = style;
  update();
}

void TCustomPanel::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  update();
}

int TCustomPanel::ClientWidth() const {
  return std::max(width() - 2 * FrameWidth(), 0);
}

int TCustomPanel::ClientHeight() const {
  return std::max(height() - 2 * FrameWidth(), 0);
}

int TCustomPanel::BorderExtent() const {
  int extent = FrameWidth() + FBorderWidth;
  if (FBevelOuter != bvNone) extent += FBevelWidth;
  if (FBevelInner != bvNone) extent += FBevelWidth;
  return extent;
}

void TCustomPanel::Paint(QPainter& surface) {
  TCanvas canvas;
  canvas.Attach(&surface, palette());
  canvas.SetBrushColor(FColor);
  canvas.FillRect(0, 0, ClientWidth(), ClientHeight());
  DrawCaptionOn(canvas, ClientWidth(), ClientHeight());
  DrawBevelsOn(canvas, width(), height());
  canvas.Detach();
}

void TCustomPanel::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  emit OnMouseDown(button, shift, x, y);
}

void TCustomPanel::DrawCaptionOn(TCanvas& canvas, int clientWidth, int clientHeight) const {
  canvas.SetFont(font(), FFontColor);
  canvas.SetBrushStyle(bsClear);
  int bevel = 0;
  if (FBevelInner != bvNone) bevel += FBevelWidth;
  if (FBevelOuter != bvNone) bevel += FBevelWidth;
  // Integer division toward zero, also when the text is larger than the panel.
  const int y = (clientHeight - canvas.TextHeight(FCaption)) / 2;
  int x = bevel;
  if (FAlignment == taRightJustify) {
    x = clientWidth - canvas.TextWidth(FCaption) - bevel;
  } else if (FAlignment == taCenter) {
    x = (clientWidth - canvas.TextWidth(FCaption)) / 2;
  }
  canvas.TextOut(x, y, FCaption);
}

void TCustomPanel::DrawBevelsOn(TCanvas& canvas, int width, int height) const {
  canvas.SetPenStyle(psSolid);
  canvas.SetPenMode(pmCopy);
  if (FBevelOuter != bvNone) DrawRings(canvas, FBevelOuter, 0, width, height);
  if (FBevelInner != bvNone) {
    DrawRings(canvas, FBevelInner, FBevelOuter != bvNone ? FBevelWidth : 0, width, height);
  }
}

void TCustomPanel::DrawRings(TCanvas& canvas, TBevelCut cut, int firstRing, int width,
                             int height) const {
  // Left and top edges take the first colour, right and bottom the second.
  const TColor first = cut == bvLowered ? clBtnShadow : clBtnHighlight;
  const TColor second = cut == bvLowered ? clBtnHighlight : clBtnShadow;
  const int r = height - 1;
  const int c = width - 1;
  for (int k = firstRing; k < firstRing + FBevelWidth; ++k) {
    canvas.SetPenColor(first);
    canvas.MoveTo(k, r - k);
    canvas.LineTo(k, k);
    canvas.LineTo(c - k, k);
    canvas.SetPenColor(second);
    canvas.LineTo(c - k, r - k);
    canvas.LineTo(k, r - k);
  }
}

void TCustomPanel::PaintFrame(QPainter& painter) const {
  if (FBorderStyle != bsSingle) return;
  // A sunken edge: shadow above and left, light below and right, in two rings.
  const QRect outer = rect();
  const QRect inner = outer.adjusted(1, 1, -1, -1);
  const QPalette& colours = palette();
  const auto ring = [&painter](const QRect& box, const QColor& topLeft, const QColor& bottomRight) {
    painter.fillRect(QRect(box.left(), box.top(), box.width() - 1, 1), topLeft);
    painter.fillRect(QRect(box.left(), box.top(), 1, box.height() - 1), topLeft);
    painter.fillRect(QRect(box.left(), box.bottom(), box.width(), 1), bottomRight);
    painter.fillRect(QRect(box.right(), box.top(), 1, box.height()), bottomRight);
  };
  ring(outer, colours.color(QPalette::Dark), colours.color(QPalette::Light));
  ring(inner, colours.color(QPalette::Shadow), colours.color(QPalette::Midlight));
}

void TCustomPanel::paintEvent(QPaintEvent* event) {
  Q_UNUSED(event);
  QPainter painter(this);
  PaintFrame(painter);
  const int frame = FrameWidth();
  painter.setClipRect(QRect(frame, frame, ClientWidth(), ClientHeight()));
  painter.translate(frame, frame);
  Paint(painter);
}

void TCustomPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) FLeftPressed = true;
  // Coordinates are the client area's, as for painting.
  const QPoint at = event->position().toPoint() - QPoint(FrameWidth(), FrameWidth());
  MouseDown(event->button(), event->modifiers(), at.x(), at.y());
  event->accept();
}

void TCustomPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const bool wasPressed = FLeftPressed;
  FLeftPressed = false;
  if (wasPressed && rect().contains(event->position().toPoint())) emit Clicked();
  event->accept();
}
