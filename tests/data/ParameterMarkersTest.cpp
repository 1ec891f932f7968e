#include "data/ParameterMarkers.h"

#include <gtest/gtest.h>

TEST(ParameterMarkers, MarkersBecomeQuestionMarksAndEverythingElsePassesUnchanged) {
  struct Case {
    QString Statement;
    QString Sent;  // empty: the statement passes unchanged
    QStringList Names;
  };
  const Case cases[] = {
      {"select * from t where a = :a and b=:bee;",
       "select * from t where a = ? and b=?;",
       {"a", "bee"}},
      {"select ':x', \"col:y\", `z:w`, a::text, '10:30' from t where id=:id",
       "select ':x', \"col:y\", `z:w`, a::text, '10:30' from t where id=?",
       {"id"}},
      {"select 'it:s open", {}, {}},
      // A quoted name runs to its closing quote, which the marker includes.
      {"where a=:\"my name\" and b=:'x y'z", "where a=? and b=?z", {"my name", "x y"}},
      {"where a=:`unfinished", "where a=?", {"unfinished"}},
      // Names end at line breaks, blanks, ")", "," and ";"; other punctuation belongs to them.
      {"f(:a,:b)\n:c\r:d :_e", "f(?,?)\n?\r? ?", {"a", "b", "c", "d", "_e"}},
      {"x=:a+1", "x=?", {"a+1"}},
      {":a :a :::b", "? ? ::?", {"a", "a", "b"}},
      // A colon before anything but a letter, an underscore or a quote is no marker.
      {"SET @a := 1; SELECT @a:=2, a[1:2], a[:3], '12' || :", {}, {}},
      // PostgreSQL strings with escapes, dollar-quoted strings and comments.
      {"SELECT E'it\\'s :x', e'\\\\', :y", "SELECT E'it\\'s :x', e'\\\\', ?", {"y"}},
      {"SELECT $$a:b$$, $fn$ :x $$ :y $fn$, :z", "SELECT $$a:b$$, $fn$ :x $$ :y $fn$, ?", {"z"}},
      {"SELECT $1, a$b$:c", "SELECT $1, a$b$?", {"c"}},
      {"SELECT 1 -- :not\n, :yes /* :no\n:never */ :last",
       "SELECT 1 -- :not\n, ? /* :no\n:never */ ?",
       {"yes", "last"}},
      {"SELECT $$ open :x", {}, {}},
      {"SELECT 1 /* open :x", {}, {}},
      {"SELECT name'x:y'", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Statement.toStdString());
    const ParsedCommand parsed = ParseParameterMarkers(c.Statement);
    EXPECT_EQ(parsed.Text.toStdString(), (c.Sent.isEmpty() ? c.Statement : c.Sent).toStdString());
    EXPECT_EQ(parsed.Names, c.Names);
  }
}
