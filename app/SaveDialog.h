#pragma once

#include <QFileDialog>

class QPushButton;

// The save dialog. Qt's own dialog greys out Save, and ignores Enter, for a name longer than the
// file system takes, without saying why; here such a name is accepted, so that the save reports
// the system's reason.
class TSaveDialog : public QFileDialog {
  Q_OBJECT
 public:
  explicit TSaveDialog(QWidget* parent = nullptr);

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Whether the name typed is only refused for its length.
  bool NameTooLong() const;

  QPushButton* FAcceptButton = nullptr;
};
