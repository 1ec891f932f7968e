#include "connection/AdoConEd.h"

#include "base/Exceptions.h"
#include "base/HandlerGuard.h"
#include "connection/DataLinkRoutines.h"
#include "platform/DataLinkFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVariant>

#include <limits>
#include <memory>

namespace {

template <typename Widget>
Widget* Place(Widget* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(left, top, width, height);
  return widget;
}

}  // namespace

TConnEditForm::TConnEditForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ConnEditForm"));
  // A fixed dialog frame with a close box only.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(472, 185);
  CreateControls();
  WireHandlers();
  FormCreate();
}

void TConnEditForm::CreateControls() {
  OkButton = Place(new QPushButton(QStringLiteral("OK"), this), "OkButton", 214, 151, 75, 25);
  OkButton->setDefault(true);
  CancelButton =
      Place(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton", 302, 151, 75, 25);
  HelpButton = Place(new QPushButton(QStringLiteral("Help"), this), "HelpButton", 390, 151, 75, 25);
  SourceofConnection = Place(new QGroupBox(QStringLiteral(" Source of Connection "), this),
                             "SourceofConnection", 5, 4, 461, 136);
  QGroupBox* box = SourceofConnection;
  UseDataLinkFile = Place(new QRadioButton(QStringLiteral("Use Data &Link File"), box),
                          "UseDataLinkFile", 10, 21, 226, 20);
  DataLinkFile = Place(new QComboBox(box), "DataLinkFile", 28, 42, 332, 21);
  DataLinkFile->setEditable(true);
  // The list holds the folder's files; what the user types is not added to it, nor completed
  // or matched to a name of another case: it stays as typed.
  DataLinkFile->setInsertPolicy(QComboBox::NoInsert);
  DataLinkFile->setCompleter(nullptr);
  Browse = Place(new QPushButton(QStringLiteral("&Browse..."), box), "Browse", 370, 39, 75, 25);
  UseConnectionString = Place(new QRadioButton(QStringLiteral("Use &Connection String"), box),
                              "UseConnectionString", 10, 73, 226, 20);
  ConnectionString = Place(new QLineEdit(box), "ConnectionString", 28, 94, 332, 21);
  ConnectionString->setMaxLength(std::numeric_limits<int>::max());
  Build = Place(new QPushButton(QStringLiteral("B&uild..."), box), "Build", 370, 92, 75, 25);

  // Enter on a focused button presses that button; elsewhere it presses OK.
  for (QPushButton* button : {OkButton, CancelButton, HelpButton, Browse, Build})
    button->setAutoDefault(true);

  QWidget* order[] = {OkButton,     CancelButton, HelpButton,          UseDataLinkFile,
                      DataLinkFile, Browse,       UseConnectionString, ConnectionString,
                      Build};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TConnEditForm::WireHandlers() {
  connect(OkButton, &QPushButton::clicked, this, Guarded([this](bool) { done(mrOk); }));
  connect(CancelButton, &QPushButton::clicked, this, Guarded([this](bool) { done(mrCancel); }));
  connect(HelpButton, &QPushButton::clicked, this, Guarded([this](bool) { HelpButtonClick(); }));
  connect(UseDataLinkFile, &QRadioButton::clicked, this,
          Guarded([this](bool) { SourceButtonClick(); }));
  connect(UseConnectionString, &QRadioButton::clicked, this,
          Guarded([this](bool) { SourceButtonClick(); }));
  connect(Browse, &QPushButton::clicked, this, Guarded([this](bool) { BrowseClick(); }));
  connect(Build, &QPushButton::clicked, this, Guarded([this](bool) { BuildClick(); }));
}

void TConnEditForm::FormCreate() {
  SetHelpContext(ConnEditHelpContext);
  QStringList names;
  for (int i = 0; i < DataLinkFile->count(); ++i) names << DataLinkFile->itemText(i);
  ListDataLinkFiles(names, {});
  // The list is sorted whatever order the files were found in.
  names.sort(Qt::CaseInsensitive);
  DataLinkFile->clear();
  DataLinkFile->addItems(names);
  DataLinkFile->setCurrentIndex(-1);
  DataLinkFile->setEditText({});
}

QString TConnEditForm::Edit(const QString& ConnStr) {
  UseDataLinkFile->setChecked(true);
  if (IsDataLinkReference(ConnStr)) {
    const QString file = DataLinkReferencePath(ConnStr);
    const bool inDataLinkFolder = FolderPart(file) == DataLinkFolder() + u'/';
    DataLinkFile->setEditText(inDataLinkFolder ? NamePart(file) : file);
  } else {
    ConnectionString->setText(ConnStr);
    UseConnectionString->setChecked(true);
  }
  SourceButtonClick();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  if (exec() != mrOk) return ConnStr;
  return ChosenString();
}

QString TConnEditForm::ChosenString() const {
  if (UseConnectionString->isChecked()) return ConnectionString->text();
  const QString t = DataLinkFile->currentText();
  if (t.isEmpty()) return {};
  if (!FolderPart(t).isEmpty()) return DataLinkPrefix + t;
  return DataLinkPrefix + DataLinkFolder() + u'/' + t;
}

void TConnEditForm::ShowStateColour(QWidget* input) {
  const QPalette standard = QApplication::palette(input);
  const QColor colour = standard.color(input->isEnabled() ? QPalette::Base : QPalette::Button);
  QPalette palette = input->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    palette.setColor(group, QPalette::Base, colour);
  input->setPalette(palette);
}

void TConnEditForm::SourceButtonClick() {
  DataLinkFile->setEnabled(UseDataLinkFile->isChecked());
  ShowStateColour(DataLinkFile);
  Browse->setEnabled(DataLinkFile->isEnabled());
  ConnectionString->setEnabled(UseConnectionString->isChecked());
  ShowStateColour(ConnectionString);
  Build->setEnabled(ConnectionString->isEnabled());
  if (DataLinkFile->isEnabled())
    DataLinkFile->setFocus();
  else
    ConnectionString->setFocus();
}

void TConnEditForm::BrowseClick() {
  DataLinkFile->setEditText(BrowseDataLinkFile(this, DataLinkFile->currentText()));
}

void TConnEditForm::BuildClick() {
  ConnectionString->setText(BuildConnectionString(this, ConnectionString->text()));
}

void TConnEditForm::HelpButtonClick() {
  // No help viewer is part of the program, so every request for help fails.
  throw Exception(QStringLiteral("No context-sensitive help installed"));
}

void TConnEditForm::reject() {
  done(mrCancel);
}

bool EditConnectionOf(QObject* component) {
  const auto form = std::make_unique<TConnEditForm>();
  const QObject* owner = component->parent();
  form->setWindowTitle(QStringLiteral("%1%2%3 %4")
                           .arg(owner ? owner->objectName() : QString(), QStringLiteral("."),
                                component->objectName(), QStringLiteral("ConnectionString")));
  const QString oldString = component->property("ConnectionString").toString();
  const QString newString = form->Edit(oldString);
  if (newString == oldString) return false;
  component->setProperty("ConnectionString", newString);
  return true;
}
