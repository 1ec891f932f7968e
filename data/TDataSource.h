#pragma once

#include <QObject>

class TADODataSet;

// Links a data set to the controls that show it (the result grid) and passes its notifications
// on as signals.
class TDataSource : public QObject {
  Q_OBJECT
 public:
  explicit TDataSource(QObject* owner = nullptr);
  ~TDataSource() override;

  TADODataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TADODataSet* dataSet);

 signals:
  // The data set opened or closed.
  void StateChanged();
  // The data set's content changed as a whole (also after EnableControls).
  void DataSetChanged();
  // Fields moved or changed their display width.
  void LayoutChanged();
  // The current record moved.
  void RecordMoved();

 private:
  friend class TADODataSet;
  TADODataSet* FDataSet = nullptr;
};
