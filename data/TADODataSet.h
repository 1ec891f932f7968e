#pragma once

#include "data/BlockingWork.h"
#include "data/DataSetTypes.h"
#include "platform/ado/AdoTypes.h"

#include <QList>
#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace ado {
class Connection;
class Recordset;
}  // namespace ado
class TADOConnection;
class TDataSource;
class TField;
struct TFieldDef;

// A parameter parsed from the command text, with what the driver told of it.
struct TParameter {
  QString Name;
  ado::ParameterInfo Info;
};

// The data set: runs CommandText over its connection and holds the result for browsing.
// Its Name is the QObject objectName; messages raised on its own behalf start with it.
class TADODataSet : public QObject {
  Q_OBJECT
 public:
  explicit TADODataSet(QObject* owner = nullptr);
  ~TADODataSet() override;

  TADOConnection* Connection() const { return FConnection; }
  void SetConnection(TADOConnection* connection);

  const QString& CommandText() const { return FCommandText; }
  void SetCommandText(const QString& value);
  // The command text as handed to the driver (markers replaced by "?").
  const QString& ProviderCommandText() const { return FProviderCommandText; }
  const QList<TParameter>& Parameters() const { return FParameters; }

  TCommandType CommandType() const { return cmdText; }
  TCursorLocation CursorLocation() const { return clUseClient; }
  TCursorType CursorType() const { return ctKeyset; }
  TADOLockType LockType() const { return ltOptimistic; }
  int CacheSize() const { return 1; }
  int MaxRecords() const { return 0; }
  bool EnableBCD() const { return true; }
  bool ParamCheck() const { return true; }

  bool Active() const { return FState == dsBrowse; }
  void SetActive(bool value);
  TDataSetState State() const { return FState; }
  void Open();
  void Close();

  // Walking the records. On a closed data set these raise "Cannot perform this operation on a
  // closed dataset".
  void First();
  void Next();
  void Prior();
  void Last();
  // Moves by n records (clamped to the result); returns how far it moved.
  qint64 MoveBy(qint64 distance);
  bool Eof() const;
  bool Bof() const;
  qint64 RecordCount() const;
  // The current record, 0-based; -1 when the result is empty or the data set closed.
  qint64 RecordIndex() const;
  void SetRecordIndex(qint64 index);

  int FieldCount() const;
  TField* Fields(int index) const;  // 0-based, in field order
  TField* FindField(const QString& fieldName) const;
  const std::vector<std::unique_ptr<TFieldDef>>& FieldDefs() const { return FFieldDefs; }

  // Suspends the notifications to the data sources; calls nest.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount > 0; }

  // How many records the attached grid shows: the size of the record window (at least 1).
  void SetBufferCount(int count);
  int BufferCount() const { return FBufferCount; }

  // For fields: the value of a column (1-based column number) in a record (0-based); null
  // outside the result. Its text stays valid until the next read.
  ado::ValueRef PeekValue(qint64 recordIndex, int columnNumber) const;
  // For fields: a field moved or changed width.
  void FieldLayoutChanged();
  // For fields: moves a field to another index in the field order.
  void MoveField(TField* field, int newIndex);

  // For the data source.
  void AddDataSource(TDataSource* source);
  void RemoveDataSource(TDataSource* source);

  // Who runs the statement and the fetch of its rows (none: the calling thread).
  void SetBlockingRunner(BlockingRunner runner) { FBlockingRunner = std::move(runner); }

  // Test seam: the connection this data set holds the connection for (probe, open).
  int ReasonCount() const { return FReasons; }

 private:
  friend class TADOConnection;
  enum class Notification { StateChanged, DataSetChanged, LayoutChanged, RecordMoved };
  void Notify(Notification what);
  // Counts a reason to hold the connection. For the first, the open that the work which follows
  // runs first (empty: the connection is open).
  std::function<void()> TakeReason();
  void DropReason();
  void DropReasonQuietly() noexcept;
  // Runs body on the layer through the blocking runner, after connect when there is one.
  void RunOnLayer(const std::function<void()>& connect,
                  const std::function<void(ado::Connection&)>& body);
  void DoOpen(const std::function<void()>& connect);
  // Executes and moves on through a batch to its first result with rows; touches no member.
  static std::unique_ptr<ado::Recordset> FirstResultWithRows(
      ado::Connection& provider, const QString& text,
      const std::vector<ado::ParameterInfo>& parameters, const QString& noResult);
  void CloseCleanUp();
  void CheckActive() const;
  void BuildFields();
  void Probe(QList<TParameter>& parameters);
  // A message on this component's behalf: "Name: message".
  QString Named(const char* message) const;
  qint64 Count() const { return FRecordCount > 0 ? FRecordCount : 0; }

  TADOConnection* FConnection = nullptr;
  QString FCommandText;
  QString FProviderCommandText;
  QList<TParameter> FParameters;
  TDataSetState FState = dsInactive;
  std::unique_ptr<ado::Recordset> FRecordset;
  std::vector<std::unique_ptr<TFieldDef>> FFieldDefs;
  std::vector<std::unique_ptr<TField>> FFieldStore;
  QList<TField*> FFields;
  qint64 FRecordIndex = -1;
  bool FEof = true;
  bool FBof = true;
  int FDisableCount = 0;
  TDataSetState FDisabledState = dsInactive;
  bool FLayoutPending = false;
  int FBufferCount = 1;
  int FReasons = 0;
  bool FHoldsOpenReason = false;
  qint64 FRecordCount = 0;  // as the recordset reported it at open
  QList<TDataSource*> FDataSources;
  BlockingRunner FBlockingRunner;
  // The probe's login failed: the open right after it raises that failure instead of logging in
  // again with the same string.
  std::exception_ptr FProbeLoginFailure;
  QString FProbeLoginString;
};
