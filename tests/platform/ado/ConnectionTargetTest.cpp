#include "platform/ado/ConnectionTarget.h"

#include <gtest/gtest.h>

using ado::ConnectionTarget;

// The road each statement takes, decided from the string and the statement before connecting:
// the driver's streaming option only where it changes nothing a user sees, the user's own
// settings untouched, the time-out where the string sets none.
TEST(ConnectionTarget, RoadsAreDecidedFromTheStringAndTheStatement) {
  struct Case {
    const char* String;
    const char* Statement;
    bool Parameters;
    const char* Road;
    int TimeoutSeconds;
  };
  const Case cases[] = {
      {"DRIVER=SQLite3;Database=a.db", "SELECT 1", false, "DRIVER=SQLite3;Database=a.db;StepAPI=1",
       15},
      {"DRIVER=SQLite3;Database=a.db;", " /* c */ select 1", false,
       "DRIVER=SQLite3;Database=a.db;StepAPI=1", 15},
      // StepAPI leaves a statement without rows unrun; a string's own setting has the last word.
      {"DRIVER=SQLite3;Database=a.db", "PRAGMA user_version = 3", false,
       "DRIVER=SQLite3;Database=a.db", 15},
      {"DRIVER=SQLite3;Database=a.db;StepAPI=0", "SELECT 1", false,
       "DRIVER=SQLite3;Database=a.db;StepAPI=0", 15},
      {"DRIVER=SQLite3;Database=a.db", "SELECT ?", true, "DRIVER=SQLite3;Database=a.db", 15},
      {"DRIVER={PostgreSQL Unicode};Server=h", "SELECT 1", false,
       "DRIVER={PostgreSQL Unicode};Server=h;UseDeclareFetch=1;Fetch=10000", 15},
      {"DRIVER={PostgreSQL Unicode};Server=h;Fetch=50", "SELECT 1;  ", false,
       "DRIVER={PostgreSQL Unicode};Server=h;Fetch=50;UseDeclareFetch=1", 15},
      // Unfinished texts, several statements, comments, dollar quotes and markers go plain.
      {"DRIVER={PostgreSQL Unicode};Server=h", "SELECT 'abc", false,
       "DRIVER={PostgreSQL Unicode};Server=h", 15},
      {"DRIVER={PostgreSQL Unicode};Server=h", "SELECT 1 /* a /* b */ */", false,
       "DRIVER={PostgreSQL Unicode};Server=h", 15},
      {"DRIVER={PostgreSQL Unicode};Server=h", "SELECT 1; SELECT 2", false,
       "DRIVER={PostgreSQL Unicode};Server=h", 15},
      {"DRIVER={PostgreSQL Unicode};Server=h", "SELECT 1 -- x", false,
       "DRIVER={PostgreSQL Unicode};Server=h", 15},
      {"DRIVER={PostgreSQL Unicode};Server=h", "SELECT $$a$$", false,
       "DRIVER={PostgreSQL Unicode};Server=h", 15},
      {"DRIVER={PostgreSQL Unicode};Server=h", "SELECT E'it\\'s'", false,
       "DRIVER={PostgreSQL Unicode};Server=h", 15},
      {"DRIVER={PostgreSQL Unicode};Server=h", "SELECT 1 WHERE ? IS NULL", true,
       "DRIVER={PostgreSQL Unicode};Server=h", 15},
      {"DRIVER={PostgreSQL Unicode};Server=h;pqopt={connect_timeout=3}", "", false,
       "DRIVER={PostgreSQL Unicode};Server=h;pqopt={connect_timeout=3}", 0},
      // MariaDB streams every statement and learns the time-out from a keyword of its own.
      {"DRIVER={MariaDB Unicode};Server=h", "", false,
       "DRIVER={MariaDB Unicode};Server=h;NO_CACHE=1;FORWARDONLY=1;CONN_TIMEOUT=15", 15},
      {"DRIVER={MariaDB Unicode};Server=h;CONN_TIMEOUT=3", "INSERT INTO t VALUES (1)", false,
       "DRIVER={MariaDB Unicode};Server=h;CONN_TIMEOUT=3;NO_CACHE=1;FORWARDONLY=1", 0},
      {"DRIVER={MariaDB Unicode};Server=h;FORWARDONLY=0", "SELECT 1", false,
       "DRIVER={MariaDB Unicode};Server=h;FORWARDONLY=0;NO_CACHE=1;CONN_TIMEOUT=15", 15},
      {"DRIVER={No Such Driver};Server=h", "SELECT 1", false, "DRIVER={No Such Driver};Server=h",
       15},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.String) + " | " + c.Statement);
    const ado::Road road = ConnectionTarget::Resolve(QString::fromLatin1(c.String))
                               .RoadFor(QString::fromLatin1(c.Statement), c.Parameters);
    EXPECT_EQ(road.ConnectionString.toStdString(), c.Road);
    EXPECT_EQ(road.LoginTimeoutSeconds, c.TimeoutSeconds);
  }
}
