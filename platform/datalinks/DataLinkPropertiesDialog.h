#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Data Link Properties": builds an ODBC connection string from an installed driver or a data
// source and the usual keywords, and can try it out. Keywords it does not know are kept in
// "Other keywords", so no part of the initial string is lost.
class DataLinkPropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  explicit DataLinkPropertiesDialog(QWidget* parent = nullptr);

  // Fills the fields from a connection string (an empty one clears them).
  void SetConnectionString(const QString& text);
  // The string the fields make, password included.
  QString ConnectionString() const;

  void SourceButtonClick();
  // Connects with the string being built and says whether that worked; a failure leaves as the
  // driver's error for the error box.
  void TestConnectionClick();

 private:
  void CreateControls();
  static void SelectText(QComboBox* combo, const QString& text);

  QRadioButton* UseDriver;
  QComboBox* Driver;
  QRadioButton* UseDataSource;
  QComboBox* DataSource;
  QLineEdit* Server;
  QLineEdit* Port;
  QLineEdit* Database;
  QLineEdit* UserName;
  QLineEdit* Password;
  QLineEdit* OtherKeywords;
  QPushButton* TestConnection;
  QPushButton* OkButton;
  QPushButton* CancelButton;

  // The keyword spellings of the initial string, reused so a round trip keeps them.
  QString FServerKeyword;
  QString FPortKeyword;
  QString FDatabaseKeyword;
  QString FUserKeyword;
  QString FPasswordKeyword;
};
