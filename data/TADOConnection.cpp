#include "data/TADOConnection.h"

#include "base/Exceptions.h"
#include "data/TADODataSet.h"
#include "platform/ado/AdoInterfaces.h"

namespace {

const char kCreateFailure[] =
    "Error creating object.  Please verify that the ODBC driver manager (unixODBC 2.3 or later) "
    "has been properly installed";
// adErrObjectOpen: the layer refuses to change an open connection's string.
constexpr qint32 kObjectOpen = static_cast<qint32>(0x800A0E79);

std::unique_ptr<ado::Connection> CreateProvider() {
  std::unique_ptr<ado::Connection> provider;
  try {
    provider = ado::CreateConnection();
  } catch (const Exception& e) {
    throw Exception(QString::fromLatin1(kCreateFailure), e);
  }
  if (!provider) throw Exception(QString::fromLatin1(kCreateFailure));
  return provider;
}

}  // namespace

TADOConnection::TADOConnection(QObject* owner) : QObject(owner), FProvider(CreateProvider()) {}

TADOConnection::~TADOConnection() {
  for (TADODataSet* dataSet : FDataSets) dataSet->FConnection = nullptr;
  FDataSets.clear();
  try {
    Close();
  } catch (...) {
    // A destructor must not throw; the layer drops the connection with its handles anyway.
  }
}

QString TADOConnection::ConnectionString() const {
  return FConnectionString;
}

void TADOConnection::SetConnectionString(const QString& value) {
  if (value == FConnectionString) return;
  if (Connected())
    throw EOleException(QStringLiteral("Operation is not allowed when the object is open"),
                        kObjectOpen);
  FConnectionString = value;
}

bool TADOConnection::Connected() const {
  return FProvider->IsOpen();
}

void TADOConnection::SetConnected(bool value) {
  if (value == Connected()) return;
  if (value)
    Open();
  else
    Close();
}

void TADOConnection::Open() {
  Open(ado::Purpose{});
}

void TADOConnection::Open(const ado::Purpose& purpose) {
  if (const std::function<void()> open = OpenWork(purpose)) open();
}

std::function<void()> TADOConnection::OpenWork(const ado::Purpose& purpose) {
  if (Connected()) return {};
  // The layer never prompts: a user name and password come only inside the string.
  return [provider = FProvider.get(), text = FConnectionString, purpose] {
    provider->Open(text, purpose);
  };
}

void TADOConnection::Close() {
  // Open data sets stay open: their results are already in memory.
  if (!FProvider->IsOpen()) return;
  FProvider->Close();  // rolls back a transaction in progress first
}

bool TADOConnection::InTransaction() const {
  return FProvider->IsOpen() && FProvider->InTransaction();
}

ado::Connection& TADOConnection::Provider() {
  return *FProvider;
}

void TADOConnection::RegisterDataSet(TADODataSet* dataSet) {
  if (!FDataSets.contains(dataSet)) FDataSets.append(dataSet);
}

void TADOConnection::UnregisterDataSet(TADODataSet* dataSet) {
  FDataSets.removeAll(dataSet);
}

void TADOConnection::ReleaseCheck() {
  if (!Connected() || FKeepConnection || InTransaction()) return;
  for (const TADODataSet* dataSet : FDataSets)
    if (dataSet->Active() || dataSet->ReasonCount() > 0) return;
  Close();
}
