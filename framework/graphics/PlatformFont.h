#pragma once
// A font the platform made from a family name, a file, a resource or bytes. The drawing back end asks it
// for the font's bytes (GetFontBlob) to hand them to its own rasteriser; the platform's text entry uses
// its handle.

#include "framework/graphics/FontBlob.h"

#include <memory>

namespace iplug::igraphics
{

class PlatformFont
{
public:
  explicit PlatformFont(bool systemFont) : mSystemFont(systemFont) {}
  virtual ~PlatformFont() = default;

  PlatformFont(const PlatformFont&) = delete;
  PlatformFont& operator=(const PlatformFont&) = delete;

  // The platform's own font object (an HFONT on Windows); null when there is none.
  virtual void* GetFontHandle() const { return nullptr; }
  // Never null: without bytes, an empty blob (face -1, no reader).
  virtual std::unique_ptr<FontBlob> GetFontBlob() const { return std::make_unique<FontBlob>(); }
  // True for a font found by family name, false for one loaded from bytes.
  bool IsSystemFont() const { return mSystemFont; }

private:
  bool mSystemFont;
};

} // namespace iplug::igraphics
