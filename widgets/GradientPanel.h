#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>

#include "widgets/TColor.h"
#include "widgets/TCustomPanel.h"

class QPainter;
class TBitmap;

enum TGradientStyle : std::uint8_t {
  gsHorizontal = 0,        // vertical stripes, begin colour at the left edge
  gsVertical = 1,          // horizontal stripes, begin colour at the top
  gsVerticalCenter = 2,    // one-pixel rows, begin colour at top and bottom, end colour mid
  gsHorizontalCenter = 3,  // one-pixel columns, begin colour at left and right, end colour mid
  gsElliptic = 4,          // 156 concentric filled ellipses, end colour at the centre
  gsRectangle = 5          // 256 concentric filled rectangles, end colour at the centre
};

// A panel that paints its whole client area itself: a gradient from BeginColor to EndColor in
// the shape of GradientStyle, then the caption, then the bevels. Everything is drawn into the
// panel's own bitmap and copied onto the panel in one piece, so no partial picture shows.
// With ParentDrag, a left-button press moves the whole top-level window with the mouse.
//
// Caption, Font, FontColor, Alignment, the bevels, BorderWidth and BorderStyle come from
// TCustomPanel; Color does not apply (the gradient replaces the background). Defaults: clTeal to
// clGreen, gsVertical, ParentDrag off, BevelOuter bvRaised, Alignment taCenter.
//
// The main window's banner GradientPanel1 is configured by its owner:
//   SetBeginColor(RGBColor(128, 128, 128)); SetEndColor(clBlack); SetGradientStyle(gsVertical);
//   SetBevelOuter(bvNone); SetAlignment(taLeftJustify);
//   SetCaption("  ...credit line naming the product family, the maker and the country...");
//   font Liberation Sans (standing in for Arial), 8 pt = 11 px (setPixelSize(11)), italic;
//   SetFontColor(clSilver); setCursor(Qt::PointingHandCursor); setToolTip("Visit website")
//   (shown although the window shows no other tooltips); ParentDrag stays off;
//   Clicked() connected through Guarded() to GradientPanel1Click, which calls
//   OpenDocument("https://rowmill.org/") from widgets/ShellUtils.h.
class TGradientPanel : public TCustomPanel {
  Q_OBJECT

 public:
  explicit TGradientPanel(QWidget* parent);
  ~TGradientPanel() override;

  // Never repaints: it only changes what a press does.
  bool ParentDrag() const { return FParentDrag; }
  void SetParentDrag(bool parentDrag) { FParentDrag = parentDrag; }
  // The setters repaint only when the value changes.
  TColor BeginColor() const { return FBeginColor; }
  void SetBeginColor(TColor color);
  TColor EndColor() const { return FEndColor; }
  void SetEndColor(TColor color);
  TGradientStyle GradientStyle() const { return FGradientStyle; }
  void SetGradientStyle(TGradientStyle style);

 protected:
  void Paint(QPainter& surface) override;
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
  // Makes the top-level window follow the mouse while the left button is held.
  virtual void StartWindowMove(QWidget* topLevel);

  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void DrawCaption();
  void DrawBevels();
  void PaintHorizontal(int R1, int G1, int B1, int dR, int dG, int dB);
  void PaintVertical(int R1, int G1, int B1, int dR, int dG, int dB);
  void PaintVerticalCenter(int R1, int G1, int B1, int dR, int dG, int dB);
  void PaintHorizontalCenter(int R1, int G1, int B1, int dR, int dG, int dB);
  void PaintElliptic(int R1, int G1, int B1, int dR, int dG, int dB);
  void PaintRectangle(int R1, int G1, int B1, int dR, int dG, int dB);

  bool FParentDrag = false;
  TColor FBeginColor = clTeal;
  TColor FEndColor = clGreen;
  TGradientStyle FGradientStyle = gsVertical;
  std::unique_ptr<TBitmap> bmpGradient;
  // Where the last left press happened, in screen coordinates.
  QPoint FPressPosition;
  // Set while the window follows the mouse by our own moves, where the window system offers no
  // move of its own: the window, and the pointer's offset from its top-left corner.
  QPointer<QWidget> FMovedWindow;
  QPoint FMoveOffset;
};
