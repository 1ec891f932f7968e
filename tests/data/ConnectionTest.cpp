#include "base/Exceptions.h"
#include "data/TADOConnection.h"
#include "tests/support/FakeAdo.h"
#include "tests/support/ScopedValue.h"

#include <gtest/gtest.h>

TEST(Connection, OpensWithItsStringAndClosesOnDestruction) {
  fakeado::ScopedFakeAdo fake;
  {
    TADOConnection c;
    c.SetConnectionString("DSN=one;Uid=u;Pwd=p");
    EXPECT_EQ(c.ConnectionString(), "DSN=one;Uid=u;Pwd=p");
    c.SetConnected(true);
    EXPECT_TRUE(c.Connected());
    c.SetConnected(true);
    c.Open();
    EXPECT_EQ(fake->OpenCalls, 1);
    EXPECT_EQ(fake->OpenedWith, QStringList({"DSN=one;Uid=u;Pwd=p"}));
  }
  EXPECT_EQ(fake->OpenNow, 0);
  EXPECT_EQ(fake->Created, 1);
}

TEST(Connection, ChangingTheStringOfAnOpenConnectionIsRefused) {
  fakeado::ScopedFakeAdo fake;
  TADOConnection c;
  c.SetConnectionString("DSN=one");
  c.Open();
  EXPECT_NO_THROW(c.SetConnectionString("DSN=one"));  // equal text: nothing
  try {
    c.SetConnectionString("DSN=two");
    FAIL();
  } catch (const EOleException& e) {
    EXPECT_EQ(e.Message(), "Operation is not allowed when the object is open");
  }
  EXPECT_EQ(c.ConnectionString(), "DSN=one");
  c.Close();
  c.SetConnectionString("dsn=one");  // differs in case: a change
  EXPECT_EQ(c.ConnectionString(), "dsn=one");
}

TEST(Connection, FailedOpenLeavesItClosedWithTheDriversText) {
  fakeado::ScopedFakeAdo fake;
  fake->OpenFailure = "could not connect to server";
  TADOConnection c;
  try {
    c.SetConnected(true);
    FAIL();
  } catch (const EOleException& e) {
    EXPECT_EQ(e.Message(), "could not connect to server");
  }
  EXPECT_FALSE(c.Connected());
}

TEST(Connection, TransactionStateComesFromTheLayer) {
  fakeado::ScopedFakeAdo fake;
  fake->InTransaction = true;
  TADOConnection c;
  EXPECT_FALSE(c.InTransaction());
  c.Open();
  EXPECT_TRUE(c.InTransaction());
  c.Close();
  EXPECT_FALSE(c.Connected());
}

TEST(Connection, CreationFailureNamesTheDriverManager) {
  const ScopedRestore factory = ScopedSet(
      &ado::SetConnectionFactory, []() -> std::unique_ptr<ado::Connection> { return nullptr; });
  try {
    TADOConnection c;
    ADD_FAILURE() << "created";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(),
              "Error creating object.  Please verify that the ODBC driver manager (unixODBC 2.3 "
              "or later) has been properly installed");
  }
}
