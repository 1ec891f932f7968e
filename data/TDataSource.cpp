#include "data/TDataSource.h"

#include "data/TADODataSet.h"

TDataSource::TDataSource(QObject* owner) : QObject(owner) {}

TDataSource::~TDataSource() {
  if (FDataSet) FDataSet->RemoveDataSource(this);
}

void TDataSource::SetDataSet(TADODataSet* dataSet) {
  if (dataSet == FDataSet) return;
  if (FDataSet) FDataSet->RemoveDataSource(this);
  if (dataSet) dataSet->AddDataSource(this);
  emit StateChanged();
}
