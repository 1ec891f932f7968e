#pragma once

#include "app/ErrorBox.h"
#include "app/Main.h"
#include "app/TApplication.h"
#include "base/HandlerGuard.h"

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
// editor, and a click on the close box.
inline void PostImpatientInput(TfrmMain& form) {
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
  if (form.windowHandle() != nullptr)
    QCoreApplication::postEvent(form.windowHandle(), new QCloseEvent);
}

// A main window whose failures are recorded instead of shown in a box.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FPreviousTitle = TApplication::Title();
    TApplication::SetTitle(QStringLiteral("Rowmill"));
    FPreviousHandler = SetApplicationExceptionHandler(&errorbox::HandleException);
    FPreviousPresenter = errorbox::SetPresenter(
        [this](QWidget*, const QString&, const QString& text) { Errors << text; });
    Form = std::make_unique<TfrmMain>();
  }
  void TearDown() override {
    Form.reset();
    errorbox::SetPresenter(FPreviousPresenter);
    SetApplicationExceptionHandler(FPreviousHandler);
    TApplication::SetTitle(FPreviousTitle);
  }

  std::unique_ptr<TfrmMain> Form;
  QStringList Errors;

 private:
  QString FPreviousTitle;
  ApplicationExceptionHandler FPreviousHandler;
  errorbox::Presenter FPreviousPresenter;
};
