#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

struct BlockingWork;
class InputGate;
class QComboBox;
class QFileDialog;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class TADOConnection;
class TADODataSet;
class TCustomPanel;
class TDataSource;
class TDBGrid;
class TGradientPanel;
class TSplitter;

// The main window: the tool row, the SQL editor, the result grid and the banner, and the
// handlers of the buttons. Each component's objectName is its name.
class TfrmMain : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  TGradientPanel* GradientPanel1;
  TCustomPanel* Panel1;
  QPushButton* btnConnect;
  TADODataSet* ADODataSet;
  TDataSource* dsDataset;
  TCustomPanel* Panel2;
  TCustomPanel* Panel3;
  TSplitter* Splitter1;
  TDBGrid* DBGrid1;
  TCustomPanel* Panel4;
  QPlainTextEdit* reSQL;
  QPushButton* btnExecute;
  QPushButton* btnSave;
  TADOConnection* ADOConnection;
  QFileDialog* SaveDialog1;
  QLineEdit* edtCustomDelimiter;
  QComboBox* cbxDelimiter;
  QProgressBar* ProgressBar;

  void GradientPanel1Click(QObject* Sender);
  void btnConnectClick(QObject* Sender);
  void btnExecuteClick(QObject* Sender);
  void cbxDelimiterSelect(QObject* Sender);
  void btnSaveClick(QObject* Sender);

  // The connection string the user last confirmed.
  const QString& ConnectionString() const { return FConnectionString; }
  // The editor's whole text, with CR LF between its lines.
  QString StatementText() const;
  // Shows the window centred on its screen, in the state the desktop asked for.
  void ShowAtStart();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ExportToFile(const QString& FileName);
  // The window around an export: disabled with its input gated and the progress bar shown, and
  // afterwards taking input again with the focus where it was.
  void BeginExport(qint64 recordCount);
  void EndExport();

  void CreateComponents();
  void ConfigureBanner();
  void ConfigureToolRow();
  void ConfigureSqlPanel();
  void ConfigureDataComponents();
  void ConfigureSaveDialog();
  void ConnectHandlers();
  void SetTabOrder();
  void DockBands();
  void SplitterMoved(int newSize);
  // The delimiter of an export, from the item index of cbxDelimiter.
  QString ChosenDelimiter() const;
  // Whether the file type chosen in SaveDialog1 is standard CSV.
  bool StandardCsvChosen() const;
  void ShowProgress(qint64 done);
  // Runs the data set's login, statement and fetch on a worker thread while this window goes on
  // painting, with the busy cursor and how far the work is in the progress bar's place.
  void RunBusy(const BlockingWork& work);
  void ShowHowFar(const BlockingWork& work);
  // Esc, a click on the progress bar's place or a close request while work runs.
  void StopWork();

  QString FConnectionString;
  int FSqlPanelHeight = 227;
  QString FLastSaveName;
  std::unique_ptr<InputGate> FExportGate;
  QPointer<QWidget> FExportFocus;
  const BlockingWork* FRunningWork = nullptr;
  bool FStopExport = false;
};

// The text between double quotes; nothing inside is changed.
QString QuoteValue(const QString& text);

// The file types of the save dialog: the plain file, a copy of what the grid shows, and CSV
// that other programs read back (header line, standard quoting, exact values, UTF-8).
inline const QString kPlainCsvFilter = QStringLiteral("CSV Files (*.csv)");
inline const QString kStandardCsvFilter =
    QStringLiteral("CSV with header line, standard quoting (*.csv)");
