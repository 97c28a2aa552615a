#include "tests/support/graphics/PngFiles.h"

#include <cstdlib>

// The set-up's stb, named by path: another stb_image.h (inside a source package) is on the include path.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include QUORVEL_STB_IMAGE_WRITE_H
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include QUORVEL_STB_IMAGE_H
#pragma GCC diagnostic pop

namespace iplug::igraphics::gfxtest
{

Rgba At(const Pixels& p, int x, int y)
{
  const uint8_t* q = p.At(x, y);
  return {q[0], q[1], q[2], q[3]};
}

::testing::AssertionResult Near(const Rgba& got, const Rgba& want, int tolerance)
{
  if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.b - want.b) <= tolerance && std::abs(got.a - want.a) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got (" << got.r << ", " << got.g << ", " << got.b << ", " << got.a << ") want (" << want.r
         << ", " << want.g << ", " << want.b << ", " << want.a << ")";
}

bool WritePng(const std::string& path, const Pixels& p)
{
  return !p.Empty() && stbi_write_png(path.c_str(), p.width, p.height, 4, p.rgba.data(), p.width * 4) != 0;
}

Pixels ReadPng(const std::string& path)
{
  Pixels p;
  int n = 0;
  unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &n, 4);
  if (!data) return {};
  p.rgba.assign(data, data + static_cast<size_t>(p.width) * p.height * 4);
  stbi_image_free(data);
  return p;
}

} // namespace iplug::igraphics::gfxtest
