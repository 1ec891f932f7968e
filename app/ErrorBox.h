#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <optional>

class QWidget;

// The application's exception handler: every failure that leaves a handler ends up here and is
// shown in one modal box captioned with the application title, then the program goes on.
namespace errorbox {

// What the box shows for a failure; nothing for a silent stop (EAbort).
std::optional<QString> TextFor(std::exception_ptr error);
// Appends "." when the last UTF-16 code unit lies above the full stop.
QString WithFullStop(const QString& text);

// Shows the box for a failure (the handler that SetApplicationExceptionHandler installs).
void HandleException(std::exception_ptr error);
// Installs HandleException as the application's exception handler.
void Install();

// Test seam: when set, receives what the box would show instead of showing it.
using Presenter = std::function<void(QWidget* owner, const QString& caption, const QString& text)>;
Presenter SetPresenter(Presenter presenter);

}  // namespace errorbox
