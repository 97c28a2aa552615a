#pragma once
// Pixels read back from a framebuffer, and PNG files of them (golden images and what a failed test
// leaves behind to look at).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace iplug::igraphics::gfxtest
{

// RGBA bytes, top row first.
struct Pixels
{
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;

  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
  bool Empty() const { return rgba.empty(); }
};

// A pixel as (R, G, B, A), and a comparison of two within a tolerance per channel.
struct Rgba
{
  int r, g, b, a;
};
Rgba At(const Pixels& pixels, int x, int y);
::testing::AssertionResult Near(const Rgba& got, const Rgba& want, int tolerance = 2);

bool WritePng(const std::string& path, const Pixels& pixels);
Pixels ReadPng(const std::string& path);

} // namespace iplug::igraphics::gfxtest
