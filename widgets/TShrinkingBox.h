#pragma once

// A box whose corners move inward by fixed steps, kept in double precision so that rounding
// does not accumulate; its pixel corners are the coordinates truncated toward zero.
class TShrinkingBox {
 public:
  TShrinkingBox(double x1, double y1, double x2, double y2, double dx, double dy);

  // The ellipses' box: from a quarter of the size beyond every edge to the centre in 155 steps.
  static TShrinkingBox ForEllipses(int width, int height);
  // The rectangles' box: from the bitmap's own edges to the centre in 255 steps.
  static TShrinkingBox ForRectangles(int width, int height);

  // Moves the left and top edges by +dx, +dy and the right and bottom edges by -dx, -dy.
  void Step();

  int Left() const;
  int Top() const;
  int Right() const;
  int Bottom() const;

 private:
  double FX1;
  double FY1;
  double FX2;
  double FY2;
  double FDx;
  double FDy;
};
