// What the lawn suites share: a map's bitmap as a build acquires it.
#pragma once
#include <memory>

#include "sdk/bitmap.h"
#include "sdk/texmap.h"
#include "tests/test_util.h"

namespace lawn_test {

using test_util::TempDir;
using test_util::WriteBytes;
using test_util::WritePng;
using test_util::WriteText;

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
