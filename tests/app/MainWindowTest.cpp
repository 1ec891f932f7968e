#include "AppTestSupport.h"

#include "app/UserGuide.h"
#include "data/RegionalSettings.h"
#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TDataSource.h"
#include "data/TField.h"
#include "tests/support/FakeAdo.h"
#include "tests/support/FindChild.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RegionalGuard.h"
#include "tests/support/TestDatabases.h"
#include "widgets/GradientPanel.h"
#include "widgets/ShellUtils.h"
#include "widgets/TDBGrid.h"
#include "widgets/TSplitter.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QThread>
#include <QUrl>

#include <ctime>
#include <limits>

namespace {

using namespace fakeado;

TEST_F(MainWindowTest, EveryComponentCarriesItsName) {
  const QStringList names = {"GradientPanel1", "Panel1",        "btnConnect",  "ADODataSet",
                             "dsDataset",      "Panel2",        "Panel3",      "Splitter1",
                             "DBGrid1",        "Panel4",        "reSQL",       "btnExecute",
                             "btnSave",        "ADOConnection", "SaveDialog1", "edtCustomDelimiter",
                             "cbxDelimiter",   "ProgressBar"};
  for (const QString& name : names) {
    QObject* component = Form->findChild<QObject*>(name);
    ASSERT_NE(component, nullptr) << name.toStdString();
    // Every component belongs to the window.
    QObject* owner = component;
    while (owner->parent() != nullptr) owner = owner->parent();
    EXPECT_EQ(owner, Form.get()) << name.toStdString();
  }
  EXPECT_EQ(Form->GradientPanel1, Find<TGradientPanel>(Form.get(), "GradientPanel1"));
  EXPECT_EQ(Form->ProgressBar, Find<QProgressBar>(Form.get(), "ProgressBar"));
}

TEST_F(MainWindowTest, StateAtStart) {
  EXPECT_EQ(Form->windowTitle(), "Rowmill");
  EXPECT_EQ(Form->size(), QSize(715, 477));
  EXPECT_EQ(Form->font().pixelSize(), 11);
  EXPECT_EQ(Form->palette().color(QPalette::Window), Form->palette().color(QPalette::Button));

  auto* delimiters = Find<QComboBox>(Form.get(), "cbxDelimiter");
  ASSERT_EQ(delimiters->count(), 4);
  EXPECT_EQ(delimiters->itemText(0), "Tab Delimiter");
  EXPECT_EQ(delimiters->itemText(1), "Space Delimiter");
  EXPECT_EQ(delimiters->itemText(2), "Comma Delimiter");
  EXPECT_EQ(delimiters->itemText(3), "Custom Delimiter");
  EXPECT_EQ(delimiters->currentIndex(), 0);
  EXPECT_FALSE(delimiters->isEditable());

  auto* custom = Find<QLineEdit>(Form.get(), "edtCustomDelimiter");
  EXPECT_FALSE(custom->isEnabled());
  EXPECT_TRUE(custom->text().isEmpty());
  EXPECT_EQ(custom->maxLength(), std::numeric_limits<int>::max());

  auto* progress = Find<QProgressBar>(Form.get(), "ProgressBar");
  EXPECT_TRUE(progress->isHidden());
  EXPECT_EQ(progress->minimum(), 0);
  EXPECT_EQ(progress->maximum(), 100);

  auto* editor = Find<QPlainTextEdit>(Form.get(), "reSQL");
  EXPECT_TRUE(editor->toPlainText().isEmpty());
  EXPECT_EQ(editor->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(editor->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(editor->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(editor->font().pixelSize(), 13);
  EXPECT_TRUE(QFontInfo(editor->font()).fixedPitch());

  EXPECT_EQ(Find<QPushButton>(Form.get(), "btnConnect")->text(), "Connect...");
  EXPECT_EQ(Find<QPushButton>(Form.get(), "btnExecute")->text(), "Execute SQL");
  EXPECT_EQ(Find<QPushButton>(Form.get(), "btnSave")->text(), "Save as CSV");
  EXPECT_EQ(Form->Panel4->Caption(), "  SQL Statement");
  EXPECT_EQ(Form->Panel4->Alignment(), taLeftJustify);
  EXPECT_EQ(Form->Panel4->BevelOuter(), bvNone);
  for (TCustomPanel* panel : {Form->Panel1, Form->Panel2, Form->Panel3}) {
    EXPECT_EQ(panel->BevelOuter(), bvRaised);
    EXPECT_EQ(panel->BevelWidth(), 1);
    EXPECT_TRUE(panel->Caption().isEmpty());
  }

  EXPECT_FALSE(Form->ADOConnection->KeepConnection());
  EXPECT_FALSE(Form->ADOConnection->LoginPrompt());
  EXPECT_TRUE(Form->ADOConnection->ConnectionString().isEmpty());
  EXPECT_FALSE(Form->ADOConnection->Connected());
  EXPECT_EQ(Form->ADODataSet->Connection(), Form->ADOConnection);
  EXPECT_FALSE(Form->ADODataSet->Active());
  EXPECT_TRUE(Form->ADODataSet->CommandText().isEmpty());
  EXPECT_EQ(Form->dsDataset->DataSet(), Form->ADODataSet);
  EXPECT_EQ(Form->DBGrid1->DataSource(), Form->dsDataset);
  EXPECT_TRUE(Form->DBGrid1->ReadOnly());
  EXPECT_TRUE(Form->ConnectionString().isEmpty());
}

TEST_F(MainWindowTest, SaveDialogSettings) {
  QFileDialog* dialog = Form->SaveDialog1;
  EXPECT_EQ(dialog->windowTitle(), "Save as CSV");
  EXPECT_EQ(dialog->nameFilters(),
            QStringList({"CSV Files (*.csv)", "CSV with header line, standard quoting (*.csv)"}));
  EXPECT_EQ(dialog->selectedNameFilter(), "CSV Files (*.csv)");
  EXPECT_EQ(dialog->defaultSuffix(), "csv");
  EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_FALSE(dialog->testOption(QFileDialog::ReadOnly));
  EXPECT_TRUE(dialog->isSizeGripEnabled());
}

TEST_F(MainWindowTest, BandsAndToolRowGeometry) {
  EXPECT_EQ(Form->GradientPanel1->geometry(), QRect(0, 0, 715, 29));
  EXPECT_EQ(Form->Panel1->geometry(), QRect(0, 29, 715, 41));
  EXPECT_EQ(Form->Panel2->geometry(), QRect(0, 70, 715, 227));
  EXPECT_EQ(Form->Splitter1->geometry(), QRect(0, 297, 715, 3));
  EXPECT_EQ(Form->Panel3->geometry(), QRect(0, 300, 715, 177));
  EXPECT_EQ(Form->Splitter1->cursor().shape(), Qt::SizeVerCursor);

  EXPECT_EQ(Form->btnConnect->geometry(), QRect(8, 6, 75, 25));
  EXPECT_EQ(Form->btnExecute->geometry(), QRect(89, 6, 75, 25));
  EXPECT_EQ(Form->cbxDelimiter->geometry(), QRect(173, 8, 109, 21));
  EXPECT_EQ(Form->edtCustomDelimiter->geometry(), QRect(296, 8, 41, 21));
  EXPECT_EQ(Form->btnSave->geometry(), QRect(357, 6, 75, 25));
  EXPECT_EQ(Form->ProgressBar->geometry(), QRect(448, 11, 150, 17));

  EXPECT_EQ(Form->Panel4->geometry(), QRect(1, 1, 713, 24));
  EXPECT_EQ(Form->reSQL->geometry(), QRect(1, 25, 713, 201));
  EXPECT_EQ(Form->DBGrid1->geometry(), QRect(1, 1, 713, 175));

  // The result panel takes what the bands above leave.
  Form->show();
  Form->resize(800, 600);
  EXPECT_EQ(Form->Panel2->height(), 227);
  EXPECT_EQ(Form->Panel3->geometry(), QRect(0, 300, 800, 300));
  EXPECT_EQ(Form->DBGrid1->geometry(), QRect(1, 1, 798, 298));
}

TEST_F(MainWindowTest, TabOrderIsNotLeftToRight) {
  const QList<QWidget*> expected = {
      Form->btnConnect,   Form->btnExecute, Form->btnSave, Form->edtCustomDelimiter,
      Form->cbxDelimiter, Form->reSQL,      Form->DBGrid1};
  Form->edtCustomDelimiter->setEnabled(true);  // a disabled edit is skipped
  for (int i = 0; i + 1 < expected.size(); ++i) {
    QWidget* next = expected[i]->nextInFocusChain();
    while (next != nullptr && !(next->focusPolicy() & Qt::TabFocus))
      next = next->nextInFocusChain();
    EXPECT_EQ(next, expected[i + 1]) << i;
  }
  EXPECT_FALSE(Form->Splitter1->focusPolicy() & Qt::TabFocus);
  EXPECT_FALSE(Form->ProgressBar->focusPolicy() & Qt::TabFocus);
  EXPECT_TRUE(Form->reSQL->tabChangesFocus());
}

TEST_F(MainWindowTest, CustomDelimiterFollowsThePickAndKeepsItsText) {
  Form->show();
  QComboBox* delimiters = Form->cbxDelimiter;
  delimiters->setFocus();
  // The user picks with the keyboard: Down three times reaches "Custom Delimiter".
  for (int i = 0; i < 3; ++i) QTest::keyClick(delimiters, Qt::Key_Down);
  ASSERT_EQ(delimiters->currentIndex(), 3);
  EXPECT_TRUE(Form->edtCustomDelimiter->isEnabled());
  QTest::keyClicks(Form->edtCustomDelimiter, "; ");
  EXPECT_EQ(Form->edtCustomDelimiter->text(), "; ");

  QTest::keyClick(delimiters, Qt::Key_Up);
  EXPECT_EQ(delimiters->currentIndex(), 2);
  EXPECT_FALSE(Form->edtCustomDelimiter->isEnabled());
  EXPECT_EQ(Form->edtCustomDelimiter->text(), "; ");

  QTest::keyClick(delimiters, Qt::Key_Down);
  EXPECT_TRUE(Form->edtCustomDelimiter->isEnabled());
  EXPECT_EQ(Form->edtCustomDelimiter->text(), "; ");

  // No length limit of its own.
  const QString longText(40000, u'x');
  Form->edtCustomDelimiter->setText(longText);
  EXPECT_EQ(Form->edtCustomDelimiter->text().size(), 40000);
  EXPECT_TRUE(Errors.isEmpty());
}

// Drags the splitter by dy pixels: press, move, release, as the mouse does.
void DragSplitter(TSplitter* splitter, int dy, bool* lineShown = nullptr) {
  const QPointF start(10, 1);
  const QPointF startScene = splitter->mapTo(splitter->window(), start.toPoint());
  auto send = [&](QEvent::Type type, double offset, Qt::MouseButton button,
                  Qt::MouseButtons buttons) {
    const QPointF local = start + QPointF(0, offset);
    const QPointF scene = startScene + QPointF(0, offset);
    QMouseEvent event(type, local, scene, splitter->mapToGlobal(local), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(splitter, &event);
  };
  send(QEvent::MouseButtonPress, 0, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseMove, dy / 2.0, Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseMove, dy, Qt::NoButton, Qt::LeftButton);
  if (lineShown != nullptr) {
    *lineShown = false;
    for (QWidget* child :
         splitter->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (child != splitter && child->isVisible() && child->height() == 3 &&
          child->y() == splitter->y() + splitter->PendingSize() - splitter->Control()->height())
        *lineShown = true;
  }
  send(QEvent::MouseButtonRelease, dy, Qt::LeftButton, Qt::NoButton);
}

TEST_F(MainWindowTest, SplitterResizesTheSqlPanelWithinItsClamps) {
  Form->show();
  bool lineShown = false;
  DragSplitter(Form->Splitter1, 30, &lineShown);
  EXPECT_TRUE(lineShown);
  EXPECT_EQ(Form->Panel2->height(), 257);
  EXPECT_EQ(Form->Splitter1->y(), 29 + 41 + 257);
  EXPECT_EQ(Form->Panel3->height(), 477 - 29 - 41 - 257 - 3);
  EXPECT_EQ(Form->reSQL->height(), 257 - 2 - 24);

  // Up: the SQL panel stops at 100 pixels, it never snaps shut.
  DragSplitter(Form->Splitter1, -500);
  EXPECT_EQ(Form->Panel2->height(), 100);
  // Down: the result panel keeps 100 pixels.
  DragSplitter(Form->Splitter1, 1000);
  EXPECT_EQ(Form->Panel2->height(), 477 - 100 - 29 - 41 - 3);
  EXPECT_EQ(Form->Panel3->height(), 100);
  EXPECT_FALSE(Form->Splitter1->Dragging());
}

TEST_F(MainWindowTest, SplitterAppliesOnlyOnRelease) {
  Form->show();
  TSplitter* splitter = Form->Splitter1;
  const QPointF scene = splitter->mapTo(Form.get(), QPoint(5, 1));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 1), scene, scene, Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(splitter, &press);
  QMouseEvent move(QEvent::MouseMove, QPointF(5, 41), scene + QPointF(0, 40), scene, Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(splitter, &move);
  EXPECT_TRUE(splitter->Dragging());
  EXPECT_EQ(splitter->PendingSize(), 267);
  EXPECT_EQ(Form->Panel2->height(), 227);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 41), scene + QPointF(0, 40), scene,
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(splitter, &release);
  EXPECT_EQ(Form->Panel2->height(), 267);
}

TEST_F(MainWindowTest, BannerInstanceSettings) {
  TGradientPanel* banner = Form->GradientPanel1;
  EXPECT_EQ(banner->BeginColor(), RGBColor(128, 128, 128));
  EXPECT_EQ(banner->EndColor(), clBlack);
  EXPECT_EQ(banner->GradientStyle(), gsVertical);
  EXPECT_EQ(banner->BevelOuter(), bvNone);
  EXPECT_EQ(banner->Alignment(), taLeftJustify);
  EXPECT_TRUE(banner->Caption().startsWith("  "));
  EXPECT_NE(banner->Caption().at(2), u' ');
  EXPECT_TRUE(banner->Caption().contains("Rowmill"));
  EXPECT_TRUE(banner->font().italic());
  EXPECT_EQ(banner->font().pixelSize(), 11);
  EXPECT_EQ(banner->FontColor(), clSilver);
  EXPECT_EQ(banner->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(banner->toolTip(), "Visit website");
  EXPECT_FALSE(banner->ParentDrag());
}

TEST_F(MainWindowTest, BannerShowsItsGradientAcrossTheTop) {
  Form->show();
  const QImage picture = Form->grab(Form->GradientPanel1->geometry()).toImage();
  ASSERT_EQ(picture.height(), 29);
  // Grey to black from top to bottom; far right of the caption, so only the gradient.
  EXPECT_EQ(QColor(picture.pixel(700, 0)), QColor(126, 126, 126));
  EXPECT_EQ(QColor(picture.pixel(700, 28)), QColor(2, 2, 2));
}

TEST_F(MainWindowTest, LocaleChangeReadsTheRegionalSettingsAgain) {
  RegionalSettings odd;
  odd.DecimalSeparator = u'#';
  const RegionalGuard regional(odd);
  ASSERT_EQ(RegionalSettings::Current().DecimalSeparator, u'#');
  QEvent change(QEvent::LocaleChange);
  QApplication::sendEvent(Form.get(), &change);
  EXPECT_EQ(RegionalSettings::Current().DecimalSeparator,
            RegionalSettings::FromLocale().DecimalSeparator);
}

TEST_F(MainWindowTest, StatementIsTheWholeTextWithCrLf) {
  Form->show();
  Form->reSQL->setFocus();
  QTest::keyClicks(Form->reSQL, "SELECT 1");
  QTest::keyClick(Form->reSQL, Qt::Key_Return);
  QTest::keyClicks(Form->reSQL, "  -- note\u00a0here ");
  QTest::keyClick(Form->reSQL, Qt::Key_Return);
  QTest::keyClick(Form->reSQL, Qt::Key_Return);
  EXPECT_EQ(Form->StatementText(), QStringLiteral("SELECT 1\r\n  -- note\u00a0here \r\n\r\n"));
}

// A statement of 10 MB on one line, pasted: the editor takes it and a key after it within
// seconds, and then rests (the cursor's blink no longer lays out and draws the whole line again).
TEST_F(MainWindowTest, ATenMegabyteLinePastedStaysEditable) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "timings mean nothing under the address sanitizer";
#endif
  Form->show();
  Form->reSQL->setFocus();
  QString statement = "SELECT '";
  while (statement.size() < 10'000'000) statement += "abcdefghij klmnopqrstu vwxyz 0123456789, ";
  statement += "' AS x";
  QApplication::clipboard()->setText(statement);
  QElapsedTimer took;
  took.start();
  Form->reSQL->paste();
  QCoreApplication::processEvents();
  Form->reSQL->repaint();
  EXPECT_LT(took.elapsed(), 5000);
  took.restart();
  QTest::keyClick(Form->reSQL, Qt::Key_End);
  QTest::keyClicks(Form->reSQL, "1");
  Form->reSQL->repaint();
  EXPECT_LT(took.elapsed(), 5000);
  EXPECT_EQ(Form->StatementText(), statement + "1");
  EXPECT_EQ(Form->reSQL->lineWrapMode(), QPlainTextEdit::NoWrap);
  QTest::qWait(1000);  // the edit's own repaint
  const std::clock_t before = std::clock();
  QTest::qWait(2000);
  EXPECT_LT((std::clock() - before) * 1000 / CLOCKS_PER_SEC, 500)
      << "milliseconds of work while nothing happens";
}

TEST_F(FakeMainWindowTest, ExecuteHandsTheStatementToTheDataSetAndOpensIt) {
  fake->Results.push_back(Table({Field("a", ado::adInteger), Field("b", ado::adVarWChar, 10)},
                                {{Int(1), Text("x")}, {Int(2), Text("y")}}));
  fake->Results.push_back(
      Table({Field("a", ado::adInteger), Field("b", ado::adVarWChar, 10)}, {{Int(1), Text("x")}}));
  Form->ADOConnection->SetConnectionString("DSN=fake");
  Form->reSQL->setPlainText("SELECT a,\nb FROM t");
  Form->btnExecute->click();
  ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  ASSERT_EQ(fake->Executed.size(), 1);
  EXPECT_EQ(fake->Executed.first(), "SELECT a,\r\nb FROM t");
  EXPECT_TRUE(Form->ADODataSet->Active());
  EXPECT_EQ(Form->ADODataSet->CommandText(), "SELECT a,\r\nb FROM t");
  EXPECT_EQ(Form->DBGrid1->ColumnCount(), 2);
  EXPECT_EQ(Form->reSQL->toPlainText(), "SELECT a,\nb FROM t");

  // The user moves a column; executing the same text again rebuilds from the result.
  Form->ADODataSet->MoveField(Form->ADODataSet->Fields(1), 0);
  Form->ADODataSet->Next();
  Form->btnExecute->click();
  ASSERT_TRUE(Errors.isEmpty());
  EXPECT_EQ(fake->Executed.size(), 2);
  EXPECT_EQ(Form->ADODataSet->Fields(0)->FieldName(), "a");
  EXPECT_EQ(Form->ADODataSet->RecordIndex(), 0);
}

TEST_F(FakeMainWindowTest, ExecuteFailureLeavesEverythingClosed) {
  fake->ExecuteFailure = "near \"SELEC\": syntax error";
  Form->ADOConnection->SetConnectionString("DSN=fake");
  Form->reSQL->setPlainText("SELEC 1");
  Form->btnExecute->click();
  ASSERT_EQ(Errors.size(), 1);
  EXPECT_TRUE(Errors.first().contains("syntax error")) << Errors.first().toStdString();
  EXPECT_FALSE(Form->ADODataSet->Active());
  EXPECT_FALSE(Form->ADOConnection->Connected());
  EXPECT_EQ(fake->OpenNow, 0);
  EXPECT_EQ(Form->reSQL->toPlainText(), "SELEC 1");
}

TEST_F(FakeMainWindowTest, WhileAStatementRunsClicksAreDroppedTypingArrivesAndCloseStops) {
  Form->show();
  Form->ADOConnection->SetConnectionString("DSN=fake");
  const auto run = [this](bool close) {
    fake->Executed.clear();
    fake->DuringExecute = [this, close] {
      // The statement runs on a worker thread; input events are made on the window's own thread,
      // as a user's are.
      const auto post = [this, close] { PostImpatientInput(*Form, close); };
      if (QThread::currentThread() == Form->thread())
        post();
      else
        QMetaObject::invokeMethod(Form.get(), post, Qt::BlockingQueuedConnection);
      // The window takes the input while the statement still runs.
      QThread::msleep(300);
    };
    Form->reSQL->setPlainText("DELETE FROM t");
    Form->reSQL->moveCursor(QTextCursor::End);
    Form->btnExecute->click();
    fake->DuringExecute = nullptr;
    QCoreApplication::processEvents();
  };
  run(false);
  // One click runs one statement; what was typed is in the editor.
  EXPECT_EQ(fake->Executed, QStringList({"DELETE FROM t"}));
  EXPECT_EQ(Form->reSQL->toPlainText(), "DELETE FROM tx");
  EXPECT_TRUE(Form->isVisible());
  EXPECT_EQ(Errors, QStringList({"ADODataSet: CommandText does not return a result set."}));
  // Input given afterwards is taken again.
  QTest::mouseClick(Form->btnExecute, Qt::LeftButton);
  EXPECT_EQ(fake->Executed.size(), 2);

  // A close request stops the statement silently and then closes the window.
  Errors.clear();
  run(true);
  EXPECT_EQ(fake->Executed, QStringList({"DELETE FROM t"}));
  EXPECT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  EXPECT_FALSE(Form->isVisible());
  EXPECT_FALSE(Form->ADOConnection->Connected());
}

class MainWindowSqlite : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Form->ADOConnection->SetConnectionString(testdb::SqliteConnectionString("main-window.db"));
  }
  void Execute(const QString& sql) {
    Form->reSQL->setPlainText(sql);
    Form->btnExecute->click();
  }
};

TEST_F(MainWindowSqlite, EmptyEditorIsMissingCommandText) {
  Execute("");
  EXPECT_EQ(Errors, QStringList({"ADODataSet: Missing CommandText property."}));
  EXPECT_FALSE(Form->ADODataSet->Active());
  EXPECT_FALSE(Form->ADOConnection->Connected());
}

TEST_F(MainWindowSqlite, EmptyConnectionStringGivesTheDriverManagersText) {
  Form->ADOConnection->SetConnectionString("");
  Execute("SELECT 1");
  ASSERT_EQ(Errors.size(), 1);
  EXPECT_FALSE(Errors.first().isEmpty());
  EXPECT_TRUE(Errors.first().endsWith('.'));
  EXPECT_FALSE(Form->ADODataSet->Active());
  EXPECT_EQ(Form->DBGrid1->ColumnCount(), 1);
  EXPECT_TRUE(Form->DBGrid1->ColumnTitle(0).isEmpty());
}

TEST_F(MainWindowSqlite, StatementWithoutRowsIsReportedAfterItRan) {
  Execute("CREATE TABLE IF NOT EXISTS t (a INTEGER)");
  Execute("INSERT INTO t VALUES (1)");
  Errors.clear();
  Execute("UPDATE t SET a = 7");
  EXPECT_EQ(Errors, QStringList({"ADODataSet: CommandText does not return a result set."}));
  EXPECT_FALSE(Form->ADODataSet->Active());
  EXPECT_FALSE(Form->ADOConnection->Connected());
  Errors.clear();
  Execute("SELECT a FROM t");
  ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  EXPECT_EQ(Form->ADODataSet->Fields(0)->AsString(), "7");
}

TEST_F(MainWindowSqlite, MultiLineStatementAndDuplicateNames) {
  Execute("SELECT 1 AS n,\n       2 AS n\n-- trailing comment\n");
  ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  ASSERT_EQ(Form->DBGrid1->ColumnCount(), 2);
  EXPECT_EQ(Form->DBGrid1->ColumnTitle(0), "n");
  EXPECT_EQ(Form->DBGrid1->ColumnTitle(1), "n_1");
  EXPECT_TRUE(Form->ADODataSet->CommandText().contains("\r\n-- trailing comment\r\n"));
}

TEST_F(MainWindowSqlite, ClosingWhileConnectedEndsWithoutAQuestion) {
  Form->show();
  Execute("SELECT 1 AS a");
  ASSERT_TRUE(Form->ADOConnection->Connected());
  EXPECT_TRUE(Form->close());
  EXPECT_FALSE(Form->isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  Form.reset();  // destroying the window closes the connection
  EXPECT_TRUE(Errors.isEmpty());
}

}  // namespace

namespace {

TEST_F(MainWindowTest, BannerClickOpensTheUserGuideInstalledWithTheProgram) {
  QStringList opened;
  {
    const ScopedRestore shell = ScopedSet(
        &SetShellRequestHandler, [&](const ShellRequest& request) { opened << request.target; });
    Form->show();
    QTest::mouseClick(Form->GradientPanel1, Qt::LeftButton, {}, QPoint(100, 10));
  }
  ASSERT_EQ(opened.size(), 1);
  const QUrl page(opened.first());
  ASSERT_TRUE(page.isLocalFile()) << opened.first().toStdString();
  QFile guide(page.toLocalFile());
  ASSERT_TRUE(guide.open(QIODevice::ReadOnly)) << page.toLocalFile().toStdString();
  const QString html = QString::fromUtf8(guide.readAll());
  EXPECT_TRUE(html.contains("<title>Rowmill user guide</title>"));
  EXPECT_TRUE(html.contains("Connecting"));
  EXPECT_TRUE(QFile::exists(QFileInfo(guide).dir().filePath("screenshots/main-window.png")));
  EXPECT_TRUE(Errors.isEmpty());
}

// With nothing that can show the guide, the click says so and names the file, rather than doing
// nothing; an opener that succeeds raises nothing.
TEST_F(MainWindowTest, BannerClickSaysWhereTheGuideIsWhenNothingCanShowIt) {
  struct Case {
    const char* opener;  // the body of a fake xdg-open, or null for none on the PATH
    const char* reason;  // what the error box says, or null for no box
  };
  const Case cases[] = {
      {nullptr, "no program to open it is installed"},
      {"exit 3", "no program to open it is installed"},
      {"exit 4", "the desktop's opener failed with code 4"},
      {"exit 0", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.opener ? c.opener : "no opener");
    Errors.clear();
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    if (c.opener) {
      QFile script(bin.filePath("xdg-open"));
      ASSERT_TRUE(script.open(QIODevice::WriteOnly));
      script.write(QByteArray("#!/bin/sh\n") + c.opener + "\n");
      script.close();
      script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    const ScopedRestore path = ScopedEnvironment("PATH", QFile::encodeName(bin.path()));
    Form->show();
    QTest::mouseClick(Form->GradientPanel1, Qt::LeftButton, {}, QPoint(100, 10));
    if (!c.reason) {
      QTest::qWait(300);
      EXPECT_TRUE(Errors.isEmpty()) << Errors.join('|').toStdString();
      continue;
    }
    QTRY_COMPARE_WITH_TIMEOUT(Errors.size(), 1, 5000);
    EXPECT_EQ(Errors.first(), UserGuideNotOpenedMessage(UserGuidePath(), c.reason) + ".");
  }
}

// Answers the connection string dialog: a new text and OK, or Cancel when text is empty.
void AnswerConnectionDialog(const QString& text, QString* caption) {
  WhenModal([text, caption](QWidget* modal) {
    auto* dialog = qobject_cast<QDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    *caption = dialog->windowTitle();
    if (text.isEmpty()) {
      dialog->reject();
      return;
    }
    auto* edit = Find<QLineEdit>(dialog, "ConnectionString");
    auto* ok = Find<QPushButton>(dialog, "OkButton");
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(ok, nullptr);
    edit->setText(text);
    ok->click();
  });
}

TEST_F(MainWindowTest, ConnectKeepsAConfirmedChangeOnly) {
  QString caption;
  AnswerConnectionDialog("DRIVER=SQLite3;Database=/tmp/x.db", &caption);
  Form->btnConnect->click();
  ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  EXPECT_EQ(caption, "CS. ConnectionString");
  EXPECT_EQ(Form->ConnectionString(), "DRIVER=SQLite3;Database=/tmp/x.db");
  EXPECT_EQ(Form->ADOConnection->ConnectionString(), "DRIVER=SQLite3;Database=/tmp/x.db");

  // Whatever the component held, the confirmed string is the master copy.
  Form->ADOConnection->SetConnectionString("DSN=other");
  AnswerConnectionDialog(QString(), &caption);
  Form->btnConnect->click();
  EXPECT_EQ(Form->ConnectionString(), "DRIVER=SQLite3;Database=/tmp/x.db");
  EXPECT_EQ(Form->ADOConnection->ConnectionString(), "DRIVER=SQLite3;Database=/tmp/x.db");
  EXPECT_FALSE(Form->ADOConnection->Connected());
}

}  // namespace
