#pragma once

#include "app/ErrorBox.h"
#include "app/Main.h"
#include "app/TApplication.h"
#include "base/HandlerGuard.h"
#include "tests/support/FakeAdo.h"
#include "tests/support/ScopedValue.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failure output.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

// What an impatient user does while the window is busy, as the window system delivers it once
// the window dispatches events again: three clicks on "Execute SQL", a key typed into the
// editor, and a click on the close box when close is true.
inline void PostImpatientInput(TfrmMain& form, bool close = true) {
  const QPointF centre = QRectF(form.btnExecute->rect()).center();
  for (int click = 0; click < 3; ++click) {
    QCoreApplication::postEvent(
        form.btnExecute, new QMouseEvent(QEvent::MouseButtonPress, centre, centre, Qt::LeftButton,
                                         Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(
        form.btnExecute, new QMouseEvent(QEvent::MouseButtonRelease, centre, centre, Qt::LeftButton,
                                         Qt::NoButton, Qt::NoModifier));
  }
  QCoreApplication::postEvent(form.reSQL,
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
  if (close && form.windowHandle() != nullptr)
    QCoreApplication::postEvent(form.windowHandle(), new QCloseEvent);
}

// While it lives, the error box is the application's exception handler and records what it
// would show instead of showing it, under the title "Rowmill".
class RecordedErrors {
 protected:
  QStringList Errors;
  QStringList Captions;

 private:
  ScopedRestore FTitle =
      ScopedAssign(&TApplication::Title, &TApplication::SetTitle, QStringLiteral("Rowmill"));
  ScopedRestore FHandler = ScopedSet(&SetApplicationExceptionHandler, &errorbox::HandleException);
  ScopedRestore FPresenter = ScopedSet(
      &errorbox::SetPresenter, [this](QWidget*, const QString& caption, const QString& text) {
        Captions << caption;
        Errors << text;
      });
};

// A main window whose failures are recorded instead of shown in a box. The window is made in
// SetUp, so that what a derived fixture holds (a fake database layer, a data link folder) is in
// place first; it goes before the recorder.
class MainWindowTest : public ::testing::Test, protected RecordedErrors {
 protected:
  void SetUp() override { Form = std::make_unique<TfrmMain>(); }
  void TearDown() override { Form.reset(); }

  std::unique_ptr<TfrmMain> Form;
};

// A main window whose connections are scripted fakes.
class FakeMainWindowTest : public MainWindowTest {
 protected:
  fakeado::ScopedFakeAdo fake;
};
