#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>

#include "tests/widgets/GradientPanelTesting.h"
#include "widgets/GradientPanel.h"

using namespace paneltest;

namespace {

const QColor kHighlight(1, 2, 3);
const QColor kShadow(4, 5, 6);

void DistinctBevelColours(QWidget& widget) {
  QPalette colours = widget.palette();
  colours.setColor(QPalette::Light, kHighlight);
  colours.setColor(QPalette::Dark, kShadow);
  widget.setPalette(colours);
}

QFont CaptionFont() {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(11);
  return font;
}

// The picture a flat panel should show: its colour with the caption's cell at (x, y).
QImage Expected(QSize size, const QString& caption, int x, int y) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(QColor(0, 0, 90));
  QPainter painter(&image);
  painter.setFont(CaptionFont());
  painter.setPen(QColor(192, 192, 192));
  painter.drawText(QPoint(x, y + QFontMetrics(CaptionFont(), &image).ascent()), caption);
  return image;
}

// Compares the area inside a margin, where no bevel line falls.
void ExpectSameInside(const QImage& actual, const QImage& expected, int margin) {
  ASSERT_EQ(actual.size(), expected.size());
  for (int y = margin; y < actual.height() - margin; ++y) {
    for (int x = margin; x < actual.width() - margin; ++x) {
      ASSERT_EQ(Pixel(actual, x, y), Pixel(expected, x, y)) << x << "," << y;
    }
  }
}

struct CaptionPanel {
  explicit CaptionPanel(const QString& caption, int width, int height) : panel(nullptr) {
    Plain(panel, width, height, gsVertical, RGBColor(0, 0, 90), RGBColor(0, 0, 90));
    panel.SetFont(CaptionFont());
    panel.SetFontColor(clSilver);
    panel.SetCaption(caption);
  }
  int TextWidth() const { return QFontMetrics(CaptionFont(), &sample).horizontalAdvance(text()); }
  int TextHeight() const { return QFontMetrics(CaptionFont(), &sample).height(); }
  QString text() const { return panel.Caption(); }
  TGradientPanel panel;
  QImage sample{1, 1, QImage::Format_RGB32};
};

TEST(GradientPanelDecorTest, LeftCaptionWithoutBevelsStartsAtTheEdge) {
  CaptionPanel caption(QStringLiteral("  Rowmill, made in Utrecht"), 300, 29);
  caption.panel.SetAlignment(taLeftJustify);
  const int y = (29 - caption.TextHeight()) / 2;
  ExpectSameInside(Render(caption.panel), Expected({300, 29}, caption.text(), 0, y), 0);
}

TEST(GradientPanelDecorTest, RightCaptionKeepsClearOfBothBevels) {
  CaptionPanel caption(QStringLiteral("Right"), 120, 29);
  caption.panel.SetAlignment(taRightJustify);
  caption.panel.SetBevelOuter(bvRaised);
  caption.panel.SetBevelInner(bvLowered);
  caption.panel.SetBevelWidth(2);
  const int x = 120 - caption.TextWidth() - 4;
  const int y = (29 - caption.TextHeight()) / 2;
  ExpectSameInside(Render(caption.panel), Expected({120, 29}, caption.text(), x, y), 4);
}

TEST(GradientPanelDecorTest, CentredCaptionWiderThanThePanelStartsLeftOfIt) {
  CaptionPanel caption(QStringLiteral("A centred caption"), 10, 29);
  caption.panel.resize(caption.TextWidth() - 5, 29);
  caption.panel.SetAlignment(taCenter);
  caption.panel.SetBevelOuter(bvRaised);  // centring ignores the bevels
  const int y = (29 - caption.TextHeight()) / 2;
  ExpectSameInside(Render(caption.panel), Expected(caption.panel.size(), caption.text(), -2, y), 1);
}

TEST(GradientPanelDecorTest, CaptionTallerThanThePanelIsCentredUpward) {
  CaptionPanel caption(QStringLiteral("Tall"), 80, 5);
  caption.panel.SetAlignment(taLeftJustify);
  const int y = (5 - caption.TextHeight()) / 2;  // negative, rounded toward zero
  ASSERT_LT(y, 0);
  ExpectSameInside(Render(caption.panel), Expected({80, 5}, caption.text(), 0, y), 0);
}

TEST(GradientPanelDecorTest, RaisedBevelOn10By6) {
  TGradientPanel panel(nullptr);
  Plain(panel, 10, 6, gsVertical, RGBColor(0, 0, 90), RGBColor(0, 0, 90));
  DistinctBevelColours(panel);
  panel.SetBevelOuter(bvRaised);
  const QImage image = Render(panel);
  const QRgb light = kHighlight.rgb() & 0xFFFFFF;
  const QRgb dark = kShadow.rgb() & 0xFFFFFF;
  for (int y = 0; y <= 5; ++y) {
    EXPECT_EQ(Pixel(image, 0, y), light) << y;
    EXPECT_EQ(Pixel(image, 9, y), dark) << y;
  }
  for (int x = 0; x <= 8; ++x) EXPECT_EQ(Pixel(image, x, 0), light) << x;
  for (int x = 1; x <= 9; ++x) EXPECT_EQ(Pixel(image, x, 5), dark) << x;
  for (int y = 1; y <= 4; ++y) {
    for (int x = 1; x <= 8; ++x) EXPECT_EQ(Pixel(image, x, y), Rgb(0, 0, 90)) << x << "," << y;
  }
}

TEST(GradientPanelDecorTest, LoweredOuterAndSpaceInnerRings) {
  TGradientPanel panel(nullptr);
  Plain(panel, 12, 10, gsVertical, RGBColor(0, 0, 90), RGBColor(0, 0, 90));
  DistinctBevelColours(panel);
  panel.SetBevelOuter(bvLowered);
  panel.SetBevelInner(bvSpace);
  panel.SetBevelWidth(2);
  const QImage image = Render(panel);
  const QRgb light = kHighlight.rgb() & 0xFFFFFF;
  const QRgb dark = kShadow.rgb() & 0xFFFFFF;
  // Rings 0 and 1 lowered (shadow first), rings 2 and 3 drawn as raised.
  for (int k : {0, 1}) {
    EXPECT_EQ(Pixel(image, k, 9 - k), dark) << "bottom-left corner takes the first colour";
    EXPECT_EQ(Pixel(image, 11 - k, k), light) << "top-right corner takes the second colour";
    EXPECT_EQ(Pixel(image, 5, k), dark);
    EXPECT_EQ(Pixel(image, 5, 9 - k), light);
  }
  for (int k : {2, 3}) {
    EXPECT_EQ(Pixel(image, k, 5), light);
    EXPECT_EQ(Pixel(image, 11 - k, 5), dark);
  }
  EXPECT_EQ(Pixel(image, 5, 4), Rgb(0, 0, 90));
  EXPECT_EQ(Pixel(image, 6, 5), Rgb(0, 0, 90));
}

// Rings wider than half the panel cross; the later rings simply draw over the earlier ones.
TEST(GradientPanelDecorTest, BevelWiderThanHalfThePanelCrossesItself) {
  TGradientPanel panel(nullptr);
  Plain(panel, 4, 3, gsVertical, RGBColor(0, 0, 90), RGBColor(0, 0, 90));
  DistinctBevelColours(panel);
  panel.SetBevelOuter(bvRaised);
  panel.SetBevelWidth(3);
  const QImage image = Render(panel);
  const QRgb light = kHighlight.rgb() & 0xFFFFFF;
  const QRgb dark = kShadow.rgb() & 0xFFFFFF;
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      const QRgb pixel = Pixel(image, x, y);
      EXPECT_TRUE(pixel == light || pixel == dark) << x << "," << y;
    }
  }
  // Ring 2 runs from (2, 0) up past the top to (1, 2): its first line colours (2, 0) light.
  EXPECT_EQ(Pixel(image, 2, 0), light);
}

}  // namespace
