// Turns the user guide's Markdown into the HTML page that the banner of the main window opens:
// GuidePage <guide.md> <page.html>.

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s guide.md page.html\n", argv[0]);
    return 2;
  }
  QFile source(QString::fromLocal8Bit(argv[1]));
  if (!source.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  QTextDocument document;
  document.setMarkdown(QString::fromUtf8(source.readAll()));
  document.setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("Rowmill user guide"));
  QFile page(QString::fromLocal8Bit(argv[2]));
  if (!page.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      page.write(document.toHtml().toUtf8()) < 0) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
