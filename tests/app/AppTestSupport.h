#pragma once

#include "app/ErrorBox.h"
#include "app/Main.h"
#include "app/TApplication.h"
#include "base/HandlerGuard.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failure output.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
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
