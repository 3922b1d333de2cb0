#include "sdk/texmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

namespace {
void DeleteBitmap(Bitmap* b) {
  if (b) b->DeleteThis();
}

BMM_Color_fl Mix(const BMM_Color_fl& a, const BMM_Color_fl& b, float s) {
  return {a.r + (b.r - a.r) * s, a.g + (b.g - a.g) * s, a.b + (b.b - a.b) * s, a.a + (b.a - a.a) * s};
}

// A reproducible value in [0, 1] for one lattice point (integer hash, no shared state).
float LatticeValue(std::int64_t x, std::int64_t y, int seed) {
  std::uint64_t h = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^
                    static_cast<std::uint64_t>(y) * 0xC2B2AE3D27D4EB4Full ^
                    static_cast<std::uint64_t>(static_cast<std::int64_t>(seed)) * 0x165667B19E3779F9ull;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  return static_cast<float>((h >> 40) & 0xFFFFFF) / 16777215.0f;
}

// Value noise: the lattice values blended with a smoothstep, so the result is continuous.
float ValueNoise(double x, double y, int seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const auto ix = static_cast<std::int64_t>(fx), iy = static_cast<std::int64_t>(fy);
  const auto smooth = [](double t) { return static_cast<float>(t * t * (3.0 - 2.0 * t)); };
  const float sx = smooth(x - fx), sy = smooth(y - fy);
  const float a = LatticeValue(ix, iy, seed), b = LatticeValue(ix + 1, iy, seed);
  const float c = LatticeValue(ix, iy + 1, seed), d = LatticeValue(ix + 1, iy + 1, seed);
  const float top = a + (b - a) * sx, bottom = c + (d - c) * sx;
  return top + (bottom - top) * sy;
}

template <class T>
ReferenceTarget* CloneMap(T* from, RemapDir& remap) {
  T* to = new (std::nothrow) T();
  if (!to) return nullptr;
  to->color1 = from->color1;
  to->color2 = from->color2;
  from->BaseClone(from, to, remap);
  return to;
}
}  // namespace

void Texmap::RenderBitmap(TimeValue t, Bitmap* bitmap, float scale, BOOL) {
  if (bitmap == nullptr || !bitmap->HasStorage()) return;
  const int w = bitmap->Width(), h = bitmap->Height();
  for (int y = 0; y < h; ++y) {
    const float v = static_cast<float>((y + 0.5) / h) * scale;
    for (int x = 0; x < w; ++x) {
      const float u = static_cast<float>((x + 0.5) / w) * scale;
      bitmap->PutPixel(x, y, EvalUV(u, v, t));
    }
  }
}

// ---------------------------------------------------------------------------------------------------
// BitmapTex

BitmapTex::BitmapTex() : bitmap_(nullptr, DeleteBitmap) {}
BitmapTex::~BitmapTex() = default;

BOOL BitmapTex::SetMapName(const char* path, std::string* error) {
  name_ = path ? path : "";
  bitmap_.reset();
  BitmapInfo info;
  info.SetName(name_.c_str());
  bitmap_.reset(TheManager->Load(&info, error));
  return bitmap_ != nullptr;
}

Bitmap* BitmapTex::GetBitmap(TimeValue) { return bitmap_.get(); }

BMM_Color_fl BitmapTex::EvalUV(float u, float v, TimeValue) {
  BMM_Color_fl c;
  if (bitmap_) {
    // The containing pixel, whatever filter the bitmap has switched on.
    const int x = static_cast<int>(std::floor(static_cast<double>(u) * bitmap_->Width()));
    const int y = static_cast<int>(std::floor(static_cast<double>(v) * bitmap_->Height()));
    c = bitmap_->GetPixel(std::clamp(x, 0, bitmap_->Width() - 1), std::clamp(y, 0, bitmap_->Height() - 1));
  }
  return c;
}

ReferenceTarget* BitmapTex::Clone(RemapDir& remap) {
  auto* to = new (std::nothrow) BitmapTex();
  if (!to) return nullptr;
  if (!name_.empty()) to->SetMapName(name_.c_str());
  BaseClone(this, to, remap);
  return to;
}

// ---------------------------------------------------------------------------------------------------
// Procedural maps

BMM_Color_fl ConstantTex::EvalUV(float, float, TimeValue) { return color; }

ReferenceTarget* ConstantTex::Clone(RemapDir& remap) {
  auto* to = new (std::nothrow) ConstantTex();
  if (!to) return nullptr;
  to->color = color;
  BaseClone(this, to, remap);
  return to;
}

BMM_Color_fl GradientTex::EvalUV(float u, float v, TimeValue) {
  const float s = direction == kAlongV ? v : u;
  return Mix(color1, color2, std::fmin(std::fmax(s, 0.0f), 1.0f));
}

ReferenceTarget* GradientTex::Clone(RemapDir& remap) {
  ReferenceTarget* to = CloneMap(this, remap);
  if (to) static_cast<GradientTex*>(to)->direction = direction;
  return to;
}

BMM_Color_fl CheckerTex::EvalUV(float u, float v, TimeValue) {
  const int n = tiles > 0 ? tiles : 1;
  const auto cx = static_cast<std::int64_t>(std::floor(static_cast<double>(u) * n));
  const auto cy = static_cast<std::int64_t>(std::floor(static_cast<double>(v) * n));
  return ((cx + cy) & 1) == 0 ? color1 : color2;
}

ReferenceTarget* CheckerTex::Clone(RemapDir& remap) {
  ReferenceTarget* to = CloneMap(this, remap);
  if (to) static_cast<CheckerTex*>(to)->tiles = tiles;
  return to;
}

BMM_Color_fl NoiseTex::EvalUV(float u, float v, TimeValue) {
  // Three octaves, each twice the frequency and half the weight of the one before; the weights sum
  // to 1.75, so dividing by it keeps the result in [0, 1].
  double sum = 0.0, weight = 1.0, freq = size;
  for (int octave = 0; octave < 3; ++octave) {
    // Each octave's seed wraps around like the hash it feeds, so any seed is valid.
    const auto octaveSeed = static_cast<int>(static_cast<unsigned>(seed) + static_cast<unsigned>(octave) * 7919u);
    sum += weight * ValueNoise(u * freq, v * freq, octaveSeed);
    weight *= 0.5;
    freq *= 2.0;
  }
  return Mix(color1, color2, static_cast<float>(sum / 1.75));
}

ReferenceTarget* NoiseTex::Clone(RemapDir& remap) {
  ReferenceTarget* to = CloneMap(this, remap);
  if (to) {
    static_cast<NoiseTex*>(to)->size = size;
    static_cast<NoiseTex*>(to)->seed = seed;
  }
  return to;
}

Texmap* CreateProceduralTex(const std::string& kind) {
  if (kind == "constant") return new (std::nothrow) ConstantTex();
  if (kind == "gradient") return new (std::nothrow) GradientTex();
  if (kind == "checker") return new (std::nothrow) CheckerTex();
  if (kind == "noise") return new (std::nothrow) NoiseTex();
  return nullptr;
}
