// The host's creation driver: creates an object of a class and replays the user's mouse events on
// its creation callback in a viewport, as the host's create mode does.
//
// Press -> (MOUSE_POINT, 0); each drag step -> (MOUSE_MOVE, 1); release -> (MOUSE_POINT, 1); then
// (MOUSE_MOVE, k), (MOUSE_POINT, k) for k = 2, 3, ... until the callback stops or aborts. A stop
// keeps the node with the transform the callback set; an abort deletes the node and its object.
// The object's panel is open (BeginEditParams) while it is being created.
#pragma once
#include <string>

#include "sdk/classdesc.h"
#include "sdk/mousecb.h"
#include "sdk/node.h"
#include "sdk/viewport.h"

enum class CreationState { kIdle, kRunning, kStopped, kAborted };

class CreationDriver {
 public:
  explicit CreationDriver(ViewExp& viewport);
  // Aborts a creation still running.
  ~CreationDriver();
  CreationDriver(const CreationDriver&) = delete;
  CreationDriver& operator=(const CreationDriver&) = delete;

  // Creates an object of cd, opens its panel and makes its node; FALSE (with error set) when the
  // class refuses or gives no object or no creation callback.
  BOOL Begin(ClassDesc* cd, std::string& error);

  // Each event returns the callback's answer (CREATE_*); after a stop or an abort it does nothing
  // and returns the final answer again.
  int FreeMove(IPoint2 p, int flags = 0);
  int Press(IPoint2 p, int flags = 0);
  int DragTo(IPoint2 p, int flags = 0);
  int Release(IPoint2 p, int flags = 0);
  // After the release: a move and a click at p with the next click index.
  int Click(IPoint2 p, int flags = 0);
  // Cancels (MOUSE_ABORT); the node is deleted.
  void Abort();

  CreationState State() const { return state_; }
  // The node being created or kept (null after an abort).
  INode* Node() const { return node_; }

 private:
  int Send(int msg, int point, int flags, IPoint2 p);
  void Finish(int result);

  ViewExp& viewport_;
  ClassDesc* cd_ = nullptr;
  Object* obj_ = nullptr;
  INode* node_ = nullptr;
  CreateMouseCallBack* cb_ = nullptr;
  Matrix3 mat_;
  int point_ = 0;
  int last_ = CREATE_CONTINUE;
  CreationState state_ = CreationState::kIdle;
};

// Creates an object of cd by a whole drag from `from` to `to` in `steps` drag steps, then clicks
// at `to` until the callback ends (at most maxClicks clicks, then it aborts). Returns the kept
// node, or null (error says why) when the creation was aborted or refused.
INode* CreateByDrag(ClassDesc* cd, ViewExp& viewport, IPoint2 from, IPoint2 to, int steps, int flags,
                    std::string& error, int maxClicks = 8);
