// The editor window's OpenGL context: made with the window, current around painting and GL work (the
// caller's context is put back afterwards, also when a host has its own current), gone with the window.

#include "framework/graphics/ScopedGLContext.h"
#include "framework/graphics/platform/GlEntryPoints.h"
#include "framework/graphics/platform/IGraphicsWin.h"
#include "framework/graphics/platform/IGraphicsWinState.h"
#include "framework/graphics/platform/WglEntryPoints.h"

#include <vector>

namespace iplug::igraphics
{

using WinState = IGraphicsWin::WinState;

bool WinState::CreateGLContext(IGraphicsWin& g)
{
  WinState& w = *g.mWin;
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(pfd);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 32;
  pfd.cDepthBits = 24;
  pfd.cStencilBits = 8;
  pfd.iLayerType = PFD_MAIN_PLANE;
  const int format = ChoosePixelFormat(w.dc, &pfd);
  if (!format || !SetPixelFormat(w.dc, format, &pfd)) return false;
  w.glContext = wglCreateContext(w.dc);
  if (!w.glContext) return false;
  const ScopedGLContext current(g);
  if (!current.IsCurrent()) return false;
  // Without a complete table no drawing context is made: the window still opens and draws nothing.
  LoadWglEntryPoints();
  g.CreateDrawContext();
  return true;
}

void WinState::DestroyGLContext(IGraphicsWin& g)
{
  WinState& w = *g.mWin;
  // Makes the context current itself; when it cannot, NanoVG's objects are dropped without GL calls.
  g.DestroyDrawContext();
  if (w.glContext)
  {
    if (wglGetCurrentContext() == w.glContext) wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(w.glContext);
  }
  w.glContext = nullptr;
  w.glDepth = 0;
}

bool IGraphicsWin::MakeGLContextCurrent()
{
  WinState& w = *mWin;
  if (!w.window || !w.glContext || !w.dc) return false;
  if (w.glDepth == 0)
  {
    w.savedDC = wglGetCurrentDC();
    w.savedContext = wglGetCurrentContext();
    if (!wglMakeCurrent(w.dc, w.glContext)) return false;
  }
  w.glDepth++;
  return true;
}

bool IGraphicsWin::ReleaseGLContext()
{
  WinState& w = *mWin;
  if (w.glDepth == 0) return false;
  if (--w.glDepth > 0) return true;
  const bool restored = wglMakeCurrent(w.savedDC, w.savedContext) != FALSE;
  w.savedDC = nullptr;
  w.savedContext = nullptr;
  return restored;
}

void WinState::PrintClient(IGraphicsWin& g, HDC target)
{
  WinState& w = *g.mWin;
  if (!target) return;
  const ScopedGLContext current(g);
  if (!current.IsCurrent()) return;
  int width = 0, height = 0;
  g.GetWindowPixelSize(width, height);
  if (!w.framePainted)
  {
    IRectList all;
    all.Add(g.GetBounds());
    g.MarkAllControlsDirty();
    g.PaintRegions(all);
    w.framePainted = true;
  }
  else
  {
    // Composites the main framebuffer, which keeps the last frame, onto the back buffer again.
    g.BeginDrawFrame();
    g.PresentFrame();
  }
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  GlEntryPoints& gl = GetGlEntryPoints();
  if (gl.ReadPixels && !pixels.empty())
  {
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.ReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // GL rows come bottom first, as a bottom-up DIB has them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(target, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  }
}

} // namespace iplug::igraphics
