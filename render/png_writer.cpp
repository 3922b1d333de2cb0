// 8-bit sRGB PNG output through libpng, written to a temporary file beside the target and renamed
// into place, so a failed write never leaves a half-written image under the target's name.
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "render/renderer.h"

namespace gramora::render {

namespace {

std::uint8_t EncodeSrgb(float linear) {
  if (!(linear > 0.0f)) return 0;  // also maps NaN to black
  if (linear >= 1.0f) return 255;
  const float s = linear <= 0.0031308f ? 12.92f * linear : 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
  return static_cast<std::uint8_t>(std::lround(s * 255.0f));
}

struct PngErrorState {
  char message[256] = {};
};

void OnPngError(png_structp png, png_const_charp text) {
  auto* state = static_cast<PngErrorState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof(state->message), "%s", text != nullptr ? text : "libpng error");
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Writes rows to an open file; returns "" or libpng's message. Kept free of C++ objects with
// destructors, since libpng leaves it by longjmp on an error.
std::string WriteRows(FILE* file, int width, int height, png_bytepp rows) {
  PngErrorState errors;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, OnPngError, OnPngWarning);
  if (png == nullptr) return "cannot start libpng";
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return "cannot start libpng";
  }
  if (setjmp(png_jmpbuf(png)) != 0) {
    png_destroy_write_struct(&png, &info);
    return errors.message;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return {};
}

}  // namespace

std::string WritePng(const Image& image, const std::string& path) try {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgb.size() != static_cast<std::size_t>(image.width) * image.height * 3) {
    return "cannot write " + path + ": the image is empty or its size does not match its pixels";
  }
  std::vector<std::uint8_t> bytes(image.rgb.size());
  std::transform(image.rgb.begin(), image.rgb.end(), bytes.begin(), EncodeSrgb);
  std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) rows[y] = bytes.data() + static_cast<std::size_t>(y) * image.width * 3;

  const std::string temporary = path + ".tmp" + std::to_string(getpid());
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return "cannot write " + path + ": " + std::strerror(errno);
  std::string error = WriteRows(file, image.width, image.height, rows.data());
  if (std::fclose(file) != 0 && error.empty()) error = std::strerror(errno);
  if (error.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) error = std::strerror(errno);
  if (!error.empty()) {
    std::remove(temporary.c_str());
    return "cannot write " + path + ": " + error;
  }
  return {};
} catch (const std::exception& e) {
  return "cannot write " + path + ": " + e.what();
}

}  // namespace gramora::render
