#include "platform/ado/OdbcConnection.h"

#include "platform/ado/BusyTimeout.h"
#include "platform/ado/OdbcCheck.h"
#include "platform/ado/OdbcEnvironment.h"
#include "platform/ado/OdbcLimits.h"
#include "platform/ado/OdbcRecordset.h"
#include "platform/ado/OdbcText.h"
#include "platform/ado/StreamingOption.h"
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

void OdbcConnection::Open(const QString& connectionString) {
  if (IsOpen())
    throw ProviderError(QStringLiteral("Operation is not allowed when the object is open"));
  const QString resolved = ResolveConnectionString(connectionString);
  CheckConnectionString(resolved,
                        IsDataLinkReference(connectionString)
                            ? QStringLiteral("The connection string in the data link file \"%1\"")
                                  .arg(DataLinkReferencePath(connectionString))
                            : QStringLiteral("The connection string"));
  StreamingPlan streaming = PlanStreaming(resolved);
  // The option must not make a string the drivers can take into one they cannot.
  if (streaming.ConnectionString.size() > kMaxConnectionStringLength) streaming = {};
  const bool onConnection = !streaming.ConnectionString.isEmpty() && !streaming.QueriesOnly;
  OdbcHandle connection = ConnectWith(onConnection ? streaming.ConnectionString : resolved);
  SQLUINTEGER extensions = 0;
  if (SQL_SUCCEEDED(SQLGetInfo(connection.Get(), SQL_GETDATA_EXTENSIONS, &extensions,
                               sizeof extensions, nullptr)))
    FGetDataExtensions = extensions;
  SQLWCHAR dbms[64] = {};
  SQLSMALLINT dbmsBytes = 0;
  // What the driver says it reaches decides how its values are read.
  FFamily = DriverFamily::Unknown;
  if (SQL_SUCCEEDED(SQLGetInfoW(connection.Get(), SQL_DBMS_NAME, dbms, sizeof dbms, &dbmsBytes))) {
    const QString name = FromSqlWChar(dbms, qMin<qsizetype>(dbmsBytes / 2, 63));
    if (name == QLatin1String("SQLite")) FFamily = DriverFamily::SQLite;
    if (name == QLatin1String("PostgreSQL")) FFamily = DriverFamily::PostgreSQL;
    if (name == QLatin1String("MariaDB") || name == QLatin1String("MySQL"))
      FFamily = DriverFamily::MariaDB;
  }
  FQueries = streaming.QueriesOnly ? streaming : StreamingPlan{};
  FRanStatement = false;
  FConnection = std::move(connection);
}

SQLHDBC OdbcConnection::HandleFor(const QString& commandText) {
  // A query reads through a second connection that streams its rows. That one sees what is
  // committed and nothing of this connection's own (temporary tables, settings, a transaction),
  // so only the first statement of a connection may go there.
  const bool first = !std::exchange(FRanStatement, true);
  if (FQueries.ConnectionString.isEmpty() || !FQueries.Serves(commandText) || !first ||
      InTransaction())
    return FConnection.Get();
  if (FQueryConnection.IsNull()) {
    try {
      FQueryConnection = ConnectWith(FQueries.ConnectionString);
    } catch (const EOleException&) {
      FQueries = {};  // the driver refuses the option: read as it buffers
      return FConnection.Get();
    }
  }
  return FQueryConnection.Get();
}

OdbcHandle OdbcConnection::ConnectWith(const QString& connectionString) {
  const BusyTimeout busy = PlanBusyTimeout(connectionString, LockMetJustNow());
  const LoginTimeout timeout = PlanLoginTimeout(busy.ConnectionString, FLoginTimeoutSeconds);
  OdbcHandle connection = OdbcHandle::Allocate(SQL_HANDLE_DBC, OdbcEnvironment());
  if (timeout.AttributeSeconds > 0)
    OdbcCheck(SQLSetConnectAttrW(
                  connection.Get(), SQL_ATTR_LOGIN_TIMEOUT,
                  reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout.AttributeSeconds)),
                  SQL_IS_UINTEGER),
              SQL_HANDLE_DBC, connection.Get());
  QElapsedTimer waited;
  waited.start();
  Connect(connection, timeout);
  // The SQLite driver reads the schema on connecting and, finding the database locked, waits
  // its time-out out and connects all the same: a connect that took that long met the lock.
  if (busy.WaitMs >= 100 && waited.elapsed() >= busy.WaitMs - 20) FLockMet.start();
  return connection;
}

void OdbcConnection::Connect(const OdbcHandle& connection, const LoginTimeout& timeout) {
  std::vector<SQLWCHAR> text = ToSqlWChar(timeout.ConnectionString);
  SQLWCHAR completed[1024];
  SQLSMALLINT completedLength = 0;
  QElapsedTimer waited;
  waited.start();
  // No prompt, whatever the string holds: there is no window to prompt in.
  const SQLRETURN rc = SQLDriverConnectW(connection.Get(), nullptr, text.data(), SQL_NTS, completed,
                                         static_cast<SQLSMALLINT>(std::size(completed)),
                                         &completedLength, SQL_DRIVER_NOPROMPT);
  if (SQL_SUCCEEDED(rc)) return;
  EOleException error = OdbcError(rc, SQL_HANDLE_DBC, connection.Get());
  // The drivers' own words for it ("timeout expired", "Lost connection ... system error: 110")
  // do not always say that it was the time-out that ended the wait.
  if (timeout.IsDefault && waited.elapsed() >= timeout.AttributeSeconds * 1000 - 500)
    throw EOleException(QStringLiteral("Connecting gave up after %1 seconds without an answer "
                                       "from the server: %2")
                            .arg(timeout.AttributeSeconds)
                            .arg(error.Message()),
                        error.ErrorCode(), error.Source(), error.SqlState());
  throw error;
}

void OdbcConnection::Close() {
  if (!IsOpen()) return;
  FreeStatements();
  if (!FQueryConnection.IsNull()) {
    SQLDisconnect(FQueryConnection.Get());  // it only ever read
    FQueryConnection.Free();
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
  statement->Family = FFamily;
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

void OdbcConnection::CheckServed(const QString& commandText) const {
  CheckStatementText(commandText);
  const QString refusal = UnservedStatementRefusal(FFamily, commandText);
  if (!refusal.isEmpty()) throw ProviderError(refusal);
}

std::vector<ParameterInfo> OdbcConnection::DescribeParameters(const QString& commandText) {
  CheckServed(commandText);
  std::shared_ptr<OdbcStatement> statement = NewStatement(FConnection.Get());
  SQLHSTMT stmt = statement->Handle.Get();
  std::vector<SQLWCHAR> text = ToSqlWChar(commandText);
  if (LockMetJustNow()) throw LockedError(QStringLiteral("[SQLite]database is locked"));
  try {
    OdbcCheck(SQLPrepareW(stmt, text.data(), SQL_NTS), SQL_HANDLE_STMT, stmt);
  } catch (const EOleException& error) {
    if (!IsLockedError(FFamily, error)) throw;
    FLockMet.start();
    throw LockedError(error.Message());
  }
  SQLSMALLINT count = 0;
  OdbcCheck(SQLNumParams(stmt, &count), SQL_HANDLE_STMT, stmt);
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
    const FetchKind kind = PlanOf(column, DriverFamily::Unknown).Kind;
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
  std::shared_ptr<OdbcStatement> statement = NewStatement(HandleFor(commandText));
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
  std::vector<SQLWCHAR> text = ToSqlWChar(commandText);
  // SQLite's driver closes the statement inside SQLCancel, under the feet of the thread that
  // runs it: there the stop waits for the statement's first rows.
  const SQLHSTMT interruptible = FFamily == DriverFamily::SQLite ? nullptr : stmt;
  try {
    RunCancellable(FControl.get(), interruptible, [&] {
      OdbcCheck(SQLExecDirectW(stmt, text.data(), SQL_NTS), SQL_HANDLE_STMT, stmt);
    });
    return OdbcRecordset::FromCurrentResult(std::move(statement));
  } catch (const EOleException& error) {
    if (!IsLockedError(FFamily, error)) throw;
    throw LockedError(error.Message());
  }
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
