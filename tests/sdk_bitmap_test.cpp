// Bitmaps and texture maps: PNG loading at every depth and layout, the box filter, procedural maps,
// and splitting file names.
#include <gtest/gtest.h>
#include <zlib.h>

#include <climits>
#include <fstream>

#include "sdk/bitmap.h"
#include "sdk/memory.h"
#include "sdk/texmap.h"
#include "tests/test_util.h"

namespace {
using test_util::TempDir;
using test_util::WritePng;

// A 2 x 2 grey image: 0 1 on the top row, 2 3 below (as 16-bit values times 10000).
Bitmap* Grey2x2() {
  BitmapInfo bi;
  bi.SetWidth(2);
  bi.SetHeight(2);
  Bitmap* b = TheManager->Create(&bi);
  for (int k = 0; k < 4; ++k) {
    const auto v = static_cast<std::uint16_t>(10000 * k);
    b->PutPixel16(k % 2, k / 2, v, v, v, 65535);
  }
  return b;
}

float Red(const Bitmap* b, float u, float v, float du, float dv) {
  BMM_Color_fl c;
  EXPECT_TRUE(b->GetFiltered(u, v, du, dv, &c));
  return c.r;
}

TEST(Bitmap, BoxFilterWeighsEachPixelByTheCoveredPart) {
  std::unique_ptr<Bitmap, void (*)(Bitmap*)> b(Grey2x2(), [](Bitmap* p) { p->DeleteThis(); });
  b->SetFilter(2);
  struct Case {
    float u, v, du, dv, expect;
    const char* what;
  };
  const Case cases[] = {
      {0.5f, 0.5f, 1.0f, 1.0f, 1.5f, "whole image"},
      {0.25f, 0.25f, 0.5f, 0.5f, 0.0f, "exactly pixel (0,0)"},
      {0.75f, 0.75f, 0.5f, 0.5f, 3.0f, "exactly pixel (1,1)"},
      {0.5f, 0.25f, 0.5f, 0.5f, 0.5f, "half of (0,0) and half of (1,0)"},
      {0.375f, 0.25f, 0.5f, 0.5f, 0.25f, "three quarters of (0,0), a quarter of (1,0)"},
      {0.0f, 0.0f, 1.0f, 1.0f, 0.0f, "clipped to the top-left pixel"},
      {1.0f, 1.0f, 2.0f, 2.0f, 1.5f, "box larger than the image, clipped"},
      {0.5f, 0.75f, 1.0f, 0.5f, 2.5f, "bottom row"},
      {0.9f, 0.1f, 0.0f, 0.0f, 1.0f, "zero area: the containing pixel"},
      {1.0f, 1.0f, 0.0f, 0.0f, 3.0f, "zero area on the far edge: clamped"},
      {-3.0f, 7.0f, 0.0f, 0.0f, 2.0f, "zero area outside: clamped"},
      {5.0f, 5.0f, 0.5f, 0.5f, 3.0f, "box wholly outside: the clamped pixel"},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(Red(b.get(), c.u, c.v, c.du, c.dv), c.expect * 10000 / 65535.0, 1e-6) << c.what;
  b->SetFilter(0);
  EXPECT_NEAR(Red(b.get(), 0.5f, 0.5f, 1.0f, 1.0f), 3 * 10000 / 65535.0, 1e-6) << "unfiltered: containing pixel";
}

TEST(Bitmap, LargeImagesKeepFullPrecision) {
  // Sums over millions of full-scale pixels must not swamp one dark pixel deep inside.
  BitmapInfo bi;
  bi.SetWidth(2048);
  bi.SetHeight(2048);
  std::unique_ptr<Bitmap, void (*)(Bitmap*)> b(TheManager->Create(&bi), [](Bitmap* p) { p->DeleteThis(); });
  for (int y = 0; y < 2048; ++y)
    for (int x = 0; x < 2048; ++x) b->PutPixel16(x, y, 65535, 65535, 65535, 65535);
  b->PutPixel16(2000, 2000, 1, 1, 1, 1);
  b->SetFilter(2);
  EXPECT_FLOAT_EQ(Red(b.get(), 2000.5f / 2048, 2000.5f / 2048, 1.0f / 2048, 1.0f / 2048), 1.0f / 65535.0f);
  EXPECT_FLOAT_EQ(Red(b.get(), 2001.0f / 2048, 2000.5f / 2048, 1.0f / 2048, 1.0f / 2048), (65536.0f / 2) / 65535.0f);
}

TEST(Bitmap, ManagerRefusesSizesItCannotHave) {
  BitmapInfo bi;
  EXPECT_EQ(TheManager->Create(&bi), nullptr);
  bi.SetWidth(1 << 30);
  bi.SetHeight(1 << 30);
  EXPECT_EQ(TheManager->Create(&bi), nullptr);
}

TEST(Bitmap, WrittenColoursKeepTheBitmapTypesPrecision) {
  // Type 4 is 8-bit RGBA: 0.3 is stored as 77 / 255. Type 8 keeps 16 bits: 0.3 as 19661 / 65535.
  struct Case {
    int type;
    float expected;
  };
  for (const Case c : {Case{BMM_TRUE_32, 77.0f / 255.0f}, Case{BMM_TRUE_64, 19661.0f / 65535.0f}}) {
    BitmapInfo bi;
    bi.SetWidth(1);
    bi.SetHeight(1);
    bi.SetType(c.type);
    Bitmap* b = TheManager->Create(&bi);
    b->PutPixel(0, 0, BMM_Color_fl{0.3f, 0.3f, 0.3f, 1.0f});
    EXPECT_FLOAT_EQ(Red(b, 0.5f, 0.5f, 0.0f, 0.0f), c.expected) << "type " << c.type;
    b->DeleteThis();
  }
}

TEST(BitmapTex, LoadsEveryDepthAndLayout) {
  TempDir dir;
  struct Case {
    int depth, type;
    std::vector<unsigned> samples;
    BMM_Color_fl expect;
  };
  const Case cases[] = {
      {8, PNG_COLOR_TYPE_GRAY, {51, 51}, {0.2f, 0.2f, 0.2f, 1.0f}},
      {16, PNG_COLOR_TYPE_GRAY, {1, 1}, {1 / 65535.0f, 1 / 65535.0f, 1 / 65535.0f, 1.0f}},
      {8, PNG_COLOR_TYPE_GRAY_ALPHA, {255, 0, 255, 0}, {1.0f, 1.0f, 1.0f, 0.0f}},
      {8, PNG_COLOR_TYPE_RGB, {255, 0, 51, 255, 0, 51}, {1.0f, 0.0f, 0.2f, 1.0f}},
      {16, PNG_COLOR_TYPE_RGB, {65535, 0, 32768, 65535, 0, 32768}, {1.0f, 0.0f, 32768 / 65535.0f, 1.0f}},
      {8, PNG_COLOR_TYPE_RGBA, {0, 255, 0, 51, 0, 255, 0, 51}, {0.0f, 1.0f, 0.0f, 0.2f}},
      {16, PNG_COLOR_TYPE_RGBA, {7, 8, 9, 10, 7, 8, 9, 10}, {7 / 65535.0f, 8 / 65535.0f, 9 / 65535.0f, 10 / 65535.0f}},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string path = dir / ("img" + std::to_string(n++) + ".png");
    ASSERT_TRUE(WritePng(path, 2, 1, c.depth, c.type, c.samples));
    BitmapTex tex;
    ASSERT_TRUE(tex.SetMapName(path.c_str())) << path;
    Bitmap* b = tex.GetBitmap(0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Width(), 2);
    EXPECT_EQ(b->Height(), 1);
    const BMM_Color_fl got = b->GetPixel(1, 0);
    EXPECT_FLOAT_EQ(got.r, c.expect.r) << path;
    EXPECT_FLOAT_EQ(got.g, c.expect.g) << path;
    EXPECT_FLOAT_EQ(got.b, c.expect.b) << path;
    EXPECT_FLOAT_EQ(got.a, c.expect.a) << path;
  }
}

TEST(BitmapTex, ReportsFilesItCannotLoad) {
  TempDir dir;
  test_util::WriteText(dir / "text.png", "not an image at all");
  std::vector<unsigned char> truncated = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
  test_util::WriteBytes(dir / "cut.png", truncated.data(), truncated.size());
  for (const std::string name : {"missing.png", "text.png", "cut.png"}) {
    BitmapTex tex;
    std::string why;
    EXPECT_FALSE(tex.SetMapName((dir / name).c_str(), &why)) << name;
    EXPECT_FALSE(why.empty()) << name;
    EXPECT_EQ(tex.GetBitmap(0), nullptr);
    EXPECT_EQ(tex.ClassID(), Class_ID(0x240, 0));
  }
}

TEST(BitmapTex, AHeaderClaimingMoreThanItsDataCouldHoldIsRefusedBeforeAllocating) {
  TempDir dir;
  // A real 4 x 4 image whose header then claims 40000 x 40000: 1.6 billion pixels from a file of
  // about 80 bytes, which deflate could never have packed. Nothing of that size is allocated.
  const std::string liar = dir / "liar.png";
  ASSERT_TRUE(WritePng(liar, 4, 4, 8, PNG_COLOR_TYPE_GRAY, std::vector<unsigned>(16, 7)));
  std::string bytes;
  {
    std::ifstream in(liar, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  ASSERT_EQ(bytes.substr(12, 4), "IHDR");
  const unsigned char size[8] = {0, 0, 0x9C, 0x40, 0, 0, 0x9C, 0x40};  // 40000, 40000, big-endian
  bytes.replace(16, 8, reinterpret_cast<const char*>(size), 8);
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(bytes.data() + 12), 17);
  for (int k = 0; k < 4; ++k) bytes[29 + k] = static_cast<char>((crc >> (24 - 8 * k)) & 0xFF);
  test_util::WriteBytes(liar, bytes.data(), bytes.size());
  BitmapTex tex;
  std::string why;
  EXPECT_FALSE(tex.SetMapName(liar.c_str(), &why));
  EXPECT_EQ(why, "the file is too small to hold a 40000 x 40000 image");
  // A flat image packs about a thousandfold and still loads.
  const std::string flat = dir / "flat.png";
  ASSERT_TRUE(WritePng(flat, 1500, 1500, 8, PNG_COLOR_TYPE_GRAY, std::vector<unsigned>(1500 * 1500, 128)));
  ASSERT_TRUE(tex.SetMapName(flat.c_str(), &why)) << why;
  ASSERT_NE(tex.GetBitmap(0), nullptr);
  EXPECT_EQ(tex.GetBitmap(0)->Width(), 1500);
  // Its pixels and filter table take 40 bytes a pixel, 90 MB: beyond what a host allows, it is
  // refused before decoding, with the estimate.
  SetHostMemoryLimit(std::size_t{80} << 20);
  BitmapTex capped;
  EXPECT_FALSE(capped.SetMapName(flat.c_str(), &why));
  SetHostMemoryLimit(0);
  EXPECT_EQ(why.rfind("the 1500 x 1500 image needs about 90 MB to load and filter, more than the 84 MB", 0), 0u) << why;
}

TEST(ProceduralTex, RendersColourAtPixelCentres) {
  BitmapInfo bi;
  bi.SetWidth(4);
  bi.SetHeight(4);
  bi.SetType(4);
  std::unique_ptr<Bitmap, void (*)(Bitmap*)> b(TheManager->Create(&bi), [](Bitmap* p) { p->DeleteThis(); });
  GradientTex g;
  g.direction = GradientTex::kAlongV;
  g.RenderBitmap(0, b.get(), 1.0f, TRUE);
  // Gradient values at pixel centres, kept to the 8 bits of a type 4 bitmap.
  for (int y = 0; y < 4; ++y) EXPECT_NEAR(b->GetPixel(3, y).r, (y + 0.5) / 4, 0.5 / 255);
  CheckerTex k;
  k.RenderBitmap(0, b.get(), 1.0f, TRUE);
  EXPECT_EQ(b->GetPixel(0, 0).r, 0.0f);
  EXPECT_EQ(b->GetPixel(2, 0).r, 1.0f);
  EXPECT_EQ(b->GetPixel(2, 2).r, 0.0f);
  NoiseTex n1, n2;
  n2.seed = 2;
  for (float u : {0.1f, 0.37f, 0.9f}) {
    const float a = n1.EvalUV(u, 0.5f, 0).r;
    EXPECT_GE(a, 0.0f);
    EXPECT_LE(a, 1.0f);
    EXPECT_EQ(a, NoiseTex().EvalUV(u, 0.5f, 0).r) << "noise is reproducible";
  }
  EXPECT_NE(n1.EvalUV(0.37f, 0.5f, 0).r, n2.EvalUV(0.37f, 0.5f, 0).r);
  for (int seed : {INT_MAX, INT_MIN}) {  // the octaves' seeds wrap around instead of overflowing
    NoiseTex n;
    n.seed = seed;
    const float a = n.EvalUV(0.37f, 0.5f, 0).r;
    EXPECT_TRUE(a >= 0.0f && a <= 1.0f) << seed;
  }
  for (const char* kind : {"constant", "gradient", "checker", "noise"}) {
    Texmap* t = CreateProceduralTex(kind);
    ASSERT_NE(t, nullptr) << kind;
    EXPECT_NE(t->ClassID(), Class_ID(0x240, 0));
    t->DeleteThis();
  }
  EXPECT_EQ(CreateProceduralTex("marble"), nullptr);
}

TEST(BMMSplitFilename, SplitsAtTheLastSeparatorOfEitherKind) {
  struct Case {
    const char* path;
    const char* dir;
    const char* file;
    const char* ext;
  };
  const Case cases[] = {
      {"/a/b/field.dat", "/a/b/", "field", ".dat"},
      {"C:\\fields\\wind.v2.dat", "C:\\fields\\", "wind.v2", ".dat"},
      {"mixed/dir\\name", "mixed/dir\\", "name", ""},
      {"plain.dat", "", "plain", ".dat"},
  };
  for (const Case& c : cases) {
    char dir[260], file[260], ext[260];
    BMMSplitFilename(c.path, dir, file, ext);
    EXPECT_STREQ(dir, c.dir) << c.path;
    EXPECT_STREQ(file, c.file) << c.path;
    EXPECT_STREQ(ext, c.ext) << c.path;
  }
}

}  // namespace
