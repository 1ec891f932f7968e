#include "platform/ado/SetStatement.h"

#include <gtest/gtest.h>

TEST(SetStatement, OnlyAnUnambiguousPrefixGoesIntoTheComment) {
  struct Case {
    const char* Statement;
    const char* Sent;
  };
  const Case cases[] = {
      {"SET STATEMENT max_statement_time=30 FOR SELECT 1 AS a",
       "/*!SET STATEMENT max_statement_time=30 FOR*/ SELECT 1 AS a"},
      {"  -- why\n set  statement a=1, b='x for y' for\nSELECT 2",
       "  -- why\n /*!set  statement a=1, b='x for y' for*/\nSELECT 2"},
      {"SET STATEMENT sql_mode='it''s' FOR SELECT 'FOR'",
       "/*!SET STATEMENT sql_mode='it''s' FOR*/ SELECT 'FOR'"},
      {"SET STATEMENT a=(1) FOR SELECT 1", "/*!SET STATEMENT a=(1) FOR*/ SELECT 1"},
      // Left as written: no prefix, a comment or "*/" in it, no FOR, an unclosed quote.
      {"SET @a = 1", "SET @a = 1"},
      {"SELECT 1 FOR UPDATE", "SELECT 1 FOR UPDATE"},
      {"SET STATEMENT a=1 /* c */ FOR SELECT 1", "SET STATEMENT a=1 /* c */ FOR SELECT 1"},
      {"SET STATEMENT a='*/' FOR SELECT 1", "SET STATEMENT a='*/' FOR SELECT 1"},
      {"SET STATEMENT a='x FOR SELECT 1", "SET STATEMENT a='x FOR SELECT 1"},
      {"SET STATEMENT a=1 FORX SELECT 1", "SET STATEMENT a=1 FORX SELECT 1"},
      {"SET STATEMENTS a=1 FOR SELECT 1", "SET STATEMENTS a=1 FOR SELECT 1"},
      {"SET STATEMENT a=1 FOR", "SET STATEMENT a=1 FOR"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Statement);
    EXPECT_EQ(ado::WithSetStatementHidden(QString::fromLatin1(c.Statement)).toStdString(), c.Sent);
  }
}
