#include "platform/ado/OdbcHandle.h"

#include "platform/ado/OdbcCheck.h"

#include <sqlext.h>

#include <utility>

namespace ado {

OdbcHandle::OdbcHandle(OdbcHandle&& other) noexcept
    : FType(other.FType), FHandle(std::exchange(other.FHandle, nullptr)) {}

OdbcHandle& OdbcHandle::operator=(OdbcHandle&& other) noexcept {
  if (this != &other) {
    Free();
    FType = other.FType;
    FHandle = std::exchange(other.FHandle, nullptr);
  }
  return *this;
}

OdbcHandle OdbcHandle::Allocate(SQLSMALLINT type, SQLHANDLE parent) {
  SQLHANDLE handle = SQL_NULL_HANDLE;
  const SQLRETURN rc = SQLAllocHandle(type, parent, &handle);
  if (!SQL_SUCCEEDED(rc)) {
    // The diagnostics of a failed allocation sit on the parent.
    const SQLSMALLINT parentType = type == SQL_HANDLE_ENV   ? SQL_HANDLE_ENV
                                   : type == SQL_HANDLE_DBC ? SQL_HANDLE_ENV
                                                            : SQL_HANDLE_DBC;
    throw OdbcError(rc, parentType, parent);
  }
  return OdbcHandle(type, handle);
}

void OdbcHandle::Free() noexcept {
  if (FHandle != SQL_NULL_HANDLE) {
    SQLFreeHandle(FType, FHandle);
    FHandle = SQL_NULL_HANDLE;
  }
}

}  // namespace ado
