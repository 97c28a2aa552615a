#include "tests/support/app/PngFile.h"

#include "tests/support/app/TempFolder.h"

#include <algorithm>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

namespace iplug::test
{

bool PngImage::Opaque() const
{
  for (size_t i = 3; i < rgba.size(); i += 4)
    if (rgba[i] != 255) return false;
  return true;
}

bool LoadPng(const std::string& utf8Path, PngImage& image)
{
  const std::string bytes = ReadFileBytes(utf8Path);
  stbi_uc* pixels =
      stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                            &image.width, &image.height, &image.channels, 4);
  if (pixels) image.rgba.assign(pixels, pixels + static_cast<size_t>(image.width) * image.height * 4);
  stbi_image_free(pixels);
  return pixels != nullptr;
}

} // namespace iplug::test
