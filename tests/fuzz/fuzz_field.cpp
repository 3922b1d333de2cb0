// libFuzzer target: a vector field's ".dat" description and its data. The input up to its first
// zero byte is the description; the rest is the data file "d.raw" it may name.
#include <cstdint>
#include <cstring>
#include <string>

#include "lawn/vector_field.h"
#include "sdk/log.h"
#include "tests/fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
  const std::size_t textSize = zero ? static_cast<std::size_t>(zero - data) : size;
  const std::string description = fuzz::WriteFile("f.dat", data, textSize);
  fuzz::WriteFile("d.raw", zero ? zero + 1 : data, zero ? size - textSize - 1 : 0);
  GPUVectorField2D field;
  field.Load(description);
  if (field.HasData()) {
    std::uint32_t i = 0, j = 0;
    field.CellForBlade(7, 3, 20.0f, 20.0f, &i, &j);
    for (TimeValue t : {-160, 0, 160 * 5}) {
      const Point3 v = field.SampleCell(i, j, field.SliceForTime(t, true), field.FrameForTime(t));
      (void)BendMatrix(v);
    }
  }
  TakeLogRecords();
  return 0;
}
