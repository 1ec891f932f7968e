#include "app/Main.h"

#include "app/InputGate.h"
#include "app/LongLineLayout.h"
#include "app/SaveDialog.h"
#include "app/UserGuide.h"
#include "base/Exceptions.h"
#include "base/HandlerGuard.h"
#include "connection/ADOUtils.h"
#include "data/BlockingWork.h"
#include "data/RegionalSettings.h"
#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TDataSource.h"
#include "widgets/GradientPanel.h"
#include "widgets/ShellUtils.h"
#include "widgets/TCustomPanel.h"
#include "widgets/TDBGrid.h"
#include "widgets/TSplitter.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <limits>

namespace {

// Heights of the bands docked at the top, at 96 pixels per inch.
constexpr int kBannerHeight = 29;
constexpr int kToolRowHeight = 41;
constexpr int kSplitterHeight = 3;
constexpr int kMinBandHeight = 100;
constexpr int kClientWidth = 715;
constexpr int kClientHeight = 477;
constexpr int kCaptionBarHeight = 24;

// Tahoma 8 pt (11 pixels) and the metric-compatible faces that stand in for it.
QFont WindowFont() {
  QFont font;
  font.setFamilies(
      {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setPixelSize(11);
  return font;
}

// Courier New 10 pt (13 pixels).
QFont EditorFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                    QStringLiteral("DejaVu Sans Mono")});
  font.setPixelSize(13);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

// Arial 8 pt (11 pixels), italic.
QFont BannerFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  font.setPixelSize(11);
  font.setItalic(true);
  return font;
}

template <typename T>
T* Named(T* component, const char* name) {
  component->setObjectName(QString::fromLatin1(name));
  return component;
}

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Rowmill"));
  setFont(WindowFont());
  QPalette colours = palette();
  colours.setColor(QPalette::Window, colours.color(QPalette::Button));
  setPalette(colours);
  setAutoFillBackground(true);
  resize(kClientWidth, kClientHeight);

  CreateComponents();
  ConfigureBanner();
  ConfigureToolRow();
  ConfigureSqlPanel();
  ConfigureDataComponents();
  ConfigureSaveDialog();
  ConnectHandlers();
  SetTabOrder();
  DockBands();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::CreateComponents() {
  // Created in declaration order; each belongs to the band that holds it.
  GradientPanel1 = Named(new TGradientPanel(this), "GradientPanel1");
  Panel1 = Named(new TCustomPanel(this), "Panel1");
  btnConnect = Named(new QPushButton(Panel1), "btnConnect");
  ADODataSet = Named(new TADODataSet(this), "ADODataSet");
  dsDataset = Named(new TDataSource(this), "dsDataset");
  Panel2 = Named(new TCustomPanel(this), "Panel2");
  Panel3 = Named(new TCustomPanel(this), "Panel3");
  Splitter1 = Named(new TSplitter(this), "Splitter1");
  DBGrid1 = Named(new TDBGrid(Panel3), "DBGrid1");
  Panel4 = Named(new TCustomPanel(Panel2), "Panel4");
  reSQL = Named(new QPlainTextEdit(Panel2), "reSQL");
  btnExecute = Named(new QPushButton(Panel1), "btnExecute");
  btnSave = Named(new QPushButton(Panel1), "btnSave");
  ADOConnection = Named(new TADOConnection(this), "ADOConnection");
  SaveDialog1 = Named(new TSaveDialog(this), "SaveDialog1");
  edtCustomDelimiter = Named(new QLineEdit(Panel1), "edtCustomDelimiter");
  cbxDelimiter = Named(new QComboBox(Panel1), "cbxDelimiter");
  ProgressBar = Named(new QProgressBar(Panel1), "ProgressBar");
}

void TfrmMain::ConfigureBanner() {
  GradientPanel1->SetBeginColor(RGBColor(128, 128, 128));
  GradientPanel1->SetEndColor(clBlack);
  GradientPanel1->SetGradientStyle(gsVertical);
  GradientPanel1->SetBevelOuter(bvNone);
  GradientPanel1->SetAlignment(taLeftJustify);
  GradientPanel1->SetCaption(QStringLiteral(
      "  Rowmill data tools \u00b7 made by the Rowmill project \u00b7 the Netherlands"));
  GradientPanel1->SetFont(BannerFont());
  GradientPanel1->SetFontColor(clSilver);
  GradientPanel1->SetParentDrag(false);
  GradientPanel1->setCursor(Qt::PointingHandCursor);
  GradientPanel1->setToolTip(QStringLiteral("Visit website"));
}

void TfrmMain::ConfigureToolRow() {
  for (TCustomPanel* panel : {Panel1, Panel2, Panel3}) {
    panel->SetCaption(QString());
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelWidth(1);
  }
  btnConnect->setText(QStringLiteral("Connect..."));
  btnConnect->setGeometry(8, 6, 75, 25);
  btnExecute->setText(QStringLiteral("Execute SQL"));
  btnExecute->setGeometry(89, 6, 75, 25);
  cbxDelimiter->addItems({QStringLiteral("Tab Delimiter"), QStringLiteral("Space Delimiter"),
                          QStringLiteral("Comma Delimiter"), QStringLiteral("Custom Delimiter")});
  cbxDelimiter->setEditable(false);
  cbxDelimiter->setCurrentIndex(0);
  cbxDelimiter->setGeometry(173, 8, 109, 21);
  edtCustomDelimiter->setGeometry(296, 8, 41, 21);
  edtCustomDelimiter->setMaxLength(std::numeric_limits<int>::max());
  edtCustomDelimiter->setEnabled(false);
  btnSave->setText(QStringLiteral("Save as CSV"));
  btnSave->setGeometry(357, 6, 75, 25);
  ProgressBar->setGeometry(448, 11, 150, 17);
  ProgressBar->setRange(0, 100);
  ProgressBar->setValue(0);
  ProgressBar->setTextVisible(false);
  ProgressBar->setFocusPolicy(Qt::NoFocus);
  ProgressBar->hide();
}

void TfrmMain::ConfigureSqlPanel() {
  Panel4->SetCaption(QStringLiteral("  SQL Statement"));
  Panel4->SetAlignment(taLeftJustify);
  Panel4->SetBevelOuter(bvNone);
  reSQL->setFont(EditorFont());
  reSQL->setLineWrapMode(QPlainTextEdit::NoWrap);
  KeepLongLinesLaidOut(reSQL);
  reSQL->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  reSQL->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Tab leaves the editor, as it does in the other controls of the window.
  reSQL->setTabChangesFocus(true);
  QPalette colours = reSQL->palette();
  colours.setColor(QPalette::Text, palette().color(QPalette::WindowText));
  reSQL->setPalette(colours);
  DBGrid1->SetTitleFont(WindowFont());
  DBGrid1->SetReadOnly(true);
}

void TfrmMain::ConfigureDataComponents() {
  ADOConnection->SetKeepConnection(false);
  ADOConnection->SetLoginPrompt(false);
  ADODataSet->SetConnection(ADOConnection);
  ADODataSet->SetBlockingRunner([this](const BlockingWork& work) { RunBusy(work); });
  dsDataset->SetDataSet(ADODataSet);
  DBGrid1->SetDataSource(dsDataset);
}

void TfrmMain::ConfigureSaveDialog() {
  SaveDialog1->setOption(QFileDialog::DontUseNativeDialog);
  SaveDialog1->setWindowTitle(QStringLiteral("Save as CSV"));
  SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
  SaveDialog1->setFileMode(QFileDialog::AnyFile);
  // The first type, selected when the dialog first opens, is the plain file; the dialog keeps
  // the user's choice for the rest of the run.
  SaveDialog1->setNameFilters({kPlainCsvFilter, kStandardCsvFilter});
  SaveDialog1->selectNameFilter(kPlainCsvFilter);
  SaveDialog1->setDefaultSuffix(QStringLiteral("csv"));
  SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite, false);
  SaveDialog1->setOption(QFileDialog::ReadOnly, false);
  SaveDialog1->setSizeGripEnabled(true);
}

void TfrmMain::ConnectHandlers() {
  connect(GradientPanel1, &TCustomPanel::Clicked, this,
          Guarded([this](auto&&...) { GradientPanel1Click(GradientPanel1); }));
  connect(btnConnect, &QPushButton::clicked, this,
          Guarded([this](auto&&...) { btnConnectClick(btnConnect); }));
  connect(btnExecute, &QPushButton::clicked, this,
          Guarded([this](auto&&...) { btnExecuteClick(btnExecute); }));
  // Only a pick by the user, not a change made by the program.
  connect(cbxDelimiter, &QComboBox::activated, this,
          Guarded([this](auto&&...) { cbxDelimiterSelect(cbxDelimiter); }));
  connect(btnSave, &QPushButton::clicked, this,
          Guarded([this](auto&&...) { btnSaveClick(btnSave); }));
  connect(Splitter1, &TSplitter::Moved, this, Guarded([this](int size) { SplitterMoved(size); }));
}

void TfrmMain::SetTabOrder() {
  // Connect, Execute, Save, the custom delimiter, the delimiter list: not left to right.
  setTabOrder(btnConnect, btnExecute);
  setTabOrder(btnExecute, btnSave);
  setTabOrder(btnSave, edtCustomDelimiter);
  setTabOrder(edtCustomDelimiter, cbxDelimiter);
  setTabOrder(cbxDelimiter, reSQL);
  setTabOrder(reSQL, DBGrid1);
}

void TfrmMain::DockBands() {
  const int width = this->width();
  int top = 0;
  GradientPanel1->setGeometry(0, top, width, kBannerHeight);
  top += kBannerHeight;
  Panel1->setGeometry(0, top, width, kToolRowHeight);
  top += kToolRowHeight;
  Panel2->setGeometry(0, top, width, FSqlPanelHeight);
  top += FSqlPanelHeight;
  Splitter1->setGeometry(0, top, width, kSplitterHeight);
  top += kSplitterHeight;
  Panel3->setGeometry(0, top, width, std::max(0, height() - top));

  Splitter1->SetControl(Panel2);
  Splitter1->SetMinSize(kMinBandHeight);
  Splitter1->SetMaxSize(height() - kMinBandHeight - kBannerHeight - kToolRowHeight -
                        kSplitterHeight);

  // The panels' children sit inside their borders.
  const int inset2 = Panel2->BorderExtent();
  const int inner2 = std::max(0, Panel2->width() - 2 * inset2);
  Panel4->setGeometry(inset2, inset2, inner2, kCaptionBarHeight);
  reSQL->setGeometry(inset2, inset2 + kCaptionBarHeight, inner2,
                     std::max(0, Panel2->height() - 2 * inset2 - kCaptionBarHeight));
  const int inset3 = Panel3->BorderExtent();
  DBGrid1->setGeometry(inset3, inset3, std::max(0, Panel3->width() - 2 * inset3),
                       std::max(0, Panel3->height() - 2 * inset3));
}

void TfrmMain::SplitterMoved(int newSize) {
  FSqlPanelHeight = newSize;
  DockBands();
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  DockBands();
}

void TfrmMain::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::LocaleChange) RegionalSettings::Reload();
}

void TfrmMain::ShowAtStart() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  // show() keeps a maximised or minimised state asked for on the command line
  // (-qwindowgeometry, the window manager's start-up hints).
  show();
}

void TfrmMain::GradientPanel1Click(QObject* /*Sender*/) {
  // A page the project owns and ships, rather than an outside address. When nothing can show it,
  // the user learns so and where the page is, instead of a click that does nothing.
  const QString guide = UserGuidePath();
  OpenLocalDocument(guide, Guarded([guide](const QString& reason) {
                      throw Exception(UserGuideNotOpenedMessage(guide, reason));
                    }));
}

void TfrmMain::btnConnectClick(QObject* /*Sender*/) {
  ADOConnection->SetConnected(false);
  ADOConnection->SetConnectionString(FConnectionString);
  bool changed = false;
  QString text;
  PromptConnectionString(ADOConnection, changed, text);
  if (changed) {
    FConnectionString = text;
    ADOConnection->SetConnectionString(text);
  }
}

QString TfrmMain::StatementText() const {
  // The raw text keeps every character as typed (no non-breaking space turned into a blank);
  // its paragraph and line separators become CR LF.
  QString text = reSQL->document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
  text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
  return text;
}

void TfrmMain::btnExecuteClick(QObject* /*Sender*/) {
  // Clicks and keys that would start something while the statement runs are dropped, not
  // replayed after it; typing goes on in the editor, and Esc stops the statement.
  InputGate gate(this);
  gate.SetStop(ProgressBar, [this] { StopWork(); });
  gate.LetThrough(reSQL);
  ADODataSet->SetActive(false);
  ADODataSet->SetCommandText(StatementText());
  ADODataSet->SetActive(true);
}

void TfrmMain::cbxDelimiterSelect(QObject* /*Sender*/) {
  edtCustomDelimiter->setEnabled(cbxDelimiter->currentIndex() == 3);
}
