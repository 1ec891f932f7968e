#pragma once

#include <QString>
#include <QWidget>

#include "data/DataSetTypes.h"
#include "widgets/TColor.h"

class QPainter;
class TCanvas;

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
// bsSingle gives the panel a sunken frame two pixels wide outside its client area.
enum TBorderStyle { bsNone, bsSingle };

// The plain panel: background colour, one line of caption and up to two bevels. Its client
// area is the widget less the frame of BorderStyle; children of a bevelled panel belong inside
// BorderExtent() on every side (the owner lays them out).
class TCustomPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TCustomPanel(QWidget* parent = nullptr);

  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption);
  // The caption's font is the widget's font; its colour is FontColor.
  QFont Font() const { return font(); }
  void SetFont(const QFont& font) { setFont(font); }
  TColor FontColor() const { return FFontColor; }
  void SetFontColor(TColor color);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut cut);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut cut);
  // At least 1.
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int width);
  // At least 0; it moves children inward but is not drawn.
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int width);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle style);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);

  // Width of the frame that BorderStyle puts outside the client area.
  int FrameWidth() const { return FBorderStyle == bsSingle ? 2 : 0; }
  int ClientWidth() const;
  int ClientHeight() const;
  // Distance from the panel's edge to its children: frame, border width and the bevels drawn.
  int BorderExtent() const;

 signals:
  // A left-button press and release, both inside the panel.
  void Clicked();
  void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

 protected:
  // Draws the client area; the painter's origin is the client's top-left corner.
  virtual void Paint(QPainter& surface);
  // The control's mouse-down handling: raises OnMouseDown.
  virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  // The press in progress no longer ends in a click (it became a window move).
  void CancelClick() { FLeftPressed = false; }

  // Caption rule shared by the panels: vertically centred, placed by Alignment; left and right
  // placement keep clear of the drawn bevels, centring ignores them.
  void DrawCaptionOn(TCanvas& canvas, int clientWidth, int clientHeight) const;
  // Bevel rings over a surface of the given overall size, outer bevel first.
  void DrawBevelsOn(TCanvas& canvas, int width, int height) const;

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void DrawRings(TCanvas& canvas, TBevelCut cut, int firstRing, int width, int height) const;
  void PaintFrame(QPainter& painter) const;

  QString FCaption;
  TColor FFontColor = clWindowText;
  TAlignment FAlignment = taCenter;
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  TBorderStyle FBorderStyle = bsNone;
  TColor FColor = clBtnFace;
  bool FLeftPressed = false;
};
