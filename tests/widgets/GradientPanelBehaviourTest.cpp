#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <string>
#include <type_traits>
#include <vector>

#include "widgets/GradientPanel.h"

namespace {

// Counts paints and records window-move requests instead of asking the window system.
class ProbePanel : public TGradientPanel {
 public:
  explicit ProbePanel(QWidget* parent) : TGradientPanel(parent) {}
  int paints = 0;
  std::vector<std::string>* log = nullptr;
  QWidget* movedWindow = nullptr;
  bool systemMove = true;

 protected:
  void Paint(QPainter& surface) override {
    ++paints;
    TGradientPanel::Paint(surface);
  }
  void StartWindowMove(QWidget* topLevel) override {
    if (log) log->push_back("move");
    movedWindow = topLevel;
    if (!systemMove) TGradientPanel::StartWindowMove(topLevel);
  }
};

TEST(GradientPanelBehaviourTest, ConstructionDefaults) {
  TGradientPanel panel(nullptr);
  EXPECT_EQ(panel.BeginColor(), 0x00808000u);
  EXPECT_EQ(panel.EndColor(), 0x00008000u);
  EXPECT_EQ(panel.GradientStyle(), gsVertical);
  EXPECT_FALSE(panel.ParentDrag());
  EXPECT_TRUE(panel.testAttribute(Qt::WA_OpaquePaintEvent));
  EXPECT_EQ(panel.BevelOuter(), bvRaised);
  EXPECT_EQ(panel.BevelInner(), bvNone);
  EXPECT_EQ(panel.BevelWidth(), 1);
  EXPECT_EQ(panel.Alignment(), taCenter);
  static_assert(sizeof(TGradientStyle) == 1);
  static_assert(gsHorizontal == 0 && gsVertical == 1 && gsVerticalCenter == 2 &&
                gsHorizontalCenter == 3 && gsElliptic == 4 && gsRectangle == 5);
}

class GradientPanelShownTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panel.resize(80, 29);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    Settle();
    panel.paints = 0;
  }
  void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }
  ProbePanel panel{nullptr};
};

TEST_F(GradientPanelShownTest, SettersRepaintOnlyOnChange) {
  panel.SetBeginColor(panel.BeginColor());
  panel.SetEndColor(panel.EndColor());
  panel.SetGradientStyle(panel.GradientStyle());
  panel.SetParentDrag(true);
  panel.SetParentDrag(false);
  Settle();
  EXPECT_EQ(panel.paints, 0);

  panel.SetBeginColor(clBlack);
  Settle();
  EXPECT_GE(panel.paints, 1);
  EXPECT_EQ(panel.BeginColor(), clBlack);
  panel.paints = 0;
  panel.SetEndColor(clSilver);
  Settle();
  EXPECT_GE(panel.paints, 1);
  panel.paints = 0;
  panel.SetGradientStyle(gsElliptic);
  Settle();
  EXPECT_GE(panel.paints, 1);
  EXPECT_EQ(panel.GradientStyle(), gsElliptic);
}

struct DragFixture {
  DragFixture() : window(), panel(&window) {
    window.resize(200, 100);
    panel.setGeometry(0, 0, 200, 29);
    panel.log = &log;
    QObject::connect(&panel, &TCustomPanel::OnMouseDown,
                     [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                       log.push_back("down " + std::to_string(button) + " " + std::to_string(x) +
                                     "," + std::to_string(y));
                     });
    QObject::connect(&panel, &TCustomPanel::Clicked, [this] { log.push_back("click"); });
  }
  QWidget window;
  ProbePanel panel;
  std::vector<std::string> log;
};

TEST(GradientPanelDragTest, LeftPressWithParentDragMovesTheTopLevelAfterMouseDown) {
  DragFixture f;
  f.panel.SetParentDrag(true);
  QTest::mousePress(&f.panel, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 6));
  EXPECT_EQ(f.log, (std::vector<std::string>{"down 1 5,6", "move"}));
  EXPECT_EQ(f.panel.movedWindow, &f.window);
  QTest::mouseRelease(&f.panel, Qt::LeftButton, {}, QPoint(5, 6));
  EXPECT_EQ(f.log.size(), 2u) << "a press that moved the window is no click";
}

TEST(GradientPanelDragTest, OtherButtonsOnlyRunTheBaseHandling) {
  DragFixture f;
  f.panel.SetParentDrag(true);
  QTest::mousePress(&f.panel, Qt::RightButton, {}, QPoint(3, 3));
  QTest::mousePress(&f.panel, Qt::MiddleButton, {}, QPoint(4, 4));
  EXPECT_EQ(f.log, (std::vector<std::string>{"down 2 3,3", "down 4 4,4"}));
  EXPECT_EQ(f.panel.movedWindow, nullptr);
}

TEST(GradientPanelDragTest, WithoutParentDragALeftPressAndReleaseIsAClick) {
  DragFixture f;
  QTest::mouseClick(&f.panel, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(f.log, (std::vector<std::string>{"down 1 10,10", "click"}));
  EXPECT_EQ(f.panel.movedWindow, nullptr);
}

// Where the window system has no move of its own (the offscreen platform), the window follows
// the pointer until the button comes up.
TEST(GradientPanelDragTest, WindowFollowsThePointerWithoutASystemMove) {
  DragFixture f;
  f.panel.systemMove = false;
  f.panel.SetParentDrag(true);
  f.window.move(100, 100);
  f.window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window));
  const QPoint start = f.window.pos();
  const QPoint press(20, 10);
  QTest::mousePress(&f.panel, Qt::LeftButton, {}, press);
  const QPoint to = f.panel.mapToGlobal(press) + QPoint(30, 15);
  QMouseEvent move(QEvent::MouseMove, f.panel.mapFromGlobal(to), to, Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&f.panel, &move);
  EXPECT_EQ(f.window.pos(), start + QPoint(30, 15));
  QTest::mouseRelease(&f.panel, Qt::LeftButton, {}, f.panel.mapFromGlobal(to));
  const QPoint after = f.panel.mapToGlobal(QPoint(0, 0)) + QPoint(50, 50);
  QMouseEvent later(QEvent::MouseMove, f.panel.mapFromGlobal(after), after, Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&f.panel, &later);
  EXPECT_EQ(f.window.pos(), start + QPoint(30, 15)) << "the move ends with the release";
}

}  // namespace
