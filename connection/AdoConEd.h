#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QObject;
class QPushButton;
class QRadioButton;

// The connection string dialog: the user picks a data link file or types or builds a connection
// string. One dialog serves one Edit.
class TConnEditForm : public QDialog {
  Q_OBJECT
 public:
  static constexpr int mrOk = 1;
  static constexpr int mrCancel = 2;
  static constexpr int ConnEditHelpContext = 27270;

  explicit TConnEditForm(QWidget* parent = nullptr);

  // Shows the dialog for ConnStr; the chosen string after OK, ConnStr itself otherwise.
  QString Edit(const QString& ConnStr);

  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int value) { FHelpContext = value; }

  void FormCreate();
  void SourceButtonClick();
  void BrowseClick();
  void BuildClick();
  void HelpButtonClick();

  // Esc and the close box end the dialog as Cancel does.
  void reject() override;

 private:
  void CreateControls();
  void WireHandlers();
  void ShowStateColour(QWidget* input);
  QString ChosenString() const;

  QPushButton* OkButton;
  QPushButton* CancelButton;
  QPushButton* HelpButton;
  QGroupBox* SourceofConnection;
  QRadioButton* UseDataLinkFile;
  QComboBox* DataLinkFile;
  QPushButton* Browse;
  QRadioButton* UseConnectionString;
  QLineEdit* ConnectionString;
  QPushButton* Build;
  int FHelpContext = 0;
};

// Shows the dialog for component's "ConnectionString" property, captioned after the component,
// and writes a changed string back. True when the string changed (case counts).
bool EditConnectionOf(QObject* component);
