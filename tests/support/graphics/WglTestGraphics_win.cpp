#include "tests/support/graphics/WglTestGraphics.h"

#include "framework/graphics/IGEditorDelegate.h"
#include "framework/graphics/platform/WglEntryPoints.h"

namespace iplug::igraphics::gfxtest
{

namespace
{

const wchar_t* WindowClass()
{
  static const wchar_t* name = []
  {
    WNDCLASSW wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorvelWglTest";
    RegisterClassW(&wc);
    return L"QuorvelWglTest";
  }();
  return name;
}

} // namespace

WglTestGraphics::WglTestGraphics(IGEditorDelegate* dlg, int width, int height)
    : NanoVGTestPlatform(dlg, width, height, 60, 1.f)
{
}

WglTestGraphics::~WglTestGraphics()
{
  CloseEditorWindow();
}

bool WglTestGraphics::MakeGLContextCurrent()
{
  if (!mDC || !mContext) return false;
  mSavedDC = wglGetCurrentDC();
  mSavedContext = wglGetCurrentContext();
  return wglMakeCurrent(static_cast<HDC>(mDC), static_cast<HGLRC>(mContext)) != FALSE;
}

bool WglTestGraphics::ReleaseGLContext()
{
  const bool restored =
      wglMakeCurrent(static_cast<HDC>(mSavedDC), static_cast<HGLRC>(mSavedContext)) != FALSE;
  mSavedDC = mSavedContext = nullptr;
  return restored;
}

void* WglTestGraphics::OpenEditorWindow(void*)
{
  if (mWindow) CloseEditorWindow();
  int w = 0;
  int h = 0;
  GetWindowPixelSize(w, h);
  mWindow = CreateWindowExW(0, WindowClass(), L"", WS_POPUP, 0, 0, w, h, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (!mWindow) return nullptr;
  HDC dc = GetDC(static_cast<HWND>(mWindow));
  mDC = dc;
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(pfd);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 32;
  pfd.cDepthBits = 24;
  pfd.cStencilBits = 8;
  const int format = ChoosePixelFormat(dc, &pfd);
  if (format && SetPixelFormat(dc, format, &pfd)) mContext = wglCreateContext(dc);
  {
    ScopedGLContext current(*this);
    if (mContext && LoadWglEntryPoints()) CreateDrawContext();
  }
  ResizeDrawTarget();
  if (GetDelegate()) GetDelegate()->LayoutEditor(this);
  MarkAllControlsDirty();
  return mWindow;
}

void WglTestGraphics::CloseEditorWindow()
{
  if (!mWindow) return;
  {
    ScopedGLContext current(*this);
    DestroyDrawContext();
  }
  if (mContext)
  {
    if (wglGetCurrentContext() == mContext) wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(static_cast<HGLRC>(mContext));
  }
  ReleaseDC(static_cast<HWND>(mWindow), static_cast<HDC>(mDC));
  DestroyWindow(static_cast<HWND>(mWindow));
  mWindow = mDC = mContext = nullptr;
}

} // namespace iplug::igraphics::gfxtest
