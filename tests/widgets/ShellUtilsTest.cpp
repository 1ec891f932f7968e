#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

#include "tests/support/ScopedValue.h"
#include "widgets/ShellUtils.h"

namespace {

class ShellUtilsTest : public ::testing::Test {
 protected:
  std::vector<ShellRequest> requests;
  ScopedRestore handler =
      ScopedSet(&SetShellRequestHandler, [this](const ShellRequest& r) { requests.push_back(r); });
};

TEST_F(ShellUtilsTest, OpenDocumentAsksForTheTargetAloneInTheNormalShowMode) {
  OpenDocument(QStringLiteral("https://rowmill.org/"));
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, QStringLiteral("https://rowmill.org/"));
  EXPECT_TRUE(requests[0].parameters.isEmpty());
  EXPECT_FALSE(requests[0].parameters.isNull());
  EXPECT_TRUE(requests[0].directory.isEmpty());
  EXPECT_FALSE(requests[0].directory.isNull());
  EXPECT_EQ(requests[0].showCommand, SW_SHOWNORMAL);
}

TEST_F(ShellUtilsTest, ShellOpenPassesEverythingUnchanged) {
  ShellOpen(QStringLiteral("doc.txt"), QStringLiteral(" -a  b "), QStringLiteral("/tmp/x y"), 3);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, QStringLiteral("doc.txt"));
  EXPECT_EQ(requests[0].parameters, QStringLiteral(" -a  b "));
  EXPECT_EQ(requests[0].directory, QStringLiteral("/tmp/x y"));
  EXPECT_EQ(requests[0].showCommand, 3);
}

TEST_F(ShellUtilsTest, ReplacingTheHandlerReturnsThePreviousOne) {
  int other = 0;
  ShellRequestHandler mine = SetShellRequestHandler([&other](const ShellRequest&) { ++other; });
  OpenDocument(QStringLiteral("a"));
  SetShellRequestHandler(mine);
  OpenDocument(QStringLiteral("b"));
  EXPECT_EQ(other, 1);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, QStringLiteral("b"));
}

// Without a handler the request really goes out: a program is started with its parameters in
// the given directory.
TEST(ShellUtilsProgramTest, ProgramTargetRunsWithParametersInTheDirectory) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString script = folder.filePath(QStringLiteral("write.sh"));
  QFile file(script);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("#!/bin/sh\necho \"$1|$2\" > \"$(pwd)/out.txt\"\n");
  file.close();
  file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  ShellOpen(QStringLiteral("write.sh"), QStringLiteral("one \"two three\""), folder.path(),
            SW_SHOWNORMAL);
  const QString out = folder.filePath(QStringLiteral("out.txt"));
  QFile result(out);
  EXPECT_TRUE(QTest::qWaitFor([&result] { return result.exists() && result.size() > 0; }, 5000));
  ASSERT_TRUE(result.open(QIODevice::ReadOnly));
  EXPECT_EQ(result.readAll().trimmed(), QByteArray("one|two three"));
}

}  // namespace
