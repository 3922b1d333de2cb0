// 8-bit sRGB PNG encoding through libpng, handed block by block to the caller, which writes the file
// (the host writes it the way it writes every output: whole or not at all).
#include <png.h>

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

// libpng's write callback: hands each block to the caller's sink, and stops libpng (by its error
// jump) when the sink refuses it.
void WriteToSink(png_structp png, png_bytep data, png_size_t size) {
  const auto* sink = static_cast<const PngSink*>(png_get_io_ptr(png));
  if (!(*sink)(data, size)) png_error(png, "the output refused the data");
}

void FlushNothing(png_structp) {}

// Encodes rows into the sink; returns "" or libpng's message. Kept free of C++ objects with
// destructors, since libpng leaves it by longjmp on an error.
std::string WriteRows(const PngSink* sink, int width, int height, png_bytepp rows) {
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
  png_set_write_fn(png, const_cast<PngSink*>(sink), WriteToSink, FlushNothing);
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

std::string EncodePng(const Image& image, const PngSink& sink) try {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgb.size() != static_cast<std::size_t>(image.width) * image.height * 3) {
    return "the image is empty or its size does not match its pixels";
  }
  std::vector<std::uint8_t> bytes(image.rgb.size());
  std::transform(image.rgb.begin(), image.rgb.end(), bytes.begin(), EncodeSrgb);
  std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) rows[y] = bytes.data() + static_cast<std::size_t>(y) * image.width * 3;
  return WriteRows(&sink, image.width, image.height, rows.data());
} catch (const std::exception& e) {
  return e.what();
}

}  // namespace gramora::render
