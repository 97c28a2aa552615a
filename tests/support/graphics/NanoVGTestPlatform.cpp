#include "tests/support/graphics/NanoVGTestPlatform.h"

#include "framework/graphics/IRectList.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace iplug::igraphics::gfxtest
{

int BytesFont::blobRequests = 0;

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::unique_ptr<FontBlob> BytesFont::GetFontBlob() const
{
  ++blobRequests;
  auto blob = std::make_unique<FontBlob>();
  blob->AssignBytes(mBytes.data(), static_cast<int32_t>(mBytes.size()), 0);
  return blob;
}

bool NanoVGTestPlatform::Open(float displayScale)
{
  SetDisplayScale(displayScale);
  return OpenEditorWindow(nullptr) != nullptr;
}

void NanoVGTestPlatform::Paint()
{
  IRectList rects;
  if (!CollectDirtyRects(rects)) return;
  ScopedGLContext current(*this);
  PaintRegions(rects);
  MarkAllControlsClean();
}

void NanoVGTestPlatform::PaintAll()
{
  MarkAllControlsDirty();
  Paint();
}

Pixels NanoVGTestPlatform::ReadBound(int width, int height)
{
  Pixels p;
  if (!GetGlEntryPoints().ReadPixels || width <= 0 || height <= 0) return p;
  p.width = width;
  p.height = height;
  p.rgba.resize(static_cast<size_t>(width) * height * 4);
  GetGlEntryPoints().ReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
  // GL rows come bottom first.
  const size_t row = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height / 2; ++y)
    std::swap_ranges(p.rgba.begin() + y * row, p.rgba.begin() + (y + 1) * row,
                     p.rgba.begin() + (height - 1 - y) * row);
  return p;
}

Pixels NanoVGTestPlatform::ReadWindow()
{
  ScopedGLContext current(*this);
  if (!GetDrawContext()) return {};
  int w = 0;
  int h = 0;
  GetWindowPixelSize(w, h);
  GetGlEntryPoints().BindFramebuffer(GL_FRAMEBUFFER, 0);
  return ReadBound(w, h);
}

Pixels NanoVGTestPlatform::ReadMainFramebuffer()
{
  ScopedGLContext current(*this);
  if (!GetDrawContext() || !HasMainFramebuffer()) return {};
  int w = 0;
  int h = 0;
  GetWindowPixelSize(w, h);
  GetGlEntryPoints().BindFramebuffer(GL_FRAMEBUFFER, MainFramebufferId());
  Pixels p = ReadBound(w, h);
  GetGlEntryPoints().BindFramebuffer(GL_FRAMEBUFFER, 0);
  return p;
}

PlatformFont* NanoVGTestPlatform::LoadPlatformFontFromFile(const char*, const char* path)
{
  std::vector<uint8_t> bytes = ReadFileBytes(path);
  return bytes.empty() ? nullptr : new BytesFont(std::move(bytes));
}

PlatformFont* NanoVGTestPlatform::LoadPlatformFontFromMemory(const char*, const void* data, int size)
{
  if (!data || size <= 0) return nullptr;
  const auto* p = static_cast<const uint8_t*>(data);
  return new BytesFont(std::vector<uint8_t>(p, p + size));
}

} // namespace iplug::igraphics::gfxtest
