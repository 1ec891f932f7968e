#pragma once

#include <QFont>
#include <QPalette>
#include <QPoint>
#include <QString>

#include "widgets/TColor.h"

class QPainter;

enum TPenStyle { psSolid, psClear };
enum TPenMode { pmCopy };
enum TBrushStyle { bsSolid, bsClear };

// A drawing surface with the pixel rules the panels are written against: fills cover
// left <= x < right and top <= y < bottom, a line leaves out its end pixel, and a clear brush
// draws text without a background box. Pen, brush and font persist across paints; the target
// painter is attached for one paint at a time.
class TCanvas {
 public:
  // Attaches a painter (antialiasing is turned off for shapes) and the palette that resolves
  // system colours. Until Detach(), every drawing call goes to that painter.
  void Attach(QPainter* painter, const QPalette& palette);
  void Detach();
  bool Attached() const { return FPainter != nullptr; }

  TColor PenColor() const { return FPenColor; }
  void SetPenColor(TColor color) { FPenColor = color; }
  TPenStyle PenStyle() const { return FPenStyle; }
  void SetPenStyle(TPenStyle style) { FPenStyle = style; }
  TPenMode PenMode() const { return FPenMode; }
  void SetPenMode(TPenMode mode) { FPenMode = mode; }

  TColor BrushColor() const { return FBrushColor; }
  // Setting a colour makes the brush solid again.
  void SetBrushColor(TColor color);
  TBrushStyle BrushStyle() const { return FBrushStyle; }
  void SetBrushStyle(TBrushStyle style) { FBrushStyle = style; }

  const QFont& Font() const { return FFont; }
  TColor FontColor() const { return FFontColor; }
  void SetFont(const QFont& font, TColor color);

  QPoint PenPos() const { return FPenPos; }

  // Paints left <= x < right, top <= y < bottom with the brush colour; an empty box paints nothing.
  void FillRect(int left, int top, int right, int bottom);
  // The ellipse inscribed in the box, filled with the brush, outlined only with a solid pen.
  // A box that has shrunk to nothing or crossed over paints nothing.
  void Ellipse(int left, int top, int right, int bottom);
  void MoveTo(int x, int y);
  // From the pen position to (x, y), the target pixel excluded; the target becomes the position.
  void LineTo(int x, int y);

  int TextWidth(const QString& text) const;
  int TextHeight(const QString& text) const;
  // (x, y) is the top-left corner of the text cell.
  void TextOut(int x, int y, const QString& text);

 private:
  QColor Resolve(TColor color) const;
  void PutPixels(int x, int y, int width, int height, const QColor& color);

  QPainter* FPainter = nullptr;
  QPalette FPalette;
  TColor FPenColor = clBlack;
  TPenStyle FPenStyle = psSolid;
  TPenMode FPenMode = pmCopy;
  TColor FBrushColor = clWindow;
  TBrushStyle FBrushStyle = bsSolid;
  QFont FFont;
  TColor FFontColor = clWindowText;
  QPoint FPenPos;
};
