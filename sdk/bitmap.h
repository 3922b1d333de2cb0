// Host bitmaps: pixel storage with a box-filtered lookup, the bitmap manager and PNG loading.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sdk/platform.h"

// A colour with float channels, normally 0 to 1.
struct BMM_Color_fl {
  float r = 0, g = 0, b = 0, a = 0;
  bool operator==(const BMM_Color_fl&) const = default;
};

// Bitmap type codes (BitmapInfo::Type).
constexpr int BMM_TRUE_32 = 4;  // 8-bit RGBA
constexpr int BMM_TRUE_64 = 8;  // 16-bit RGBA

// Filter types (Bitmap::SetFilter).
constexpr int BMM_FILTER_NONE = 0;
constexpr int BMM_FILTER_SUM = 2;  // box filter from a summed-area table

// The description of a bitmap to create or load: size, type code and file name.
class BitmapInfo {
 public:
  void SetWidth(int w) { width_ = w; }
  void SetHeight(int h) { height_ = h; }
  void SetType(int t) { type_ = t; }
  void SetName(const char* n) { name_ = n ? n : ""; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Type() const { return type_; }
  const char* Name() const { return name_.c_str(); }

 private:
  int width_ = 0;
  int height_ = 0;
  int type_ = BMM_TRUE_32;
  std::string name_;
};

// An image of 16-bit RGBA pixels addressed as stored: x from the left, y from the top row.
// 8-bit sources are widened exactly (v * 257 / 65535 == v / 255), so every source keeps its precision;
// colours written into a type 4 (8-bit RGBA) bitmap, as procedural maps are rendered, keep 8 bits.
class Bitmap {
 public:
  // An empty (black, transparent) image; a size that cannot be had gives an image without storage.
  Bitmap(int width, int height, int type);
  virtual ~Bitmap() = default;
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  // Frees the bitmap (the host's way of releasing what BitmapManager made).
  void DeleteThis() { delete this; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Type() const { return type_; }
  // Whether the bitmap holds pixels (false for a zero or unallocatable size).
  bool HasStorage() const { return !pixels_.empty(); }

  // The colour of pixel (x, y); black outside the image.
  BMM_Color_fl GetPixel(int x, int y) const;
  // Sets pixel (x, y) from a colour whose channels are clamped to 0..1; ignored outside the image.
  void PutPixel(int x, int y, const BMM_Color_fl& c);
  // Sets pixel (x, y) from raw 16-bit channels.
  void PutPixel16(int x, int y, std::uint16_t r, std::uint16_t g, std::uint16_t b, std::uint16_t a);

  // Row y as width x 4 raw 16-bit channels (RGBA), for writers that fill whole rows; null outside.
  std::uint16_t* Row16(int y);

  // Filter type: BMM_FILTER_SUM (2) switches the box filter on, anything else off.
  void SetFilter(int type);
  int GetFilter() const { return filter_; }

  // Colour at (u, v) (u = 0 left edge, v = 0 top edge, 1 the opposite edges). Filtered: the mean over
  // the du x dv box centred on (u, v), clipped to the image, each pixel weighted by the part of it the
  // box covers. Unfiltered, or a box of zero area: the pixel containing (u, v), clamped to the image.
  // Returns FALSE (out untouched) when the bitmap has no storage.
  BOOL GetFiltered(float u, float v, float du, float dv, BMM_Color_fl* out) const;

 private:
  void BuildSummedAreaTable() const;
  // Integral of every channel over [0, x] x [0, y] (pixel units) relative to the table entry `ref`.
  void IntegralFrom(double x, double y, std::size_t ref, double out[4]) const;

  int width_ = 0;
  int height_ = 0;
  int type_ = BMM_TRUE_32;
  int filter_ = BMM_FILTER_NONE;
  std::vector<std::uint16_t> pixels_;  // RGBA, row-major from the top row
  // Summed-area table of (width+1) x (height+1) entries of four exact integer channel sums: 64-bit
  // integers hold any image of up to 2^48 pixels without rounding, so large images stay precise.
  mutable std::vector<std::uint64_t> sums_;
  mutable bool sumsValid_ = false;
};

// The host's bitmap factory.
class BitmapManager {
 public:
  // A new empty bitmap of the info's width, height and type (free it with DeleteThis); null when the
  // size is not positive or cannot be allocated.
  Bitmap* Create(const BitmapInfo* info);
  // Loads the PNG file named by info->Name() (8 or 16 bits; grey, grey+alpha, RGB, RGBA, palette),
  // filling in the info's size and type. Null on failure, with the reason in *error when given.
  Bitmap* Load(BitmapInfo* info, std::string* error = nullptr);
};

// The process-wide bitmap manager.
extern BitmapManager* TheManager;

// Splits a path into its directory (through the last '/' or '\\'), file name and extension (from the
// last '.' of the file name, dot included). Any of the outputs may be null.
void BMMSplitFilename(const char* path, char* dir, char* file, char* ext, std::size_t size = 260);
