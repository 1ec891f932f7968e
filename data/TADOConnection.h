#pragma once

#include "data/DataSetTypes.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace ado {
class Connection;
struct Purpose;
}  // namespace ado
class TADODataSet;

// The connection component. Its Name is the QObject objectName, its Owner the QObject parent.
class TADOConnection : public QObject {
  Q_OBJECT
  // Reached by name by the connection string editor.
  Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE SetConnectionString)
 public:
  explicit TADOConnection(QObject* owner = nullptr);
  ~TADOConnection() override;  // closes an open connection

  QString ConnectionString() const;
  // Equal text does nothing; changing the string of an open connection is the layer's error.
  void SetConnectionString(const QString& value);

  bool Connected() const;
  void SetConnected(bool value);
  void Open();
  // Opens for one statement, whose road the layer chooses before connecting.
  void Open(const ado::Purpose& purpose);
  // The same open as work that touches the layer's connection only, for another thread to run;
  // empty when the connection is open.
  std::function<void()> OpenWork(const ado::Purpose& purpose);
  void Close();

  bool KeepConnection() const { return FKeepConnection; }
  void SetKeepConnection(bool value) { FKeepConnection = value; }
  bool LoginPrompt() const { return FLoginPrompt; }
  void SetLoginPrompt(bool value) { FLoginPrompt = value; }
  TCursorLocation CursorLocation() const { return FCursorLocation; }
  bool InTransaction() const;

  // The data sets that use this connection.
  const QList<TADODataSet*>& DataSets() const { return FDataSets; }

  // The layer's connection object (the data set runs its statements on it).
  ado::Connection& Provider();

 private:
  friend class TADODataSet;
  void RegisterDataSet(TADODataSet* dataSet);
  void UnregisterDataSet(TADODataSet* dataSet);
  // Release rule: called when a data set drops its last reason to hold the connection.
  void ReleaseCheck();

  std::unique_ptr<ado::Connection> FProvider;
  QString FConnectionString;
  bool FKeepConnection = true;
  bool FLoginPrompt = true;
  TCursorLocation FCursorLocation = clUseClient;
  QList<TADODataSet*> FDataSets;
};
