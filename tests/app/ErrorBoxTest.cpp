#include "AppTestSupport.h"

#include "app/ErrorBox.h"
#include "app/MousePressTracker.h"
#include "app/TApplication.h"
#include "base/Exceptions.h"
#include "base/HandlerGuard.h"
#include "tests/support/ModalDriver.h"
#include "widgets/TSplitter.h"

#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

std::optional<QString> TextOf(const auto& error) {
  return errorbox::TextFor(std::make_exception_ptr(error));
}

TEST(ErrorBoxText, FullStopRuleByLastCodeUnit) {
  EXPECT_EQ(errorbox::WithFullStop("Dataset not open"), "Dataset not open.");
  EXPECT_EQ(errorbox::WithFullStop("Done."), "Done.");
  EXPECT_EQ(errorbox::WithFullStop("(see log)"), "(see log)");
  EXPECT_EQ(errorbox::WithFullStop("Really?"), "Really?.");
  EXPECT_EQ(errorbox::WithFullStop("Code 42"), "Code 42.");
  EXPECT_EQ(errorbox::WithFullStop("Item:"), "Item:.");
  EXPECT_EQ(errorbox::WithFullStop("[x]"), "[x].");
  // At or below U+002E: blank, "!", quote, ",", "-" stay as they are.
  for (const char* text : {"a ", "a!", "a\"", "a,", "a-", "a\n"})
    EXPECT_EQ(errorbox::WithFullStop(text), text);
  EXPECT_EQ(errorbox::WithFullStop(QString()), QString());
  // A character outside the Basic Latin block is above the full stop too.
  EXPECT_EQ(errorbox::WithFullStop(QStringLiteral("Gr\u00fc\u00df")),
            QStringLiteral("Gr\u00fc\u00df."));
}

TEST(ErrorBoxText, MessagesOfTheHierarchy) {
  EXPECT_EQ(TextOf(Exception("Dataset not open")), "Dataset not open.");
  EXPECT_EQ(TextOf(EDatabaseError("ADODataSet: Missing CommandText property")),
            "ADODataSet: Missing CommandText property.");
  EXPECT_EQ(TextOf(EOleException("[unixODBC] no driver", -1)), "[unixODBC] no driver.");
  EXPECT_FALSE(TextOf(EAbort("silent")).has_value());
  EXPECT_FALSE(TextOf(EAbort("")).has_value());
}

TEST(ErrorBoxText, InnermostNonEmptyMessageWins) {
  const Exception innermost("disk on fire");
  const Exception middle("middle", innermost);
  EXPECT_EQ(TextOf(Exception("outer", middle)), "disk on fire.");
  // An empty innermost message falls back to the outer one; the middle is not consulted.
  const Exception emptyInner("");
  const Exception middle2("middle", emptyInner);
  EXPECT_EQ(TextOf(Exception("outer", middle2)), "outer.");
}

TEST(ErrorBoxText, ForeignExceptionsGetAMessage) {
  EXPECT_EQ(TextOf(std::runtime_error("bad thing")), "bad thing.");
  EXPECT_EQ(TextOf(std::bad_alloc()), "Out of memory.");
  EXPECT_EQ(errorbox::TextFor(std::make_exception_ptr(42)), "Exception of unknown type.");
}

// Installs the error box as the application's handler with a presenter that records.
class ErrorBoxHandler : public ::testing::Test, protected RecordedErrors {};

TEST_F(ErrorBoxHandler, GuardedHandlerFailureReachesTheBoxAndTheProgramGoesOn) {
  QPushButton button;
  int after = 0;
  QObject::connect(&button, &QPushButton::clicked, &button,
                   Guarded([](auto&&...) { throw Exception("Dataset not open"); }));
  QObject::connect(&button, &QPushButton::clicked, &button, [&] { ++after; });
  button.click();
  button.click();
  EXPECT_EQ(Errors, QStringList({"Dataset not open.", "Dataset not open."}));
  EXPECT_EQ(Captions.value(0), "Rowmill");
  EXPECT_EQ(after, 2);
}

TEST_F(ErrorBoxHandler, AbortShowsNothing) {
  QPushButton button;
  QObject::connect(&button, &QPushButton::clicked, &button,
                   Guarded([](auto&&...) { throw EAbort(""); }));
  button.click();
  EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(ErrorBoxHandler, MouseGrabIsReleased) {
  QWidget widget;
  widget.show();
  widget.grabMouse();
  ASSERT_EQ(QWidget::mouseGrabber(), &widget);
  errorbox::HandleException(std::make_exception_ptr(Exception("x")));
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  EXPECT_EQ(Errors, QStringList({"x."}));
}

TEST_F(ErrorBoxHandler, ADragOrPressInProgressEndsWhereItBegan) {
  MousePressTracker::Instance();
  QWidget window;
  window.resize(300, 200);
  auto* header = new QHeaderView(Qt::Horizontal, &window);
  QStandardItemModel model(1, 3);
  header->setModel(&model);
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setGeometry(0, 0, 300, 20);
  auto* splitter = new TSplitter(&window);
  auto* above = new QWidget(&window);
  above->setGeometry(0, 20, 300, 100);
  splitter->SetControl(above);
  splitter->SetMinSize(10);
  splitter->SetMaxSize(180);
  splitter->setGeometry(0, 120, 300, 3);
  int moved = 0;
  QObject::connect(splitter, &TSplitter::Moved, [&](int) { ++moved; });
  auto* button = new QPushButton("x", &window);
  button->setGeometry(0, 150, 80, 25);
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  const int width = header->sectionSize(0);
  const QPoint border(header->sectionViewportPosition(1) - 1, 10);
  QTest::mousePress(header->viewport(), Qt::LeftButton, {}, border);
  QTest::mouseMove(header->viewport(), border + QPoint(40, 0));
  ASSERT_EQ(header->sectionSize(0), width + 40);
  errorbox::HandleException(std::make_exception_ptr(Exception("x")));
  EXPECT_EQ(header->sectionSize(0), width);
  // The drag is over: moving on changes nothing.
  QTest::mouseMove(header->viewport(), border + QPoint(60, 0));
  EXPECT_EQ(header->sectionSize(0), width);
  QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, border + QPoint(60, 0));

  QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(5, 1));
  QTest::mouseMove(splitter, QPoint(5, 31));
  ASSERT_TRUE(splitter->Dragging());
  errorbox::HandleException(std::make_exception_ptr(Exception("y")));
  EXPECT_FALSE(splitter->Dragging());
  QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(5, 41));
  EXPECT_EQ(moved, 0);
  EXPECT_EQ(above->height(), 100);

  QTest::mousePress(button, Qt::LeftButton);
  ASSERT_TRUE(button->isDown());
  errorbox::HandleException(std::make_exception_ptr(Exception("z")));
  EXPECT_FALSE(button->isDown());
  QTest::mouseRelease(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(Errors, QStringList({"x.", "y.", "z."}));
}

TEST(ErrorBox, RealBoxIsCriticalWithOneOkButtonAndTheTitle) {
  const ScopedRestore title =
      ScopedAssign(&TApplication::Title, &TApplication::SetTitle, QStringLiteral("Rowmill"));
  QString caption, text;
  Qt::TextFormat format = Qt::AutoText;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  Qt::WindowModality modality = Qt::NonModal;
  WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    caption = box->windowTitle();
    text = box->text();
    format = box->textFormat();
    icon = box->icon();
    buttons = box->buttons().size();
    modality = box->windowModality();
    box->button(QMessageBox::Ok)->click();
  });
  // A driver's text is shown as it stands, never as rich text.
  errorbox::HandleException(std::make_exception_ptr(Exception("No <b>records</b> &lt;x&gt;")));
  EXPECT_EQ(caption, "Rowmill");
  EXPECT_EQ(text, "No <b>records</b> &lt;x&gt;.");
  EXPECT_EQ(format, Qt::PlainText);
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(modality, Qt::ApplicationModal);
}

}  // namespace
