#include "app/ErrorBox.h"

#include "app/MousePressTracker.h"
#include "app/TApplication.h"
#include "base/Exceptions.h"
#include "base/HandlerGuard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace errorbox {
namespace {

Presenter& InstalledPresenter() {
  static Presenter presenter;
  return presenter;
}

// The innermost exception's message, unless it is empty; those in between do not count.
QString MessageOf(const Exception& error) {
  const Exception* innermost = &error;
  while (innermost->InnerException() != nullptr) innermost = innermost->InnerException();
  if (innermost != &error && !innermost->Message().isEmpty()) return innermost->Message();
  return error.Message();
}

// Ends whatever the mouse was doing: a drag, a pressed button, an explicit grab.
void CancelMode() {
  MousePressTracker::Instance().Cancel();
  QWidget* grabber = QWidget::mouseGrabber();
  if (grabber == nullptr) return;
  if (auto* button = qobject_cast<QAbstractButton*>(grabber)) button->setDown(false);
  grabber->releaseMouse();
}

void ShowBox(QWidget* owner, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner);
  // A driver's message holding "<b>" or "&lt;" is shown as it stands.
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  // The previously active window gets its focus back when the box closes.
  QPointer<QWidget> focus = QApplication::focusWidget();
  box.exec();
  if (focus) focus->setFocus(Qt::OtherFocusReason);
}

}  // namespace

std::optional<QString> TextFor(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const EAbort&) {
    return std::nullopt;
  } catch (const Exception& e) {
    return WithFullStop(MessageOf(e));
  } catch (const std::bad_alloc&) {
    return WithFullStop(QStringLiteral("Out of memory"));
  } catch (const std::exception& e) {
    return WithFullStop(QString::fromUtf8(e.what()));
  } catch (...) {
    return WithFullStop(QStringLiteral("Exception of unknown type"));
  }
}

QString WithFullStop(const QString& text) {
  if (!text.isEmpty() && text.back().unicode() > u'.') return text + u'.';
  return text;
}

void HandleException(std::exception_ptr error) {
  CancelMode();
  const std::optional<QString> text = TextFor(error);
  if (!text) return;
  QWidget* owner = QApplication::activeWindow();
  const QString caption = TApplication::Title();
  if (InstalledPresenter()) {
    InstalledPresenter()(owner, caption, *text);
    return;
  }
  ShowBox(owner, caption, *text);
}

void Install() {
  MousePressTracker::Instance();
  SetApplicationExceptionHandler(&HandleException);
}

Presenter SetPresenter(Presenter presenter) {
  return std::exchange(InstalledPresenter(), std::move(presenter));
}

}  // namespace errorbox
