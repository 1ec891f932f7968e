#include "platform/ado/OdbcConnection.h"

#include "platform/ado/BusyTimeout.h"
#include "platform/ado/OdbcCheck.h"
#include "platform/ado/OdbcEnvironment.h"
#include "platform/ado/OdbcLimits.h"
#include "platform/ado/OdbcRecordset.h"
#include "platform/ado/OdbcText.h"
#include "platform/ado/ResultFetcher.h"
#include "platform/ado/SetStatement.h"
#include "platform/ado/StoppableConnect.h"
#include "platform/ado/TypeMapping.h"
#include "platform/ado/UdlReader.h"
#include "platform/ado/UnservedStatement.h"

#include <QElapsedTimer>

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>
#include <utility>

namespace ado {

OdbcConnection::~OdbcConnection() {
  try {
    Close();
  } catch (...) {
    // A destructor must not throw; Close has freed the handles whatever failed.
  }
}

void OdbcConnection::Open(const QString& connectionString, const Purpose& purpose) {
  if (IsOpen())
    throw ProviderError(QStringLiteral("Operation is not allowed when the object is open"));
  ConnectionTarget target = ConnectionTarget::Resolve(connectionString, FLoginTimeoutSeconds);
  // The road is decided here, before the one login, from the statement it is made for.
  const Road road = target.RoadFor(purpose.Statement, purpose.HasParameters);
  FConnection = Connect(road);
  FTarget = std::move(target);
  FRoad = road;
  FRanStatement = false;
  CheckProfile();
}

void OdbcConnection::CheckProfile() {
  SQLUINTEGER extensions = 0;
  FGetDataExtensions = 0;
  if (SQL_SUCCEEDED(SQLGetInfo(FConnection.Get(), SQL_GETDATA_EXTENSIONS, &extensions,
                               sizeof extensions, nullptr)))
    FGetDataExtensions = extensions;
  FProfile = &FTarget->Profile();
  SQLWCHAR dbms[64] = {};
  SQLSMALLINT dbmsBytes = 0;
  if (SQL_SUCCEEDED(SQLGetInfoW(FConnection.Get(), SQL_DBMS_NAME, dbms, sizeof dbms, &dbmsBytes))) {
    const QString name = FromSqlWChar(dbms, qMin<qsizetype>(dbmsBytes / 2, 63));
    const DriverProfile& reported = ProfileOfDbms(name);
    if (reported.Family != DriverFamily::Unknown) FProfile = &reported;
  }
}

bool OdbcConnection::StreamingDescribesOtherwise(const QString& commandText) {
  // SQLite's StepAPI describes a column without a declared type (an expression, too) as
  // "varchar", where the plain road describes it by its first value, a blob as a large object;
  // only preparing the statement tells (it runs nothing).
  OdbcHandle statement = OdbcHandle::Allocate(SQL_HANDLE_STMT, FConnection.Get());
  std::vector<SQLWCHAR> text = ToSqlWChar(commandText);
  if (!SQL_SUCCEEDED(SQLPrepareW(statement.Get(), text.data(), SQL_NTS))) return false;
  ResultFetcher fetcher(statement.Get(), FGetDataExtensions, *FProfile);
  const std::vector<ColumnDescription> columns = fetcher.DescribeColumns(fetcher.ColumnCount());
  return std::any_of(columns.begin(), columns.end(), [](const ColumnDescription& c) {
    return c.SqlType == SQL_VARCHAR && c.TypeName == QLatin1String("varchar") &&
           c.ColumnSize == 255;
  });
}

SQLHDBC OdbcConnection::HandleFor(const QString& commandText, bool hasParameters) {
  if (!FRoad.Streams) return FConnection.Get();
  const DriverProfile& p = FTarget->Profile();
  bool served = !hasParameters && p.MayStream && p.MayStream(commandText);
  if (served && p.ChecksColumnsBeforeStreaming && StreamingDescribesOtherwise(commandText))
    served = false;
  if (served) return FConnection.Get();
  if (!FRanStatement) {
    // Nothing ran yet: the connection is made again the plain way instead.
    const Road plain = FTarget->PlainRoad();
    OdbcHandle connection = Connect(plain);
    FreeStatements();
    SQLDisconnect(FConnection.Get());  // it has not run a statement
    FConnection = std::move(connection);
    FRoad = plain;
    CheckProfile();
    return FConnection.Get();
  }
  if (FPlainConnection.IsNull()) FPlainConnection = Connect(FTarget->PlainRoad());
  return FPlainConnection.Get();
}

OdbcHandle OdbcConnection::Connect(const Road& road) {
  const BusyTimeout busy = PlanBusyTimeout(road.ConnectionString, LockMetJustNow());
  OdbcHandle connection = OdbcHandle::Allocate(SQL_HANDLE_DBC, OdbcEnvironment());
  if (road.LoginTimeoutSeconds > 0)
    OdbcCheck(SQLSetConnectAttrW(
                  connection.Get(), SQL_ATTR_LOGIN_TIMEOUT,
                  reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(road.LoginTimeoutSeconds)),
                  SQL_IS_UINTEGER),
              SQL_HANDLE_DBC, connection.Get());
  QElapsedTimer waited;
  waited.start();
  const SQLRETURN rc =
      StoppableConnect(connection, ToSqlWChar(busy.ConnectionString), FControl.get());
  if (SQL_SUCCEEDED(rc)) {
    // The SQLite driver reads the schema on connecting and, finding the database locked, waits
    // its time-out out and connects all the same: a connect that took that long met the lock.
    if (busy.WaitMs >= 100 && waited.elapsed() >= busy.WaitMs - 20) FLockMet.start();
    return connection;
  }
  EOleException error = OdbcError(rc, SQL_HANDLE_DBC, connection.Get());
  // The drivers' own words for it ("timeout expired", "Lost connection ... system error: 110")
  // do not always say that it was the time-out that ended the wait.
  if (road.DefaultTimeout && waited.elapsed() >= road.LoginTimeoutSeconds * 1000 - 500)
    throw EOleException(QStringLiteral("Connecting gave up after %1 seconds without an answer "
                                       "from the server: %2")
                            .arg(road.LoginTimeoutSeconds)
                            .arg(error.Message()),
                        error.ErrorCode(), error.Source(), error.SqlState());
  throw error;
}

void OdbcConnection::Close() {
  if (!IsOpen()) return;
  FreeStatements();
  if (!FPlainConnection.IsNull()) {
    SQLDisconnect(FPlainConnection.Get());
    FPlainConnection.Free();
  }
  SQLHDBC dbc = FConnection.Get();
  std::exception_ptr failure;
  try {
    if (InTransaction())
      OdbcCheck(SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK), SQL_HANDLE_DBC, dbc);
  } catch (...) {
    failure = std::current_exception();
  }
  try {
    OdbcCheck(SQLDisconnect(dbc), SQL_HANDLE_DBC, dbc);
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  FConnection.Free();
  if (failure) std::rethrow_exception(failure);
}

bool OdbcConnection::InTransaction() const {
  if (!IsOpen()) return false;
  // The layer never switches auto-commit off itself; when someone has, work may be pending.
  SQLULEN autoCommit = SQL_AUTOCOMMIT_ON;
  if (!SQL_SUCCEEDED(
          SQLGetConnectAttr(FConnection.Get(), SQL_ATTR_AUTOCOMMIT, &autoCommit, 0, nullptr)))
    return false;
  return autoCommit == SQL_AUTOCOMMIT_OFF;
}

bool OdbcConnection::LockMetJustNow() const {
  // The steps of one statement follow one another within moments.
  return FLockMet.isValid() && FLockMet.elapsed() < 2000;
}

void OdbcConnection::RequireOpen() const {
  if (!IsOpen())
    throw ProviderError(QStringLiteral("Operation is not allowed when the object is closed"));
}

std::shared_ptr<OdbcStatement> OdbcConnection::NewStatement(SQLHDBC connection) {
  RequireOpen();
  auto statement = std::make_shared<OdbcStatement>();
  statement->Handle = OdbcHandle::Allocate(SQL_HANDLE_STMT, connection);
  statement->GetDataExtensions = FGetDataExtensions;
  statement->Profile = FProfile;
  statement->Control = FControl;
  std::erase_if(FStatements, [](const std::weak_ptr<OdbcStatement>& s) { return s.expired(); });
  FStatements.push_back(statement);
  return statement;
}

void OdbcConnection::FreeStatements() noexcept {
  for (const std::weak_ptr<OdbcStatement>& weak : FStatements)
    if (std::shared_ptr<OdbcStatement> statement = weak.lock()) statement->Handle.Free();
  FStatements.clear();
}

QString OdbcConnection::SentText(const QString& commandText) const {
  return FProfile->SetStatementHidesRows ? WithSetStatementHidden(commandText) : commandText;
}

void OdbcConnection::CheckServed(const QString& commandText) const {
  CheckStatementText(commandText);
  const QString refusal = UnservedStatementRefusal(FProfile->Family, commandText);
  if (!refusal.isEmpty()) throw ProviderError(refusal);
}

std::vector<ParameterInfo> OdbcConnection::DescribeParameters(const QString& commandText) {
  CheckServed(commandText);
  std::shared_ptr<OdbcStatement> statement = NewStatement(FConnection.Get());
  SQLHSTMT stmt = statement->Handle.Get();
  std::vector<SQLWCHAR> text = ToSqlWChar(SentText(commandText));
  if (LockMetJustNow()) throw LockedError(QStringLiteral("[SQLite]database is locked"));
  // Preparing may wait on the server as long as a statement does.
  const SQLHSTMT interruptible = FProfile->CancelClosesStatement ? nullptr : stmt;
  SQLSMALLINT count = 0;
  try {
    RunCancellable(FControl.get(), interruptible, [&] {
      OdbcCheck(SQLPrepareW(stmt, text.data(), SQL_NTS), SQL_HANDLE_STMT, stmt);
      OdbcCheck(SQLNumParams(stmt, &count), SQL_HANDLE_STMT, stmt);
    });
  } catch (const EOleException& error) {
    if (!IsLockedError(FProfile->Family, error)) throw;
    FLockMet.start();
    throw LockedError(error.Message());
  }
  std::vector<ParameterInfo> parameters;
  for (SQLSMALLINT i = 1; i <= count; ++i) {
    ColumnDescription column;
    OdbcCheck(SQLDescribeParam(stmt, static_cast<SQLUSMALLINT>(i), &column.SqlType,
                               &column.ColumnSize, &column.DecimalDigits, &column.Nullable),
              SQL_HANDLE_STMT, stmt);
    const FieldInfo field = DescribeField(column);
    ParameterInfo parameter;
    // ODBC markers carry no names.
    parameter.Name = QStringLiteral("Param%1").arg(i);
    parameter.Type = field.Type;
    parameter.Size = field.DefinedSize;
    parameter.Precision = field.Precision == 255 ? 0 : field.Precision;
    parameter.NumericScale = field.NumericScale == 255 ? 0 : field.NumericScale;
    parameter.Direction = adParamInput;
    const FetchKind kind = PlanOf(column, ProfileOf(DriverFamily::Unknown)).Kind;
    if (column.Nullable != SQL_NO_NULLS) parameter.Attributes |= adParamNullable;
    if (kind == FetchKind::Int || kind == FetchKind::Double || field.Type == adNumeric)
      parameter.Attributes |= adParamSigned;
    if (field.Attributes & adFldLong) parameter.Attributes |= adParamLong;
    parameters.push_back(parameter);
  }
  return parameters;
}

std::unique_ptr<Recordset> OdbcConnection::Execute(const QString& commandText,
                                                   const std::vector<ParameterInfo>& parameters) {
  RequireOpen();
  CheckServed(commandText);
  const SQLHDBC connection = HandleFor(commandText, !parameters.empty());
  const bool streams = FRoad.Streams && connection == FConnection.Get();
  FRanStatement = true;
  std::shared_ptr<OdbcStatement> statement = NewStatement(connection);
  // The lock was met and waited for moments ago, by the probe or on connecting: waiting again
  // would only double the wait.
  if (LockMetJustNow()) {
    FLockMet.invalidate();
    throw LockedError(QStringLiteral("[SQLite]database is locked"));
  }
  SQLHSTMT stmt = statement->Handle.Get();
  // Parameters carry no values: each is sent as a typed NULL.
  statement->ParameterIndicators.assign(parameters.size(), SQL_NULL_DATA);
  for (size_t i = 0; i < parameters.size(); ++i) {
    const ParameterInfo& p = parameters[i];
    OdbcCheck(SQLBindParameter(stmt, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_CHAR,
                               SqlTypeOf(p.Type), static_cast<SQLULEN>(std::max<qint64>(p.Size, 1)),
                               static_cast<SQLSMALLINT>(p.NumericScale), nullptr, 0,
                               &statement->ParameterIndicators[i]),
              SQL_HANDLE_STMT, stmt);
  }
  std::vector<SQLWCHAR> text = ToSqlWChar(SentText(commandText));
  // A driver that closes the statement inside SQLCancel, under the feet of the thread that runs
  // it, is stopped by the flag alone: there the stop waits for the statement's first rows.
  const SQLHSTMT interruptible = FProfile->CancelClosesStatement ? nullptr : stmt;
  try {
    RunCancellable(FControl.get(), interruptible, [&] {
      const SQLRETURN rc = SQLExecDirectW(stmt, text.data(), SQL_NTS);
      if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
      EOleException error = OdbcError(rc, SQL_HANDLE_STMT, stmt);
      if (streams && FTarget->Profile().ReparsesSyntaxErrors && error.SqlState() == "42601")
        throw Reparsed(commandText, std::move(error));
      throw error;
    });
    return OdbcRecordset::FromCurrentResult(std::move(statement));
  } catch (const EOleException& error) {
    if (!IsLockedError(FProfile->Family, error)) throw;
    throw LockedError(error.Message());
  }
}

EOleException OdbcConnection::Reparsed(const QString& commandText, EOleException error) {
  // A syntax error means nothing of the text ran; PREPARE parses it alone and runs nothing
  // either. The name is the layer's own and freed again if the text parses after all.
  OdbcHandle statement = OdbcHandle::Allocate(SQL_HANDLE_STMT, FConnection.Get());
  std::vector<SQLWCHAR> text =
      ToSqlWChar(QStringLiteral("PREPARE rowmill_syntax_check AS ") + commandText);
  const SQLRETURN rc = SQLExecDirectW(statement.Get(), text.data(), SQL_NTS);
  if (!SQL_SUCCEEDED(rc)) return OdbcError(rc, SQL_HANDLE_STMT, statement.Get());
  OdbcHandle deallocate = OdbcHandle::Allocate(SQL_HANDLE_STMT, FConnection.Get());
  std::vector<SQLWCHAR> drop = ToSqlWChar(QStringLiteral("DEALLOCATE rowmill_syntax_check"));
  SQLExecDirectW(deallocate.Get(), drop.data(), SQL_NTS);
  return error;
}

void OdbcConnection::Cancel() noexcept {
  FControl->Cancel();
}

void OdbcConnection::ClearCancel() noexcept {
  FControl->Clear();
}

qint64 OdbcConnection::RowsFetched() const noexcept {
  return FControl->Rows();
}

}  // namespace ado
