#include "widgets/TShrinkingBox.h"

#include <cmath>

TShrinkingBox::TShrinkingBox(double x1, double y1, double x2, double y2, double dx, double dy)
    : FX1(x1), FY1(y1), FX2(x2), FY2(y2), FDx(dx), FDy(dy) {}

TShrinkingBox TShrinkingBox::ForEllipses(int width, int height) {
  const double w = width;
  const double h = height;
  return TShrinkingBox(-w / 4, -h / 4, w + w / 4, h + h / 4, (w / 4 + w / 2) / 155,
                       (h / 4 + h / 2) / 155);
}

TShrinkingBox TShrinkingBox::ForRectangles(int width, int height) {
  const double w = width;
  const double h = height;
  return TShrinkingBox(0, 0, w, h, w / 2 / 255, h / 2 / 255);
}

void TShrinkingBox::Step() {
  FX1 += FDx;
  FX2 -= FDx;
  FY1 += FDy;
  FY2 -= FDy;
}

int TShrinkingBox::Left() const {
  return static_cast<int>(std::trunc(FX1));
}
int TShrinkingBox::Top() const {
  return static_cast<int>(std::trunc(FY1));
}
int TShrinkingBox::Right() const {
  return static_cast<int>(std::trunc(FX2));
}
int TShrinkingBox::Bottom() const {
  return static_cast<int>(std::trunc(FY2));
}
