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

Pixels NanoVGTestPlatform::ReadFramebuffer(bool main)
{
  ScopedGLContext current(*this);
  Pixels p;
  if (!GetDrawContext() || (main && !HasMainFramebuffer())) return p;
  GetWindowPixelSize(p.width, p.height);
  p.rgba.resize(static_cast<size_t>(p.width) * p.height * 4);
  GetGlEntryPoints().BindFramebuffer(GL_FRAMEBUFFER, main ? MainFramebufferId() : 0);
  GetGlEntryPoints().ReadPixels(0, 0, p.width, p.height, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
  GetGlEntryPoints().BindFramebuffer(GL_FRAMEBUFFER, 0);
  // GL rows come bottom first.
  const size_t row = static_cast<size_t>(p.width) * 4;
  for (int y = 0; y < p.height / 2; ++y)
    std::swap_ranges(p.rgba.begin() + y * row, p.rgba.begin() + (y + 1) * row,
                     p.rgba.begin() + (p.height - 1 - y) * row);
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
