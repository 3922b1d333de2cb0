#include "sdk/creation.h"

#include <cmath>

#include "sdk/host.h"

namespace {
constexpr ULONG BEGIN_EDIT_CREATE = 0x1;
constexpr ULONG END_EDIT_REMOVEUI = 0x1;
}  // namespace

CreationDriver::CreationDriver(ViewExp& viewport) : viewport_(viewport) {}

CreationDriver::~CreationDriver() {
  if (state_ == CreationState::kRunning) Abort();
}

BOOL CreationDriver::Begin(ClassDesc* cd, std::string& error) {
  if (state_ == CreationState::kRunning) {
    error = "a creation is already running";
    return FALSE;
  }
  if (!cd) {
    error = "no class to create";
    return FALSE;
  }
  Host& host = TheHost();
  std::string name = cd->ClassName() ? cd->ClassName() : "?";
  if (!cd->OkToCreate(&host)) {
    error = "class \"" + name + "\" cannot be created now";
    return FALSE;
  }
  ReferenceTarget* made = cd->Create(FALSE);
  auto* obj = dynamic_cast<Object*>(made);
  if (!obj) {
    if (made) made->DeleteMe();
    error = "class \"" + name + "\" made no object";
    return FALSE;
  }
  CreateMouseCallBack* cb = obj->GetCreateMouseCallBack();
  if (!cb) {
    obj->DeleteMe();
    error = "class \"" + name + "\" cannot be created with the mouse";
    return FALSE;
  }
  cd_ = cd;
  obj_ = obj;
  cb_ = cb;
  mat_.IdentityMatrix();
  point_ = 0;
  last_ = CREATE_CONTINUE;
  // As in the host's create mode, the panel of the new object is open while it is dragged out.
  obj->BeginEditParams(&host, BEGIN_EDIT_CREATE, nullptr);
  node_ = host.CreateObjectNode(obj);
  state_ = CreationState::kRunning;
  return TRUE;
}

int CreationDriver::Send(int msg, int point, int flags, IPoint2 p) {
  if (state_ != CreationState::kRunning) return last_;
  int r = cb_->proc(&viewport_, msg, point, flags, p, mat_);
  if (node_) node_->SetNodeTM(0, mat_);
  last_ = r;
  if (r == CREATE_STOP || r == CREATE_ABORT) Finish(r);
  return r;
}

void CreationDriver::Finish(int result) {
  Host& host = TheHost();
  obj_->EndEditParams(&host, END_EDIT_REMOVEUI, nullptr);
  if (result == CREATE_ABORT) {
    host.DeleteNode(node_);  // frees the object with it
    node_ = nullptr;
    state_ = CreationState::kAborted;
  } else {
    state_ = CreationState::kStopped;
  }
  obj_ = nullptr;
  cb_ = nullptr;
  last_ = result;
}

int CreationDriver::FreeMove(IPoint2 p, int flags) { return Send(MOUSE_FREEMOVE, point_, flags, p); }

int CreationDriver::Press(IPoint2 p, int flags) {
  int r = Send(MOUSE_POINT, 0, flags, p);
  point_ = 1;
  return r;
}

int CreationDriver::DragTo(IPoint2 p, int flags) { return Send(MOUSE_MOVE, 1, flags, p); }

int CreationDriver::Release(IPoint2 p, int flags) {
  int r = Send(MOUSE_POINT, 1, flags, p);
  point_ = 2;
  return r;
}

int CreationDriver::Click(IPoint2 p, int flags) {
  Send(MOUSE_MOVE, point_, flags, p);
  int r = Send(MOUSE_POINT, point_, flags, p);
  ++point_;
  return r;
}

void CreationDriver::Abort() {
  if (state_ != CreationState::kRunning) return;
  cb_->proc(&viewport_, MOUSE_ABORT, point_, 0, IPoint2{}, mat_);
  Finish(CREATE_ABORT);  // a cancelled creation is discarded whatever the callback answers
}

INode* CreateByDrag(ClassDesc* cd, ViewExp& viewport, IPoint2 from, IPoint2 to, int steps, int flags,
                    std::string& error, int maxClicks) {
  CreationDriver drv(viewport);
  if (!drv.Begin(cd, error)) return nullptr;
  drv.Press(from, flags);
  for (int s = 1; s <= steps; ++s) {
    double f = static_cast<double>(s) / steps;
    IPoint2 p{from.x + static_cast<int>(std::lround((to.x - from.x) * f)),
              from.y + static_cast<int>(std::lround((to.y - from.y) * f))};
    drv.DragTo(p, flags);
  }
  drv.Release(to, flags);
  for (int k = 0; k < maxClicks && drv.State() == CreationState::kRunning; ++k) drv.Click(to, flags);
  if (drv.State() == CreationState::kRunning) {
    drv.Abort();
    error = "creation did not end after " + std::to_string(maxClicks) + " clicks";
    return nullptr;
  }
  if (drv.State() == CreationState::kAborted) {
    error = "creation aborted";
    return nullptr;
  }
  return drv.Node();
}
