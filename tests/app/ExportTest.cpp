#include "ExportTestSupport.h"

#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TField.h"
#include "platform/CodePage.h"
#include "tests/support/FakeAdo.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ScopedValue.h"
#include "widgets/TDBGrid.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <clocale>
#include <csignal>
#include <functional>

using namespace fakeado;

// The export runs through the Save button with the dialog answered at once.
void ExportTest::Export(const QString& path, const QString& fileType) {
  QTimer::singleShot(0, [path, fileType] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    if (!fileType.isEmpty()) dialog->selectNameFilter(fileType);
    // Typed into the name box as a user would, whatever the dialog remembered.
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText(path);
    // An existing file brings the overwrite question, answered yes.
    QTimer::singleShot(0, [] {
      if (auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
        question->button(QMessageBox::Yes)->click();
    });
    static_cast<QDialog*>(dialog)->accept();
  });
  Form->btnSave->click();
}

void ExportTest::Delimit(int index, const QString& custom) {
  Form->cbxDelimiter->setCurrentIndex(index);
  Form->edtCustomDelimiter->setText(custom);
}

namespace {

TEST(QuoteValue, OnlyAddsTheQuotes) {
  EXPECT_EQ(QuoteValue("abc"), "\"abc\"");
  EXPECT_EQ(QuoteValue(""), "\"\"");
  EXPECT_EQ(QuoteValue("a\"b\""), "\"a\"b\"\"");
}

TEST_F(FakeExport, ChecksComeBeforeTheDialog) {
  Form->btnSave->click();
  EXPECT_EQ(Errors, QStringList({"Dataset not open."}));
  Errors.clear();
  ResultData unknown = Table({Field("a", ado::adInteger)}, {{Int(1)}});
  unknown.UnknownRecordCount = true;
  Open(unknown);
  Form->btnSave->click();
  EXPECT_EQ(Errors, QStringList({"No records to export."}));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(FakeExport, TabExampleIsByteExact) {
  Open(Table({Field("s", ado::adVarChar, 10), Field("i", ado::adInteger)},
             {{Text("abc"), Int(12)}, {Text(""), Int(-1)}, {Null(), Null()}}));
  EXPECT_EQ(ExportBytes(), QByteArray("\"abc\"\t12\r\n\"\"\t-1\r\n\"\"\t\r\n"));
}

TEST_F(FakeExport, NonStringValuesAreQuotedOnlyWhenTheyHoldTheDelimiter) {
  const ResultData result = Table({Field("w", ado::adVarWChar, 20), Field("d", ado::adDouble)},
                                  {{Text("a,b"), Dbl(1.5)}, {Text("a\tb"), Dbl(2)}});
  Open(result);
  Delimit(2);
  EXPECT_EQ(ExportBytes(), QByteArray("\"a,b\",1.5\r\na\tb,2\r\n"));
  Delimit(0);
  EXPECT_EQ(ExportBytes(), QByteArray("a,b\t1.5\r\n\"a\tb\"\t2\r\n"));
  Delimit(1);
  EXPECT_EQ(ExportBytes(), QByteArray("a,b 1.5\r\na\tb 2\r\n"));
}

TEST_F(FakeExport, CustomDelimiterIsUsedWholeAndMatchedExactly) {
  Open(Table({Field("w", ado::adVarWChar, 20), Field("s", ado::adChar, 3)},
             {{Text("x; y"), Text("ab ")}, {Text("x;y"), Text("q\"")}, {Text("X;Y"), Null()}}));
  Delimit(3, "; ");
  EXPECT_EQ(ExportBytes(), QByteArray("\"x; y\"; \"ab \"\r\nx;y; \"q\"\"\r\nX;Y; \"\"\r\n"));
  // A custom text is ignored unless the custom item is chosen.
  Form->cbxDelimiter->setCurrentIndex(2);
  EXPECT_EQ(ExportBytes(), QByteArray("x; y,\"ab \"\r\nx;y,\"q\"\"\r\nX;Y,\"\"\r\n"));
  // A case-sensitive match: "y" does not occur in "X;Y".
  Delimit(3, "y");
  EXPECT_EQ(ExportBytes(), QByteArray("\"x; y\"y\"ab \"\r\n\"x;y\"y\"q\"\"\r\nX;Yy\"\"\r\n"));
}

TEST_F(FakeExport, EmptyCustomDelimiterJoinsDirectly) {
  Open(Table(
      {Field("i", ado::adInteger), Field("s", ado::adVarChar, 5), Field("m", ado::adLongVarChar)},
      {{Int(1), Text("a"), Text("memo")}}));
  Delimit(3, "");
  EXPECT_EQ(ExportBytes(), QByteArray("1\"a\"\"<BLOB>\"\r\n"));
}

TEST_F(FakeExport, LargeObjectsAreNeverRead) {
  ResultData result = Table({Field("m", ado::adLongVarChar), Field("wm", ado::adLongVarWChar),
                             Field("b", ado::adLongVarBinary), Field("vb", ado::adVarBinary, 4)},
                            {{Text("memo"), Null(), Bytes("\x01\x02"), Bytes("\xab\xcd")},
                             {Null(), Text("wide"), Null(), Null()}});
  // Reading a large object's value would fail: the export must not touch it.
  result.FailingCells = {{0, 0, "read m"}, {1, 1, "read wm"}, {0, 2, "read b"}};
  Open(result);
  const QByteArray bounded = codepage::FromUnicode(Form->ADODataSet->Fields(3)->AsString());
  EXPECT_EQ(ExportBytes(), QByteArray("\"<BLOB>\"\t\"<BLOB>\"\t\"<BLOB>\"\t") + bounded +
                               "\r\n\"<BLOB>\"\t\"<BLOB>\"\t\"<BLOB>\"\t\r\n");
  EXPECT_FALSE(bounded.isEmpty());
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
}

TEST_F(FakeExport, LineBreaksBecomeBlanksOrVanishAfterQuoting) {
  Open(Table({Field("s", ado::adVarChar, 20), Field("w", ado::adVarWChar, 20)},
             {{Text("a\r\nb"), Text("c\nd")}, {Text("e\rf"), Text("\r\n")}}));
  EXPECT_EQ(ExportBytes(), QByteArray("\"a b\"\tcd\r\n\"e f\"\t \r\n"));
  // In the delimiter as well; quoting was decided against the delimiter as it was.
  Form->ADODataSet->Close();
  Open(Table({Field("w", ado::adVarWChar, 20), Field("v", ado::adVarWChar, 20)},
             {{Text("x|\r\n|y"), Text("z")}}));
  Delimit(3, "|\r\n|");
  EXPECT_EQ(ExportBytes(), QByteArray("\"x| |y\"| |z\r\n"));
}

TEST_F(FakeExport, NoRecordsGiveAnEmptyFileAndOneFieldNoDelimiter) {
  Open(Table({Field("a", ado::adInteger)}));
  const QString path = PathOf("empty.csv");
  Write(path, "old content");
  Export(path);
  EXPECT_TRUE(Errors.isEmpty());
  EXPECT_EQ(Contents(path), QByteArray());
  Form->ADODataSet->Close();
  Open(Table({Field("a", ado::adInteger)}, {{Int(1)}, {Int(2)}}));
  Delimit(2);
  EXPECT_EQ(ExportBytes(), QByteArray("1\r\n2\r\n"));
}

TEST_F(FakeExport, FieldOrderFollowsMovedColumns) {
  Open(Table({Field("a", ado::adInteger), Field("b", ado::adInteger), Field("c", ado::adInteger)},
             {{Int(1), Int(2), Int(3)}}));
  Form->ADODataSet->MoveField(Form->ADODataSet->Fields(1), 0);
  EXPECT_EQ(ExportBytes(), QByteArray("2\t1\t3\r\n"));
}

TEST_F(FakeExport, WindowDuringAndAfterTheExport) {
  std::vector<std::vector<ado::Value>> rows;
  for (int i = 0; i < 50; ++i) rows.push_back({Int(i)});
  Open(Table({Field("a", ado::adInteger)}, rows));
  Form->show();
  Form->ADODataSet->MoveBy(7);
  bool enabled = true, shown = false, frozen = false;
  int maximum = 0;
  QTimer::singleShot(0, [path = PathOf("during.csv")] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(path);
    // Observed from inside the export, which dispatches events once per record.
    static_cast<QDialog*>(dialog)->accept();
  });
  auto observe = [&] {
    enabled = Form->isEnabled();
    shown = Form->ProgressBar->isVisible();
    frozen = Form->ADODataSet->ControlsDisabled();
    maximum = Form->ProgressBar->maximum();
  };
  QObject::connect(Form->ProgressBar, &QProgressBar::valueChanged, Form.get(), [&](int value) {
    if (value == 50) observe();
  });
  Form->btnSave->click();
  EXPECT_FALSE(enabled);
  EXPECT_TRUE(shown);
  EXPECT_TRUE(frozen);
  EXPECT_EQ(maximum, 50);
  EXPECT_TRUE(Form->isEnabled());
  EXPECT_FALSE(Form->ProgressBar->isVisible());
  EXPECT_EQ(Form->ProgressBar->value(), 50);
  EXPECT_FALSE(Form->ADODataSet->ControlsDisabled());
  EXPECT_EQ(Form->ADODataSet->RecordIndex(), 0);
  EXPECT_EQ(Form->DBGrid1->CurrentRecord(), 0);
}

TEST_F(FakeExport, WhileSavingInputIsDroppedAndTheWindowStaysOpen) {
  ResultData result = Table({Field("a", ado::adInteger)}, {{Int(1)}, {Int(2)}});
  // The last value is read just before the file is written, when no events are dispatched.
  auto saving = std::make_shared<bool>(false);
  result.OnRead = [this, saving](qint64 row, int) {
    if (*saving && row == 1) PostImpatientInput(*Form, false);
  };
  Open(result);
  Form->show();
  Form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  Form->reSQL->setFocus();
  const int executed = fake->Executed.size();
  *saving = true;
  EXPECT_EQ(ExportBytes(), QByteArray("1\r\n2\r\n"));
  QCoreApplication::processEvents();
  EXPECT_EQ(fake->Executed.size(), executed);
  EXPECT_EQ(Form->reSQL->toPlainText(), "SELECT");
  EXPECT_TRUE(Form->isVisible());
  // The keyboard focus is where it was.
  EXPECT_EQ(Form->focusWidget(), Form->reSQL);
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
}

TEST_F(FakeExport, AnEmptyResultShowsNoBusyAnimation) {
  Open(Table({Field("a", ado::adInteger)}));
  EXPECT_EQ(ExportBytes(), QByteArray());
  // The bar keeps the range it had; 0 to 0 would be the busy animation.
  EXPECT_EQ(Form->ProgressBar->minimum(), 0);
  EXPECT_GT(Form->ProgressBar->maximum(), 0);
}

TEST_F(FakeExport, EventsAreDispatchedWhileExporting) {
  std::vector<std::vector<ado::Value>> rows;
  for (int i = 0; i < 100000; ++i) rows.push_back({Int(i), Text("some text")});
  Open(Table({Field("a", ado::adInteger), Field("s", ado::adVarChar, 20)}, rows));
  Form->show();
  int ticksWhileDisabled = 0;
  QTimer ticker;
  ticker.setInterval(1);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    if (!Form->isEnabled()) ++ticksWhileDisabled;
  });
  ticker.start();
  QElapsedTimer timer;
  timer.start();
  const QByteArray bytes = ExportBytes();
  ticker.stop();
  EXPECT_EQ(bytes.count('\n'), 100000);
  // Once before the first record, and again every few milliseconds of a longer export.
  EXPECT_GE(ticksWhileDisabled, timer.elapsed() > 40 ? 2 : 1);
}

// The lines are written as they are built; megabytes of them are in the save file beside the
// target when a read fails, and the target keeps its bytes.
TEST_F(FakeExport, ReadFailureLeavesTheExistingFileAndCleansUp) {
  std::vector<std::vector<ado::Value>> rows(150000, {Text(QString(20, u'x'))});
  ResultData result = Table({Field("a", ado::adVarWChar, 20)}, rows);
  result.FailingCells = {{140000, 0, "driver lost the row"}};
  Open(result);
  Form->ADODataSet->Next();
  const QString path = PathOf("keep.csv");
  Write(path, "precious");
  Export(path);
  EXPECT_EQ(Errors, QStringList({"driver lost the row."}));
  EXPECT_EQ(Contents(path), QByteArray("precious"));
  EXPECT_TRUE(Form->isEnabled());
  EXPECT_FALSE(Form->ProgressBar->isVisible());
  EXPECT_EQ(Form->ADODataSet->RecordIndex(), 0);
  EXPECT_FALSE(Form->ADODataSet->ControlsDisabled());
  EXPECT_EQ(QDir(FFolder.path()).entryList(QDir::Files), QStringList({"keep.csv"}));
}

TEST_F(FakeExport, FileThatCannotBeCreated) {
  Open(Table({Field("a", ado::adInteger)}, {{Int(1)}}));
  const QString missing = PathOf("no/such/folder/x.csv");
  Export(missing);
  EXPECT_EQ(
      Errors,
      QStringList({QString("Cannot create file \"%1\". No such file or directory.").arg(missing)}));
  Errors.clear();
  // A place where nobody may create files, not even the superuser.
  Export("/proc/rowmill-export.csv");
  ASSERT_EQ(Errors.size(), 1);
  EXPECT_TRUE(Errors.first().startsWith("Cannot create file \"/proc/rowmill-export.csv\". "))
      << Errors.first().toStdString();
  EXPECT_FALSE(Errors.first().endsWith("..")) << "the system's text is trimmed";
  EXPECT_TRUE(Form->isEnabled());
}

TEST_F(FakeExport, FullDiskLeavesTheExistingFileUnchanged) {
  std::vector<std::vector<ado::Value>> rows;
  for (int i = 0; i < 2000; ++i) rows.push_back({Int(i)});
  Open(Table({Field("a", ado::adInteger)}, rows));
  const QString path = PathOf("full.csv");
  Write(path, "precious");
  // A file size limit makes every write past it fail as on a full disk.
  {
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const ScopedRestore limit([previous] { setrlimit(RLIMIT_FSIZE, &previous); });
    const ScopedRestore signal(
        [handler = std::signal(SIGXFSZ, SIG_IGN)] { std::signal(SIGXFSZ, handler); });
    rlimit small = previous;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Export(path);
  }
  EXPECT_EQ(Errors, QStringList({"Stream write error. File too large."}));
  EXPECT_EQ(Contents(path), QByteArray("precious"));
  EXPECT_EQ(QDir(FFolder.path()).entryList(QDir::Files), QStringList({"full.csv"}));
}

// What each kind of target becomes: a regular file is replaced (its owner, group and mode
// kept), a FIFO or a device is written and stays what it was, a hard-linked file is written in
// place; names that no file should have are refused.
TEST_F(FakeExport, SaveTargets) {
  Open(Table({Field("a", ado::adInteger)}, {{Int(5)}}));
  const bool root = geteuid() == 0;
  struct Case {
    const char* Name;
    std::function<QString()> Prepare;  // makes the target; returns the path to save to
    QString Error;                     // the expected message, %1 the path; empty: no error
    std::function<void(const QString&)> Check;
  };
  // The reading end is open before the save starts (a reader thread might come too late, and
  // then wait for ever); the few bytes wait in the pipe until the check reads them.
  int readEnd = -1;
  const auto fifo = [&](bool withReader) {
    const QString path = PathOf(withReader ? "read.fifo" : "unread.fifo");
    EXPECT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (withReader) readEnd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    return path;
  };
  const auto isFifo = [](const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
  };
  const QString longName = PathOf(QString(300, u'n') + ".csv");
  const Case cases[] = {
      {"FIFO with a reader",
       [&] { return fifo(true); },
       {},
       [&](const QString& path) {
         QFile file;
         ASSERT_TRUE(file.open(readEnd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
         EXPECT_EQ(file.readAll(), QByteArray("5\r\n"));
         EXPECT_TRUE(isFifo(path));
       }},
      {"FIFO nobody reads", [&] { return fifo(false); },
       "Cannot create file \"%1\". No such device or address: no program reads from it.",
       [&](const QString& path) { EXPECT_TRUE(isFifo(path)); }},
      // Through a link: the dialog would add ".csv" to the name "/dev/full".
      {"device that is full",
       [&] {
         EXPECT_TRUE(QFile::link("/dev/full", PathOf("full.csv")));
         return PathOf("full.csv");
       },
       "Stream write error. No space left on device.",
       [&](const QString& path) {
         struct stat info {};
         ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
         EXPECT_TRUE(S_ISCHR(info.st_mode));
       }},
      {"hard link",
       [&] {
         Write(PathOf("first.csv"), "old");
         EXPECT_TRUE(QFile::link(PathOf("first.csv"), PathOf("second.csv")) ||
                     ::link(QFile::encodeName(PathOf("first.csv")).constData(),
                            QFile::encodeName(PathOf("second.csv")).constData()) == 0);
         return PathOf("second.csv");
       },
       {},
       [&](const QString&) {
         EXPECT_EQ(Contents(PathOf("first.csv")), QByteArray("5\r\n"));
         EXPECT_EQ(Contents(PathOf("second.csv")), QByteArray("5\r\n"));
       }},
      {"symbolic link to a file",
       [&] {
         Write(PathOf("linked.csv"), "a much longer old content than the new one");
         EXPECT_TRUE(QFile::link(PathOf("linked.csv"), PathOf("link.csv")));
         return PathOf("link.csv");
       },
       {},
       [&](const QString& path) {
         EXPECT_TRUE(QFileInfo(path).isSymLink());
         EXPECT_EQ(Contents(PathOf("linked.csv")), QByteArray("5\r\n"));
       }},
      {"file of another owner",
       [&] {
         const QString path = PathOf("owned.csv");
         Write(path, "old");
         EXPECT_TRUE(QFile::setPermissions(
             path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup));
         if (root) {
           EXPECT_EQ(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
         }
         return path;
       },
       {},
       [&](const QString& path) {
         EXPECT_EQ(Contents(path), QByteArray("5\r\n"));
         EXPECT_EQ(QFile::permissions(path) & 0x0fff,
                   QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup | QFile::WriteGroup);
         struct stat info {};
         ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
         if (root) {
           EXPECT_EQ(info.st_uid, 65534u);
           EXPECT_EQ(info.st_gid, 65534u);
         }
       }},
      {"name with a line break", [&] { return PathOf("two\nlines.csv"); },
       "Cannot create file \"%1\". The name holds a line break or another control character.",
       [&](const QString&) {}},
      {"name too long", [&] { return longName; }, "Cannot create file \"%1\". File name too long.",
       [&](const QString&) {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Errors.clear();
    const QString path = c.Prepare();
    QElapsedTimer took;
    took.start();
    Export(path);
    EXPECT_LT(took.elapsed(), 5000);
    QString shown = path;
    shown.replace(u'\n', QChar::ReplacementCharacter);
    EXPECT_EQ(Errors, c.Error.isEmpty() ? QStringList() : QStringList({c.Error.arg(shown)}));
    c.Check(path);
  }
  // Nothing was left beside the targets.
  EXPECT_EQ(QDir(FFolder.path()).entryList(QDir::Files | QDir::System).size(), 8);
}

// A file that the user may write, in a folder where the user may create nothing, is written in
// place. As the superuser the save runs again as an unprivileged user, in a process of its own.
TEST_F(FakeExport, AFileInAFolderWithoutRoomForAnotherIsSavedInPlace) {
  const QString inherited = qEnvironmentVariable("ROWMILL_TEST_LOCKED_FOLDER");
  if (geteuid() == 0 && inherited.isEmpty()) {
    const QString folder = PathOf("locked");
    ASSERT_TRUE(QDir().mkdir(folder));
    Write(folder + "/in-place.csv", "old content, longer than the new one");
    ASSERT_EQ(::chown(QFile::encodeName(folder + "/in-place.csv").constData(), 65534, 65534), 0);
    const auto reachable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                           QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(FFolder.path(), reachable | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(folder, reachable | QFile::WriteOwner));
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ROWMILL_TEST_LOCKED_FOLDER", folder);
    child.setProcessEnvironment(environment);
    child.start("setpriv",
                {"--reuid=65534", "--regid=65534", "--clear-groups", "--",
                 QCoreApplication::applicationFilePath(),
                 "--gtest_filter=FakeExport.AFileInAFolderWithoutRoomForAnotherIsSavedInPlace"});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
    EXPECT_EQ(Contents(folder + "/in-place.csv"), QByteArray("7\r\n"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({"in-place.csv"}));
    return;
  }
  // Run by an unprivileged user: in the folder made above, or in one of its own made read-only.
  const QString folder = inherited.isEmpty() ? FFolder.path() : inherited;
  const auto owner = QFile::ReadOwner | QFile::ExeOwner;
  if (inherited.isEmpty()) {
    Write(folder + "/in-place.csv", "old content, longer than the new one");
    ASSERT_TRUE(QFile::setPermissions(folder, owner));
  }
  const ScopedRestore writable([folder, owner, inherited] {
    if (inherited.isEmpty()) QFile::setPermissions(folder, owner | QFile::WriteOwner);
  });
  Open(Table({Field("a", ado::adInteger)}, {{Int(7)}}));
  Export(folder + "/in-place.csv");
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  EXPECT_EQ(Contents(folder + "/in-place.csv"), QByteArray("7\r\n"));
}

// Characters the locale's set lacks become "?", and an unpaired surrogate, which no set holds,
// too; the grid shows what the file holds, read back in the same set.
TEST_F(FakeExport, TheGridShowsWhatTheFileHolds) {
  QString lone = QStringLiteral("a");
  lone += QChar(0xD800);
  const struct {
    const char* Locale;
    QString Value;
    QByteArray Expected;
  } cases[] = {
      {"de_DE.iso88591", QStringLiteral("caf\u00e9 \u20ac \u0142"), "caf\xe9 ? ?"},
      {"de_DE.iso88591", QStringLiteral("\U0001F600 ") + lone, "? a?"},
      {"C.UTF-8", QStringLiteral("caf\u00e9 \u20ac"), "caf\xc3\xa9 \xe2\x82\xac"},
      {"C.UTF-8", QStringLiteral("\U0001F600 ") + lone, "\xf0\x9f\x98\x80 a?"},
  };
  for (const auto& c : cases) {
    QByteArray bytes;
    QString shown, grid8, grid16;
    {
      const ScopedLocale locale(LC_ALL, c.Locale);
      if (!locale.Active()) continue;
      Open(Table({Field("s", ado::adVarChar, 20), Field("w", ado::adVarWChar, 20)},
                 {{Text(c.Value), Text(c.Value)}}));
      bytes = ExportBytes();
      shown = codepage::ToUnicode(c.Expected);
      grid8 = Form->ADODataSet->Fields(0)->DisplayTextAt(0);
      grid16 = Form->ADODataSet->Fields(1)->DisplayTextAt(0);
      Form->ADODataSet->Close();
    }
    EXPECT_EQ(bytes, '"' + c.Expected + "\"\t" + c.Expected + "\r\n") << c.Locale;
    EXPECT_EQ(grid8, shown) << c.Locale;
    EXPECT_EQ(grid16, shown) << c.Locale;
  }
  EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(FakeExport, TheDialogAsAUserDrivesIt) {
  Open(Table({Field("a", ado::adInteger)}, {{Int(1)}}));
  const ScopedRestore current = ScopedAssign(&QDir::currentPath, &QDir::setCurrent, FFolder.path());
  const QString target = PathOf("report.csv");
  Write(target, "old");
  QString startName;
  // Type a name without extension and accept; confirm the overwrite question.
  WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Save as CSV");
    dialog->setDirectory(FFolder.path());
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText("report");
    QTimer::singleShot(0, [] {
      auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(question, nullptr);
      question->button(QMessageBox::Yes)->click();
    });
    static_cast<QDialog*>(dialog)->accept();
  });
  Form->btnSave->click();
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  EXPECT_EQ(Contents(target), QByteArray("1\r\n"));

  // The next save starts with the last chosen name; a cancel changes nothing.
  Write(target, "kept");
  WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    startName = dialog->selectedFiles().value(0);
    dialog->reject();
  });
  Form->btnSave->click();
  EXPECT_EQ(startName, target);
  EXPECT_EQ(Contents(target), QByteArray("kept"));
  EXPECT_TRUE(Errors.isEmpty());
}

// The second file type: a header line, standard quoting, exact values, UTF-8. Once picked it
// stays picked for the rest of the run.
TEST_F(FakeExport, StandardCsvQuotesWhatReadersNeedAndKeepsEveryValue) {
  Open(Table(
      {Field("s", ado::adVarChar, 20), Field("w, \"x\"", ado::adVarWChar, 20),
       Field("n", ado::adDouble), Field("b", ado::adLongVarBinary), Field("m", ado::adLongVarChar)},
      {{Text("a\"b"), Text("x,y"), Dbl(0.1), Bytes("\x01\xff"), Text("l1\r\nl2")},
       {Text(""), Null(), Null(), Null(), Null()},
       {Text(" lead"), Text("trail\t"), Dbl(-2.5), Bytes({}), Text("cr\ronly\nlf")},
       {Text("a\tb"), Text("a; b"), Dbl(1e300), Null(), Text("\"")}}));
  Delimit(2);
  EXPECT_EQ(ExportBytes(kStandardCsvFilter).toStdString(),
            "s,\"w, \"\"x\"\"\",n,b,m\r\n"
            "\"a\"\"b\",\"x,y\",0.1,\\x01ff,\"l1\r\nl2\"\r\n"
            "\"\",,,,\r\n"
            "\" lead\",\"trail\t\",-2.5,\\x,\"cr\ronly\nlf\"\r\n"
            "a\tb,a; b,1e+300,,\"\"\"\"\r\n");
  // The dialog keeps the type; the tab and a delimiter of several characters.
  const auto lastLine = [this] {
    const QByteArray bytes = ExportBytes().chopped(2);
    return bytes.mid(bytes.lastIndexOf("\r\n") + 2).toStdString();
  };
  Delimit(0);
  EXPECT_EQ(lastLine(), "\"a\tb\"\ta; b\t1e+300\t\t\"\"\"\"");
  Delimit(3, "; ");
  EXPECT_EQ(lastLine(), "a\tb; \"a; b\"; 1e+300; ; \"\"\"\"");
  // UTF-8 whatever the locale's character set, header included.
  Form->ADODataSet->Close();
  // A delimiter of several characters that a value's end would lengthen.
  Open(Table({Field("x", ado::adVarWChar, 5), Field("y", ado::adVarWChar, 5)},
             {{Text("xa"), Text("ay")}, {Text("b"), Text("c")}}));
  Delimit(3, "aa");
  EXPECT_EQ(ExportBytes(), QByteArray("xaay\r\n\"xa\"aa\"ay\"\r\nbaac\r\n"));
  Form->ADODataSet->Close();
  Delimit(2);
  {
    const ScopedLocale latin1(LC_ALL, "de_DE.iso88591");
    if (latin1.Active()) {
      Open(Table({Field(QStringLiteral("\u00e9"), ado::adVarChar, 20)},
                 {{Text(QStringLiteral("caf\u00e9 \u20ac"))}}));
      EXPECT_EQ(ExportBytes(), QByteArray("\xc3\xa9\r\ncaf\xc3\xa9 \xe2\x82\xac\r\n"));
      Form->ADODataSet->Close();
    }
  }
  // No records: the header line alone.
  Open(Table({Field("a", ado::adInteger), Field("b", ado::adInteger)}, {}));
  EXPECT_EQ(ExportBytes(), QByteArray("a,b\r\n"));
  // The plain type again, byte for byte as ever.
  EXPECT_EQ(ExportBytes(kPlainCsvFilter), QByteArray());
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
}

TEST_F(FakeExport, StandardCsvRefusesADelimiterThatWouldNotReadBack) {
  Open(Table({Field("a", ado::adInteger)}, {{Int(1)}}));
  const QString target = PathOf("kept.csv");
  for (const QString& delimiter :
       {QString(), QStringLiteral("\""), QStringLiteral("|\r"), QStringLiteral("\n")}) {
    Errors.clear();
    Write(target, "kept");
    Delimit(3, delimiter);
    Export(target, kStandardCsvFilter);
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors[0].contains("delimiter")) << Errors[0].toStdString();
    EXPECT_EQ(Contents(target), QByteArray("kept"));
  }
  // The same delimiters still serve the plain type.
  Errors.clear();
  Delimit(3, QStringLiteral("\""));
  Export(target, kPlainCsvFilter);
  EXPECT_EQ(Contents(target), QByteArray("1\r\n"));
  EXPECT_TRUE(Errors.isEmpty());
}

}  // namespace
