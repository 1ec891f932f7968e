#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include "widgets/GradientPanel.h"

// Helpers of the panel tests: the panel's picture as the screen would get it, read by pixel.
namespace paneltest {

// Renders the widget (hidden or shown) into a fresh image of its size. Pixels the widget does not
// paint stay magenta, which no test colour uses.
inline QImage Render(QWidget& widget) {
  QImage image(widget.size(), QImage::Format_RGB32);
  image.fill(QColor(255, 0, 255));
  widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

inline QRgb Pixel(const QImage& image, int x, int y) {
  return image.pixel(x, y) & 0xFFFFFF;
}

inline QRgb Rgb(int red, int green, int blue) {
  return qRgb(red, green, blue) & 0xFFFFFF;
}

// A panel with nothing but the gradient: no bevel, no caption.
inline void Plain(TGradientPanel& panel, int width, int height, TGradientStyle style, TColor begin,
                  TColor end) {
  panel.SetBevelOuter(bvNone);
  panel.SetBevelInner(bvNone);
  panel.SetCaption(QString());
  panel.resize(width, height);
  panel.SetGradientStyle(style);
  panel.SetBeginColor(begin);
  panel.SetEndColor(end);
}

}  // namespace paneltest
