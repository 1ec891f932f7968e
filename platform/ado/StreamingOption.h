#pragma once

#include <QString>

namespace ado {

// How a connection can ask its driver to hand rows over as they are read instead of holding the
// whole result (SQLite StepAPI, psqlODBC declare/fetch, MariaDB NO_CACHE).
struct StreamingPlan {
  // The connection string with the option; empty when the string (or its data source) names no
  // such driver, or sets the option itself.
  QString ConnectionString;
  // The option serves plain SELECT statements only: SQLite's StepAPI leaves other statements
  // that yield no rows (WITH ... INSERT, PRAGMA x = y) unrun.
  bool QueriesOnly = false;
};

StreamingPlan PlanStreaming(const QString& connectionString);

// Whether a statement is a plain query: its first word, after blanks and comments, is SELECT.
bool IsPlainQuery(const QString& commandText);

}  // namespace ado
