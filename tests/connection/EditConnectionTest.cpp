#include "connection/ADOUtils.h"
#include "connection/AdoConEd.h"
#include "data/TADOConnection.h"
#include "tests/support/FindChild.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ScopedDataLinkFolder.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Any component with a text property named ConnectionString serves.
class StringHolder : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE SetConnectionString)
 public:
  using QObject::QObject;
  QString ConnectionString() const { return FText; }
  void SetConnectionString(const QString& value) {
    FText = value;
    ++Writes;
  }
  int Writes = 0;

 private:
  QString FText;
};

// The user replaces the edit box's text and confirms; the caption is kept for the test.
std::function<void(QWidget*)> TypeAndConfirm(const QString& text, QString* caption = nullptr) {
  return [=](QWidget* form) {
    if (caption) *caption = form->windowTitle();
    auto* edit = Find<QLineEdit>(form, "ConnectionString");
    edit->setText(text);
    QTest::mouseClick(Find<QPushButton>(form, "OkButton"), Qt::LeftButton);
  };
}

std::function<void(QWidget*)> CancelIt() {
  return [](QWidget* form) {
    QTest::mouseClick(Find<QPushButton>(form, "CancelButton"), Qt::LeftButton);
  };
}

int ScratchConnections() {
  return qApp->findChildren<TADOConnection*>().size();
}

class EditConnection : public ::testing::Test {
 protected:
  ScopedDataLinkFolder links;
};

}  // namespace

TEST_F(EditConnection, CaptionsTheDialogAfterOwnerAndComponentAndWritesOnlyAChange) {
  QObject owner;
  owner.setObjectName("frmMain");
  auto* holder = new StringHolder(&owner);
  holder->setObjectName("ADOConnection");
  holder->SetConnectionString("DSN=a");
  holder->Writes = 0;
  QString caption;
  WhenModal(TypeAndConfirm("DSN=a", &caption));
  EXPECT_FALSE(EditConnectionOf(holder));
  EXPECT_EQ(caption, "frmMain.ADOConnection ConnectionString");
  EXPECT_EQ(holder->Writes, 0);

  WhenModal(TypeAndConfirm("DSN=A"));
  EXPECT_TRUE(EditConnectionOf(holder));
  EXPECT_EQ(holder->ConnectionString(), "DSN=A");
  EXPECT_EQ(holder->Writes, 1);

  WhenModal(CancelIt());
  EXPECT_FALSE(EditConnectionOf(holder));
  EXPECT_EQ(holder->Writes, 1);
}

TEST_F(EditConnection, PromptUsesAScratchCopyCaptionedCsAndFreesIt) {
  TADOConnection connection;
  connection.SetConnectionString("DSN=old");
  const int before = ScratchConnections();
  for (int press = 0; press < 2; ++press) {
    QString caption;
    int during = -1;
    WhenModal([&](QWidget* form) {
      during = ScratchConnections();
      TypeAndConfirm("DSN=old", &caption)(form);
    });
    bool changed = true;
    QString text;
    PromptConnectionString(&connection, changed, text);
    EXPECT_FALSE(changed);
    EXPECT_EQ(text, "DSN=old");
    EXPECT_EQ(caption, "CS. ConnectionString");
    EXPECT_EQ(during, before + 1);
    EXPECT_EQ(ScratchConnections(), before);
  }
  EXPECT_EQ(qApp->objectName(), "CS");
}

TEST_F(EditConnection, PromptReportsChangesCaseAndBlanksIncluded) {
  TADOConnection connection;
  connection.SetConnectionString("DSN=old");
  for (const QString changedTo : {"dsn=old", "DSN=old ", "", "FILE NAME=/x.udl"}) {
    WhenModal(TypeAndConfirm(changedTo));
    bool changed = false;
    QString text;
    PromptConnectionString(&connection, changed, text);
    EXPECT_TRUE(changed) << changedTo.toStdString();
    EXPECT_EQ(text, changedTo);
    // The given connection is only read; the caller stores the change.
    EXPECT_EQ(connection.ConnectionString(), "DSN=old");
  }
}

TEST_F(EditConnection, PromptAfterCancelGivesTheConnectionsString) {
  TADOConnection connection;
  connection.SetConnectionString("DSN=kept");
  WhenModal([](QWidget* form) {
    Find<QLineEdit>(form, "ConnectionString")->setText("DSN=typed");
    form->close();
  });
  bool changed = true;
  QString text;
  PromptConnectionString(&connection, changed, text);
  EXPECT_FALSE(changed);
  EXPECT_EQ(text, "DSN=kept");
}

#include "EditConnectionTest.moc"
