#include "framework/graphics/platform/WinFont.h"

#include "framework/graphics/FontTableReader.h"

#include <cstring>

namespace iplug::igraphics
{

WinFont::WinFont(win32::UniqueFont font, const char* styleName, bool systemFont)
    : PlatformFont(systemFont), mFont(std::move(font)), mStyleName(styleName)
{
}

std::unique_ptr<FontBlob> WinFont::GetFontBlob() const
{
  auto blob = std::make_unique<FontBlob>();
  const std::vector<uint8_t> bytes = ReadFontData(mFont.Get());
  if (bytes.empty()) return blob;
  const auto size = static_cast<int32_t>(bytes.size());
  if (!blob->AssignBytes(bytes.data(), size, -1)) return blob;
  const int32_t faces = FontTableReader::CountFontFaces(bytes.data(), size);
  for (int32_t i = 0; i < faces; i++)
  {
    const FontTableReader reader(bytes.data(), size, i);
    if (!reader.IsFont() || !reader.HasRequiredTables()) break;
    const char* style = reader.GetStyleName().Get();
    if (*style && (mStyleName.IsEmpty() || std::strcmp(mStyleName.Get(), style) == 0))
    {
      blob->SelectFace(i);
      break;
    }
  }
  return blob;
}

std::unique_ptr<WinFont> WinFont::LoadByName(const char* family, int style)
{
  win32::UniqueFont font =
      CreateFontHandle(family, style == 1 ? FW_BOLD : FW_NORMAL, style == 2, false, 0, true);
  if (!font) return nullptr;
  const char* styleName = style == 1 ? "Bold" : style == 2 ? "Italic" : "";
  return std::make_unique<WinFont>(std::move(font), styleName, true);
}

std::unique_ptr<WinFont> WinFont::LoadFromMemory(const char* fontId, const void* bytes, int32_t size)
{
  const FontTableReader reader(bytes, size, 0);
  FontStyleBits style;
  style.bold = reader.GetMacStyle() & 0x1;
  style.italic = reader.GetMacStyle() & 0x2;
  style.underline = reader.GetMacStyle() & 0x4;
  win32::UniqueFont font = LoadMemoryFont(fontId, bytes, size, reader.GetFamilyName().Get(), style);
  if (!font) return nullptr;
  return std::make_unique<WinFont>(std::move(font), "", false);
}

std::unique_ptr<WinFont> WinFont::LoadFromFile(const char* fontId, const char* fileOrResourceName,
                                               void* module)
{
  const std::vector<uint8_t> bytes = ReadFontFileOrResource(fileOrResourceName, module);
  if (bytes.empty()) return nullptr;
  return LoadFromMemory(fontId, bytes.data(), static_cast<int32_t>(bytes.size()));
}

} // namespace iplug::igraphics
