#include "widgets/TBitmap.h"

#include <QPainter>

#include <algorithm>

void TBitmap::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == FWidth && height == FHeight) return;
  Q_ASSERT(!FPainter);
  FWidth = width;
  FHeight = height;
  // New pixels start black; the old picture is kept at the top-left corner.
  QImage resized(width, height, QImage::Format_RGB32);
  resized.fill(Qt::black);
  if (!FImage.isNull() && !resized.isNull()) {
    QPainter copier(&resized);
    copier.drawImage(0, 0, FImage);
  }
  FImage = std::move(resized);
}

void TBitmap::BeginDraw(const QPalette& palette) {
  Q_ASSERT(!FPainter);
  // A 0-by-0 picture has nothing to draw on; the canvas stays detached and ignores the calls.
  if (FImage.isNull()) return;
  FPainter = std::make_unique<QPainter>(&FImage);
  FCanvas.Attach(FPainter.get(), palette);
}

void TBitmap::EndDraw() {
  FCanvas.Detach();
  FPainter.reset();
}

void TBitmap::Draw(QPainter& surface, int x, int y) const {
  if (FImage.isNull()) return;
  surface.drawImage(x, y, FImage);
}
