#include "widgets/GradientPanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "platform/MulDiv.h"
#include "widgets/TBitmap.h"
#include "widgets/TShrinkingBox.h"

namespace {

// Colour of step i of n: each channel moves from its begin value by MulDiv(i, delta, n), so
// step 0 is the begin colour and step n the end colour exactly.
TColor StepColor(int R1, int G1, int B1, int dR, int dG, int dB, int i, int n) {
  return RGBColor(R1 + MulDiv(i, dR, n), G1 + MulDiv(i, dG, n), B1 + MulDiv(i, dB, n));
}

int Red(TColor color) {
  return static_cast<int>(color & 0xFF);
}
int Green(TColor color) {
  return static_cast<int>(color >> 8 & 0xFF);
}
int Blue(TColor color) {
  return static_cast<int>(color >> 16 & 0xFF);
}

}  // namespace

TGradientPanel::TGradientPanel(QWidget* parent)
    : TCustomPanel(parent), bmpGradient(std::make_unique<TBitmap>()) {
  bmpGradient->Canvas().SetPenStyle(psSolid);
  bmpGradient->Canvas().SetPenMode(pmCopy);
}

// The bitmap member goes before the panel base, as the member is destroyed first.
TGradientPanel::~TGradientPanel() = default;

void TGradientPanel::SetBeginColor(TColor color) {
  if (color == FBeginColor) return;
  FBeginColor = color;
  update();
}

void TGradientPanel::SetEndColor(TColor color) {
  if (color == FEndColor) return;
  FEndColor = color;
  update();
}

void TGradientPanel::SetGradientStyle(TGradientStyle style) {
  if (style == FGradientStyle) return;
  FGradientStyle = style;
  update();
}

void TGradientPanel::Paint(QPainter& surface) {
  // The base panel's own picture is not drawn: the bitmap covers the whole client area.
  bmpGradient->SetWidth(ClientWidth());
  bmpGradient->SetHeight(ClientHeight());
  // A system colour is taken by its stored bytes: its number becomes the red channel.
  const int R1 = Red(FBeginColor);
  const int G1 = Green(FBeginColor);
  const int B1 = Blue(FBeginColor);
  const int dR = Red(FEndColor) - R1;
  const int dG = Green(FEndColor) - G1;
  const int dB = Blue(FEndColor) - B1;
  bmpGradient->BeginDraw(palette());
  switch (FGradientStyle) {
    case gsHorizontal:
      PaintHorizontal(R1, G1, B1, dR, dG, dB);
      break;
    case gsVertical:
      PaintVertical(R1, G1, B1, dR, dG, dB);
      break;
    case gsVerticalCenter:
      PaintVerticalCenter(R1, G1, B1, dR, dG, dB);
      break;
    case gsHorizontalCenter:
      PaintHorizontalCenter(R1, G1, B1, dR, dG, dB);
      break;
    case gsElliptic:
      PaintElliptic(R1, G1, B1, dR, dG, dB);
      break;
    case gsRectangle:
      PaintRectangle(R1, G1, B1, dR, dG, dB);
      break;
  }
  DrawCaption();
  DrawBevels();
  bmpGradient->EndDraw();
  bmpGradient->Draw(surface, 0, 0);
}

void TGradientPanel::DrawCaption() {
  DrawCaptionOn(bmpGradient->Canvas(), bmpGradient->Width(), bmpGradient->Height());
}

void TGradientPanel::DrawBevels() {
  DrawBevelsOn(bmpGradient->Canvas(), width(), height());
}

// The striped styles spread 256 bands over the panel's overall size; with a frame outside the
// client area the last bands fall beyond the bitmap.
void TGradientPanel::PaintHorizontal(int R1, int G1, int B1, int dR, int dG, int dB) {
  TCanvas& canvas = bmpGradient->Canvas();
  const int W = width();
  const int H = height();
  for (int i = 0; i <= 255; ++i) {
    canvas.SetBrushColor(StepColor(R1, G1, B1, dR, dG, dB, i, 255));
    canvas.FillRect(MulDiv(i, W, 256), 0, MulDiv(i + 1, W, 256), H);
  }
}

void TGradientPanel::PaintVertical(int R1, int G1, int B1, int dR, int dG, int dB) {
  TCanvas& canvas = bmpGradient->Canvas();
  const int W = width();
  const int H = height();
  for (int i = 0; i <= 255; ++i) {
    canvas.SetBrushColor(StepColor(R1, G1, B1, dR, dG, dB, i, 255));
    canvas.FillRect(0, MulDiv(i, H, 256), W, MulDiv(i + 1, H, 256));
  }
}

// Rows from both edges inward; with half 0 there is no step to take (the divisor would be 0).
void TGradientPanel::PaintVerticalCenter(int R1, int G1, int B1, int dR, int dG, int dB) {
  TCanvas& canvas = bmpGradient->Canvas();
  const int Wb = bmpGradient->Width();
  const int Hb = bmpGradient->Height();
  const int half = Hb / 2;
  if (half == 0) return;
  for (int i = 0; i <= half; ++i) {
    canvas.SetBrushColor(StepColor(R1, G1, B1, dR, dG, dB, i, half));
    canvas.FillRect(0, i, Wb, i + 1);
    canvas.FillRect(0, Hb - 1 - i, Wb, Hb - i);
  }
}

void TGradientPanel::PaintHorizontalCenter(int R1, int G1, int B1, int dR, int dG, int dB) {
  TCanvas& canvas = bmpGradient->Canvas();
  const int Wb = bmpGradient->Width();
  const int Hb = bmpGradient->Height();
  const int half = Wb / 2;
  if (half == 0) return;
  for (int i = 0; i <= half; ++i) {
    canvas.SetBrushColor(StepColor(R1, G1, B1, dR, dG, dB, i, half));
    canvas.FillRect(i, 0, i + 1, Hb);
    canvas.FillRect(Wb - 1 - i, 0, Wb - i, Hb);
  }
}

// The starting box reaches a quarter of the size beyond every edge, so ellipse 0 still covers
// the bitmap; after 155 steps the box has shrunk to the centre.
void TGradientPanel::PaintElliptic(int R1, int G1, int B1, int dR, int dG, int dB) {
  TCanvas& canvas = bmpGradient->Canvas();
  canvas.SetPenStyle(psClear);
  canvas.SetPenMode(pmCopy);
  TShrinkingBox box = TShrinkingBox::ForEllipses(bmpGradient->Width(), bmpGradient->Height());
  for (int i = 0; i <= 155; ++i) {
    box.Step();
    canvas.SetBrushColor(StepColor(R1, G1, B1, dR, dG, dB, i, 155));
    canvas.Ellipse(box.Left(), box.Top(), box.Right(), box.Bottom());
  }
  canvas.SetPenStyle(psSolid);
}

// Rectangle 0 already lies one step inside the bitmap, so a thin edge strip keeps whatever the
// bitmap held before this paint.
void TGradientPanel::PaintRectangle(int R1, int G1, int B1, int dR, int dG, int dB) {
  TCanvas& canvas = bmpGradient->Canvas();
  canvas.SetPenStyle(psClear);
  canvas.SetPenMode(pmCopy);
  TShrinkingBox box = TShrinkingBox::ForRectangles(bmpGradient->Width(), bmpGradient->Height());
  for (int i = 0; i <= 255; ++i) {
    box.Step();
    canvas.SetBrushColor(StepColor(R1, G1, B1, dR, dG, dB, i, 255));
    canvas.FillRect(box.Left(), box.Top(), box.Right(), box.Bottom());
  }
  canvas.SetPenStyle(psSolid);
}

void TGradientPanel::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  TCustomPanel::MouseDown(button, shift, x, y);
  if (FParentDrag && button == Qt::LeftButton) {
    // A press that drags the window is not also a click when the button comes up.
    CancelClick();
    FPressPosition = mapToGlobal(QPoint(x + FrameWidth(), y + FrameWidth()));
    StartWindowMove(window());
  }
}

void TGradientPanel::StartWindowMove(QWidget* topLevel) {
  // The window system takes over the pointer for the move, Qt's implicit grab included.
  QWindow* handle = topLevel->windowHandle();
  if (handle && handle->startSystemMove()) return;
  // Without a system move (no window manager support), the window follows the pointer here.
  FMovedWindow = topLevel;
  FMoveOffset = FPressPosition - topLevel->pos();
}

void TGradientPanel::mouseMoveEvent(QMouseEvent* event) {
  if (FMovedWindow && (event->buttons() & Qt::LeftButton)) {
    FMovedWindow->move(event->globalPosition().toPoint() - FMoveOffset);
  }
  TCustomPanel::mouseMoveEvent(event);
}

void TGradientPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) FMovedWindow = nullptr;
  TCustomPanel::mouseReleaseEvent(event);
}
