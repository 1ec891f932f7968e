#include "base/Exceptions.h"
#include "base/HandlerGuard.h"
#include "connection/AdoConEd.h"
#include "connection/DataLinkRoutines.h"
#include "tests/support/FindChild.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ScopedDataLinkFolder.h"
#include "tests/support/ScopedValue.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace {

// Opens a new dialog for connStr, lets the user act on it, and gives what Edit returns. The user
// acts once the dialog is active, as the focus is then where the dialog put it (on a busy
// machine activation comes a while after showing).
QString EditWith(const QString& connStr, std::function<void(QWidget*)> user) {
  TConnEditForm form;
  WhenModal([user = std::move(user)](QWidget* dialog) {
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
    user(dialog);
  });
  return form.Edit(connStr);
}

void Click(QWidget* form, const char* name) {
  QTest::mouseClick(Find<QAbstractButton>(form, name), Qt::LeftButton);
}

QColor BaseColour(QWidget* widget) {
  return widget->palette().color(QPalette::Base);
}

class ConnEditForm : public ::testing::Test {
 protected:
  ScopedDataLinkFolder links;
};

}  // namespace

TEST_F(ConnEditForm, HasTheLayoutCaptionsAndTabOrderOfTheDialog) {
  TConnEditForm form;
  EXPECT_EQ(form.objectName(), "ConnEditForm");
  EXPECT_EQ(form.size(), QSize(472, 185));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(form.HelpContext(), 27270);
  struct Expected {
    const char* name;
    QRect geometry;
    const char* caption;
  };
  const Expected controls[] = {
      {"OkButton", {214, 151, 75, 25}, "OK"},
      {"CancelButton", {302, 151, 75, 25}, "Cancel"},
      {"HelpButton", {390, 151, 75, 25}, "Help"},
      {"UseDataLinkFile", {10, 21, 226, 20}, "Use Data &Link File"},
      {"Browse", {370, 39, 75, 25}, "&Browse..."},
      {"UseConnectionString", {10, 73, 226, 20}, "Use &Connection String"},
      {"Build", {370, 92, 75, 25}, "B&uild..."},
  };
  for (const Expected& c : controls) {
    auto* button = Find<QAbstractButton>(&form, c.name);
    EXPECT_EQ(button->geometry(), c.geometry) << c.name;
    EXPECT_EQ(button->text(), c.caption) << c.name;
  }
  auto* box = Find<QGroupBox>(&form, "SourceofConnection");
  EXPECT_EQ(box->geometry(), QRect(5, 4, 461, 136));
  EXPECT_EQ(box->title(), " Source of Connection ");
  EXPECT_EQ(Find<QWidget>(&form, "DataLinkFile")->geometry(), QRect(28, 42, 332, 21));
  EXPECT_EQ(Find<QWidget>(&form, "ConnectionString")->geometry(), QRect(28, 94, 332, 21));
  for (const char* inside : {"UseDataLinkFile", "DataLinkFile", "Browse", "UseConnectionString",
                             "ConnectionString", "Build"})
    EXPECT_EQ(Find<QWidget>(&form, inside)->parentWidget(), box) << inside;
  EXPECT_TRUE(Find<QPushButton>(&form, "OkButton")->isDefault());
  EXPECT_TRUE(Find<QComboBox>(&form, "DataLinkFile")->isEditable());

  const char* order[] = {"OkButton",     "CancelButton", "HelpButton",          "UseDataLinkFile",
                         "DataLinkFile", "Browse",       "UseConnectionString", "ConnectionString",
                         "Build"};
  QWidget* at = Find<QWidget>(&form, order[0]);
  for (std::size_t i = 1; i < std::size(order); ++i) {
    do at = at->nextInFocusChain();
    while (at->focusPolicy() == Qt::NoFocus || !at->objectName().size());
    EXPECT_EQ(at->objectName(), order[i]);
  }
}

TEST_F(ConnEditForm, AnEmptyStringOffersTheConnectionStringWithTheFocusInTheEditBox) {
  EditWith({}, [](QWidget* form) {
    EXPECT_TRUE(Find<QRadioButton>(form, "UseConnectionString")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(form, "UseDataLinkFile")->isChecked());
    auto* edit = Find<QLineEdit>(form, "ConnectionString");
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), edit);
    auto* combo = Find<QComboBox>(form, "DataLinkFile");
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_FALSE(Find<QWidget>(form, "Browse")->isEnabled());
    EXPECT_TRUE(Find<QWidget>(form, "Build")->isEnabled());
    EXPECT_EQ(BaseColour(combo), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(BaseColour(edit), QApplication::palette().color(QPalette::Base));
    Click(form, "CancelButton");
  });
}

TEST_F(ConnEditForm, ClickingARadioButtonMovesEnablingColoursAndFocus) {
  EditWith({}, [](QWidget* form) {
    auto* combo = Find<QComboBox>(form, "DataLinkFile");
    auto* edit = Find<QLineEdit>(form, "ConnectionString");
    Click(form, "UseDataLinkFile");
    EXPECT_TRUE(combo->isEnabled());
    EXPECT_TRUE(Find<QWidget>(form, "Browse")->isEnabled());
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(Find<QWidget>(form, "Build")->isEnabled());
    EXPECT_EQ(BaseColour(combo), QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(BaseColour(edit), QApplication::palette().color(QPalette::Button));
    EXPECT_TRUE(combo->hasFocus());
    EXPECT_FALSE(Find<QRadioButton>(form, "UseConnectionString")->isChecked());
    Click(form, "UseConnectionString");
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_FALSE(combo->isEnabled());
    Click(form, "CancelButton");
  });
}

TEST_F(ConnEditForm, AReferenceIntoTheDataLinkFolderShowsTheNameAndOkRebuildsIt) {
  links.AddFile("Sales.udl", "DRIVER=SQLite3;Database=/tmp/s.db");
  const QString reference = "FILE NAME=" + links.Folder() + "/Sales.udl";
  const QString result = EditWith(reference, [](QWidget* form) {
    auto* combo = Find<QComboBox>(form, "DataLinkFile");
    EXPECT_EQ(combo->currentText(), "Sales.udl");
    EXPECT_TRUE(Find<QRadioButton>(form, "UseDataLinkFile")->isChecked());
    EXPECT_TRUE(Find<QLineEdit>(form, "ConnectionString")->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), combo);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  });
  EXPECT_EQ(result, reference);
}

TEST_F(ConnEditForm, OnlyTheExactUpperCasePrefixAtTheStartIsAReference) {
  for (const QString ordinary : {"file name=/x/a.udl", " FILE NAME=/x/a.udl", "File Name=a"}) {
    const QString result = EditWith(ordinary, [&](QWidget* form) {
      EXPECT_EQ(Find<QLineEdit>(form, "ConnectionString")->text(), ordinary);
      EXPECT_TRUE(Find<QRadioButton>(form, "UseConnectionString")->isChecked());
      EXPECT_TRUE(Find<QComboBox>(form, "DataLinkFile")->currentText().isEmpty());
      Click(form, "OkButton");
    });
    EXPECT_EQ(result, ordinary);
  }
}

TEST_F(ConnEditForm, AFolderThatDiffersInCaseIsShownWithItsFullPath) {
  const QString path = links.Folder().toUpper() + "/Sales.udl";
  const QString result = EditWith("FILE NAME=" + path, [&](QWidget* form) {
    EXPECT_EQ(Find<QComboBox>(form, "DataLinkFile")->currentText(), path);
    Click(form, "OkButton");
  });
  EXPECT_EQ(result, "FILE NAME=" + path);
}

TEST_F(ConnEditForm, AnOverlongReferenceIsCutToThePathLimit) {
  const QString path = "/" + QString(PATH_MAX + 50, u'p');
  const QString result = EditWith("FILE NAME=" + path, [](QWidget* form) {
    EXPECT_EQ(Find<QComboBox>(form, "DataLinkFile")->currentText().size(), PATH_MAX);
    Click(form, "OkButton");
  });
  EXPECT_EQ(result, "FILE NAME=" + path.left(PATH_MAX));
  // A path of the longest valid length is kept whole.
  const QString longest = "/" + QString(PATH_MAX - 2, u'q');
  EXPECT_EQ(EditWith("FILE NAME=" + longest, [](QWidget* form) { Click(form, "OkButton"); }),
            "FILE NAME=" + longest);
}

TEST_F(ConnEditForm, ThePrefixAloneSelectsAnEmptyDataLinkAndOkGivesEmpty) {
  const QString result = EditWith("FILE NAME=", [](QWidget* form) {
    EXPECT_TRUE(Find<QRadioButton>(form, "UseDataLinkFile")->isChecked());
    EXPECT_TRUE(Find<QComboBox>(form, "DataLinkFile")->currentText().isEmpty());
    Click(form, "OkButton");
  });
  EXPECT_EQ(result, "");
}

TEST_F(ConnEditForm, ABareNameIsShownAsItIsAndOkJoinsItWithTheFolder) {
  const QString result = EditWith("FILE NAME=Orders.udl", [](QWidget* form) {
    EXPECT_EQ(Find<QComboBox>(form, "DataLinkFile")->currentText(), "Orders.udl");
    Click(form, "OkButton");
  });
  EXPECT_EQ(result, "FILE NAME=" + links.Folder() + "/Orders.udl");
}

TEST_F(ConnEditForm, WithTheDataLinkOptionOkUsesTheComboTextOnly) {
  // A relative path has a folder part and is kept unchanged.
  EXPECT_EQ(EditWith("DSN=x",
                     [](QWidget* form) {
                       Click(form, "UseDataLinkFile");
                       QTest::keyClicks(Find<QComboBox>(form, "DataLinkFile"), "sub/x.udl");
                       Click(form, "OkButton");
                     }),
            "FILE NAME=sub/x.udl");
  // An empty combo box gives the empty string although the edit box holds text.
  EXPECT_EQ(EditWith("DSN=x",
                     [](QWidget* form) {
                       Click(form, "UseDataLinkFile");
                       Click(form, "OkButton");
                     }),
            "");
}

TEST_F(ConnEditForm, WithTheConnectionStringOptionOkUsesTheEditBoxOnly) {
  const QString result = EditWith("FILE NAME=/a/b.udl", [](QWidget* form) {
    Click(form, "UseConnectionString");
    QTest::keyClicks(Find<QLineEdit>(form, "ConnectionString"), "DSN=typed");
    QTest::keyClick(Find<QLineEdit>(form, "ConnectionString"), Qt::Key_Return);
  });
  EXPECT_EQ(result, "DSN=typed");
  // Emptied and confirmed is the empty string.
  EXPECT_EQ(EditWith("DSN=old",
                     [](QWidget* form) {
                       Find<QLineEdit>(form, "ConnectionString")->clear();
                       Click(form, "OkButton");
                     }),
            "");
}

TEST_F(ConnEditForm, CancelEscAndTheCloseBoxKeepTheOldString) {
  const auto typeThen = [](std::function<void(QWidget*)> leave) {
    return [leave](QWidget* form) {
      QTest::keyClicks(Find<QLineEdit>(form, "ConnectionString"), ";changed");
      leave(form);
    };
  };
  EXPECT_EQ(EditWith("DSN=old", typeThen([](QWidget* form) { Click(form, "CancelButton"); })),
            "DSN=old");
  EXPECT_EQ(EditWith("DSN=old", typeThen([](QWidget*) {
                       QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                     })),
            "DSN=old");
  EXPECT_EQ(EditWith("DSN=old", typeThen([](QWidget* form) { form->close(); })), "DSN=old");
  TConnEditForm form;
  WhenModal([](QWidget* f) { QTest::keyClick(f, Qt::Key_Escape); });
  form.Edit("x");
  EXPECT_EQ(form.result(), TConnEditForm::mrCancel);
}

TEST_F(ConnEditForm, HelpShowsItsErrorAndTheDialogStaysOpen) {
  QStringList reported;
  QString result;
  {
    const ScopedRestore handler =
        ScopedSet(&SetApplicationExceptionHandler, [&](std::exception_ptr error) {
          try {
            std::rethrow_exception(error);
          } catch (const Exception& e) {
            reported << e.Message();
          }
        });
    result = EditWith("DSN=old", [](QWidget* form) {
      Click(form, "HelpButton");
      EXPECT_TRUE(form->isVisible());
      QTest::keyClicks(Find<QLineEdit>(form, "ConnectionString"), "2");
      Click(form, "OkButton");
    });
  }
  EXPECT_EQ(reported, QStringList{"No context-sensitive help installed"});
  EXPECT_EQ(result, "DSN=old2");
}

TEST_F(ConnEditForm, TheListShowsTheDataLinkFilesSorted) {
  links.AddFile("zeta.udl", "");
  links.AddFile("Alpha.udl", "");
  links.AddFile(".hidden.udl", "");
  links.AddFile("Upper.UDL", "");
  links.AddFile("notes.txt", "");
  QDir().mkpath(links.Folder() + "/folder.udl");
  TConnEditForm form;
  auto* combo = Find<QComboBox>(&form, "DataLinkFile");
  QStringList shown;
  for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
  EXPECT_EQ(shown, (QStringList{".hidden.udl", "Alpha.udl", "Upper.UDL", "zeta.udl"}));
  EXPECT_TRUE(combo->currentText().isEmpty());
}

TEST_F(ConnEditForm, PickingFromTheListAndConfirmingNamesTheFileInTheFolder) {
  links.AddFile("Rowmill sample.udl", "DRIVER=SQLite3;Database=/tmp/x.db");
  const QString result = EditWith({}, [](QWidget* form) {
    Click(form, "UseDataLinkFile");
    auto* combo = Find<QComboBox>(form, "DataLinkFile");
    combo->setCurrentIndex(combo->findText("Rowmill sample.udl"));
    Click(form, "OkButton");
  });
  EXPECT_EQ(result, "FILE NAME=" + links.Folder() + "/Rowmill sample.udl");
}

TEST_F(ConnEditForm, EnterPressesTheFocusedButtonAndTypedTextStaysAsTyped) {
  // Enter on a focused button presses that button, not OK.
  struct Case {
    const char* Focused;
    int Result;
  };
  const Case cases[] = {{"CancelButton", TConnEditForm::mrCancel},
                        {"OkButton", TConnEditForm::mrOk},
                        {"ConnectionString", TConnEditForm::mrOk}};
  for (const Case& c : cases) {
    TConnEditForm form;
    WhenModal([&](QWidget* f) {
      QWidget* focused = Find<QWidget>(f, c.Focused);
      focused->setFocus();
      QTest::keyClick(focused, Qt::Key_Return);
    });
    form.Edit("DSN=x");
    EXPECT_EQ(form.result(), c.Result) << c.Focused;
  }
  QStringList reported;
  {
    const ScopedRestore handler =
        ScopedSet(&SetApplicationExceptionHandler, [&](std::exception_ptr) { reported << "help"; });
    EditWith("DSN=x", [](QWidget* form) {
      auto* help = Find<QPushButton>(form, "HelpButton");
      help->setFocus();
      QTest::keyClick(help, Qt::Key_Return);
      EXPECT_TRUE(form->isVisible());
      Click(form, "CancelButton");
    });
  }
  EXPECT_EQ(reported, QStringList{"help"});

  // A name of another case, or the start of one, is neither completed nor rewritten.
  links.AddFile("Rowmill sample.udl", "DSN=x");
  const QString typed = EditWith({}, [](QWidget* form) {
    Click(form, "UseDataLinkFile");
    auto* combo = Find<QComboBox>(form, "DataLinkFile");
    QTest::keyClicks(combo, "rowmill sample.udl");
    Click(form, "OkButton");
  });
  EXPECT_EQ(typed, "FILE NAME=" + links.Folder() + "/rowmill sample.udl");
  const QString started = EditWith({}, [](QWidget* form) {
    Click(form, "UseDataLinkFile");
    QTest::keyClicks(Find<QComboBox>(form, "DataLinkFile"), "Row");
    Click(form, "OkButton");
  });
  EXPECT_EQ(started, "FILE NAME=" + links.Folder() + "/Row");

  // The connection string box takes any length.
  const QString longString = "DSN=x;Foo=" + QString(40000, u'y');
  EXPECT_EQ(EditWith(longString, [](QWidget* form) { Click(form, "OkButton"); }), longString);
}
