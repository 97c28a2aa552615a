#pragma once
// SVG documents as controls see them (ISvgHandle) and as the SVG cache owns them (SvgHolder).

struct NSVGimage;

namespace iplug::igraphics
{

struct SvgHolder
{
  explicit SvgHolder(NSVGimage* parsed) : image(parsed) {}
  ~SvgHolder();

  SvgHolder(const SvgHolder&) = delete;
  SvgHolder& operator=(const SvgHolder&) = delete;

  NSVGimage* image;
};

// The handle controls keep: the cache owns the image; null when loading failed.
struct ISvgHandle
{
  NSVGimage* image = nullptr;

  bool IsValid() const { return image != nullptr; }
};

} // namespace iplug::igraphics
