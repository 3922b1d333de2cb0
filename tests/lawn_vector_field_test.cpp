// The vector field: description and data readers, sampling, and the faults the readers must survive.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <numbers>

#include "lawn/vector_field.h"
#include "sdk/file_access.h"
#include "sdk/log.h"
#include "sdk/memory.h"
#include "tests/lawn_test_util.h"

namespace {
using lawn_test::TempDir;
using lawn_test::WriteBytes;
using lawn_test::WriteText;

std::vector<float> Ramp(std::size_t n, float start) {
  std::vector<float> v(n);
  for (std::size_t k = 0; k < n; ++k) v[k] = start + static_cast<float>(k);
  return v;
}

TEST(VectorField, ReadsAFloatFieldAndMapsTheLawnGridOntoIt) {
  TempDir dir;
  const std::vector<float> data = Ramp(48, 0.0f);  // 4 x 4 x 1 cells, 192 bytes
  WriteBytes(dir / "wind.raw", data.data(), 192);
  WriteText(dir / "wind.dat", "# a comment\nResolution: 4 4 1\nFormat: FLOAT3\nObjectFileName: wind.raw\n");
  GPUVectorField2D f;
  ASSERT_TRUE(f.Load(dir / "wind.dat"));
  EXPECT_EQ(f.floatFormat, 1);
  EXPECT_EQ(f.vectors.size(), 48u);
  std::uint32_t i = 0, j = 0;
  f.CellForBlade(19, 19, 20.0f, 20.0f, &i, &j);
  EXPECT_EQ(i, 3u);
  EXPECT_EQ(j, 3u);
  EXPECT_EQ(f.SampleCell(3, 3, 0, 0), Point3(45.0f, 46.0f, 47.0f));
  f.CellForBlade(0, 0, 20.0f, 20.0f, &i, &j);
  EXPECT_EQ(i + j, 0u);
}

TEST(VectorField, FormatWordSelectsFloatsOnlyForFLOAT3) {
  struct Case {
    const char* line;
    int floatFormat;
  };
  const Case cases[] = {{"Format: FLOAT3\n", 1}, {"Format: FLOAT3x4\n", 1}, {"Format: float3\n", 0}, {"", 0},
                        {"Format: BYTE3\n", 0},  {"Format:FLOAT3\n", 0}};
  for (const Case& c : cases) {
    TempDir dir;
    WriteText(dir / "f.dat", std::string("Resolution: 1 1 1\n") + c.line + "ObjectFileName: d.raw\n");
    GPUVectorField2D f;
    f.Load(dir / "f.dat");
    EXPECT_EQ(f.floatFormat, c.floatFormat) << c.line;
  }
}

TEST(VectorField, ByteDataIsConvertedOnceToMinusOneToOne) {
  TempDir dir;
  const unsigned char bytes[6] = {255, 255, 255, 0, 128, 127};
  WriteBytes(dir / "b.raw", bytes, 6);
  WriteText(dir / "b.dat", "Resolution: 2 1 1\nObjectFileName: b.raw\n   Resolution: 9 9 9\n");
  GPUVectorField2D f;
  ASSERT_TRUE(f.Load(dir / "b.dat"));
  EXPECT_EQ(f.resolutionX, 2u) << "a key after leading blanks is ignored";
  const Point3 full = f.SampleCell(0, 0, 0, 0);
  EXPECT_EQ(full, Point3(1.0f, 1.0f, 1.0f));
  const Point3 mixed = f.SampleCell(1, 0, 0, 0);
  EXPECT_FLOAT_EQ(mixed.x, -1.0f);
  EXPECT_NEAR(mixed.y, 0.0039216, 1e-6);
  EXPECT_NEAR(mixed.z, -0.0039216, 1e-6);
  // (1, 1, 1) bends by sqrt(3) * pi / 2 about its own direction; (1, 1, 1) itself stays put.
  const Matrix3 m = BendMatrix(full);
  const Point3 axis = Point3(1.0f, 1.0f, 1.0f).Normalized();
  const Point3 on = m.PointTransform(axis);
  EXPECT_NEAR((on - axis).Length(), 0.0f, 1e-5);
  const Point3 z(0.0f, 0.0f, 1.0f);
  const Point3 perp = (z - axis * (z % axis));
  const float angle = std::acos((m.PointTransform(perp) % perp) / perp.LengthSquared());
  EXPECT_NEAR(angle, std::sqrt(3.0) * std::numbers::pi / 2, 1e-3);  // about 2.72
  EXPECT_TRUE(BendMatrix(Point3()).IsIdentity());
}

TEST(VectorField, TimeDependentFramesAndSlices) {
  TempDir dir;
  for (int frame = 10; frame <= 12; ++frame) {
    const std::vector<float> data = Ramp(6, 100.0f * frame);  // 1 x 1 x 2 cells
    char name[32];
    std::snprintf(name, sizeof name, "t%03d.raw", frame);
    WriteBytes(dir / name, data.data(), data.size() * 4);
  }
  WriteText(dir / "t.dat", "TimeDependent: 10 12\nResolution: 1 1 2\nFormat: FLOAT3\nObjectFileName: t%03d.raw\n");
  GPUVectorField2D f;
  ASSERT_TRUE(f.Load(dir / "t.dat"));
  ASSERT_EQ(f.frameCount, 3);
  const int tpf = GetTicksPerFrame();
  EXPECT_EQ(f.FrameForTime(0), 0);
  EXPECT_EQ(f.FrameForTime(7 * tpf), 2);
  EXPECT_EQ(f.FrameForTime(-5 * tpf), 0);
  EXPECT_EQ(f.SampleCell(0, 0, 1, f.FrameForTime(tpf)).x, 1103.0f);
  EXPECT_EQ(f.SampleCell(0, 0, 0, 2).x, 1200.0f);

  struct Slice {
    std::uint32_t resZ;
    bool zAsTime;
    int frame;
    std::uint32_t expect;
  };
  const Slice slices[] = {{5, false, 0, 2}, {1, false, 0, 0}, {5, true, 3, 3}, {5, true, 9, 4}, {5, true, -1, 4}};
  for (const Slice& s : slices) {
    f.resolutionZ = s.resZ;
    EXPECT_EQ(f.SliceForTime(s.frame * tpf, s.zAsTime), s.expect) << s.resZ << " " << s.frame;
  }
}

TEST(VectorField, OnlyTimeDependentNamesArePatterns) {
  TempDir dir;
  const std::vector<float> data = Ramp(3, 7.0f);
  WriteBytes(dir / "100%d.raw", data.data(), 12);
  WriteText(dir / "p.dat", "Resolution: 1 1 1\nFormat: FLOAT3\nObjectFileName: 100%d.raw\n");
  GPUVectorField2D f;
  ASSERT_TRUE(f.Load(dir / "p.dat"));
  EXPECT_EQ(f.SampleCell(0, 0, 0, 0).x, 7.0f) << "opened unchanged";
}

TEST(VectorField, DataFilePatternsAcceptAtMostOneIntegerConversion) {
  struct Case {
    const char* pattern;
    bool ok;
    const char* expect;
  };
  const Case cases[] = {
      {"f%03d.raw", true, "f007.raw"},
      {"f%d%%.raw", true, "f7%.raw"},
      {"%-4i|", true, "7   |"},
      {"%+.3d", true, "+007"},
      {"%#x", true, "0x7"},
      {"%X", true, "7"},
      {"%ld", true, "7"},
      {"%05lld", true, "00007"},
      {"%hd", true, "7"},
      {"%hhx", true, "7"},
      {"%ju", true, "7"},
      {"%zd", true, "7"},
      {"%td", true, "7"},
      {"plain.raw", true, "plain.raw"},
      {"100%%.raw", true, "100%.raw"},
      {"%s", false, ""},
      {"%d%d", false, ""},
      {"%n", false, ""},
      {"%ln", false, ""},
      {"%*d", false, ""},
      {"%f", false, ""},
      {"%lf", false, ""},
      {"%c", false, ""},
      {"%p", false, ""},
      {"%lld%s", false, ""},
      {"%lll", false, ""},
      {"%Ld", false, ""},
      {"%", false, ""},
      {"%5000d", false, ""},
      {"%.99999999999d", false, ""},
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(FormatFramePattern(c.pattern, 7, &out), c.ok) << c.pattern;
    if (c.ok) {
      EXPECT_EQ(out, c.expect) << c.pattern;
    }
  }
  // A rejected pattern loads no data at all, yet the readable description is a successful load.
  TempDir dir;
  WriteText(dir / "bad.dat", "TimeDependent: 0 1\nResolution: 1 1 1\nObjectFileName: f%s%n.raw\n");
  GPUVectorField2D f;
  EXPECT_TRUE(f.Load(dir / "bad.dat"));
  EXPECT_FALSE(f.HasData());
}

TEST(VectorField, ATimeDependentNameWithoutConversionIsEveryFramesFile) {
  TempDir dir;
  const std::vector<float> data = Ramp(3, 4.0f);
  WriteBytes(dir / "still.raw", data.data(), 12);
  WriteText(dir / "s.dat", "TimeDependent: 5 7\nResolution: 1 1 1\nFormat: FLOAT3\nObjectFileName: still.raw\n");
  GPUVectorField2D f;
  ASSERT_TRUE(f.Load(dir / "s.dat"));
  ASSERT_EQ(f.frameCount, 3);
  for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(f.SampleCell(0, 0, 0, frame), Point3(4.0f, 5.0f, 6.0f)) << frame;
}

TEST(VectorField, AKeyWithoutValueKeepsTheEarlierValue) {
  TempDir dir;
  const std::vector<float> data = Ramp(3, 9.0f);
  WriteBytes(dir / "w.raw", data.data(), 12);
  WriteText(dir / "k.dat",
            "Format: FLOAT3\nObjectFileName: w.raw\nResolution: 1 1 1\nFormat:\nObjectFileName:\nResolution:\n");
  GPUVectorField2D f;
  ASSERT_TRUE(f.Load(dir / "k.dat"));
  EXPECT_EQ(f.floatFormat, 1);
  EXPECT_EQ(f.resolutionX, 1u);
  EXPECT_EQ(f.SampleCell(0, 0, 0, 0), Point3(9.0f, 10.0f, 11.0f)) << "the name and the format were kept";
}

TEST(VectorField, AFieldBeyondWhatTheHostCanHoldIsRefusedWithItsSize) {
  // A few bytes of description ask for 1024 x 1024 x 64 byte cells: 805 MB of floats and 201 MB of
  // staging bytes, refused before allocating and reported to the host.
  TempDir dir;
  WriteText(dir / "huge.dat", "Resolution: 1024 1024 64\nObjectFileName: none.raw\n");
  SetHostMemoryLimit(std::size_t{512} << 20);
  TakeLogRecords();
  GPUVectorField2D f;
  EXPECT_TRUE(f.Load(dir / "huge.dat"));
  SetHostMemoryLimit(0);
  EXPECT_FALSE(f.HasData());
  const std::vector<LogRecord> log = TakeLogRecords();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].message, dir / "huge.dat" +
                                ": the field of 1024 x 1024 x 64 cells in 1 frame(s) needs about 1.0 GB, "
                                "more than the 537 MB this process can have; give it a smaller "
                                "\"Resolution:\" or fewer frames; the field holds no data");
}

TEST(VectorField, LongLinesDirectoriesAndPathsAreNotCut) {
  TempDir dir;
  // Nested folders make a directory of more than 199 and a data path of more than 999 characters.
  std::filesystem::path deep = dir.path();
  while (deep.string().size() < 1000) deep /= std::string(120, 'd');
  std::filesystem::create_directories(deep);
  const std::vector<float> data = Ramp(3, 1.0f);
  const std::string longName = std::string(150, 'n') + ".raw";
  WriteBytes((deep / longName).string(), data.data(), 12);
  // A comment longer than 999 characters whose tail looks like a key must stay one line.
  const std::string comment = "#" + std::string(1100, 'x') + "Resolution: 9 9 9 \n";
  WriteText((deep / "long.dat").string(),
            comment + "Resolution: 1 1 1\nFormat: FLOAT3\n" + comment + "ObjectFileName: " + longName + "\n");
  GPUVectorField2D f;
  ASSERT_TRUE(f.Load((deep / "long.dat").string()));
  EXPECT_EQ(f.resolutionX, 1u);
  EXPECT_EQ(f.SampleCell(0, 0, 0, 0), Point3(1.0f, 2.0f, 3.0f));
}

TEST(VectorField, DataFilesOutsideTheDescriptionsFolderAreRefused) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "field");
  const std::vector<float> data = Ramp(3, 2.0f);
  WriteBytes(dir / "secret.raw", data.data(), 12);
  std::filesystem::create_symlink(dir / "secret.raw", dir.path() / "field" / "link.raw");
  WriteBytes((dir.path() / "field" / "own.raw").string(), data.data(), 12);
  // Named from the working folder, the description's folder is "." and an absolute name is used as it is.
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.path() / "field");
  struct Case {
    std::string description, name;
    bool allowed;
  };
  const std::string inField = (dir.path() / "field" / "f.dat").string();
  for (const Case& c : {Case{inField, "../secret.raw", false}, Case{"f.dat", dir / "secret.raw", false},
                        Case{inField, "link.raw", false}, Case{inField, "own.raw", true}}) {
    const std::string& description = c.description;
    WriteText(description, std::string("Resolution: 1 1 1\nFormat: FLOAT3\n# data:\nObjectFileName: ") + c.name + "\n");
    TakeLogRecords();
    GPUVectorField2D f;
    EXPECT_TRUE(f.Load(description)) << c.name;
    EXPECT_EQ(f.HasData(), c.allowed) << c.name;
    const std::vector<LogRecord> log = TakeLogRecords();
    ASSERT_EQ(log.size(), c.allowed ? 0u : 1u) << c.name;
    if (!c.allowed) {
      EXPECT_EQ(log[0].level, LogLevel::kError);
      EXPECT_EQ(log[0].message.rfind(description + " line 4: the data file '", 0), 0u) << log[0].message;
      EXPECT_NE(log[0].message.find("' lies outside the folder '"), std::string::npos) << log[0].message;
    }
    SetOutsidePathsAllowed(true);
    EXPECT_TRUE(f.Load(description));
    SetOutsidePathsAllowed(false);
    EXPECT_EQ(f.SampleCell(0, 0, 0, 0), Point3(2.0f, 3.0f, 4.0f)) << c.name << ": read when the host allows it";
  }
  std::filesystem::current_path(cwd);
}

TEST(VectorField, DirectoriesSplitAtEitherSeparator) {
  TempDir dir;
  const std::vector<float> data = Ramp(3, 5.0f);
  // On this platform a backslash is an ordinary file-name character, so "x\\d.raw" is one file
  // beside "x\\f.dat": found only when the directory ends at the backslash.
  WriteBytes(dir / "x\\d.raw", data.data(), 12);
  WriteText(dir / "x\\f.dat", "Resolution: 1 1 1\nFormat: FLOAT3\nObjectFileName: d.raw\n");
  GPUVectorField2D f;
  ASSERT_TRUE(f.Load(dir / "x\\f.dat"));
  EXPECT_EQ(f.SampleCell(0, 0, 0, 0).x, 5.0f);
}

TEST(VectorField, UnallocatableOrEmptyRangesLoadNoData) {
  const char* headers[] = {
      "Resolution: 4294967295 4294967295 4294967295\n",  // element count overflows
      "Resolution: 1048576 1048576 1\n",                 // byte size far beyond 32 bits
      "Resolution: 1 1 1\nTimeDependent: -2147483648 2147483647\n",
      "Resolution: 1 1 1\nTimeDependent: 12 10\n",  // last frame before first
      "Resolution: 0 4 4\n",
      "Resolution: -1 4 4\n",
      "Resolution: 4 4 0\n",
      "TimeDependent: 0 1\n",  // no resolution line
  };
  for (const char* header : headers) {
    TempDir dir;
    WriteText(dir / "h.dat", std::string(header) + "ObjectFileName: f%d.raw\n");
    GPUVectorField2D f;
    EXPECT_TRUE(f.Load(dir / "h.dat")) << header << "the description was read";
    EXPECT_FALSE(f.HasData()) << header;
  }
}

TEST(VectorField, ShortOrMissingDataLeavesZeros) {
  TempDir dir;
  const std::vector<float> floats = Ramp(5, 1.0f);
  WriteBytes(dir / "short.raw", floats.data(), 18);  // four and a half floats
  const unsigned char bytes[2] = {255, 255};
  WriteBytes(dir / "short.bytes", bytes, 2);
  WriteText(dir / "f.dat", "Resolution: 2 1 1\nFormat: FLOAT3\nObjectFileName: short.raw\n");
  WriteText(dir / "b.dat", "Resolution: 2 1 1\nObjectFileName: short.bytes\n");
  WriteText(dir / "m.dat", "Resolution: 2 1 1\nObjectFileName: missing.bytes\n");
  GPUVectorField2D f;
  ASSERT_TRUE(f.Load(dir / "f.dat"));
  EXPECT_EQ(f.SampleCell(0, 0, 0, 0), Point3(1.0f, 2.0f, 3.0f));
  EXPECT_EQ(f.SampleCell(1, 0, 0, 0), Point3(4.0f, 0.0f, 0.0f));
  ASSERT_TRUE(f.Load(dir / "b.dat"));
  EXPECT_EQ(f.SampleCell(0, 0, 0, 0), Point3(1.0f, 1.0f, 0.0f));
  EXPECT_EQ(f.SampleCell(1, 0, 0, 0), Point3(0.0f, 0.0f, 0.0f));
  ASSERT_TRUE(f.Load(dir / "m.dat"));
  EXPECT_EQ(f.SampleCell(1, 0, 0, 0), Point3(0.0f, 0.0f, 0.0f));
}

TEST(VectorField, UnreadableDescriptionsLoadNothing) {
  TempDir dir;
  GPUVectorField2D f;
  EXPECT_FALSE(f.Load(dir / "absent.dat"));
  // A folder opens but cannot be read: the one message of the plug-in goes to standard output.
  testing::internal::CaptureStdout();
  EXPECT_FALSE(f.Load(dir.path().string()));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: could not read from file <" + dir.path().string() + ">\n");
  EXPECT_FALSE(f.HasData());
}

TEST(VectorField, DevicesAndPipesAreNotRead) {
  // A device never ends and a pipe without a writer never delivers: neither may hold the load.
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  GPUVectorField2D f;
  EXPECT_FALSE(f.Load("/dev/zero"));
  EXPECT_FALSE(f.Load(dir / "pipe"));
  WriteText(dir / "wind.dat", "Resolution: 4 4 1\nFormat: FLOAT3\nObjectFileName: pipe\n");
  ASSERT_TRUE(f.Load(dir / "wind.dat"));  // a data file that cannot be read leaves zeros
  EXPECT_EQ(f.SampleCell(3, 3, 0, 0), Point3());
}

}  // namespace
