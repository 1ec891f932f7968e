#pragma once

#include <QImage>
#include <QPainter>

#include <memory>

#include "widgets/TCanvas.h"

// An off-screen picture with its own canvas. Resizing keeps the old picture at the top-left
// corner and leaves an unchanged size alone, so pixels that a paint does not reach survive
// from the previous paint.
class TBitmap {
 public:
  // The size as set: a picture 0 pixels high still keeps the width it was given.
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetWidth(int width) { Resize(width, Height()); }
  void SetHeight(int height) { Resize(Width(), height); }

  TCanvas& Canvas() { return FCanvas; }
  const QImage& Image() const { return FImage; }

  // Opens the canvas on the picture for one round of drawing; the picture must not be resized
  // or read while it is open.
  void BeginDraw(const QPalette& palette);
  void EndDraw();
  // Copies the whole picture onto a surface, its top-left corner at (x, y).
  void Draw(QPainter& surface, int x, int y) const;

 private:
  void Resize(int width, int height);

  QImage FImage;
  int FWidth = 0;
  int FHeight = 0;
  TCanvas FCanvas;
  std::unique_ptr<QPainter> FPainter;
};
