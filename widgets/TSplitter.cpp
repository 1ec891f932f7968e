#include "widgets/TSplitter.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// The line that follows the mouse while dragging, drawn over the parent's other children.
class SplitterLine : public QWidget {
 public:
  explicit SplitterLine(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
  }
};

}  // namespace

TSplitter::TSplitter(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::SizeVerCursor);
  setFocusPolicy(Qt::NoFocus);
}

int TSplitter::Clamped(int size) const {
  // The upper bound wins when the window is too small for both.
  return std::min(std::max(size, FMinSize), std::max(FMaxSize, FMinSize));
}

void TSplitter::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || FControl == nullptr) return;
  FDragging = true;
  FStartY = event->scenePosition().toPoint().y();
  FStartSize = FControl->height();
  FPendingSize = FStartSize;
  ShowLine();
}

void TSplitter::mouseMoveEvent(QMouseEvent* event) {
  if (!FDragging) return;
  FPendingSize = Clamped(FStartSize + event->scenePosition().toPoint().y() - FStartY);
  ShowLine();
}

void TSplitter::mouseReleaseEvent(QMouseEvent* event) {
  if (!FDragging || event->button() != Qt::LeftButton) return;
  FPendingSize = Clamped(FStartSize + event->scenePosition().toPoint().y() - FStartY);
  EndDrag();
  if (FPendingSize != FStartSize) emit Moved(FPendingSize);
}

void TSplitter::EndDrag() {
  FDragging = false;
  if (FLine != nullptr) FLine->hide();
}

void TSplitter::ShowLine() {
  if (parentWidget() == nullptr) return;
  if (FLine == nullptr) FLine = new SplitterLine(parentWidget());
  // The line stands where the splitter would be after the release.
  const int top = y() + FPendingSize - FStartSize;
  FLine->setGeometry(x(), top, width(), height());
  FLine->raise();
  FLine->show();
}

void TSplitter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Button));
}
