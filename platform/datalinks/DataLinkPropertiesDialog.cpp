#include "platform/datalinks/DataLinkPropertiesDialog.h"

#include "base/HandlerGuard.h"
#include "platform/ado/AdoInterfaces.h"
#include "platform/ado/OdbcConnectionString.h"
#include "platform/datalinks/OdbcSources.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace {

// Takes the first of the keyword's spellings the string holds; keyword becomes the spelling
// found, or stays the default.
QString TakeAny(ado::OdbcConnectionString& parts, std::initializer_list<const char*> spellings,
                QString& keyword) {
  for (const char* spelling : spellings) {
    const QString name = QString::fromLatin1(spelling);
    for (const ado::OdbcConnectionString::Pair& pair : parts.Pairs()) {
      if (pair.keyword.compare(name, Qt::CaseInsensitive) == 0) {
        keyword = pair.keyword;
        return parts.Take(name);
      }
    }
  }
  return {};
}

QLineEdit* NewLineEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

}  // namespace

DataLinkPropertiesDialog::DataLinkPropertiesDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DataLinkProperties"));
  setWindowTitle(QStringLiteral("Data Link Properties"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  CreateControls();
  Driver->addItems(odbcsources::InstalledDrivers());
  DataSource->addItems(odbcsources::DataSourceNames());
  SetConnectionString({});
}

void DataLinkPropertiesDialog::CreateControls() {
  auto* sourceBox = new QGroupBox(QStringLiteral("Source"), this);
  UseDriver = new QRadioButton(QStringLiteral("Use an ODBC &driver:"), sourceBox);
  UseDriver->setObjectName(QStringLiteral("UseDriver"));
  Driver = new QComboBox(sourceBox);
  Driver->setObjectName(QStringLiteral("Driver"));
  UseDataSource = new QRadioButton(QStringLiteral("Use a data &source name:"), sourceBox);
  UseDataSource->setObjectName(QStringLiteral("UseDataSource"));
  DataSource = new QComboBox(sourceBox);
  DataSource->setObjectName(QStringLiteral("DataSource"));
  DataSource->setEditable(true);
  DataSource->setInsertPolicy(QComboBox::NoInsert);
  auto* sourceLayout = new QFormLayout(sourceBox);
  sourceLayout->addRow(UseDriver, Driver);
  sourceLayout->addRow(UseDataSource, DataSource);

  auto* settingsBox = new QGroupBox(QStringLiteral("Settings"), this);
  Server = NewLineEdit(settingsBox, "Server");
  Port = NewLineEdit(settingsBox, "Port");
  Database = NewLineEdit(settingsBox, "Database");
  UserName = NewLineEdit(settingsBox, "UserName");
  Password = NewLineEdit(settingsBox, "Password");
  Password->setEchoMode(QLineEdit::Password);
  OtherKeywords = NewLineEdit(settingsBox, "OtherKeywords");
  OtherKeywords->setPlaceholderText(QStringLiteral("Keyword=value;Keyword=value"));
  auto* settingsLayout = new QFormLayout(settingsBox);
  settingsLayout->addRow(QStringLiteral("Se&rver:"), Server);
  settingsLayout->addRow(QStringLiteral("&Port:"), Port);
  settingsLayout->addRow(QStringLiteral("Data&base:"), Database);
  settingsLayout->addRow(QStringLiteral("&User name:"), UserName);
  settingsLayout->addRow(QStringLiteral("Pass&word:"), Password);
  settingsLayout->addRow(QStringLiteral("&Other keywords:"), OtherKeywords);

  TestConnection = new QPushButton(QStringLiteral("&Test Connection"), this);
  TestConnection->setObjectName(QStringLiteral("TestConnection"));
  TestConnection->setAutoDefault(false);
  OkButton = new QPushButton(QStringLiteral("OK"), this);
  OkButton->setObjectName(QStringLiteral("OkButton"));
  OkButton->setDefault(true);
  CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  CancelButton->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(TestConnection);
  buttons->addStretch();
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(sourceBox);
  layout->addWidget(settingsBox);
  layout->addLayout(buttons);
  resize(440, sizeHint().height());

  connect(UseDriver, &QRadioButton::toggled, this, Guarded([this](bool) { SourceButtonClick(); }));
  connect(TestConnection, &QPushButton::clicked, this,
          Guarded([this](bool) { TestConnectionClick(); }));
  connect(OkButton, &QPushButton::clicked, this, Guarded([this](bool) { accept(); }));
  connect(CancelButton, &QPushButton::clicked, this, Guarded([this](bool) { reject(); }));
}

void DataLinkPropertiesDialog::SelectText(QComboBox* combo, const QString& text) {
  if (text.isEmpty()) {
    combo->setCurrentIndex(combo->isEditable() ? -1 : 0);
    if (combo->isEditable()) combo->setEditText({});
    return;
  }
  int index = combo->findText(text, Qt::MatchFixedString);
  if (index < 0) {
    // A source that is not installed here is still the user's choice; keep it selectable.
    combo->addItem(text);
    index = combo->count() - 1;
  }
  combo->setCurrentIndex(index);
}

void DataLinkPropertiesDialog::SetConnectionString(const QString& text) {
  ado::OdbcConnectionString parts = ado::OdbcConnectionString::Parse(text);
  FServerKeyword = QStringLiteral("Server");
  FPortKeyword = QStringLiteral("Port");
  FDatabaseKeyword = QStringLiteral("Database");
  FUserKeyword = QStringLiteral("Uid");
  FPasswordKeyword = QStringLiteral("Pwd");
  const bool namesDataSource = parts.Contains(QStringLiteral("DSN"));
  const QString dsn = parts.Take(QStringLiteral("DSN"));
  const QString driver = parts.Take(QStringLiteral("DRIVER"));
  Server->setText(TakeAny(parts, {"Server", "Servername", "Host", "Hostname"}, FServerKeyword));
  Port->setText(TakeAny(parts, {"Port"}, FPortKeyword));
  Database->setText(TakeAny(parts, {"Database", "DB", "Dbname"}, FDatabaseKeyword));
  UserName->setText(TakeAny(parts, {"Uid", "User", "Username"}, FUserKeyword));
  Password->setText(TakeAny(parts, {"Pwd", "Password"}, FPasswordKeyword));
  OtherKeywords->setText(parts.ToString());
  SelectText(Driver, driver);
  SelectText(DataSource, dsn);
  (namesDataSource ? UseDataSource : UseDriver)->setChecked(true);
  SourceButtonClick();
}

QString DataLinkPropertiesDialog::ConnectionString() const {
  QString source;
  if (UseDataSource->isChecked()) {
    if (!DataSource->currentText().isEmpty())
      source =
          QStringLiteral("DSN=") + ado::OdbcConnectionString::QuoteValue(DataSource->currentText());
  } else if (!Driver->currentText().isEmpty()) {
    // Driver names hold blanks ("PostgreSQL Unicode"); braces are how ODBC writes them safely.
    QString name = Driver->currentText();
    name.replace(QStringLiteral("}"), QStringLiteral("}}"));
    source = QStringLiteral("DRIVER={") + name + u'}';
  }
  ado::OdbcConnectionString parts;
  parts.Append(FServerKeyword, Server->text());
  parts.Append(FPortKeyword, Port->text());
  parts.Append(FDatabaseKeyword, Database->text());
  parts.Append(FUserKeyword, UserName->text());
  parts.Append(FPasswordKeyword, Password->text());
  const ado::OdbcConnectionString others = ado::OdbcConnectionString::Parse(OtherKeywords->text());
  for (const ado::OdbcConnectionString::Pair& pair : others.Pairs())
    parts.Append(pair.keyword, pair.value);
  const QString rest = parts.ToString();
  if (source.isEmpty()) return rest;
  return rest.isEmpty() ? source : source + u';' + rest;
}

void DataLinkPropertiesDialog::SourceButtonClick() {
  Driver->setEnabled(UseDriver->isChecked());
  DataSource->setEnabled(UseDataSource->isChecked());
}

void DataLinkPropertiesDialog::TestConnectionClick() {
  std::unique_ptr<ado::Connection> connection = ado::CreateConnection();
  connection->Open(ConnectionString());
  connection->Close();
  QMessageBox::information(this, windowTitle(), QStringLiteral("Test connection succeeded."));
}
