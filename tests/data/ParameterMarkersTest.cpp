#include "data/ParameterMarkers.h"

#include <gtest/gtest.h>

TEST(ParameterMarkers, NamedMarkersBecomeQuestionMarks) {
  const ParsedCommand p = ParseParameterMarkers("select * from t where a = :a and b=:bee;");
  EXPECT_EQ(p.Text, "select * from t where a = ? and b=?;");
  EXPECT_EQ(p.Names, QStringList({"a", "bee"}));
}

TEST(ParameterMarkers, QuotedTextAndDoubleColonsPassUnchanged) {
  const ParsedCommand p =
      ParseParameterMarkers("select ':x', \"col:y\", `z:w`, a::text, '10:30' from t where id=:id");
  EXPECT_EQ(p.Text, "select ':x', \"col:y\", `z:w`, a::text, '10:30' from t where id=?");
  EXPECT_EQ(p.Names, QStringList({"id"}));
}

TEST(ParameterMarkers, UnclosedQuoteRunsToTheEnd) {
  const ParsedCommand p = ParseParameterMarkers("select 'it:s open");
  EXPECT_EQ(p.Text, "select 'it:s open");
  EXPECT_TRUE(p.Names.isEmpty());
}

TEST(ParameterMarkers, QuotedNamesIncludeTheirClosingQuote) {
  const ParsedCommand p = ParseParameterMarkers("where a=:\"my name\" and b=:'x y'z");
  EXPECT_EQ(p.Text, "where a=? and b=?z");
  EXPECT_EQ(p.Names, QStringList({"my name", "x y"}));
  const ParsedCommand open = ParseParameterMarkers("where a=:`unfinished");
  EXPECT_EQ(open.Text, "where a=?");
  EXPECT_EQ(open.Names, QStringList({"unfinished"}));
}

TEST(ParameterMarkers, NamesEndAtSeparatorsAndMayBeEmpty) {
  const ParsedCommand p = ParseParameterMarkers("f(:a,:b)\n:c\r:d :");
  EXPECT_EQ(p.Text, "f(?,?)\n?\r? ?");
  EXPECT_EQ(p.Names, QStringList({"a", "b", "c", "d", ""}));
  // Other punctuation belongs to the name.
  const ParsedCommand q = ParseParameterMarkers("x=:a+1");
  EXPECT_EQ(q.Text, "x=?");
  EXPECT_EQ(q.Names, QStringList({"a+1"}));
}

TEST(ParameterMarkers, RepeatedNamesAreListedEachTime) {
  const ParsedCommand p = ParseParameterMarkers(":a :a :::b");
  // ":::b" is "::" copied, then a marker ":b".
  EXPECT_EQ(p.Text, "? ? ::?");
  EXPECT_EQ(p.Names, QStringList({"a", "a", "b"}));
}
