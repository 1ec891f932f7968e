#include "platform/datalinks/DataLinkPropertiesDialog.h"

#include "base/Exceptions.h"
#include "base/HandlerGuard.h"
#include "base/WorkerThread.h"
#include "platform/ado/AdoInterfaces.h"
#include "platform/ado/ConnectionTarget.h"
#include "platform/ado/UdlReader.h"
#include "platform/datalinks/OdbcSources.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QVBoxLayout>

#include <exception>
#include <memory>

using ado::OdbcConnectionString;

namespace {

// Takes the first of the spellings the string holds, with every pair of that keyword.
OdbcConnectionString::Pair TakeAny(OdbcConnectionString& parts,
                                   const std::vector<const char*>& spellings) {
  for (const char* spelling : spellings) {
    const QString name = QString::fromLatin1(spelling);
    for (const OdbcConnectionString::Pair& pair : parts.Pairs()) {
      if (pair.keyword.compare(name, Qt::CaseInsensitive) == 0) {
        OdbcConnectionString::Pair found = pair;
        parts.Take(name);
        return found;
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

QPushButton* NewButton(const QString& text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  // Enter on a focused button presses that button, not OK.
  button->setAutoDefault(true);
  return button;
}

// keyword=value as the driver reads it back to the same value. psqlODBC decodes "+" and "%"
// in a value without braces ("a+b" arrives as "a b"); a driver that knows no braces takes a
// value as it stands up to the next ";".
QString PairText(const QString& keyword, const QString& value, const ado::DriverProfile& driver) {
  if (driver.BracesValues) return keyword + u'=' + OdbcConnectionString::QuoteValue(value);
  if (value.contains(u';'))
    throw Exception(QStringLiteral("The %1 driver cannot read a %2 holding \";\"")
                        .arg(QLatin1String(driver.DbmsNames[0]), keyword));
  return keyword + u'=' + value;
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
  // Completion would rewrite what the user types (case included).
  DataSource->setCompleter(nullptr);
  auto* sourceLayout = new QFormLayout(sourceBox);
  sourceLayout->addRow(UseDriver, Driver);
  sourceLayout->addRow(UseDataSource, DataSource);

  auto* settingsBox = new QGroupBox(QStringLiteral("Settings"), this);
  Server = NewLineEdit(settingsBox, "Server");
  Port = NewLineEdit(settingsBox, "Port");
  Database = NewLineEdit(settingsBox, "Database");
  BrowseDatabase = NewButton(QStringLiteral("..."), "BrowseDatabase", settingsBox);
  BrowseDatabase->setToolTip(QStringLiteral("Pick the SQLite database file"));
  UserName = NewLineEdit(settingsBox, "UserName");
  Password = NewLineEdit(settingsBox, "Password");
  Password->setEchoMode(QLineEdit::Password);
  OtherKeywords = NewLineEdit(settingsBox, "OtherKeywords");
  OtherKeywords->setPlaceholderText(QStringLiteral("Keyword=value;Keyword=value"));
  for (QLineEdit* edit : {Server, Port, Database, UserName, Password, OtherKeywords})
    edit->setMaxLength(std::numeric_limits<int>::max());
  auto* databaseRow = new QHBoxLayout;
  databaseRow->addWidget(Database);
  databaseRow->addWidget(BrowseDatabase);
  auto* settingsLayout = new QFormLayout(settingsBox);
  settingsLayout->addRow(QStringLiteral("Se&rver:"), Server);
  settingsLayout->addRow(QStringLiteral("&Port:"), Port);
  // A row given as a layout gets a label without a buddy, which would show its "&" as written.
  auto* databaseLabel = new QLabel(QStringLiteral("Data&base:"), settingsBox);
  databaseLabel->setBuddy(Database);
  settingsLayout->addRow(databaseLabel, databaseRow);
  settingsLayout->addRow(QStringLiteral("&User name:"), UserName);
  settingsLayout->addRow(QStringLiteral("Pass&word:"), Password);
  settingsLayout->addRow(QStringLiteral("&Other keywords:"), OtherKeywords);
  FSettings = {{Server, {"Server", "Servername", "Host", "Hostname"}, {}, {}},
               {Port, {"Port"}, {}, {}},
               {Database, {"Database", "DB", "Dbname"}, {}, {}},
               {UserName, {"Uid", "User", "Username"}, {}, {}},
               {Password, {"Pwd", "Password"}, {}, {}}};

  TestConnection = NewButton(QStringLiteral("&Test Connection"), "TestConnection", this);
  OkButton = NewButton(QStringLiteral("OK"), "OkButton", this);
  OkButton->setDefault(true);
  CancelButton = NewButton(QStringLiteral("Cancel"), "CancelButton", this);
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
  connect(Driver, &QComboBox::currentIndexChanged, this,
          Guarded([this](int) { SourceButtonClick(); }));
  connect(BrowseDatabase, &QPushButton::clicked, this,
          Guarded([this](bool) { BrowseDatabaseClick(); }));
  connect(TestConnection, &QPushButton::clicked, this,
          Guarded([this](bool) { TestConnectionClick(); }));
  connect(OkButton, &QPushButton::clicked, this, Guarded([this](bool) { OkClick(); }));
  connect(CancelButton, &QPushButton::clicked, this, Guarded([this](bool) { reject(); }));
}

void DataLinkPropertiesDialog::SelectText(QComboBox* combo, const QString& text) {
  if (text.isEmpty()) {
    // No driver or data source the user did not choose.
    combo->setCurrentIndex(-1);
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
  if (combo->isEditable()) combo->setEditText(text);
}

void DataLinkPropertiesDialog::SetConnectionString(const QString& text) {
  FInitialSource = {};
  for (Setting& setting : FSettings) {
    setting.Initial = {};
    setting.Keyword = QString::fromLatin1(setting.Spellings.front());
    setting.Edit->clear();
  }
  if (ado::IsDataLinkReference(text)) {
    // Everything after the prefix is a path, ";" included: kept whole, as it stands.
    OtherKeywords->setText(text);
    SelectText(Driver, {});
    SelectText(DataSource, {});
    UseDriver->setChecked(true);
    SourceButtonClick();
    return;
  }
  OdbcConnectionString parts = OdbcConnectionString::Parse(text);
  // Of DRIVER and DSN, whichever comes first counts.
  for (const OdbcConnectionString::Pair& pair : parts.Pairs()) {
    if (pair.keyword.compare(QLatin1String("DRIVER"), Qt::CaseInsensitive) == 0 ||
        pair.keyword.compare(QLatin1String("DSN"), Qt::CaseInsensitive) == 0) {
      FInitialSource = pair;
      break;
    }
  }
  const bool namesDataSource =
      FInitialSource.keyword.compare(QLatin1String("DSN"), Qt::CaseInsensitive) == 0;
  parts.Take(QStringLiteral("DSN"));
  parts.Take(QStringLiteral("DRIVER"));
  for (Setting& setting : FSettings) {
    setting.Initial = TakeAny(parts, setting.Spellings);
    if (!setting.Initial.keyword.isEmpty()) setting.Keyword = setting.Initial.keyword;
    setting.Edit->setText(setting.Initial.value);
  }
  QStringList others;
  for (const OdbcConnectionString::Pair& pair : parts.Pairs()) others << pair.raw;
  OtherKeywords->setText(others.join(u';'));
  SelectText(Driver, namesDataSource ? QString() : FInitialSource.value);
  SelectText(DataSource, namesDataSource ? FInitialSource.value : QString());
  (namesDataSource ? UseDataSource : UseDriver)->setChecked(true);
  SourceButtonClick();
}

QString DataLinkPropertiesDialog::SourcePair() const {
  const bool dataSource = UseDataSource->isChecked();
  const QString name = dataSource
                           ? DataSource->currentText()
                           : (Driver->currentIndex() < 0 ? QString() : Driver->currentText());
  if (name.isEmpty()) return {};
  const QString keyword = dataSource ? QStringLiteral("DSN") : QStringLiteral("DRIVER");
  // Left as it came, it is written as it came.
  if (FInitialSource.keyword.compare(keyword, Qt::CaseInsensitive) == 0 &&
      FInitialSource.value == name)
    return FInitialSource.raw;
  if (dataSource) return keyword + u'=' + OdbcConnectionString::QuoteValue(name);
  // Driver names hold blanks ("PostgreSQL Unicode"); braces are how ODBC writes them safely.
  QString escaped = name;
  escaped.replace(QStringLiteral("}"), QStringLiteral("}}"));
  return QStringLiteral("DRIVER={") + escaped + u'}';
}

const ado::DriverProfile& DataLinkPropertiesDialog::Profile() const {
  return ado::ConnectionTarget::Of(SourcePair()).Profile();
}

QString DataLinkPropertiesDialog::ConnectionString() const {
  const ado::DriverProfile& driver = Profile();
  QStringList pairs;
  const QString source = SourcePair();
  if (!source.isEmpty()) pairs << source;
  for (const Setting& setting : FSettings) {
    const QString value = setting.Edit->text();
    if (value.isEmpty()) continue;
    if (value == setting.Initial.value && !setting.Initial.raw.isEmpty())
      pairs << setting.Initial.raw;
    else
      pairs << PairText(setting.Keyword, value, driver);
  }
  // The other keywords are the user's own ODBC text and go as they stand.
  const QString others = OtherKeywords->text();
  if (!others.isEmpty()) pairs << others;
  return pairs.join(u';');
}

void DataLinkPropertiesDialog::SourceButtonClick() {
  Driver->setEnabled(UseDriver->isChecked());
  DataSource->setEnabled(UseDataSource->isChecked());
  BrowseDatabase->setEnabled(Profile().DatabaseIsAFile);
}

void DataLinkPropertiesDialog::OkClick() {
  // A string the driver could not read keeps the dialog open with the error.
  ConnectionString();
  accept();
}

void DataLinkPropertiesDialog::BrowseDatabaseClick() {
  QFileDialog dialog(this, QStringLiteral("Select SQLite Database"));
  dialog.setObjectName(QStringLiteral("DatabaseFilePrompt"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("SQLite databases (*.db *.sqlite *.sqlite3 *.db3)"),
                         QStringLiteral("All files (*)")});
  if (!Database->text().isEmpty()) dialog.selectFile(Database->text());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  Database->setText(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath());
}

void DataLinkPropertiesDialog::TestConnectionClick() {
  QString text = ConnectionString();
  // Trying a string must not leave a new, empty database file behind.
  const char* noCreate = Profile().NoCreateKeyword;
  if (noCreate && !OdbcConnectionString::Parse(text).Contains(QLatin1String(noCreate)))
    text += u';' + QLatin1String(noCreate) + QStringLiteral("=1");
  std::unique_ptr<ado::Connection> connection = ado::CreateConnection();
  // A server that never answers would hold the dialog for the whole login time-out.
  TestConnection->setEnabled(false);
  OkButton->setEnabled(false);
  QApplication::setOverrideCursor(Qt::BusyCursor);
  FTesting = connection.get();
  FTestStopped = false;
  std::exception_ptr failure;
  {
    const auto done = qScopeGuard([this] {
      FTesting = nullptr;
      QApplication::restoreOverrideCursor();
      TestConnection->setEnabled(true);
      OkButton->setEnabled(true);
    });
    const auto open = [&connection, &text] { connection->Open(text); };
    try {
      if (!RunOnWorker(QStringLiteral("Test connection"), open,
                       [&connection] { connection->Cancel(); }))
        open();
    } catch (...) {
      failure = std::current_exception();
    }
  }
  connection->Close();
  // A test the user stopped has nothing to say, whatever came of it.
  if (FTestStopped) return;
  if (failure) std::rethrow_exception(failure);
  QMessageBox::information(this, windowTitle(), QStringLiteral("Test connection succeeded."));
}

void DataLinkPropertiesDialog::StopTest() {
  FTestStopped = true;
  FTesting->Cancel();
}

void DataLinkPropertiesDialog::keyPressEvent(QKeyEvent* event) {
  if (FTesting != nullptr && event->key() == Qt::Key_Escape) {
    StopTest();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void DataLinkPropertiesDialog::reject() {
  // The dialog closes at once; the test it was running ends when its login has stopped.
  if (FTesting != nullptr) StopTest();
  QDialog::reject();
}
