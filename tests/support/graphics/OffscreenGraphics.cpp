#include "tests/support/graphics/OffscreenGraphics.h"

#include "framework/graphics/IGEditorDelegate.h"
#include "framework/graphics/IRectList.h"
#include "framework/graphics/platform/GlEntryPoints.h"

#include <GL/osmesa.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

namespace iplug::igraphics::gfxtest
{

namespace
{

void* OsMesaLookup(const char* name, void*)
{
  return reinterpret_cast<void*>(OSMesaGetProcAddress(name));
}

// The window's framebuffer must come from Mesa's software renderer whatever the machine has.
struct ForceSoftware
{
  ForceSoftware() { setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1); }
} gForceSoftware;

} // namespace

GlResolveFunc OffscreenGraphics::resolver = OsMesaLookup;

GlResolveFunc OffscreenGraphics::DefaultResolver()
{
  return OsMesaLookup;
}
int BytesFont::blobRequests = 0;

bool WritePng(const std::string& path, const Pixels& p)
{
  return !p.Empty() && stbi_write_png(path.c_str(), p.width, p.height, 4, p.rgba.data(), p.width * 4) != 0;
}

Pixels ReadPng(const std::string& path)
{
  Pixels p;
  int n = 0;
  unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &n, 4);
  if (!data) return {};
  p.rgba.assign(data, data + static_cast<size_t>(p.width) * p.height * 4);
  stbi_image_free(data);
  return p;
}

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

OffscreenGraphics::OffscreenGraphics(IGEditorDelegate* dlg, int width, int height, float drawScale)
    : IGraphicsNanoVG(dlg, width, height, 60, drawScale)
{
}

OffscreenGraphics::~OffscreenGraphics()
{
  CloseEditorWindow();
}

bool OffscreenGraphics::MakeGLContextCurrent()
{
  if (!mOpen || !mContext) return false;
  mPrevious = OSMesaGetCurrentContext();
  return OSMesaMakeCurrent(static_cast<OSMesaContext>(mContext), mBuffer.data(), GL_UNSIGNED_BYTE,
                           mBufferWidth, mBufferHeight) == GL_TRUE;
}

bool OffscreenGraphics::ReleaseGLContext()
{
  // Whatever was current before goes back: another editor's context with its own buffer.
  auto* previous = static_cast<OSMesaContext>(mPrevious);
  mPrevious = nullptr;
  if (!previous || previous == mContext) return true;
  for (OffscreenGraphics* other : Instances())
    if (other->mContext == previous)
      return OSMesaMakeCurrent(previous, other->mBuffer.data(), GL_UNSIGNED_BYTE, other->mBufferWidth,
                               other->mBufferHeight) == GL_TRUE;
  return false;
}

std::vector<OffscreenGraphics*>& OffscreenGraphics::Instances()
{
  static std::vector<OffscreenGraphics*> instances;
  return instances;
}

bool OffscreenGraphics::Open(float displayScale)
{
  SetDisplayScale(displayScale);
  return OpenEditorWindow(nullptr) != nullptr;
}

void* OffscreenGraphics::OpenEditorWindow(void*)
{
  if (mOpen) CloseEditorWindow();
  mOpen = true;
  GetWindowPixelSize(mBufferWidth, mBufferHeight);
  mBuffer.assign(static_cast<size_t>(mBufferWidth) * mBufferHeight * 4, 0);
  mContext = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
  if (mContext) Instances().push_back(this);
  {
    ScopedGLContext current(*this);
    // Drawing needs the context current and every entry point; without them the window opens empty.
    if (mContext && LoadGlEntryPoints(resolver, nullptr)) CreateDrawContext();
  }
  ResizeDrawTarget();
  if (GetDelegate()) GetDelegate()->LayoutEditor(this);
  MarkAllControlsDirty();
  return &mOpen;
}

void OffscreenGraphics::CloseEditorWindow()
{
  if (!mOpen) return;
  {
    ScopedGLContext current(*this);
    DestroyDrawContext();
  }
  if (mContext)
  {
    if (OSMesaGetCurrentContext() == mContext) OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
    OSMesaDestroyContext(static_cast<OSMesaContext>(mContext));
    std::erase(Instances(), this);
  }
  mContext = nullptr;
  mOpen = false;
}

void OffscreenGraphics::Paint()
{
  IRectList rects;
  if (!CollectDirtyRects(rects)) return;
  ScopedGLContext current(*this);
  PaintRegions(rects);
  MarkAllControlsClean();
}

void OffscreenGraphics::PaintAll()
{
  MarkAllControlsDirty();
  Paint();
}

Pixels OffscreenGraphics::ReadBound(int width, int height)
{
  Pixels p;
  if (!mContext || width <= 0 || height <= 0) return p;
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

Pixels OffscreenGraphics::ReadWindow()
{
  ScopedGLContext current(*this);
  if (!GetGlEntryPoints().BindFramebuffer) return {};
  GetGlEntryPoints().BindFramebuffer(GL_FRAMEBUFFER, 0);
  return ReadBound(mBufferWidth, mBufferHeight);
}

Pixels OffscreenGraphics::ReadMainFramebuffer()
{
  ScopedGLContext current(*this);
  if (!HasMainFramebuffer() || !GetGlEntryPoints().BindFramebuffer) return {};
  GetGlEntryPoints().BindFramebuffer(GL_FRAMEBUFFER, MainFramebufferId());
  Pixels p = ReadBound(mBufferWidth, mBufferHeight);
  GetGlEntryPoints().BindFramebuffer(GL_FRAMEBUFFER, 0);
  return p;
}

PlatformFont* OffscreenGraphics::LoadPlatformFontFromFile(const char*, const char* path)
{
  std::vector<uint8_t> bytes = ReadFileBytes(path ? path : "");
  return bytes.empty() ? nullptr : new BytesFont(std::move(bytes));
}

PlatformFont* OffscreenGraphics::LoadPlatformFontFromMemory(const char*, const void* data, int size)
{
  if (!data || size <= 0) return nullptr;
  const auto* p = static_cast<const uint8_t*>(data);
  return new BytesFont(std::vector<uint8_t>(p, p + size));
}

} // namespace iplug::igraphics::gfxtest
