#pragma once

#include <QString>

#include <exception>
#include <memory>

// Failures are exceptions of this hierarchy. Each carries its message and, optionally, the
// exception that caused it; the error box shows the innermost non-empty message.
class Exception : public std::exception {
 public:
  explicit Exception(QString message);
  Exception(QString message, const Exception& inner);
  Exception(const Exception&) = default;
  Exception& operator=(const Exception&) = default;
  ~Exception() override;

  const QString& Message() const { return FMessage; }
  // The exception that caused this one, or null.
  const Exception* InnerException() const { return FInner.get(); }
  const char* what() const noexcept override;

  // A copy of the dynamic type, so an exception can be kept as another's inner exception.
  virtual std::shared_ptr<const Exception> Clone() const;

 private:
  QString FMessage;
  std::shared_ptr<const Exception> FInner;
  QByteArray FWhat;
};

#define ROWMILL_EXCEPTION_CLASS(Name, Base)                   \
  class Name : public Base {                                  \
   public:                                                    \
    using Base::Base;                                         \
    std::shared_ptr<const Exception> Clone() const override { \
      return std::make_shared<Name>(*this);                   \
    }                                                         \
  }

// A silent stop: the error box shows nothing for it.
ROWMILL_EXCEPTION_CLASS(EAbort, Exception);
// The data set's own messages.
ROWMILL_EXCEPTION_CLASS(EDatabaseError, Exception);
// A decimal value that cannot be rendered.
ROWMILL_EXCEPTION_CLASS(EBcdOverflowException, Exception);

// A failing platform call with its error code.
class EOleSysError : public Exception {
 public:
  EOleSysError(QString message, qint32 errorCode);
  qint32 ErrorCode() const { return FErrorCode; }
  std::shared_ptr<const Exception> Clone() const override;

 private:
  qint32 FErrorCode;
};

// An error that the database layer or its driver reports, in the driver's words.
class EOleException : public EOleSysError {
 public:
  EOleException(QString message, qint32 errorCode, QString source = {}, QString sqlState = {});
  const QString& Source() const { return FSource; }
  // The ODBC SQLSTATE of the diagnostic, when there was one.
  const QString& SqlState() const { return FSqlState; }
  std::shared_ptr<const Exception> Clone() const override;

 private:
  QString FSource;
  QString FSqlState;
};
