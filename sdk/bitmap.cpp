#include "sdk/bitmap.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>

#include "sdk/memory.h"

namespace {
constexpr double kMax16 = 65535.0;
// A pixel's storage (four 16-bit channels) and its share of the summed-area table the box filter
// builds (four 64-bit sums): what loading a map costs per pixel, all told.
constexpr std::size_t kPixelBytes = 4 * sizeof(std::uint16_t);
constexpr std::size_t kFilterBytes = 4 * sizeof(std::uint64_t);

std::uint16_t To16(float c) {
  if (!(c > 0.0f)) return 0;  // also catches NaN
  if (c >= 1.0f) return 65535;
  return static_cast<std::uint16_t>(std::lround(static_cast<double>(c) * kMax16));
}

// An 8-bit channel held in 16 bits (v * 257), so v / 255 and the stored value / 65535 agree exactly.
std::uint16_t To8In16(float c) {
  if (!(c > 0.0f)) return 0;
  if (c >= 1.0f) return 65535;
  return static_cast<std::uint16_t>(std::lround(static_cast<double>(c) * 255.0) * 257);
}

// Pixel count of a w x h image, or 0 when it is not positive or its storage cannot be addressed.
std::size_t PixelCount(int w, int h) {
  if (w <= 0 || h <= 0) return 0;
  const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  if (n > std::numeric_limits<std::size_t>::max() / 64) return 0;
  return n;
}
}  // namespace

// ---------------------------------------------------------------------------------------------------
// Bitmap

Bitmap::Bitmap(int width, int height, int type) : type_(type) {
  const std::size_t n = PixelCount(width, height);
  if (n == 0 || !HostCanHold(n * kPixelBytes)) return;
  try {
    pixels_.assign(n * 4, 0);
  } catch (const std::bad_alloc&) {
    return;
  } catch (const std::length_error&) {
    return;
  }
  width_ = width;
  height_ = height;
}

BMM_Color_fl Bitmap::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  const std::uint16_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  return {static_cast<float>(p[0] / kMax16), static_cast<float>(p[1] / kMax16), static_cast<float>(p[2] / kMax16),
          static_cast<float>(p[3] / kMax16)};
}

void Bitmap::PutPixel16(int x, int y, std::uint16_t r, std::uint16_t g, std::uint16_t b, std::uint16_t a) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::uint16_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  p[0] = r;
  p[1] = g;
  p[2] = b;
  p[3] = a;
  sumsValid_ = false;
}

std::uint16_t* Bitmap::Row16(int y) {
  if (y < 0 || y >= height_) return nullptr;
  sumsValid_ = false;
  return &pixels_[static_cast<std::size_t>(y) * width_ * 4];
}

void Bitmap::PutPixel(int x, int y, const BMM_Color_fl& c) {
  // Type 4 bitmaps are 8-bit RGBA: what is written keeps only that precision.
  auto quantise = type_ == BMM_TRUE_64 ? To16 : To8In16;
  PutPixel16(x, y, quantise(c.r), quantise(c.g), quantise(c.b), quantise(c.a));
}

void Bitmap::SetFilter(int type) {
  filter_ = type == BMM_FILTER_SUM ? BMM_FILTER_SUM : BMM_FILTER_NONE;
  if (filter_ == BMM_FILTER_SUM && !sumsValid_) BuildSummedAreaTable();
}

void Bitmap::BuildSummedAreaTable() const {
  std::vector<std::uint64_t>().swap(sums_);
  sumsValid_ = false;
  if (!HasStorage()) return;
  const std::size_t stride = static_cast<std::size_t>(width_) + 1;
  const std::size_t count = stride * (static_cast<std::size_t>(height_) + 1) * 4;
  if (!HostCanHold(count * sizeof(std::uint64_t))) return;  // as for a failed allocation
  try {
    sums_.assign(count, 0);
  } catch (const std::bad_alloc&) {
    return;  // the lookup then falls back to the containing pixel
  } catch (const std::length_error&) {
    return;
  }
  // sums_[(y * stride + x) * 4 + c] = sum of channel c over pixels [0, x) x [0, y).
  for (int y = 0; y < height_; ++y) {
    std::uint64_t row[4] = {0, 0, 0, 0};
    const std::uint16_t* src = &pixels_[static_cast<std::size_t>(y) * width_ * 4];
    const std::uint64_t* above = &sums_[static_cast<std::size_t>(y) * stride * 4];
    std::uint64_t* dst = &sums_[(static_cast<std::size_t>(y) + 1) * stride * 4];
    for (int x = 0; x < width_; ++x) {
      for (int c = 0; c < 4; ++c) {
        row[c] += src[x * 4 + c];
        dst[(x + 1) * 4 + c] = above[(x + 1) * 4 + c] + row[c];
      }
    }
  }
  sumsValid_ = true;
}

void Bitmap::IntegralFrom(double x, double y, std::size_t ref, double out[4]) const {
  // The integral of a piecewise-constant image is exactly the bilinear interpolation of its
  // summed-area table. Differences are taken in integers against a reference entry near the box, so
  // the doubles only ever carry the size of the box's own content, however large the image.
  const std::size_t stride = static_cast<std::size_t>(width_) + 1;
  const int xi = std::min(static_cast<int>(x), width_ - 1);
  const int yi = std::min(static_cast<int>(y), height_ - 1);
  const double fx = x - xi, fy = y - yi;
  const std::size_t i00 = (static_cast<std::size_t>(yi) * stride + xi) * 4;
  const std::size_t i10 = i00 + 4, i01 = i00 + stride * 4, i11 = i01 + 4;
  for (int c = 0; c < 4; ++c) {
    const auto s = [&](std::size_t i) { return static_cast<std::int64_t>(sums_[i + c]); };
    const double base = static_cast<double>(s(i00) - static_cast<std::int64_t>(sums_[ref + c]));
    const double dx = static_cast<double>(s(i10) - s(i00));
    const double dy = static_cast<double>(s(i01) - s(i00));
    const double pixel = static_cast<double>(s(i11) - s(i10) - s(i01) + s(i00));
    out[c] = base + fx * dx + fy * dy + fx * fy * pixel;
  }
}

BOOL Bitmap::GetFiltered(float u, float v, float du, float dv, BMM_Color_fl* out) const {
  if (!HasStorage() || out == nullptr) return FALSE;
  const double w = width_, h = height_;
  const double cx = static_cast<double>(u) * w, cy = static_cast<double>(v) * h;
  if (filter_ == BMM_FILTER_SUM) {
    if (!sumsValid_) BuildSummedAreaTable();
    const double hx = std::fabs(static_cast<double>(du)) * w * 0.5;
    const double hy = std::fabs(static_cast<double>(dv)) * h * 0.5;
    const double x0 = std::clamp(cx - hx, 0.0, w), x1 = std::clamp(cx + hx, 0.0, w);
    const double y0 = std::clamp(cy - hy, 0.0, h), y1 = std::clamp(cy + hy, 0.0, h);
    const double area = (x1 - x0) * (y1 - y0);
    if (sumsValid_ && area > 0.0 && std::isfinite(area)) {
      const std::size_t stride = static_cast<std::size_t>(width_) + 1;
      const std::size_t ref = (static_cast<std::size_t>(std::min(static_cast<int>(y0), height_ - 1)) * stride +
                               static_cast<std::size_t>(std::min(static_cast<int>(x0), width_ - 1))) *
                              4;
      double a[4], b[4], c[4], d[4];
      IntegralFrom(x1, y1, ref, a);
      IntegralFrom(x0, y1, ref, b);
      IntegralFrom(x1, y0, ref, c);
      IntegralFrom(x0, y0, ref, d);
      float* dst[4] = {&out->r, &out->g, &out->b, &out->a};
      for (int k = 0; k < 4; ++k) {
        const double mean = (a[k] - b[k] - c[k] + d[k]) / area / kMax16;
        *dst[k] = static_cast<float>(std::clamp(mean, 0.0, 1.0));
      }
      return TRUE;
    }
  }
  // The containing pixel; NaN coordinates land on pixel 0.
  const int x = std::isfinite(cx) ? static_cast<int>(std::clamp(std::floor(cx), 0.0, w - 1)) : 0;
  const int y = std::isfinite(cy) ? static_cast<int>(std::clamp(std::floor(cy), 0.0, h - 1)) : 0;
  *out = GetPixel(x, y);
  return TRUE;
}

// ---------------------------------------------------------------------------------------------------
// BitmapManager

namespace {
BitmapManager theManager;

struct PngReadState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngReadState() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

void PngError(png_structp png, png_const_charp message) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  if (error) *error = message;
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

// Reads the header and sets up the conversion of every format to 16-bit RGBA in native byte order.
// The two libpng steps run in functions without C++ objects, as longjmp out of libpng requires.
// `storedRowBytes` is the length of one row as the file stores it, before any conversion.
bool ReadPngHeader(std::FILE* file, PngReadState& st, png_uint_32& w, png_uint_32& h, int& depth,
                   png_size_t& storedRowBytes) {
  if (setjmp(png_jmpbuf(st.png))) return false;
  png_init_io(st.png, file);
  png_set_sig_bytes(st.png, 8);
  png_set_user_limits(st.png, 1u << 20, 1u << 20);
  png_read_info(st.png, st.info);
  w = png_get_image_width(st.png, st.info);
  h = png_get_image_height(st.png, st.info);
  depth = png_get_bit_depth(st.png, st.info);
  storedRowBytes = png_get_rowbytes(st.png, st.info);
  const int colour = png_get_color_type(st.png, st.info);
  if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(st.png);
  if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(st.png);
  if (png_get_valid(st.png, st.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(st.png);
  if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(st.png);
  png_set_expand_16(st.png);
  png_set_add_alpha(st.png, 0xFFFF, PNG_FILLER_AFTER);
  png_set_swap(st.png);
  png_set_interlace_handling(st.png);
  png_read_update_info(st.png, st.info);
  return true;
}

bool ReadPngRows(PngReadState& st, png_bytepp rows) {
  if (setjmp(png_jmpbuf(st.png))) return false;
  png_read_image(st.png, rows);
  png_read_end(st.png, nullptr);
  return true;
}

// True when a file of `fileBytes` bytes cannot hold h rows of `rowBytes` (each with its filter
// byte): deflate shrinks data at most 1032-fold, so a header claiming more pixels than its data
// could ever hold (a 100 x 100 byte file claiming 40000 x 40000) is refused before any memory for
// the image is taken.
bool TooSmallForImage(std::uintmax_t fileBytes, png_uint_32 h, png_size_t rowBytes) {
  constexpr double kMaxDeflateRatio = 1032.0;
  const double raw = static_cast<double>(h) * (static_cast<double>(rowBytes) + 1.0);
  return raw > static_cast<double>(fileBytes) * kMaxDeflateRatio + 1024.0;
}

Bitmap* Decode(std::FILE* file, std::uintmax_t fileBytes, PngReadState& st, std::string& error) {
  png_uint_32 w = 0, h = 0;
  int depth = 8;
  png_size_t storedRowBytes = 0;
  if (!ReadPngHeader(file, st, w, h, depth, storedRowBytes)) return nullptr;
  if (TooSmallForImage(fileBytes, h, storedRowBytes)) {
    error = "the file is too small to hold a " + std::to_string(w) + " x " + std::to_string(h) + " image";
    return nullptr;
  }
  // A few hundred bytes of PNG can claim gigabytes of pixels: the whole cost, pixels and the
  // filter's table, is weighed against what the process can have before anything is allocated.
  const std::size_t pixels = PixelCount(static_cast<int>(w), static_cast<int>(h));
  const std::size_t need = EstimatePeakBytes(0, 1, pixels * (kPixelBytes + kFilterBytes), 0);
  if (!HostCanHold(need)) {
    error = "the " + std::to_string(w) + " x " + std::to_string(h) + " image needs about " + DescribeBytes(need) +
            " to load and filter, more than the " + DescribeBytes(HostHeadroom()) +
            " this process can have; use a smaller image";
    return nullptr;
  }
  std::unique_ptr<Bitmap> bitmap(
      new (std::nothrow) Bitmap(static_cast<int>(w), static_cast<int>(h), depth == 16 ? BMM_TRUE_64 : BMM_TRUE_32));
  std::vector<png_bytep> rows;
  try {
    rows.resize(h);
  } catch (const std::bad_alloc&) {
    bitmap.reset();
  }
  if (!bitmap || !bitmap->HasStorage()) {
    error = "image too large to load";
    return nullptr;
  }
  // libpng writes straight into the pixel storage: no second copy of the image is ever held.
  for (png_uint_32 y = 0; y < h; ++y) rows[y] = reinterpret_cast<png_bytep>(bitmap->Row16(static_cast<int>(y)));
  if (!ReadPngRows(st, rows.data())) return nullptr;
  return bitmap.release();
}
}  // namespace

BitmapManager* TheManager = &theManager;

Bitmap* BitmapManager::Create(const BitmapInfo* info) {
  if (info == nullptr) return nullptr;
  auto* bm = new (std::nothrow) Bitmap(info->Width(), info->Height(), info->Type());
  if (bm != nullptr && !bm->HasStorage()) {
    delete bm;
    return nullptr;
  }
  return bm;
}

Bitmap* BitmapManager::Load(BitmapInfo* info, std::string* errorOut) {
  std::string error;
  Bitmap* result = nullptr;
  if (info == nullptr) return nullptr;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(info->Name(), "rb"));
  if (!file) {
    error = std::string("cannot open: ") + std::strerror(errno);
  } else {
    png_byte signature[8] = {};
    if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
      error = "not a PNG file";
    } else {
      PngReadState st;
      st.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, PngError, PngWarning);
      if (st.png) st.info = png_create_info_struct(st.png);
      if (!st.png || !st.info) {
        error = "out of memory";
      } else {
        std::error_code ec;
        const std::uintmax_t fileBytes = std::filesystem::file_size(info->Name(), ec);
        result = Decode(file.get(), ec ? UINTMAX_MAX : fileBytes, st, error);
        if (result) {
          info->SetWidth(result->Width());
          info->SetHeight(result->Height());
          info->SetType(result->Type());
        } else if (error.empty()) {
          error = "cannot decode PNG";
        }
      }
    }
  }
  if (!result && errorOut) *errorOut = error;
  return result;
}

void BMMSplitFilename(const char* path, char* dir, char* file, char* ext, std::size_t size) {
  const std::string p = path ? path : "";
  const std::size_t slash = p.find_last_of("/\\");
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string name = p.substr(nameStart);
  const std::size_t dot = name.find_last_of('.');
  const auto put = [size](char* out, const std::string& s) {
    if (out == nullptr || size == 0) return;
    const std::size_t n = std::min(s.size(), size - 1);
    std::memcpy(out, s.data(), n);
    out[n] = '\0';
  };
  put(dir, p.substr(0, nameStart));
  put(file, dot == std::string::npos ? name : name.substr(0, dot));
  put(ext, dot == std::string::npos ? std::string() : name.substr(dot));
}
