#pragma once

#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TDataSource.h"
#include "data/TField.h"
#include "tests/support/FakeAdo.h"
#include "widgets/TDBGrid.h"

#include <QApplication>
#include <QFont>
#include <QWidget>

#include <gtest/gtest.h>

// The result panel's arrangement: a grid of the main window's size bound through a data source
// to a data set on the given connection, shown on the offscreen screen.
struct GridPanel {
  explicit GridPanel(const QString& connectionString) {
    Connection = new TADOConnection(&Window);
    Connection->setObjectName("ADOConnection");
    Connection->SetKeepConnection(false);
    Connection->SetLoginPrompt(false);
    Connection->SetConnectionString(connectionString);
    DataSet = new TADODataSet(&Window);
    DataSet->setObjectName("ADODataSet");
    DataSet->SetConnection(Connection);
    Source = new TDataSource(&Window);
    Source->SetDataSet(DataSet);
    Grid = new TDBGrid(&Window);
    Grid->setObjectName("DBGrid1");
    Grid->SetDataSource(Source);
    Window.resize(715, 177);
    Grid->setGeometry(1, 1, 713, 175);
  }

  QWidget Window;
  TADOConnection* Connection;
  TADODataSet* DataSet;
  TDataSource* Source;
  TDBGrid* Grid;
};

struct WithFakeAdo {
  fakeado::ScopedFakeAdo Fake;
};

// The panel over the fake layer, in the window's font.
class DBGridFixture : public ::testing::Test, protected WithFakeAdo, protected GridPanel {
 protected:
  DBGridFixture() : GridPanel(QStringLiteral("DSN=fake")) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    Window.setFont(font);
    Window.show();
    QApplication::processEvents();
  }

  void OpenWith(fakeado::ResultData result, const QString& sql = "select * from t") {
    Fake->Results.push_back(std::move(result));
    DataSet->SetCommandText(sql);
    DataSet->Open();
    QApplication::processEvents();
  }

  // A table of the given number of rows and columns c0, c1, ...; cell text "r<row>c<column>".
  static fakeado::ResultData Numbered(int rows, int columns) {
    std::vector<ado::FieldInfo> fields;
    for (int c = 0; c < columns; ++c)
      fields.push_back(fakeado::Field(QStringLiteral("c%1").arg(c), ado::adVarWChar, 12));
    std::vector<std::vector<ado::Value>> values;
    for (int r = 0; r < rows; ++r) {
      std::vector<ado::Value> row;
      for (int c = 0; c < columns; ++c)
        row.push_back(fakeado::Text(QStringLiteral("r%1c%2").arg(r).arg(c)));
      values.push_back(std::move(row));
    }
    return fakeado::Table(std::move(fields), std::move(values));
  }
};
