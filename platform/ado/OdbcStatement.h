#pragma once

#include "platform/ado/DriverProfile.h"
#include "platform/ado/OdbcHandle.h"
#include "platform/ado/StatementControl.h"
#include "platform/ado/TypeMapping.h"

#include <memory>
#include <vector>

namespace ado {

// A statement handle and what has to live as long as it may still be executed or walked: the
// indicators of its parameters. Shared by the recordsets of one batch; the connection frees the
// handle when it closes, before it disconnects.
struct OdbcStatement {
  OdbcHandle Handle;
  std::vector<SQLLEN> ParameterIndicators;
  // The driver's SQL_GETDATA_EXTENSIONS: where SQLGetData may be used besides plain rows.
  SQLUINTEGER GetDataExtensions = 0;
  const DriverProfile* Profile = &ProfileOf(DriverFamily::Unknown);
  // The connection's: lets another thread stop the statement and count its rows.
  std::shared_ptr<StatementControl> Control;
};

}  // namespace ado
