#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace iplug::test
{

// A PNG file decoded to 8-bit RGBA, top row first; channels is what the file itself holds.
struct PngImage
{
  int width = 0, height = 0, channels = 0;
  std::vector<uint8_t> rgba;
  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
  bool Opaque() const;
};

bool LoadPng(const std::string& utf8Path, PngImage& image);

} // namespace iplug::test
