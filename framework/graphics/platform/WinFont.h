#pragma once
// A font as GDI holds it (Windows only): the font handle and the style that picks its face inside a
// collection. Made by family name, from bytes, or from a file or an embedded "TTF" resource.

#include "framework/core/TextBuffer.h"
#include "framework/graphics/PlatformFont.h"
#include "framework/graphics/platform/GdiFonts.h"

namespace iplug::igraphics
{

class WinFont final : public PlatformFont
{
public:
  WinFont(win32::UniqueFont font, const char* styleName, bool systemFont);

  void* GetFontHandle() const override { return mFont.Get(); }
  // The bytes GDI has for the font, with the face whose style name matches (any named face when this
  // font has no style name); face -1 when none does.
  std::unique_ptr<FontBlob> GetFontBlob() const override;

  // style 0 regular, 1 bold, 2 italic; null when the family is not installed.
  static std::unique_ptr<WinFont> LoadByName(const char* family, int style);
  static std::unique_ptr<WinFont> LoadFromMemory(const char* fontId, const void* bytes, int32_t size);
  static std::unique_ptr<WinFont> LoadFromFile(const char* fontId, const char* fileOrResourceName,
                                               void* module);

private:
  win32::UniqueFont mFont;
  TextBuffer mStyleName;
};

} // namespace iplug::igraphics
