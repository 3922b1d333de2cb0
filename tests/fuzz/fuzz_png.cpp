// libFuzzer target: bytes as a PNG file through the host's bitmap loader, then the box filter that
// height and probability maps are sampled with.
#include <cstdint>
#include <string>

#include "sdk/bitmap.h"
#include "tests/fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::WriteFile("in.png", data, size);
  BitmapInfo info;
  info.SetName(path.c_str());
  std::string error;
  if (Bitmap* bitmap = TheManager->Load(&info, &error)) {
    bitmap->SetFilter(2);
    BMM_Color_fl c;
    for (float u : {0.0f, 0.37f, 1.0f})
      for (float v : {0.0f, 0.5f, 1.0f}) bitmap->GetFiltered(u, v, 0.25f, 0.5f, &c);
    bitmap->DeleteThis();
  }
  return 0;
}
