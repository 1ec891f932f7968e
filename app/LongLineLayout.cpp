#include "app/LongLineLayout.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// Shorter lines are laid out and drawn again in no time; they are left to Qt's ways.
constexpr int kLongLine = 10000;

bool HoldsLongLine(const QTextDocument& document) {
  if (document.characterCount() <= kLongLine) return false;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    if (block.length() > kLongLine) return true;
  return false;
}

// Drops the timer events of the editor's text control (the cursor's blink) while the editor
// holds a long line. A key or a click shows the cursor again, steadily.
class BlinkStopper : public QObject {
 public:
  explicit BlinkStopper(QObject* parent) : QObject(parent) {}
  bool FLong = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (FLong && event->type() == QEvent::Timer) return true;
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void KeepLongLinesLaidOut(QPlainTextEdit* editor) {
  QFont font = editor->font();
  font.setStyleStrategy(QFont::PreferNoShaping);
  editor->setFont(font);
  QTextDocument* document = editor->document();
  auto* stopper = new BlinkStopper(editor);
  for (QObject* child : editor->children())
    if (child->inherits("QWidgetTextControl")) child->installEventFilter(stopper);
  QObject::connect(document, &QTextDocument::contentsChange, editor,
                   [document, stopper](int from, int /*removed*/, int added) {
                     for (QTextBlock block = document->findBlock(from);
                          block.isValid() && block.position() <= from + added; block = block.next())
                       if (block.length() > kLongLine && block.layout() != nullptr)
                         block.layout()->setCacheEnabled(true);
                     stopper->FLong = HoldsLongLine(*document);
                   });
}
