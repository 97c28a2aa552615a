#include "framework/app/ScreenshotPng.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#include "stb_image_write.h"
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#include <cstdio>

namespace iplug
{
namespace
{

void AppendBytes(void* context, void* data, int size)
{
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

} // namespace

bool EncodeScreenshotPng(const uint8_t* bgrx, int width, int height, std::vector<uint8_t>& png)
{
  png.clear();
  if (!bgrx || width <= 0 || height <= 0) return false;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<uint8_t> rgba(count * 4);
  for (size_t i = 0; i < count; i++)
  {
    rgba[4 * i + 0] = bgrx[4 * i + 2];
    rgba[4 * i + 1] = bgrx[4 * i + 1];
    rgba[4 * i + 2] = bgrx[4 * i + 0];
    // GDI leaves the fourth byte undefined: the capture is an opaque window.
    rgba[4 * i + 3] = 255;
  }
  return stbi_write_png_to_func(&AppendBytes, &png, width, height, 4, rgba.data(), width * 4) != 0 &&
         !png.empty();
}

std::string ScreenshotFileName(const std::string& tempFolder, const char* product, const std::tm& localTime)
{
  char stamp[64] = {};
  std::strftime(stamp, sizeof(stamp), "%Y%m%d_%H%M%S", &localTime);
  char name[512] = {};
  std::snprintf(name, sizeof(name), "%s%s_screenshot_%s.png", tempFolder.c_str(), product ? product : "",
                stamp);
  return name;
}

} // namespace iplug
