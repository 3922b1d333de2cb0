// Helpers of the lawn suites: temporary folders, small files and PNG images written on the spot.
#pragma once
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "sdk/bitmap.h"
#include "sdk/texmap.h"

namespace lawn_test {

// A fresh folder under the system's temporary directory, removed with the object.
class TempDir {
 public:
  TempDir() {
    path_ = std::filesystem::temp_directory_path() /
            ("gramora_lawn_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::error_code ec; std::filesystem::remove_all(path_, ec); }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline void WriteBytes(const std::string& path, const void* data, std::size_t n) {
  std::ofstream(path, std::ios::binary).write(static_cast<const char*>(data), static_cast<std::streamsize>(n));
}

// Writes a PNG: `samples` holds width * height * channels values of `depth` bits (8 or 16), rows
// from the top; colorType is a PNG_COLOR_TYPE_* value.
inline bool WritePng(const std::string& path, int width, int height, int depth, int colorType,
                     const std::vector<unsigned>& samples) {
  const int channels = colorType == PNG_COLOR_TYPE_GRAY ? 1 : colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                       : colorType == PNG_COLOR_TYPE_RGB ? 3 : 4;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, width, height, depth, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const int bytes = depth / 8;
  std::vector<png_byte> row(static_cast<std::size_t>(width) * channels * bytes);
  for (int y = 0; y < height; ++y) {
    for (int k = 0; k < width * channels; ++k) {
      const unsigned s = samples[static_cast<std::size_t>(y) * width * channels + k];
      if (bytes == 2) {
        row[k * 2] = static_cast<png_byte>(s >> 8);  // PNG stores big-endian
        row[k * 2 + 1] = static_cast<png_byte>(s & 0xFF);
      } else {
        row[k] = static_cast<png_byte>(s);
      }
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return true;
}

using BitmapPtr = std::unique_ptr<Bitmap, void (*)(Bitmap*)>;

// A size x size bitmap of the map, filtered, as a build acquires it.
inline BitmapPtr Rendered(Texmap& map, int size) {
  BitmapInfo bi;
  bi.SetWidth(size);
  bi.SetHeight(size);
  BitmapPtr bitmap(TheManager->Create(&bi), [](Bitmap* b) { b->DeleteThis(); });
  map.RenderBitmap(0, bitmap.get());
  bitmap->SetFilter(2);
  return bitmap;
}

}  // namespace lawn_test
