#include "tests/support/graphics/OffscreenGraphics.h"

#include "framework/graphics/IGEditorDelegate.h"
#include "framework/graphics/IRectList.h"
#include "framework/graphics/platform/GlEntryPoints.h"

#include <GL/osmesa.h>

#include <cstdlib>

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

// Mesa keeps a few records of every buffer it was made current on until the process ends.
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libOSMesa.so\n";
}

GlResolveFunc OffscreenGraphics::resolver = OsMesaLookup;

OffscreenGraphics::OffscreenGraphics(IGEditorDelegate* dlg, int width, int height, float drawScale)
    : NanoVGTestPlatform(dlg, width, height, 60, drawScale)
{
}

OffscreenGraphics::~OffscreenGraphics()
{
  CloseEditorWindow();
}

bool OffscreenGraphics::MakeGLContextCurrent()
{
  if (!mOpen || !mContext || refuseContext) return false;
  if (mDepth == 0)
  {
    if (OSMesaMakeCurrent(static_cast<OSMesaContext>(mContext), mBuffer.data(), GL_UNSIGNED_BYTE,
                          mBufferWidth, mBufferHeight) != GL_TRUE)
      return false;
    ++makeCurrentCalls;
  }
  ++mDepth;
  return true;
}

bool OffscreenGraphics::ReleaseGLContext()
{
  if (mDepth == 0) return false;
  if (--mDepth > 0) return true;
  ++releaseCalls;
  return OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0) == GL_TRUE;
}

void* OffscreenGraphics::OpenEditorWindow(void*)
{
  if (mOpen) CloseEditorWindow();
  mOpen = true;
  GetWindowPixelSize(mBufferWidth, mBufferHeight);
  mBuffer.assign(static_cast<size_t>(mBufferWidth) * mBufferHeight * 4, 0);
  mContext = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
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
  }
  mContext = nullptr;
  mOpen = false;
  mDepth = 0;
}

} // namespace iplug::igraphics::gfxtest
