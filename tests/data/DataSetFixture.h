#pragma once

#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TDataSource.h"
#include "data/TField.h"
#include "tests/support/FakeAdo.h"

#include <gtest/gtest.h>

#include <memory>

// The main window's arrangement of components over the fake layer: a connection that does not
// keep itself open, a data set named ADODataSet and a data source.
class DataSetFixture : public ::testing::Test {
 protected:
  DataSetFixture() {
    Connection = std::make_unique<TADOConnection>();
    Connection->setObjectName("ADOConnection");
    Connection->SetKeepConnection(false);
    Connection->SetLoginPrompt(false);
    Connection->SetConnectionString("DSN=fake");
    DataSet = std::make_unique<TADODataSet>();
    DataSet->setObjectName("ADODataSet");
    DataSet->SetConnection(Connection.get());
    Source.SetDataSet(DataSet.get());
  }

  // Opens a statement whose result is the given table.
  void OpenWith(fakeado::ResultData result, const QString& sql = "select * from t") {
    Fake->Results.push_back(std::move(result));
    DataSet->SetCommandText(sql);
    DataSet->Open();
  }

  fakeado::ScopedFakeAdo Fake;
  std::unique_ptr<TADOConnection> Connection;
  std::unique_ptr<TADODataSet> DataSet;
  TDataSource Source;
};
