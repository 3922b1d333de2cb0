// The lawn's creation callback: the user drags a rectangle; the lawn's pivot sits at its centre and
// its size follows the drag; the second click keeps the lawn, or aborts a drag too short, and with
// "Single Mesh?" off scatters the lawn's blades or tufts as separate grouped objects.
#pragma once
#include "sdk/mousecb.h"

class Lawn;

class LawnCreateCallBack : public CreateMouseCallBack {
 public:
  // Free move: snap preview. Abort: abort. Point or move with point 0: the first corner; with
  // point 1: the second corner and the size (Ctrl: a square), and on the click the end of the
  // creation. Any later point continues.
  int proc(ViewExp* vpt, int msg, int point, int flags, IPoint2 m, Matrix3& mat) override;

  Lawn* lawn = nullptr;  // the lawn being created
  Point3 firstCorner;    // snapped world point of the first click
  Point3 secondCorner;   // snapped world point of the latest drag position, at the first's z
  IPoint2 firstClick;    // screen point of the first click
  IPoint2 secondClick;   // screen point of the latest drag position
  float extentX = 0.0f;  // |secondCorner.x - firstCorner.x|
  float extentY = 0.0f;  // |secondCorner.y - firstCorner.y|

 private:
  // The second corner moved: the size parameters and the pivot follow.
  void UpdateRectangle(ViewExp* vpt, IPoint2 m, bool square, Matrix3& mat);
  // The second click: keep, abort, or scatter.
  int Finish(bool square);
  // The corner opposite the first one of the square the lawn shows while Ctrl is held.
  Point3 SquareCorner() const;
};

// The one instance every lawn hands the host (Lawn::GetCreateMouseCallBack points it at the lawn).
LawnCreateCallBack& TheLawnCreateCallBack();
