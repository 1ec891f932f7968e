#pragma once

#include <sql.h>

namespace ado {

// Owns one ODBC handle. Freeing never throws: a failing SQLFreeHandle leaves nothing to recover.
class OdbcHandle {
 public:
  OdbcHandle() = default;
  OdbcHandle(SQLSMALLINT type, SQLHANDLE handle) : FType(type), FHandle(handle) {}
  ~OdbcHandle() { Free(); }
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;
  OdbcHandle(OdbcHandle&& other) noexcept;
  OdbcHandle& operator=(OdbcHandle&& other) noexcept;

  // Allocates a handle of the type under the parent; failure is an EOleException.
  static OdbcHandle Allocate(SQLSMALLINT type, SQLHANDLE parent);

  SQLSMALLINT Type() const { return FType; }
  SQLHANDLE Get() const { return FHandle; }
  bool IsNull() const { return FHandle == nullptr; }
  // Frees the handle now; afterwards the owner is empty.
  void Free() noexcept;
  // Gives the handle up without freeing it; afterwards the owner is empty.
  SQLHANDLE Release() noexcept {
    SQLHANDLE handle = FHandle;
    FHandle = nullptr;
    return handle;
  }

 private:
  SQLSMALLINT FType = 0;
  SQLHANDLE FHandle = nullptr;
};

}  // namespace ado
