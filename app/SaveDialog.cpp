#include "app/SaveDialog.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFileInfo>
#include <QPushButton>

#include <unistd.h>

TSaveDialog::TSaveDialog(QWidget* parent) : QFileDialog(parent) {}

bool TSaveDialog::NameTooLong() const {
  const QStringList files = selectedFiles();
  if (files.size() != 1) return false;
  const QFileInfo info(files.first());
  if (info.fileName().isEmpty() || info.exists()) return false;
  const long longest = ::pathconf(QFile::encodeName(info.path()).constData(), _PC_NAME_MAX);
  return longest >= 0 &&
         (info.fileName().size() > longest || QFile::encodeName(info.fileName()).size() > longest);
}

void TSaveDialog::accept() {
  // The save opens the file and reports the system's reason.
  if (NameTooLong()) {
    QDialog::accept();
    return;
  }
  QFileDialog::accept();
}

void TSaveDialog::showEvent(QShowEvent* event) {
  QFileDialog::showEvent(event);
  if (FAcceptButton != nullptr) return;
  if (auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
    FAcceptButton = buttons->button(QDialogButtonBox::Save);
    if (FAcceptButton == nullptr) FAcceptButton = buttons->button(QDialogButtonBox::Open);
    if (FAcceptButton != nullptr) FAcceptButton->installEventFilter(this);
  }
}

bool TSaveDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == FAcceptButton && event->type() == QEvent::EnabledChange &&
      !FAcceptButton->isEnabled() && NameTooLong())
    FAcceptButton->setEnabled(true);
  return QFileDialog::eventFilter(watched, event);
}
