#include "sdk/gfx.h"

#include <algorithm>
#include <cmath>

namespace {

struct Vec2 {
  double x, y;
};

// Distance from q to the segment a-b, all in pixels.
double SegmentDistance(Vec2 q, Vec2 a, Vec2 b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double s = len2 > 0.0 ? ((q.x - a.x) * dx + (q.y - a.y) * dy) / len2 : 0.0;
  s = std::clamp(s, 0.0, 1.0);
  return std::hypot(q.x - (a.x + s * dx), q.y - (a.y + s * dy));
}

// Whether segments a-b and c-d share a point (collinear overlaps included).
bool SegmentsMeet(Vec2 a, Vec2 b, Vec2 c, Vec2 d) {
  auto cross = [](Vec2 o, Vec2 p, Vec2 q) { return (p.x - o.x) * (q.y - o.y) - (p.y - o.y) * (q.x - o.x); };
  auto within = [](Vec2 o, Vec2 p, Vec2 q) {
    return std::min(o.x, p.x) <= q.x && q.x <= std::max(o.x, p.x) && std::min(o.y, p.y) <= q.y &&
           q.y <= std::max(o.y, p.y);
  };
  const double d1 = cross(c, d, a), d2 = cross(c, d, b), d3 = cross(a, b, c), d4 = cross(a, b, d);
  if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) return true;
  return (d1 == 0 && within(c, d, a)) || (d2 == 0 && within(c, d, b)) || (d3 == 0 && within(a, b, c)) ||
         (d4 == 0 && within(a, b, d));
}

}  // namespace

Point3 GetUIColor(int which) {
  switch (which) {
    case COLOR_GIZMOS: return Point3(1.0f, 0.6f, 0.0f);      // orange
    case COLOR_SEL_GIZMOS: return Point3(1.0f, 1.0f, 0.0f);  // yellow
    default: return Point3(0.5f, 0.5f, 0.5f);
  }
}

void MakeHitRegion(HitRegion& hr, int type, int crossing, int epsilon, const IPoint2* p) {
  hr = HitRegion();
  hr.type = type;
  hr.crossing = crossing;
  hr.epsilon = epsilon;
  if (p == nullptr) return;
  if (type == RECT_RGN) {
    hr.corner0 = p[0];
    hr.corner1 = p[1];
  } else if (type == CIRCLE_RGN) {
    hr.pt = p[0];
    hr.radius = static_cast<int>(std::lround(std::hypot(p[1].x - p[0].x, p[1].y - p[0].y)));
  } else {
    hr.pt = p[0];
  }
}

GraphicsWindow::GraphicsWindow(int width, int height, float unitsPerPixel, Point3 origin)
    : width_(width), height_(height), unitsPerPixel_(unitsPerPixel > 0.0f ? unitsPerPixel : 1.0f) {
  // The same mapping as TopViewport: the origin shows at the screen centre.
  topLeft_ = Point3(origin.x - (width / 2) * unitsPerPixel_, origin.y + (height / 2) * unitsPerPixel_, 0.0f);
}

GraphicsWindow::GraphicsWindow(const TopViewport& view)
    : width_(view.Width()), height_(view.Height()), unitsPerPixel_(view.UnitsPerPixel()) {
  topLeft_ = view.ScreenToWorld(IPoint2{0, 0});
}

void GraphicsWindow::setColor(ColorType type, float r, float g, float b) {
  if (type == LINE_COLOR) lineColor_ = Point3(r, g, b);
}

Point3 GraphicsWindow::WorldToScreen(const Point3& p) const {
  return Point3((p.x - topLeft_.x) / unitsPerPixel_, (topLeft_.y - p.y) / unitsPerPixel_, p.z);
}

void GraphicsWindow::polyline(int ct, const Point3* xyz, const Point3*, int closed, const int*) {
  if (ct <= 0 || xyz == nullptr) return;
  GWPolyline line;
  line.world.reserve(static_cast<size_t>(ct));
  line.screen.reserve(static_cast<size_t>(ct));
  for (int i = 0; i < ct; ++i) {
    line.world.push_back(transform_.PointTransform(xyz[i]));
    line.screen.push_back(WorldToScreen(line.world.back()));
  }
  if (rndLimits_ & GW_PICK) {
    HitTest(line.screen, closed != 0);
    return;
  }
  line.closed = closed != 0;
  line.color = lineColor_;
  line.rndLimits = rndLimits_;
  line.transform = transform_;
  lines_.push_back(std::move(line));
}

void GraphicsWindow::setHitRegion(const HitRegion* hr) { region_ = hr ? *hr : HitRegion(); }

void GraphicsWindow::clearHitCode() {
  hit_ = false;
  hitDistance_ = 0;
}

void GraphicsWindow::HitTest(const std::vector<Point3>& screen, bool closed) {
  const size_t n = screen.size();
  const size_t segments = n == 1 ? 1 : (closed ? n : n - 1);
  auto at = [&](size_t i) { return Vec2{screen[i % n].x, screen[i % n].y}; };
  double best = -1.0;
  bool allInside = true;
  for (size_t s = 0; s < segments; ++s) {
    const Vec2 a = at(s), b = at(n == 1 ? s : s + 1);
    double d = -1.0;  // distance of this segment when it hits, else negative
    if (region_.type == RECT_RGN) {
      const double x0 = std::min(region_.corner0.x, region_.corner1.x),
                   x1 = std::max(region_.corner0.x, region_.corner1.x);
      const double y0 = std::min(region_.corner0.y, region_.corner1.y),
                   y1 = std::max(region_.corner0.y, region_.corner1.y);
      auto inside = [&](Vec2 q) { return x0 <= q.x && q.x <= x1 && y0 <= q.y && q.y <= y1; };
      const bool contained = inside(a) && inside(b);
      allInside = allInside && contained;
      const Vec2 c[4] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
      bool touches = contained || inside(a) || inside(b);
      for (int e = 0; e < 4 && !touches; ++e) touches = SegmentsMeet(a, b, c[e], c[(e + 1) % 4]);
      if (touches) d = 0.0;
    } else {
      const Vec2 centre{static_cast<double>(region_.pt.x), static_cast<double>(region_.pt.y)};
      const double reach = region_.type == CIRCLE_RGN ? region_.radius : region_.epsilon;
      const double dist = SegmentDistance(centre, a, b);
      const bool contained =
          std::hypot(a.x - centre.x, a.y - centre.y) <= reach && std::hypot(b.x - centre.x, b.y - centre.y) <= reach;
      allInside = allInside && contained;
      if (dist <= reach) d = dist;
    }
    if (d >= 0.0 && (best < 0.0 || d < best)) best = d;
  }
  const bool hit = region_.crossing || region_.type == POINT_RGN ? best >= 0.0 : allInside;
  if (!hit) return;
  const DWORD distance = static_cast<DWORD>(std::lround(std::max(best, 0.0)));
  if (!hit_ || distance < hitDistance_) hitDistance_ = distance;
  hit_ = true;
}

int DrawLineProc::proc(Point3* p, int n) {
  if (gw_ != nullptr) gw_->polyline(n, p, nullptr, FALSE, nullptr);
  return 0;
}

void DrawLineProc::SetLineColor(float r, float g, float b) {
  if (gw_ != nullptr) gw_->setColor(LINE_COLOR, r, g, b);
}

int BoxLineProc::proc(Point3* p, int n) {
  for (int i = 0; i < n; ++i) box_ += tm_ != nullptr ? tm_->PointTransform(p[i]) : p[i];
  return 0;
}
