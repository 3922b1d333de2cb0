#include "sdk/viewport.h"

#include <cmath>

TopViewport::TopViewport(int width, int height, float unitsPerPixel, Point3 origin)
    : width_(width), height_(height), units_per_pixel_(unitsPerPixel), origin_(origin) {}

Point3 TopViewport::ScreenToWorld(const IPoint2& p) const {
  float dx = static_cast<float>(p.x - width_ / 2);
  float dy = static_cast<float>(p.y - height_ / 2);
  return Point3(origin_.x + dx * units_per_pixel_, origin_.y - dy * units_per_pixel_, 0.0f);
}

IPoint2 TopViewport::WorldToScreen(const Point3& p) const {
  return {width_ / 2 + static_cast<int>(std::lround((p.x - origin_.x) / units_per_pixel_)),
          height_ / 2 - static_cast<int>(std::lround((p.y - origin_.y) / units_per_pixel_))};
}

Point3 TopViewport::SnapPoint(const IPoint2& in, IPoint2& out, Matrix3* /*plane2d*/, DWORD /*flags*/) {
  // No grid snapping: the point under the cursor on the construction plane z = 0.
  out = in;
  return ScreenToWorld(in);
}

void TopViewport::SnapPreview(const IPoint2& in, IPoint2& out, Matrix3* /*plane2d*/, DWORD /*flags*/) { out = in; }
