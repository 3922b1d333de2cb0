// Texture maps: the Texmap base, the PNG bitmap texture and four procedural maps.
//
// How a host or test makes each map (all are reference targets: hand them to an object through a
// parameter block's SetValue or the object's ReplaceReference, and the reference system frees them):
//
//   BitmapTex* bm = new BitmapTex();                 // Class_ID(0x240, 0)
//   std::string why;
//   if (!bm->SetMapName("grass/height.png", &why))   // loads now: 8/16-bit grey, RGB, RGBA (PNG)
//     report(why);                                   // bm stays usable, without a bitmap
//
//   auto* c = new ConstantTex();   c->color = {0.5f, 0.5f, 0.5f, 1.0f};
//   auto* g = new GradientTex();   g->color1 = ...; g->color2 = ...; g->direction = GradientTex::kAlongV;
//   auto* k = new CheckerTex();    k->color1 = ...; k->color2 = ...; k->tiles = 8;
//   auto* n = new NoiseTex();      n->color1 = ...; n->color2 = ...; n->size = 4.0f; n->seed = 1;
//   Texmap* t = CreateProceduralTex("checker");      // by kind name: constant, gradient, checker, noise
//
// Texture coordinates follow the bitmap's: u = 0 at the left edge, v = 0 at the top row.
#pragma once
#include <memory>
#include <string>

#include "sdk/bitmap.h"
#include "sdk/ref.h"

// A texture: a colour for every (u, v), rendered into bitmaps on request.
class Texmap : public ReferenceTarget {
 public:
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  // The colour at (u, v) at time t.
  virtual BMM_Color_fl EvalUV(float u, float v, TimeValue t) = 0;
  // Fills the bitmap with the colour at each pixel centre, ((x + 0.5) / width, (y + 0.5) / height)
  // times scale. Centre sampling is the whole filter, so `filter` changes nothing.
  virtual void RenderBitmap(TimeValue t, Bitmap* bitmap, float scale = 1.0f, BOOL filter = FALSE);
};

// The host's bitmap texture: an image file, addressed as stored.
class BitmapTex : public Texmap {
 public:
  BitmapTex();
  ~BitmapTex() override;

  Class_ID ClassID() override { return Class_ID(0x240, 0); }
  void GetClassName(MSTR& s) override { s = "Bitmap"; }

  // Names the image file and loads it (PNG). FALSE, with no bitmap held and the reason in *error
  // (when given), if it cannot be loaded.
  BOOL SetMapName(const char* path, std::string* error = nullptr);
  const char* GetMapName() const { return name_.c_str(); }
  // The loaded image (owned by the texture), or null when none could be loaded.
  Bitmap* GetBitmap(TimeValue t);

  // The containing pixel's colour (black without a bitmap).
  BMM_Color_fl EvalUV(float u, float v, TimeValue t) override;
  ReferenceTarget* Clone(RemapDir& remap) override;

 private:
  std::string name_;
  std::unique_ptr<Bitmap, void (*)(Bitmap*)> bitmap_;
};

// One colour everywhere.
class ConstantTex : public Texmap {
 public:
  BMM_Color_fl color{0.5f, 0.5f, 0.5f, 1.0f};

  Class_ID ClassID() override { return Class_ID(0x6a71c501, 0x1); }
  void GetClassName(MSTR& s) override { s = "Constant"; }
  BMM_Color_fl EvalUV(float u, float v, TimeValue t) override;
  ReferenceTarget* Clone(RemapDir& remap) override;
};

// A linear blend from color1 (u or v = 0) to color2 (u or v = 1).
class GradientTex : public Texmap {
 public:
  enum Direction { kAlongU = 0, kAlongV = 1 };
  BMM_Color_fl color1{0.0f, 0.0f, 0.0f, 1.0f};
  BMM_Color_fl color2{1.0f, 1.0f, 1.0f, 1.0f};
  Direction direction = kAlongU;

  Class_ID ClassID() override { return Class_ID(0x6a71c501, 0x2); }
  void GetClassName(MSTR& s) override { s = "Gradient"; }
  BMM_Color_fl EvalUV(float u, float v, TimeValue t) override;
  ReferenceTarget* Clone(RemapDir& remap) override;
};

// A checkerboard of tiles x tiles squares over the unit square; color1 where the top-left square is.
class CheckerTex : public Texmap {
 public:
  BMM_Color_fl color1{0.0f, 0.0f, 0.0f, 1.0f};
  BMM_Color_fl color2{1.0f, 1.0f, 1.0f, 1.0f};
  int tiles = 2;

  Class_ID ClassID() override { return Class_ID(0x6a71c501, 0x3); }
  void GetClassName(MSTR& s) override { s = "Checker"; }
  BMM_Color_fl EvalUV(float u, float v, TimeValue t) override;
  ReferenceTarget* Clone(RemapDir& remap) override;
};

// Smooth value noise (three octaves) blending color1 (noise 0) to color2 (noise 1); `size` lattice
// cells span the unit square, and each seed gives its own reproducible pattern.
class NoiseTex : public Texmap {
 public:
  BMM_Color_fl color1{0.0f, 0.0f, 0.0f, 1.0f};
  BMM_Color_fl color2{1.0f, 1.0f, 1.0f, 1.0f};
  float size = 4.0f;
  int seed = 1;

  Class_ID ClassID() override { return Class_ID(0x6a71c501, 0x4); }
  void GetClassName(MSTR& s) override { s = "Noise"; }
  BMM_Color_fl EvalUV(float u, float v, TimeValue t) override;
  ReferenceTarget* Clone(RemapDir& remap) override;
};

// A procedural map with its default options by kind name ("constant", "gradient", "checker",
// "noise"); null for any other name.
Texmap* CreateProceduralTex(const std::string& kind);
