#include "lawn/vector_field.h"

#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>

#include "sdk/file_access.h"
#include "sdk/log.h"
#include "sdk/memory.h"

GPUVectorField2D* TheVectorField = nullptr;

namespace {
// The field lives until the plug-in is unloaded; this frees it then.
struct FieldOwner {
  ~FieldOwner() {
    delete TheVectorField;
    TheVectorField = nullptr;
  }
} fieldOwner;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file, but no device, pipe or socket: /dev/zero never ends and a pipe may never deliver,
// and either would hold the host's main thread for good. (A folder opens and fails to read.)
File OpenFile(const std::string& path, const char* mode) {
  std::error_code ec;
  if (std::filesystem::is_other(path, ec)) return nullptr;
  return File(std::fopen(path.c_str(), mode));
}

// Reads one whole line, however long, without its line break. False at the end of the file or on a
// read error (the caller tells them apart with ferror).
bool ReadLine(std::FILE* f, std::string& line) {
  line.clear();
  char chunk[1024];
  bool any = false;
  while (std::fgets(chunk, sizeof chunk, f)) {
    any = true;
    line += chunk;
    if (!line.empty() && line.back() == '\n') {
      line.pop_back();
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
  }
  return any && !std::ferror(f);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Position just after the line's first white-space-delimited word (the key).
std::size_t AfterFirstWord(const std::string& line) {
  std::size_t p = 0;
  while (p < line.size() && IsBlank(line[p])) ++p;
  while (p < line.size() && !IsBlank(line[p])) ++p;
  return p;
}

// Reads the next white-space-delimited word from p, at most maxLen characters of it.
std::string NextWord(const std::string& line, std::size_t p, std::size_t maxLen = std::string::npos) {
  while (p < line.size() && IsBlank(line[p])) ++p;
  std::size_t e = p;
  while (e < line.size() && !IsBlank(line[e])) ++e;
  return line.substr(p, std::min(e - p, maxLen));
}

// Reads decimal integers in [lo, hi] from p, one per output, the way a scanner does: the first value
// that is missing, not a number or out of range stops the reading and leaves the rest untouched.
template <class T>
void ReadIntegers(const std::string& line, std::size_t p, long long lo, long long hi, std::initializer_list<T*> outs) {
  const char* s = line.c_str() + p;
  for (T* out : outs) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(s, &end, 10);
    if (end == s || errno == ERANGE || v < lo || v > hi) return;
    *out = static_cast<T>(v);
    s = end;
  }
}

// The folder a file lies in, as the system sees it (a backslash is part of a name here): "." for a
// bare name.
std::string FolderOf(const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

// Byte value b as the component (b / 255 - 0.5) * 2, so 0 is -1 and 255 is +1.
float ByteComponent(std::uint8_t b) { return static_cast<float>((b / 255.0 - 0.5) * 2.0); }

// Checked size_t product; false on overflow.
bool Multiply(std::size_t a, std::size_t b, std::size_t* out) {
  if (a != 0 && b > std::numeric_limits<std::size_t>::max() / a) return false;
  *out = a * b;
  return true;
}
}  // namespace

GPUVectorField2D* GetOrCreateVectorField() {
  if (TheVectorField == nullptr) TheVectorField = new (std::nothrow) GPUVectorField2D();
  return TheVectorField;
}

bool FormatFramePattern(const std::string& pattern, int f, std::string* out) {
  // Only "%%" and at most one integer conversion may reach the formatter: anything else read from a
  // file would let it read arguments that were never passed. The frame number is passed as the
  // type the conversion's length modifier names.
  constexpr long kMaxField = 4096;  // width/precision limit, keeps the formatted name bounded
  enum class Length { kInt, kChar, kShort, kLong, kLongLong, kIntMax, kSize, kPtrDiff };
  Length length = Length::kInt;
  int conversions = 0;
  for (std::size_t p = 0; p < pattern.size(); ++p) {
    if (pattern[p] != '%') continue;
    ++p;
    if (p < pattern.size() && pattern[p] == '%') continue;
    while (p < pattern.size() && std::strchr("-+ #0", pattern[p])) ++p;
    for (int part = 0; part < 2; ++part) {
      if (part == 1) {
        if (p >= pattern.size() || pattern[p] != '.') break;
        ++p;
      }
      long value = 0;
      while (p < pattern.size() && pattern[p] >= '0' && pattern[p] <= '9') {
        value = value * 10 + (pattern[p] - '0');
        if (value > kMaxField) return false;
        ++p;
      }
    }
    const auto next = [&](char c) { return p < pattern.size() && pattern[p] == c ? (++p, true) : false; };
    if (next('h')) length = next('h') ? Length::kChar : Length::kShort;
    else if (next('l')) length = next('l') ? Length::kLongLong : Length::kLong;
    else if (next('j')) length = Length::kIntMax;
    else if (next('z')) length = Length::kSize;
    else if (next('t')) length = Length::kPtrDiff;
    if (p >= pattern.size() || pattern[p] == '\0' || !std::strchr("diouxX", pattern[p])) return false;
    if (++conversions > 1) return false;
  }
  const auto format = [&](char* buffer, std::size_t size) {
    switch (length) {
      case Length::kChar:
      case Length::kShort:
      case Length::kInt: return std::snprintf(buffer, size, pattern.c_str(), f);  // promoted to int
      case Length::kLong: return std::snprintf(buffer, size, pattern.c_str(), static_cast<long>(f));
      case Length::kLongLong: return std::snprintf(buffer, size, pattern.c_str(), static_cast<long long>(f));
      case Length::kIntMax: return std::snprintf(buffer, size, pattern.c_str(), static_cast<std::intmax_t>(f));
      case Length::kSize: return std::snprintf(buffer, size, pattern.c_str(), static_cast<std::size_t>(f));
      case Length::kPtrDiff: return std::snprintf(buffer, size, pattern.c_str(), static_cast<std::ptrdiff_t>(f));
    }
    return -1;
  };
  const int n = format(nullptr, 0);
  if (n < 0) return false;
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  format(s.data(), s.size());
  s.resize(static_cast<std::size_t>(n));
  *out = std::move(s);
  return true;
}

bool GPUVectorField2D::Load(const std::string& descriptionPath) {
  std::vector<float>().swap(vectors);
  floatFormat = 0;
  timeDependent = false;
  firstFrame = lastFrame = frameCount = 0;
  resolutionX = resolutionY = resolutionZ = 0;

  File file = OpenFile(descriptionPath, "r");
  if (!file) return false;
  const std::size_t slash = descriptionPath.find_last_of("/\\");
  const std::string directory = slash == std::string::npos ? std::string() : descriptionPath.substr(0, slash + 1);

  std::string fileName, format, line;
  int lineNumber = 0, fileNameLine = 0;
  while (ReadLine(file.get(), line)) {
    ++lineNumber;
    const std::size_t values = AfterFirstWord(line);
    // A key whose value is missing leaves the earlier value as it was, as the integer keys do.
    if (line.starts_with("ObjectFileName:")) {
      if (std::string word = NextWord(line, values); !word.empty()) {
        fileName = std::move(word);
        fileNameLine = lineNumber;
      }
    } else if (line.starts_with("Resolution:")) {
      ReadIntegers<std::uint32_t>(line, values, 0, UINT_MAX, {&resolutionX, &resolutionY, &resolutionZ});
    } else if (line.starts_with("TimeDependent:")) {
      timeDependent = true;
      ReadIntegers<int>(line, values, INT_MIN, INT_MAX, {&firstFrame, &lastFrame});
      const long long count = static_cast<long long>(lastFrame) - firstFrame + 1;
      frameCount = count > INT_MAX ? 0 : static_cast<int>(count);
    } else if (line.starts_with("Format:")) {
      if (std::string word = NextWord(line, values, 7); !word.empty()) format = std::move(word);
    }
  }
  if (std::ferror(file.get())) {
    std::printf("Error: could not read from file <%s>\n", descriptionPath.c_str());
    std::fflush(stdout);
    return false;
  }
  file.reset();
  floatFormat = format.compare(0, 6, "FLOAT3") == 0 && format.size() >= 6 ? 1 : 0;
  // A readable description is a successful load even when it yields no data (no resolution, an
  // empty frame range, a refused pattern): the field is then simply empty. The description may come
  // from a stranger: what it asks for is refused, not just attempted, when the data files it names
  // lie outside its folder (the message names the line that names them) or the field would not fit.
  std::string refusal;
  if (!ReadData(directory, fileName, &refusal) && !refusal.empty()) {
    const bool aboutDataFile = refusal.starts_with("the data file");
    LogEntry(LogLevel::kError, descriptionPath + (aboutDataFile ? " line " + std::to_string(fileNameLine) : "") + ": " +
                                   refusal + "; the field holds no data");
  }
  return true;
}

std::size_t GPUVectorField2D::FrameFloats() const {
  std::size_t n = 3;
  if (!Multiply(n, resolutionX, &n) || !Multiply(n, resolutionY, &n) || !Multiply(n, resolutionZ, &n)) return 0;
  return n;
}

bool GPUVectorField2D::ReadData(const std::string& directory, const std::string& fileName, std::string* refusal) {
  std::vector<float>().swap(vectors);
  const std::size_t n = FrameFloats();
  const std::size_t frames = timeDependent ? static_cast<std::size_t>(std::max(frameCount, 0)) : 1;
  std::size_t total = 0, bytes = 0;
  // The whole field's byte size must fit in 32 bits; larger grids count as an allocation failure.
  if (n == 0 || frames == 0 || !Multiply(n, frames, &total) || !Multiply(total, sizeof(float), &bytes) ||
      bytes > std::numeric_limits<std::uint32_t>::max())
    return false;
  // Used unchanged without time: a '%' is an ordinary character there. With time, a name without
  // any conversion names the same file for every frame.
  std::string name = fileName;
  if (timeDependent && !FormatFramePattern(fileName, firstFrame, &name)) return false;

  // A 67-byte description can ask for gigabytes: the field and its staging bytes are weighed
  // against what the process can have before anything is allocated.
  const std::size_t need = EstimatePeakBytes(0, 1, 0, bytes + (floatFormat ? 0 : n));
  if (!HostCanHold(need)) {
    if (refusal) {
      *refusal = "the field of " + std::to_string(resolutionX) + " x " + std::to_string(resolutionY) + " x " +
                 std::to_string(resolutionZ) + " cells in " + std::to_string(frames) + " frame(s) needs about " +
                 DescribeBytes(need) + ", more than the " + DescribeBytes(HostHeadroom()) +
                 " this process can have; give it a smaller \"Resolution:\" or fewer frames";
    }
    return false;
  }
  try {
    vectors.assign(total, 0.0f);
    if (!floatFormat) staging.assign(n, 0);
  } catch (const std::bad_alloc&) {
    std::vector<float>().swap(vectors);
    std::vector<std::uint8_t>().swap(staging);
    return false;
  }
  float table[256];
  for (int b = 0; b < 256; ++b) table[b] = ByteComponent(static_cast<std::uint8_t>(b));
  const std::string folder = FolderOf(directory + "f");
  for (std::size_t k = 0; k < frames; ++k) {
    if (timeDependent) FormatFramePattern(fileName, static_cast<int>(firstFrame + static_cast<long long>(k)), &name);
    const std::string path = directory + name;
    // Checked file by file, just before it is read: any one name could be a link leading out.
    if (!NamedPathAllowed(path, folder)) {
      if (refusal) *refusal = "the data file " + OutsidePathRefusal(path, folder);
      std::vector<float>().swap(vectors);
      std::vector<std::uint8_t>().swap(staging);
      return false;
    }
    float* frame = vectors.data() + k * n;
    if (floatFormat) {
      ReadFloatFrame(path, frame);
    } else {
      std::size_t got = 0;
      ReadByteFrame(path, &got);
      for (std::size_t e = 0; e < got; ++e) frame[e] = table[staging[e]];
    }
  }
  std::vector<std::uint8_t>().swap(staging);
  return true;
}

bool GPUVectorField2D::ReadFloatFrame(const std::string& path, float* destination) const {
  const std::size_t n = FrameFloats();
  File file = OpenFile(path, "rb");
  if (!file || n == 0) return false;
  auto* bytes = reinterpret_cast<unsigned char*>(destination);
  const std::size_t got = std::fread(bytes, 1, n * sizeof(float), file.get());
  // A trailing partial float is not a value: it stays zero like the rest of a short frame.
  std::memset(bytes + got / sizeof(float) * sizeof(float), 0, got % sizeof(float));
  if constexpr (std::endian::native == std::endian::big) {
    for (std::size_t e = 0; e < got / sizeof(float); ++e) {
      std::uint32_t u;
      std::memcpy(&u, destination + e, 4);
      u = (u >> 24) | ((u >> 8) & 0xFF00u) | ((u << 8) & 0xFF0000u) | (u << 24);
      std::memcpy(destination + e, &u, 4);
    }
  }
  return got == n * sizeof(float);
}

bool GPUVectorField2D::ReadByteFrame(const std::string& path, std::size_t* got) {
  *got = 0;
  const std::size_t n = FrameFloats();
  if (staging.size() < n || n == 0) return false;
  File file = OpenFile(path, "rb");
  if (!file) return false;
  *got = std::fread(staging.data(), 1, n, file.get());
  return *got == n;
}

void GPUVectorField2D::CellForBlade(int ix, int iy, float nx, float ny, std::uint32_t* i, std::uint32_t* j) const {
  // Products in unsigned 32 bits, the quotient in floating point, truncated.
  const float qi = static_cast<float>(resolutionX * static_cast<std::uint32_t>(ix)) / nx;
  const float qj = static_cast<float>(resolutionY * static_cast<std::uint32_t>(iy)) / ny;
  *i = qi >= 0.0f && qi < 4294967296.0f ? static_cast<std::uint32_t>(qi) : 0;
  *j = qj >= 0.0f && qj < 4294967296.0f ? static_cast<std::uint32_t>(qj) : 0;
}

std::uint32_t GPUVectorField2D::SliceForTime(TimeValue t, bool zAsTime) const {
  if (!zAsTime) return resolutionZ / 2;
  const auto frame = static_cast<std::uint32_t>(t / GetTicksPerFrame());
  return frame >= resolutionZ ? resolutionZ - 1 : frame;  // a negative frame compares as huge
}

int GPUVectorField2D::FrameForTime(TimeValue t) const {
  if (!timeDependent) return 0;
  const int frame = t / GetTicksPerFrame();
  return std::max(0, std::min(frame, frameCount - 1));
}

Point3 GPUVectorField2D::SampleCell(std::uint32_t i, std::uint32_t j, std::uint32_t slice, int frame) const {
  if (i >= resolutionX || j >= resolutionY || slice >= resolutionZ || frame < 0) return {};
  const std::size_t cell =
      ((static_cast<std::size_t>(frame) * resolutionZ + slice) * resolutionY + j) * resolutionX + i;
  if (3 * cell + 2 >= vectors.size()) return {};
  const float* v = &vectors[3 * cell];
  return {v[0], v[1], v[2]};
}

Matrix3 BendMatrix(const Point3& v) {
  constexpr float kPi = 3.1415927f;
  Matrix3 m;
  m.IdentityMatrix();
  // The angle uses the vector's own length, taken before it is normalised for the axis.
  const float angle = v.Length() * 0.5f * kPi;
  m.SetAngleAxis(v.Normalized(), angle);
  return m;
}
