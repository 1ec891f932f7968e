#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Rowmill"));
  QWidget window;
  window.setWindowTitle(QStringLiteral("Rowmill"));
  window.resize(715, 477);
  window.show();
  return app.exec();
}
