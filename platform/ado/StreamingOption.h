#pragma once

#include "platform/ado/DriverFamily.h"

#include <QString>

namespace ado {

// How a connection can ask its driver to hand rows over as they are read instead of holding the
// whole result (SQLite StepAPI, psqlODBC declare/fetch, MariaDB NO_CACHE).
struct StreamingPlan {
  // The connection string with the option; empty when the string (or its data source) names no
  // such driver, or sets the option itself.
  QString ConnectionString;
  // The option serves some statements only, which then run on a connection of their own:
  // SQLite's StepAPI leaves statements unrun that yield no rows (WITH ... INSERT, PRAGMA x = y);
  // psqlODBC's cursors refuse SELECT ... INTO, data-changing WITH, and a last line that is a
  // comment.
  bool QueriesOnly = false;
  DriverFamily Family = DriverFamily::Unknown;

  // Whether the option serves the statement (always, unless QueriesOnly).
  bool Serves(const QString& commandText) const;
};

StreamingPlan PlanStreaming(const QString& connectionString);

// Whether a statement is a plain query: its first word, after blanks and comments, is SELECT.
bool IsPlainQuery(const QString& commandText);

}  // namespace ado
