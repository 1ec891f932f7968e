#include "base/Exceptions.h"

#include <utility>

Exception::Exception(QString message) : FMessage(std::move(message)), FWhat(FMessage.toUtf8()) {}

Exception::Exception(QString message, const Exception& inner)
    : FMessage(std::move(message)), FInner(inner.Clone()), FWhat(FMessage.toUtf8()) {}

Exception::~Exception() = default;

const char* Exception::what() const noexcept {
  return FWhat.constData();
}

std::shared_ptr<const Exception> Exception::Clone() const {
  return std::make_shared<Exception>(*this);
}

EOleSysError::EOleSysError(QString message, qint32 errorCode)
    : Exception(std::move(message)), FErrorCode(errorCode) {}

std::shared_ptr<const Exception> EOleSysError::Clone() const {
  return std::make_shared<EOleSysError>(*this);
}

EOleException::EOleException(QString message, qint32 errorCode, QString source, QString sqlState)
    : EOleSysError(std::move(message), errorCode),
      FSource(std::move(source)),
      FSqlState(std::move(sqlState)) {}

std::shared_ptr<const Exception> EOleException::Clone() const {
  return std::make_shared<EOleException>(*this);
}
