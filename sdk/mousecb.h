// Creation mouse callbacks: how an object takes its shape from the user's clicks and drags.
#pragma once
#include "sdk/geom.h"
#include "sdk/viewport.h"

// Mouse messages.
constexpr int MOUSE_ABORT = 0;
constexpr int MOUSE_POINT = 1;
constexpr int MOUSE_MOVE = 2;
constexpr int MOUSE_DBLCLICK = 3;
constexpr int MOUSE_FREEMOVE = 6;

// Mouse flags: keys held during the event.
constexpr int MOUSE_SHIFT = 1;
constexpr int MOUSE_CTRL = 2;
constexpr int MOUSE_ALT = 4;

// Results of a creation callback.
constexpr int CREATE_ABORT = -1;
constexpr int CREATE_STOP = 0;
constexpr int CREATE_CONTINUE = 1;

// The callback an object hands the host for its creation; mat is the new node's transform.
class CreateMouseCallBack {
 public:
  virtual ~CreateMouseCallBack() = default;
  // msg: MOUSE_*; point: the click index (0 press, 1 drag and release, 2 ...); flags: MOUSE_*
  // keys; m: the screen point. Returns CREATE_ABORT, CREATE_STOP or CREATE_CONTINUE.
  virtual int proc(ViewExp* vpt, int msg, int point, int flags, IPoint2 m, Matrix3& mat) = 0;
};
