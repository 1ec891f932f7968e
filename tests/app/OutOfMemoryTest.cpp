#include "ExportTestSupport.h"

#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "tests/support/FakeAdo.h"
#include "tests/support/ScopedValue.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>

#include <sys/resource.h>
#include <unistd.h>

#include <vector>

// Running out of memory while a statement runs or a save writes is reported, the target file is
// kept and the program goes on. The test runs again in a child process with a limited address
// space, so its allocations fail without starving anything else.

namespace {

const char kChild[] = "ROWMILL_OUT_OF_MEMORY_CHILD";

// Lets the process grow by at most this much more until the scope ends.
ScopedRestore LimitedGrowth(qint64 bytes) {
  QFile statm(QStringLiteral("/proc/self/statm"));
  EXPECT_TRUE(statm.open(QIODevice::ReadOnly));
  const qint64 pages = statm.readAll().split(' ').value(0).toLongLong();
  rlimit limit{};
  EXPECT_EQ(getrlimit(RLIMIT_AS, &limit), 0);
  const rlimit previous = limit;
  limit.rlim_cur = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + bytes);
  EXPECT_EQ(setrlimit(RLIMIT_AS, &limit), 0);
  return ScopedRestore([previous] { setrlimit(RLIMIT_AS, &previous); });
}

class OutOfMemory : public FakeExport {
 protected:
  void Execute(const QString& sql) {
    Form->reSQL->setPlainText(sql);
    Form->btnExecute->click();
  }
};

}  // namespace

TEST_F(OutOfMemory, ExecuteAndSaveReportItAndGoOn) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than any limit allows";
#endif
  if (!qEnvironmentVariableIsSet(kChild)) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChild), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    // Another test may have left this process in a folder that is gone by now.
    child.setWorkingDirectory(QDir::tempPath());
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=OutOfMemory.*")});
    ASSERT_TRUE(child.waitForFinished(300000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
    return;
  }

  Form->ADOConnection->SetConnectionString("DSN=fake");
  // The statement's result needs more memory than is left.
  fake->DuringExecute = [] {
    std::vector<char> result(1 << 30, 'x');
    // Letting the buffer's address escape keeps an optimiser from leaving the allocation out.
    [[maybe_unused]] static char* volatile escaped;
    escaped = result.data();
  };
  {
    const ScopedRestore limit = LimitedGrowth(300 << 20);
    Execute("SELECT everything");
  }
  EXPECT_EQ(Errors, QStringList({"Out of memory."}));
  EXPECT_FALSE(Form->ADODataSet->Active());
  EXPECT_TRUE(Form->isEnabled());
  Errors.clear();

  // A value of 100 MB opens; writing it for the file takes more than is left.
  fake->DuringExecute = nullptr;
  const QString value(50 << 20, u'x');
  std::vector<std::vector<ado::Value>> rows(2, {fakeado::Text(value)});
  fake->Results.push_back(fakeado::Table({fakeado::Field("v", ado::adVarWChar, 255)}, rows));
  Execute("SELECT v");
  ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  const QString path = PathOf("kept.csv");
  Write(path, "precious");
  {
    const ScopedRestore limit = LimitedGrowth(100 << 20);
    Export(path);
  }
  EXPECT_EQ(Errors, QStringList({"Out of memory."}));
  EXPECT_EQ(Contents(path), QByteArray("precious"));
  EXPECT_TRUE(Form->isEnabled());
  EXPECT_TRUE(Form->ADODataSet->Active());

  // The program goes on.
  Errors.clear();
  fake->Results.push_back(
      fakeado::Table({fakeado::Field("n", ado::adInteger)}, {{fakeado::Int(42)}}));
  Execute("SELECT n");
  Export(path);
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  EXPECT_EQ(Contents(path), QByteArray("42\r\n"));
}
