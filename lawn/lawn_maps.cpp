#include "lawn/lawn_maps.h"

#include <algorithm>

#include "sdk/crt.h"

namespace {
constexpr float kPi = 3.1415927f;
}  // namespace

MapBitmap AcquireMapBitmap(Texmap* texture, TimeValue t) {
  MapBitmap m;
  if (texture == nullptr) return m;
  if (texture->ClassID() == Class_ID(0x240, 0)) {
    m.bitmap = static_cast<BitmapTex*>(texture)->GetBitmap(t);
    if (m.bitmap == nullptr) return m;  // a bitmap texture without a bitmap is a map not in use
    m.width = m.bitmap->HasStorage() ? m.bitmap->Width() : 0;
    m.height = m.bitmap->HasStorage() ? m.bitmap->Height() : 0;
  } else {
    BitmapInfo info;
    info.SetWidth(64);
    info.SetHeight(64);
    info.SetType(BMM_TRUE_32);
    m.owned.reset(TheManager->Create(&info));
    if (!m.owned) return m;
    texture->RenderBitmap(t, m.owned.get(), 1.0f, TRUE);
    m.bitmap = m.owned.get();
    m.width = 64;
    m.height = 64;
  }
  m.bitmap->SetFilter(BMM_FILTER_SUM);
  return m;
}

double MapLuminance(const Bitmap* bitmap, float u, float v, float du, float dv) {
  BMM_Color_fl c;
  bitmap->GetFiltered(u, v, du, dv, &c);
  return static_cast<double>(0.3f) * c.r + static_cast<double>(0.59f) * c.g + static_cast<double>(0.11f) * c.b;
}

float MapHeight(const Bitmap* bitmap, int ix, int iy, float nx, float ny, float magnitude) {
  const float u = ix / nx, v = 1.0f - iy / ny;
  return static_cast<float>(MapLuminance(bitmap, u, v, 1.0f / nx, 1.0f / ny) * magnitude);
}

float MapSlopeTilt(const Bitmap* bitmap, int ix, int iy, float nx, float ny) {
  const float u = ix / nx, du = 1.0f / nx, dv = 1.0f / ny;
  const float vBelow = 1.0f - std::max((iy - 1) / ny, 0.0f);
  const float vAbove = 1.0f - std::min((iy + 1) / ny, 1.0f);
  const double below = MapLuminance(bitmap, u, vBelow, du, dv);
  const double above = MapLuminance(bitmap, u, vAbove, du, dv);
  return static_cast<float>((above - below) * 0.4 * kPi);
}

bool KeepByProbability(const Bitmap* bitmap, int ix, int iy, float nx, float ny) {
  unsigned threshold = 65535;  // above every rand() value
  if (bitmap != nullptr) {
    const double lum = MapLuminance(bitmap, ix / nx, 1.0f - iy / ny, 1.0f / nx, 1.0f / ny);
    threshold = static_cast<unsigned>(std::clamp(lum * 32767.0, 0.0, 65535.0));
  }
  const auto r = static_cast<unsigned>(crt::rand());
  return r < threshold;
}
