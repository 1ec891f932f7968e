#pragma once

#include "AppTestSupport.h"

#include "data/TADOConnection.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A main window with a folder for the files it writes, and helpers to read them back.
class ExportTest : public MainWindowTest {
 protected:
  QString PathOf(const QString& name) const { return FFolder.filePath(name); }
  static QByteArray Contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return file.readAll();
  }
  static void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  // The private export routine, reached as the Save button reaches it after the dialog; with a
  // file type, that type is picked in the dialog first.
  void Export(const QString& path, const QString& fileType = QString());
  void Delimit(int index, const QString& custom = QString());

  QTemporaryDir FFolder;
};

// The export of results that a fake database layer gives.
class FakeExport : public ExportTest {
 protected:
  void Open(fakeado::ResultData result) {
    fake->Results.push_back(std::move(result));
    Form->ADOConnection->SetConnectionString("DSN=fake");
    Form->reSQL->setPlainText("SELECT");
    Form->btnExecute->click();
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
  }
  QByteArray ExportBytes(const QString& fileType = QString()) {
    const QString path = PathOf("out.csv");
    Export(path, fileType);
    return Contents(path);
  }
  fakeado::ScopedFakeAdo fake;
};
