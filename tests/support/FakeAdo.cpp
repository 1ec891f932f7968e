#include "tests/support/FakeAdo.h"

#include "base/Exceptions.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace fakeado {

namespace {
constexpr qint32 kFakeError = static_cast<qint32>(0x80004005);  // E_FAIL
}

FakeRecordset::FakeRecordset(ResultData resultData) : FData(std::move(resultData)) {}

int FakeRecordset::FieldCount() const {
  return FData.Open ? static_cast<int>(FData.Fields.size()) : 0;
}

const ado::FieldInfo& FakeRecordset::Field(int index) const {
  return FData.Fields.at(static_cast<size_t>(index));
}

qint64 FakeRecordset::RecordCount() const {
  if (!FData.Open || FData.UnknownRecordCount) return -1;
  return static_cast<qint64>(FData.Rows.size());
}

ado::Value FakeRecordset::GetValue(qint64 row, int column) const {
  for (const FailingCell& cell : FData.FailingCells)
    if (cell.Row == row && cell.Column == column) throw EOleException(cell.Message, kFakeError);
  if (FData.OnRead) FData.OnRead(row, column);
  const auto& values = FData.Rows.at(static_cast<size_t>(row));
  if (column < 0 || static_cast<size_t>(column) >= values.size()) return {};
  return values[static_cast<size_t>(column)];
}

ado::ValueRef FakeRecordset::Peek(qint64 row, int column) const {
  FPeeked = GetValue(row, column);
  ado::ValueRef ref = ado::RefOf(FPeeked);
  const bool text = ref.kind == ado::Value::Kind::Text || ref.kind == ado::Value::Kind::Guid;
  if (text && FPeeked.Text.isValidUtf16()) {
    FPeekedUtf8 = FPeeked.Text.toUtf8();
    ref.Data = FPeekedUtf8.constData();
    ref.Size = FPeekedUtf8.size();
    ref.Wide = false;
  }
  return ref;
}

std::unique_ptr<ado::Recordset> FakeRecordset::NextRecordset() {
  if (FData.NextFailure) throw EOleException(*FData.NextFailure, kFakeError);
  if (FData.Next.empty()) return nullptr;
  ResultData next = std::move(FData.Next.front());
  // The rest of the batch follows the next result.
  std::vector<ResultData> rest(std::make_move_iterator(FData.Next.begin() + 1),
                               std::make_move_iterator(FData.Next.end()));
  FData.Next.clear();
  for (ResultData& r : rest) next.Next.push_back(std::move(r));
  return std::make_unique<FakeRecordset>(std::move(next));
}

ado::FieldInfo Field(const QString& name, int type, qint64 definedSize, int attributes) {
  ado::FieldInfo f;
  f.Name = name;
  f.Type = type;
  f.DefinedSize = definedSize;
  f.Attributes = attributes;
  return f;
}

ado::Value Null() {
  return {};
}

ado::Value Int(qint64 v) {
  ado::Value r;
  r.kind = ado::Value::Kind::Int;
  r.Int = v;
  return r;
}

ado::Value UInt(quint64 v) {
  ado::Value r;
  r.kind = ado::Value::Kind::UInt;
  r.UInt = v;
  return r;
}

ado::Value Dbl(double v) {
  ado::Value r;
  r.kind = ado::Value::Kind::Double;
  r.Double = v;
  return r;
}

ado::Value Bool(bool v) {
  ado::Value r;
  r.kind = ado::Value::Kind::Bool;
  r.Bool = v;
  return r;
}

ado::Value Text(const QString& v) {
  ado::Value r;
  r.kind = ado::Value::Kind::Text;
  r.Text = v;
  return r;
}

ado::Value Bytes(const QByteArray& v) {
  ado::Value r;
  r.kind = ado::Value::Kind::Bytes;
  r.Bytes = v;
  return r;
}

ado::Value Date(double daysSince1899) {
  const double days = std::floor(daysSince1899);
  const auto ms = std::llround((daysSince1899 - days) * 86400000.0);
  const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(days));
  const QTime time = QTime(0, 0).addMSecs(static_cast<int>(ms));
  const QString timeText = time.toString(ms % 1000 ? u"HH:mm:ss.zzz" : u"HH:mm:ss");
  if (ms == 0) return Text(date.toString(u"yyyy-MM-dd"));
  if (days == 0) return Text(timeText);
  return Text(date.toString(u"yyyy-MM-dd") + u' ' + timeText);
}

ado::Value Currency(qint64 tenThousandths) {
  const auto bits = static_cast<quint64>(tenThousandths);
  const quint64 magnitude = tenThousandths < 0 ? 0 - bits : bits;
  return Text(QStringLiteral("%1%2.%3")
                  .arg(tenThousandths < 0 ? QStringLiteral("-") : QString())
                  .arg(magnitude / 10000)
                  .arg(magnitude % 10000, 4, 10, QChar(u'0')));
}

ado::Value Guid(const QString& braced) {
  ado::Value r;
  r.kind = ado::Value::Kind::Guid;
  r.Text = braced;
  return r;
}

ado::Value Decimal(const QString& text) {
  return Text(text);
}

ado::DecimalValue DecimalDigits(const QString& text) {
  ado::DecimalValue r;
  QString t = text;
  if (t.startsWith(u'-')) {
    r.Negative = true;
    t.remove(0, 1);
  }
  const qsizetype point = t.indexOf(u'.');
  if (point >= 0) {
    r.Scale = static_cast<int>(t.size() - point - 1);
    t.remove(point, 1);
  }
  r.Digits = t.toLatin1();
  return r;
}

ResultData Table(std::vector<ado::FieldInfo> fields, std::vector<std::vector<ado::Value>> rows) {
  ResultData s;
  s.Fields = std::move(fields);
  s.Rows = std::move(rows);
  return s;
}

ResultData NoRows() {
  ResultData s;
  s.Open = false;
  return s;
}

FakeConnection::FakeConnection(std::shared_ptr<Script> script) : FScript(std::move(script)) {
  ++FScript->Created;
}

FakeConnection::~FakeConnection() {
  if (FOpen) --FScript->OpenNow;
}

void FakeConnection::Open(const QString& connectionString, const ado::Purpose&) {
  ++FScript->OpenCalls;
  FScript->OpenedWith << connectionString;
  if (FScript->OpenFailure) throw EOleException(*FScript->OpenFailure, kFakeError);
  if (!FOpen) ++FScript->OpenNow;
  FOpen = true;
}

void FakeConnection::Close() {
  ++FScript->CloseCalls;
  const bool wasOpen = FOpen;
  if (FOpen) --FScript->OpenNow;
  FOpen = false;
  if (wasOpen && FScript->CloseFailure) throw EOleException(*FScript->CloseFailure, kFakeError);
}

bool FakeConnection::InTransaction() const {
  return FOpen && FScript->InTransaction;
}

void FakeConnection::CheckOpen() const {
  if (!FOpen) throw EOleException(QStringLiteral("Connection is closed"), kFakeError);
}

std::vector<ado::ParameterInfo> FakeConnection::DescribeParameters(const QString& commandText) {
  CheckOpen();
  FScript->Described << commandText;
  if (FScript->DescribeFailure) throw EOleException(*FScript->DescribeFailure, kFakeError);
  if (FScript->ParameterLists.empty()) return {};
  auto list = std::move(FScript->ParameterLists.front());
  FScript->ParameterLists.pop_front();
  return list;
}

std::unique_ptr<ado::Recordset> FakeConnection::Execute(
    const QString& commandText, const std::vector<ado::ParameterInfo>& parameters) {
  CheckOpen();
  FScript->Executed << commandText;
  FScript->ExecutedParameters.push_back(parameters);
  if (FScript->DuringExecute) FScript->DuringExecute();
  if (FScript->Cancelled) throw EAbort(QStringLiteral("Operation cancelled"));
  if (FScript->ExecuteFailure) throw EOleException(*FScript->ExecuteFailure, kFakeError);
  if (FScript->Results.empty()) return std::make_unique<FakeRecordset>(NoRows());
  ResultData resultData = std::move(FScript->Results.front());
  FScript->Results.pop_front();
  return std::make_unique<FakeRecordset>(std::move(resultData));
}

ScopedFakeAdo::ScopedFakeAdo()
    : FScript(std::make_shared<Script>()),
      FFactory(ScopedSet(&ado::SetConnectionFactory,
                         [script = FScript]() -> std::unique_ptr<ado::Connection> {
                           return std::make_unique<FakeConnection>(script);
                         })) {}

}  // namespace fakeado
