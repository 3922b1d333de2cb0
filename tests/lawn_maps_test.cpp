// The lawn's reading of its height map: the slope tilt of an element from the rows around it.
#include "lawn/lawn_maps.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "sdk/bitmap.h"

namespace {

TEST(MapSlopeTilt, IsTheLuminanceAboveMinusBelowTimesPointFourPi) {
  // One column of four rows, top row first: 1, 0.8, 0.2, 0. Element row iy of a 1 x 4 grid samples
  // the rows iy - 1 and iy + 1 of the grid, which run upwards from the image's bottom row; a box of
  // one pixel centred on a pixel border averages the two pixels.
  BitmapInfo bi;
  bi.SetWidth(1);
  bi.SetHeight(4);
  std::unique_ptr<Bitmap, void (*)(Bitmap*)> b(TheManager->Create(&bi), [](Bitmap* p) { p->DeleteThis(); });
  const std::uint16_t rows[4] = {65535, 52428, 13107, 0};
  for (int y = 0; y < 4; ++y) b->PutPixel16(0, y, rows[y], rows[y], rows[y], 65535);
  b->SetFilter(2);
  const auto g = [&](int y) { return rows[y] / 65535.0; };
  struct Case {
    int iy;
    double below, above;
  };
  const Case cases[] = {{0, g(3), (g(2) + g(3)) / 2},
                        {1, g(3), (g(1) + g(2)) / 2},
                        {2, (g(2) + g(3)) / 2, (g(0) + g(1)) / 2},
                        {3, (g(1) + g(2)) / 2, g(0)}};
  const double lum = 0.3f + static_cast<double>(0.59f) + static_cast<double>(0.11f);
  for (const Case& c : cases) {
    const double expect = (c.above - c.below) * lum * 0.4 * 3.1415927f;
    EXPECT_GT(expect, 0.0) << "brighter towards higher rows tilts positively";
    EXPECT_NEAR(MapSlopeTilt(b.get(), 0, c.iy, 1.0f, 4.0f), expect, 1e-6) << c.iy;
  }
}

}  // namespace
