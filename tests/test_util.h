// What many suites need, written once: a fresh temporary folder, small files and PNG images written
// on the spot and files read back, and the gramora program run on a command line.
#pragma once
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test_util {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary directory, removed with the object.
class TempDir {
 public:
  TempDir() {
    path_ =
        fs::temp_directory_path() / ("gramora_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& path() const { return path_; }

 private:
  static inline int counter_ = 0;
  fs::path path_;
};

inline std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

inline void WriteBytes(const fs::path& path, const void* data, std::size_t n) {
  std::ofstream(path, std::ios::binary).write(static_cast<const char*>(data), static_cast<std::streamsize>(n));
}

// Writes a PNG: `samples` holds width * height * channels values of `depth` bits (8 or 16), rows
// from the top; colorType is a PNG_COLOR_TYPE_* value.
inline bool WritePng(const std::string& path, int width, int height, int depth, int colorType,
                     const std::vector<unsigned>& samples) {
  const int channels = colorType == PNG_COLOR_TYPE_GRAY         ? 1
                       : colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                       : colorType == PNG_COLOR_TYPE_RGB        ? 3
                                                                : 4;
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

// How a run of gramora ended: its exit status (-1 when it did not exit, as when it was killed) and
// what it printed.
struct GramoraRun {
  int status = -1;
  std::string out, err;
};

// Runs the built gramora with the arguments (each single-quoted for the shell), its output kept in
// files in `dir`; `prefix` goes before the program (a command such as "prlimit --as=N --").
inline GramoraRun RunGramora(const std::vector<std::string>& args, const fs::path& dir,
                             const std::string& prefix = "") {
  std::string cmd = prefix + " '" + GRAMORA_BIN_DIR + "/gramora'";
  for (const std::string& a : args) cmd += " '" + a + "'";
  cmd += " >'" + (dir / "stdout").string() + "' 2>'" + (dir / "stderr").string() + "'";
  GramoraRun r;
  const int raw = std::system(cmd.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadAll(dir / "stdout");
  r.err = ReadAll(dir / "stderr");
  return r;
}

}  // namespace test_util
