#pragma once

#include "platform/ado/DriverProfile.h"
#include "platform/ado/OdbcConnectionString.h"

#include <QDialog>
#include <QString>

#include <vector>

namespace ado {
class Connection;
}

class QComboBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Data Link Properties": builds an ODBC connection string from an installed driver or a data
// source and the usual keywords, and can try it out. Keywords it does not know are kept in
// "Other keywords" as they were written, so no part of the initial string is lost, and a
// setting the user leaves as it was is written back exactly as it came.
class DataLinkPropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  explicit DataLinkPropertiesDialog(QWidget* parent = nullptr);

  // Fills the fields from a connection string (an empty one clears them).
  void SetConnectionString(const QString& text);
  // The string the fields make, password included. A value the chosen driver cannot read
  // (a ";" for the SQLite driver, which knows no braces) is an Exception.
  QString ConnectionString() const;

  void SourceButtonClick();
  // Connects with the string being built and says whether that worked; a failure leaves as the
  // driver's error for the error box. The attempt never creates a SQLite database. The dialog
  // goes on painting while the login waits; Esc stops it and says nothing, and Cancel or closing
  // the dialog stops it and closes the dialog.
  void TestConnectionClick();
  void reject() override;
  // Picks the SQLite database file for the Database field.
  void BrowseDatabaseClick();

 private:
  // One field of the form and the pair of the initial string it stands for.
  struct Setting {
    QLineEdit* Edit;
    std::vector<const char*> Spellings;
    QString Keyword;
    ado::OdbcConnectionString::Pair Initial;
  };

  void keyPressEvent(QKeyEvent* event) override;
  void StopTest();
  void CreateControls();
  void OkClick();
  QString SourcePair() const;
  const ado::DriverProfile& Profile() const;
  static void SelectText(QComboBox* combo, const QString& text);

  QRadioButton* UseDriver;
  QComboBox* Driver;
  QRadioButton* UseDataSource;
  QComboBox* DataSource;
  QLineEdit* Server;
  QLineEdit* Port;
  QLineEdit* Database;
  QPushButton* BrowseDatabase;
  QLineEdit* UserName;
  QLineEdit* Password;
  QLineEdit* OtherKeywords;
  QPushButton* TestConnection;
  QPushButton* OkButton;
  QPushButton* CancelButton;

  std::vector<Setting> FSettings;
  // The connection a test is logging in with, while it does.
  ado::Connection* FTesting = nullptr;
  bool FTestStopped = false;
  // The DRIVER or DSN pair of the initial string.
  ado::OdbcConnectionString::Pair FInitialSource;
};
