#include <gtest/gtest.h>

#include <QDir>
#include <QFont>
#include <QPainter>

#include "tests/widgets/GradientPanelTesting.h"
#include "widgets/GradientPanel.h"

using namespace paneltest;

namespace {

const char* const kNames[] = {"gsHorizontal",       "gsVertical", "gsVerticalCenter",
                              "gsHorizontalCenter", "gsElliptic", "gsRectangle"};

// All six styles side by side, each a banner-like panel with a caption and a raised bevel.
// With ROWMILL_SCREENSHOT_DIR set, the picture is also saved there as gradient-styles.png.
TEST(GradientPanelGalleryTest, SixStylesSideBySideAllDiffer) {
  constexpr int kWidth = 220;
  constexpr int kHeight = 90;
  QImage gallery(6 * kWidth + 7 * 8, kHeight + 16, QImage::Format_RGB32);
  gallery.fill(QColor(240, 240, 240));
  std::vector<QImage> tiles;
  for (int style = 0; style < 6; ++style) {
    TGradientPanel panel(nullptr);
    panel.resize(kWidth, kHeight);
    panel.SetGradientStyle(static_cast<TGradientStyle>(style));
    panel.SetBeginColor(RGBColor(128, 128, 128));
    panel.SetEndColor(clBlack);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setItalic(true);
    panel.SetFont(font);
    panel.SetFontColor(clSilver);
    panel.SetCaption(QString::fromLatin1(kNames[style]));
    tiles.push_back(Render(panel));
    QPainter painter(&gallery);
    painter.drawImage(8 + style * (kWidth + 8), 8, tiles.back());
  }
  for (size_t a = 0; a < tiles.size(); ++a) {
    for (size_t b = a + 1; b < tiles.size(); ++b) EXPECT_NE(tiles[a], tiles[b]) << a << " " << b;
  }
  const QString folder = qEnvironmentVariable("ROWMILL_SCREENSHOT_DIR");
  if (!folder.isEmpty()) {
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(gallery.save(QDir(folder).filePath(QStringLiteral("gradient-styles.png"))));
  }
}

}  // namespace
