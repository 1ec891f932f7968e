#pragma once

#include <QWidget>

// A horizontal bar between two bands stacked top to bottom that changes the height of the band
// above it. While dragging, a hatched line shows the new position; the size is applied when the
// button is released. The new size is clamped to [MinSize, MaxSize] and never snaps shut.
class TSplitter : public QWidget {
  Q_OBJECT
 public:
  explicit TSplitter(QWidget* parent = nullptr);

  // The band above, whose height the splitter changes.
  QWidget* Control() const { return FControl; }
  void SetControl(QWidget* control) { FControl = control; }
  int MinSize() const { return FMinSize; }
  void SetMinSize(int size) { FMinSize = size; }
  // Kept up to date by the window that docks the bands.
  int MaxSize() const { return FMaxSize; }
  void SetMaxSize(int size) { FMaxSize = size; }

  bool Dragging() const { return FDragging; }
  // The size the band would take if the button were released now.
  int PendingSize() const { return FPendingSize; }

 signals:
  // The user released the splitter; the band above is to take this height.
  void Moved(int newSize);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  int Clamped(int size) const;
  void ShowLine();
  void EndDrag();

  QWidget* FControl = nullptr;
  QWidget* FLine = nullptr;
  int FMinSize = 30;
  int FMaxSize = 0;
  bool FDragging = false;
  int FStartY = 0;
  int FStartSize = 0;
  int FPendingSize = 0;
};
