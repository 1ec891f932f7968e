#include "platform/ado/AdoInterfaces.h"
#include "platform/ado/OdbcConnection.h"

#include <utility>

namespace ado {

static ConnectionFactory& InstalledFactory() {
  static ConnectionFactory factory;
  return factory;
}

ValueRef Recordset::Peek(qint64 row, int column) const {
  FPeeked = GetValue(row, column);
  return RefOf(FPeeked);
}

std::unique_ptr<Connection> CreateConnection() {
  const ConnectionFactory& factory = InstalledFactory();
  if (factory) return factory();
  return std::make_unique<OdbcConnection>();
}

ConnectionFactory SetConnectionFactory(ConnectionFactory factory) {
  return std::exchange(InstalledFactory(), std::move(factory));
}

}  // namespace ado
