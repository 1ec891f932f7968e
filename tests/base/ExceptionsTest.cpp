#include "base/Exceptions.h"
#include "base/Messages.h"

#include <gtest/gtest.h>

TEST(Messages, ComponentMessageNamesTheComponentFirst) {
  EXPECT_EQ(ComponentMessage("ADODataSet", "Missing CommandText property"),
            "ADODataSet: Missing CommandText property");
  // Placeholders in the parts are not expanded again.
  EXPECT_EQ(ComponentMessage("a%2", "%1b"), "a%2: %1b");
}

TEST(Messages, TrimMessageEndDropsBlanksControlsAndFullStops) {
  EXPECT_EQ(TrimMessageEnd("Syntax error. \r\n"), "Syntax error");
  EXPECT_EQ(TrimMessageEnd("a . .\t"), "a");
  EXPECT_EQ(TrimMessageEnd("Done!"), "Done!");
  EXPECT_EQ(TrimMessageEnd("..."), "");
  EXPECT_EQ(TrimMessageEnd(""), "");
  EXPECT_EQ(TrimMessageEnd("x.y"), "x.y");
}

TEST(Messages, OleErrorTextHasEightHexDigits) {
  EXPECT_EQ(OleErrorText(0x80004005), "OLE error 80004005");
  EXPECT_EQ(OleErrorText(1), "OLE error 00000001");
}

TEST(Exceptions, InnerExceptionKeepsItsDynamicType) {
  const EOleException driver("connection refused", 5, "ODBC", "08001");
  const Exception outer("outer", driver);
  ASSERT_NE(outer.InnerException(), nullptr);
  const auto* inner = dynamic_cast<const EOleException*>(outer.InnerException());
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Message(), "connection refused");
  EXPECT_EQ(inner->ErrorCode(), 5);
  EXPECT_EQ(inner->SqlState(), "08001");
  EXPECT_STREQ(outer.what(), "outer");
}

TEST(Exceptions, CloneOfMacroClassesKeepsType) {
  const EAbort abort("");
  EXPECT_NE(dynamic_cast<const EAbort*>(abort.Clone().get()), nullptr);
  const EDatabaseError db("x");
  EXPECT_NE(dynamic_cast<const EDatabaseError*>(db.Clone().get()), nullptr);
}
