// The graphics window of a viewport: headless, it records the poly-lines plug-ins draw (with their
// transform, colour and render limits) and hit-tests them in screen space against a hit region.
#pragma once
#include <vector>

#include "sdk/geom.h"
#include "sdk/platform.h"
#include "sdk/viewport.h"

// Render-limit flags of a graphics window.
constexpr DWORD GW_WIREFRAME = 0x1;
constexpr DWORD GW_ILLUM = 0x2;
constexpr DWORD GW_PICK = 0x1000;  // drawing hit-tests instead of drawing

// Which colour setColor sets.
enum ColorType { LINE_COLOR = 0, FILL_COLOR = 1, TEXT_COLOR = 2 };

// Host interface colours plug-ins draw with.
constexpr int COLOR_GIZMOS = 24;
constexpr int COLOR_SEL_GIZMOS = 25;
// The host's colour number `which` as r, g, b in 0..1 (grey for numbers it does not know).
Point3 GetUIColor(int which);

// Hit-region shapes.
constexpr int POINT_RGN = 1;   // a point with a pick box of `epsilon` pixels around it
constexpr int RECT_RGN = 2;    // a rectangle between two points
constexpr int CIRCLE_RGN = 3;  // a circle: centre and a point on its rim

// Where a hit test looks, in screen pixels. Crossing regions hit what they touch; window regions
// only what lies wholly inside.
struct HitRegion {
  int type = POINT_RGN;
  int crossing = TRUE;
  int epsilon = 0;
  IPoint2 pt;                // POINT_RGN: the point; CIRCLE_RGN: the centre
  IPoint2 corner0, corner1;  // RECT_RGN: two opposite corners
  int radius = 0;            // CIRCLE_RGN
};

// Fills a hit region: p points to one point (POINT_RGN) or two (RECT_RGN: corners; CIRCLE_RGN:
// centre and a rim point).
void MakeHitRegion(HitRegion& hr, int type, int crossing, int epsilon, const IPoint2* p);

// One recorded poly-line: its points in world space (after the window's transform) and in screen
// pixels, with the state it was drawn in.
struct GWPolyline {
  std::vector<Point3> world;
  std::vector<Point3> screen;  // x, y in pixels (y down), z the world z
  bool closed = false;
  Point3 color;
  DWORD rndLimits = 0;
  Matrix3 transform;
};

// A headless graphics window over the host's top view (see TopViewport for the pixel mapping).
class GraphicsWindow {
 public:
  GraphicsWindow(int width = 640, int height = 480, float unitsPerPixel = 1.0f, Point3 origin = Point3());
  // A window showing exactly what `view` shows.
  explicit GraphicsWindow(const TopViewport& view);

  DWORD getRndLimits() const { return rndLimits_; }
  void setRndLimits(DWORD limits) { rndLimits_ = limits; }
  // The object-to-world transform applied to everything drawn next.
  void setTransform(const Matrix3& tm) { transform_ = tm; }
  const Matrix3& getTransform() const { return transform_; }
  void setColor(ColorType type, float r, float g, float b);
  void setColor(ColorType type, const Point3& rgb) { setColor(type, rgb.x, rgb.y, rgb.z); }

  // Draws ct points joined by lines (and the last back to the first when closed); in picking mode
  // it hit-tests them instead. Per-vertex colours and edge flags are accepted and not used.
  void polyline(int ct, const Point3* xyz, const Point3* rgb, int closed, const int* es);

  void setHitRegion(const HitRegion* hr);
  // Forgets earlier hits before a new hit test.
  void clearHitCode();
  BOOL checkHitCode() const { return hit_; }
  // Pixel distance of the closest hit since clearHitCode.
  DWORD getHitDistance() const { return hitDistance_; }

  // Screen pixel (x right, y down; z kept) of a world point.
  Point3 WorldToScreen(const Point3& p) const;
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Everything drawn so far, in order.
  const std::vector<GWPolyline>& Lines() const { return lines_; }
  void ClearLines() { lines_.clear(); }

 private:
  void HitTest(const std::vector<Point3>& screen, bool closed);

  int width_, height_;
  float unitsPerPixel_;
  Point3 topLeft_;  // the world point at pixel (0, 0)
  DWORD rndLimits_ = GW_WIREFRAME | GW_ILLUM;
  Matrix3 transform_;
  Point3 lineColor_{1.0f, 1.0f, 1.0f};
  HitRegion region_;
  bool hit_ = false;
  DWORD hitDistance_ = 0;
  std::vector<GWPolyline> lines_;
};

// Receives outlines as runs of points; what it does with them depends on the kind.
class PolyLineProc {
 public:
  virtual ~PolyLineProc() = default;
  // Takes one open poly-line of n points; returns 0.
  virtual int proc(Point3* p, int n) = 0;
  virtual void SetLineColor(float /*r*/, float /*g*/, float /*b*/) {}
};

// Draws the poly-lines on a graphics window.
class DrawLineProc : public PolyLineProc {
 public:
  explicit DrawLineProc(GraphicsWindow* gw) : gw_(gw) {}
  int proc(Point3* p, int n) override;
  void SetLineColor(float r, float g, float b) override;

 private:
  GraphicsWindow* gw_;
};

// Grows a box around the poly-lines' points, transformed by a matrix when one is given.
class BoxLineProc : public PolyLineProc {
 public:
  BoxLineProc() = default;
  explicit BoxLineProc(const Matrix3* tm) : tm_(tm) {}
  int proc(Point3* p, int n) override;
  Box3& Box() { return box_; }

 private:
  const Matrix3* tm_ = nullptr;
  Box3 box_;
};
