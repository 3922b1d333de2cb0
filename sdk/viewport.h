// Viewports: screen points, snapping, and the host's headless top orthographic view.
#pragma once
#include <vector>

#include "sdk/geom.h"
#include "sdk/platform.h"

class INode;
class ModContext;
class GraphicsWindow;

// A point on the screen in pixels (y grows downwards).
struct IPoint2 {
  int x = 0;
  int y = 0;
  constexpr bool operator==(const IPoint2&) const = default;
};

// Snap flag: snap to the construction plane.
constexpr DWORD SNAP_IN_PLANE = 1;

// One hit that a hit test logged on a viewport.
struct ViewHit {
  INode* node = nullptr;
  ModContext* mc = nullptr;
  DWORD distance = 0;
  ULONG info = 0;
};

// A viewport as plug-ins see it: snapping screen points to world points, and a hit log.
class ViewExp {
 public:
  virtual ~ViewExp() = default;
  // The world point under screen point `in`; out receives the snapped screen point.
  virtual Point3 SnapPoint(const IPoint2& in, IPoint2& out, Matrix3* plane2d = nullptr, DWORD flags = 0) = 0;
  // Shows the snap marker at `in` (headless: remembers the point).
  virtual void SnapPreview(const IPoint2& in, IPoint2& out, Matrix3* plane2d = nullptr, DWORD flags = 0) = 0;
  // The viewport's graphics window, or null when none is attached.
  virtual GraphicsWindow* getGW() { return gw_; }
  void SetGW(GraphicsWindow* gw) { gw_ = gw; }

  // Records a hit of a hit test.
  virtual void LogHit(INode* node, ModContext* mc, DWORD distance, ULONG info) {
    hits_.push_back({node, mc, distance, info});
  }
  const std::vector<ViewHit>& Hits() const { return hits_; }

 private:
  GraphicsWindow* gw_ = nullptr;
  std::vector<ViewHit> hits_;
};

// The headless top view: pixel (px, py) shows world point
// (origin.x + (px - cx) * unitsPerPixel, origin.y - (py - cy) * unitsPerPixel, 0), where (cx, cy)
// is the screen centre. Screen y grows downwards, world y upwards.
class TopViewport : public ViewExp {
 public:
  TopViewport(int width = 640, int height = 480, float unitsPerPixel = 1.0f, Point3 origin = Point3(0.0f, 0.0f, 0.0f));

  Point3 SnapPoint(const IPoint2& in, IPoint2& out, Matrix3* plane2d = nullptr, DWORD flags = 0) override;
  void SnapPreview(const IPoint2& in, IPoint2& out, Matrix3* plane2d = nullptr, DWORD flags = 0) override;

  // The world point on z = 0 under a screen point, and back (rounded to the nearest pixel).
  Point3 ScreenToWorld(const IPoint2& p) const;
  IPoint2 WorldToScreen(const Point3& p) const;
  float UnitsPerPixel() const { return units_per_pixel_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  int width_, height_;
  float units_per_pixel_;
  Point3 origin_;
};
