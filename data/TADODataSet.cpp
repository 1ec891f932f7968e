#include "data/TADODataSet.h"

#include "base/Exceptions.h"
#include "base/Messages.h"
#include "data/FieldDefBuilder.h"
#include "data/ParameterMarkers.h"
#include "data/TADOConnection.h"
#include "data/TDataSource.h"
#include "data/TField.h"
#include "platform/ado/AdoInterfaces.h"

#include <atomic>
#include <exception>
#include <utility>

TADODataSet::TADODataSet(QObject* owner) : QObject(owner) {}

TADODataSet::~TADODataSet() {
  // The controls learn that the data set is gone, not that it closed.
  const QList<TDataSource*> sources = FDataSources;
  for (TDataSource* source : sources) source->FDataSet = nullptr;
  FDataSources.clear();
  if (Active()) {
    try {
      CloseCleanUp();
    } catch (...) {
      // A destructor must not throw; a failing disconnect has closed the connection anyway.
    }
  }
  if (FConnection) FConnection->UnregisterDataSet(this);
  for (TDataSource* source : sources) emit source->StateChanged();
}

QString TADODataSet::Named(const char* message) const {
  const QString text = QString::fromLatin1(message);
  return objectName().isEmpty() ? text : ComponentMessage(objectName(), text);
}

void TADODataSet::SetConnection(TADOConnection* connection) {
  if (connection == FConnection) return;
  if (Active()) throw EDatabaseError(Named("Cannot perform this operation on an open dataset"));
  if (FConnection) FConnection->UnregisterDataSet(this);
  FConnection = connection;
  if (FConnection) FConnection->RegisterDataSet(this);
}

void TADODataSet::SetCommandText(const QString& value) {
  if (value == FCommandText) return;
  if (Active()) throw EDatabaseError(Named("Cannot perform this operation on an open dataset"));
  FCommandText = value;
  FProbeLoginFailure = nullptr;
  if (value.isEmpty()) {
    FProviderCommandText.clear();
    FParameters.clear();
    return;
  }
  const ParsedCommand parsed = ParseParameterMarkers(value);
  FProviderCommandText = parsed.Text;
  QList<TParameter> parameters;
  for (const QString& name : parsed.Names) {
    TParameter p;
    p.Name = name;
    p.Info.Name = name;
    parameters.append(p);
  }
  // Also a text without markers replaces the list: parameters of an earlier statement would
  // otherwise reach the driver with a statement that has none.
  FParameters = parameters;
  Probe(FParameters);
}

void TADODataSet::Probe(QList<TParameter>& parameters) {
  if (!FConnection) return;
  std::vector<ado::ParameterInfo> described;
  std::exception_ptr stopped;
  std::exception_ptr loginFailure;
  std::function<void()> connect = TakeReason();
  if (connect)
    connect = [open = std::move(connect), &loginFailure] {
      try {
        open();
      } catch (const EAbort&) {
        throw;
      } catch (const Exception&) {
        loginFailure = std::current_exception();
        throw;
      }
    };
  try {
    const QString text = FProviderCommandText;
    RunOnLayer(connect, [&described, &text](ado::Connection& provider) {
      described = provider.DescribeParameters(text);
    });
  } catch (const EAbort&) {
    stopped = std::current_exception();
  } catch (const Exception&) {
    // Whatever else fails here only costs the parameter descriptions.
  } catch (...) {
    DropReasonQuietly();
    throw;
  }
  DropReasonQuietly();
  if (stopped) {
    // The stop ends what the probe was for: the next time the statement is given, it is
    // probed again.
    FCommandText.clear();
    FProviderCommandText.clear();
    FParameters.clear();
    std::rethrow_exception(stopped);
  }
  if (loginFailure) {
    // The open that follows would wait for the same answer again: a server that never answers
    // would hold the Execute for twice the login time-out.
    FProbeLoginFailure = loginFailure;
    FProbeLoginString = FConnection->ConnectionString();
  }
  if (described.size() != static_cast<size_t>(parameters.size())) return;
  for (qsizetype i = 0; i < parameters.size(); ++i) {
    ado::ParameterInfo& info = parameters[i].Info;
    const ado::ParameterInfo& d = described[static_cast<size_t>(i)];
    info.Type = d.Type;
    info.Size = d.Size;
    info.NumericScale = d.NumericScale;
    info.Precision = d.Precision;
    info.Direction = d.Direction;
    info.Attributes = d.Attributes;
  }
}

std::function<void()> TADODataSet::TakeReason() {
  if (!FConnection) throw EDatabaseError(QStringLiteral("Missing Connection or ConnectionString"));
  if (FReasons++ > 0) return {};
  return FConnection->OpenWork(ado::Purpose{FProviderCommandText, !FParameters.isEmpty()});
}

void TADODataSet::DropReason() {
  if (FReasons == 0) return;
  if (--FReasons == 0 && FConnection) FConnection->ReleaseCheck();
}

void TADODataSet::DropReasonQuietly() noexcept {
  try {
    DropReason();
  } catch (...) {
    // A failing disconnect has closed the connection anyway.
  }
}

void TADODataSet::RunOnLayer(const std::function<void()>& connect,
                             const std::function<void(ado::Connection&)>& body) {
  // The work touches the layer only, so that it may run on another thread while this one goes
  // on.
  ado::Connection& provider = FConnection->Provider();
  provider.ClearCancel();
  std::atomic<bool> connecting{static_cast<bool>(connect)};
  const BlockingWork work{[&] {
                            if (connect) {
                              connect();
                              connecting.store(false, std::memory_order_release);
                            }
                            body(provider);
                          },
                          [&provider] { provider.Cancel(); },
                          [&provider] { return provider.RowsFetched(); },
                          [&connecting] { return connecting.load(std::memory_order_acquire); }};
  if (FBlockingRunner)
    FBlockingRunner(work);
  else
    work.Run();
}

void TADODataSet::SetActive(bool value) {
  if (value)
    Open();
  else
    Close();
}

void TADODataSet::Open() {
  if (Active()) return;
  const std::function<void()> connect = TakeReason();
  FHoldsOpenReason = true;
  const std::exception_ptr loginFailed = std::exchange(FProbeLoginFailure, nullptr);
  try {
    if (loginFailed && connect && FConnection->ConnectionString() == FProbeLoginString)
      std::rethrow_exception(loginFailed);
    DoOpen(connect);
  } catch (...) {
    // The statement's own error is the one to report, not a disconnect failing after it.
    try {
      CloseCleanUp();
    } catch (...) {
    }
    throw;
  }
  Notify(Notification::StateChanged);
}

void TADODataSet::DoOpen(const std::function<void()>& connect) {
  if (FCommandText.isEmpty()) {
    // Connecting comes first: a connection that fails says so before the missing statement.
    if (connect) RunOnLayer(connect, [](ado::Connection&) {});
    throw EDatabaseError(Named("Missing CommandText property"));
  }
  std::vector<ado::ParameterInfo> parameters;
  parameters.reserve(static_cast<size_t>(FParameters.size()));
  for (const TParameter& p : FParameters) parameters.push_back(p.Info);

  // The statement runs here; its effects stay whatever follows.
  const QString text = FProviderCommandText;
  const QString noResult = Named("CommandText does not return a result set");
  std::unique_ptr<ado::Recordset> recordset;
  RunOnLayer(connect, [&](ado::Connection& provider) {
    recordset = FirstResultWithRows(provider, text, parameters, noResult);
  });
  FRecordset = std::move(recordset);
  FRecordCount = FRecordset->RecordCount();
  BuildFields();
  FState = dsBrowse;
  FRecordIndex = Count() > 0 ? 0 : -1;
  FEof = Count() == 0;
  FBof = true;
}

std::unique_ptr<ado::Recordset> TADODataSet::FirstResultWithRows(
    ado::Connection& provider, const QString& text,
    const std::vector<ado::ParameterInfo>& parameters, const QString& noResult) {
  std::unique_ptr<ado::Recordset> recordset = provider.Execute(text, parameters);
  // A batch shows its first result with rows; the driver's reason for having none is not news,
  // but a stop is.
  while (!recordset || !recordset->IsOpen()) {
    std::unique_ptr<ado::Recordset> next;
    if (recordset) {
      try {
        next = recordset->NextRecordset();
      } catch (const EAbort&) {
        throw;
      } catch (const Exception&) {
        next.reset();
      }
    }
    if (!next) throw EDatabaseError(noResult);
    recordset = std::move(next);
  }
  return recordset;
}

void TADODataSet::BuildFields() {
  FFieldDefs = fielddefs::Build(*FRecordset, EnableBCD());
  for (const auto& def : FFieldDefs) {
    std::unique_ptr<TField> field = fielddefs::CreateField(*def, this);
    if (!field) continue;
    FFields.append(field.get());
    FFieldStore.push_back(std::move(field));
  }
}

void TADODataSet::Close() {
  if (!Active()) return;
  FState = dsInactive;
  Notify(Notification::StateChanged);
  CloseCleanUp();
}

void TADODataSet::CloseCleanUp() {
  FState = dsInactive;
  FFields.clear();
  FFieldStore.clear();
  FFieldDefs.clear();
  FRecordset.reset();
  FRecordCount = 0;
  FRecordIndex = -1;
  FEof = true;
  FBof = true;
  if (FHoldsOpenReason) {
    FHoldsOpenReason = false;
    DropReason();
  }
}

void TADODataSet::CheckActive() const {
  if (!Active()) throw EDatabaseError(Named("Cannot perform this operation on a closed dataset"));
}

void TADODataSet::First() {
  CheckActive();
  FRecordIndex = Count() > 0 ? 0 : -1;
  FEof = Count() == 0;
  FBof = true;
  Notify(Notification::DataSetChanged);
}

void TADODataSet::Next() {
  CheckActive();
  FBof = false;
  if (FRecordIndex + 1 < Count()) {
    ++FRecordIndex;
    FEof = false;
    Notify(Notification::RecordMoved);
  } else {
    FEof = true;
  }
}

void TADODataSet::Prior() {
  CheckActive();
  FEof = false;
  if (FRecordIndex > 0) {
    --FRecordIndex;
    FBof = false;
    Notify(Notification::RecordMoved);
  } else {
    FBof = true;
  }
}

void TADODataSet::Last() {
  CheckActive();
  FRecordIndex = Count() - 1;
  FEof = true;
  FBof = Count() == 0;
  Notify(Notification::DataSetChanged);
}

qint64 TADODataSet::MoveBy(qint64 distance) {
  CheckActive();
  if (Count() == 0 || distance == 0) return 0;
  const qint64 target = FRecordIndex + distance;
  const qint64 clamped = qBound<qint64>(qint64(0), target, Count() - 1);
  const qint64 moved = clamped - FRecordIndex;
  FEof = target > Count() - 1;
  FBof = target < 0;
  FRecordIndex = clamped;
  if (moved != 0) Notify(Notification::RecordMoved);
  return moved;
}

bool TADODataSet::Eof() const {
  return !Active() || FEof;
}
bool TADODataSet::Bof() const {
  return !Active() || FBof;
}

qint64 TADODataSet::RecordCount() const {
  CheckActive();
  return FRecordCount;
}

qint64 TADODataSet::RecordIndex() const {
  return Active() ? FRecordIndex : -1;
}

void TADODataSet::SetRecordIndex(qint64 index) {
  CheckActive();
  if (Count() == 0) return;
  const qint64 clamped = qBound<qint64>(qint64(0), index, Count() - 1);
  FEof = false;
  FBof = false;
  if (clamped == FRecordIndex) return;
  FRecordIndex = clamped;
  Notify(Notification::RecordMoved);
}

int TADODataSet::FieldCount() const {
  return static_cast<int>(FFields.size());
}

TField* TADODataSet::Fields(int index) const {
  return FFields.at(index);
}

TField* TADODataSet::FindField(const QString& fieldName) const {
  for (TField* field : FFields)
    if (field->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0) return field;
  return nullptr;
}

void TADODataSet::DisableControls() {
  if (FDisableCount++ == 0) {
    FDisabledState = FState;
    FLayoutPending = false;
  }
}

void TADODataSet::EnableControls() {
  if (FDisableCount == 0) return;
  if (--FDisableCount > 0) return;
  const bool layout = FLayoutPending;
  FLayoutPending = false;
  if (FState != FDisabledState) Notify(Notification::StateChanged);
  if (FDisabledState == dsBrowse && FState == dsBrowse)
    Notify(layout ? Notification::LayoutChanged : Notification::DataSetChanged);
}

void TADODataSet::SetBufferCount(int count) {
  FBufferCount = count < 1 ? 1 : count;
}

ado::ValueRef TADODataSet::PeekValue(qint64 recordIndex, int columnNumber) const {
  if (!FRecordset) CheckActive();
  if (recordIndex < 0 || recordIndex >= FRecordCount) return {};
  return FRecordset->Peek(recordIndex, columnNumber - 1);
}

void TADODataSet::FieldLayoutChanged() {
  Notify(Notification::LayoutChanged);
}

void TADODataSet::MoveField(TField* field, int newIndex) {
  const qsizetype from = FFields.indexOf(field);
  if (from < 0 || FFields.isEmpty()) return;
  const qsizetype to = qBound<qsizetype>(qsizetype(0), qsizetype(newIndex), FFields.size() - 1);
  if (to == from) return;
  FFields.move(from, to);
  Notify(Notification::LayoutChanged);
}

void TADODataSet::AddDataSource(TDataSource* source) {
  if (!FDataSources.contains(source)) FDataSources.append(source);
  source->FDataSet = this;
}

void TADODataSet::RemoveDataSource(TDataSource* source) {
  FDataSources.removeAll(source);
  if (source->FDataSet == this) source->FDataSet = nullptr;
}

void TADODataSet::Notify(Notification what) {
  if (FDisableCount > 0) {
    if (what == Notification::StateChanged || what == Notification::LayoutChanged)
      FLayoutPending = true;
    return;
  }
  const QList<TDataSource*> sources = FDataSources;
  for (TDataSource* source : sources) {
    switch (what) {
      case Notification::StateChanged:
        emit source->StateChanged();
        break;
      case Notification::DataSetChanged:
        emit source->DataSetChanged();
        break;
      case Notification::LayoutChanged:
        emit source->LayoutChanged();
        break;
      case Notification::RecordMoved:
        emit source->RecordMoved();
        break;
    }
  }
}
