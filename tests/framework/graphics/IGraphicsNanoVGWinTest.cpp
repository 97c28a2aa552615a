// The NanoVG back end through WGL (under Wine): the golden scene against the reference made natively and
// the entry point lookup's fallback. A host's own context surviving a paint is the editor window's
// business (IGraphicsWinTest).

#include <windows.h>

#include "framework/graphics/platform/GlEntryPoints.h"
#include "framework/graphics/platform/WglEntryPoints.h"
#include "tests/support/graphics/GoldenScene.h"
#include "tests/support/graphics/NanoVGTestPlatform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

using namespace iplug::igraphics;

namespace
{

// A hidden window of its own with a legacy WGL context, drawing through the editor window's entry point
// lookup.
class WglTestGraphics : public gfxtest::NanoVGTestPlatform
{
public:
  WglTestGraphics(int width, int height) : NanoVGTestPlatform(nullptr, width, height, 60, 1.f) {}
  ~WglTestGraphics() override { CloseEditorWindow(); }

  HGLRC context = nullptr;
  HDC dc = nullptr;

  bool MakeGLContextCurrent() override
  {
    mSavedDC = wglGetCurrentDC();
    mSavedContext = wglGetCurrentContext();
    return context && wglMakeCurrent(dc, context);
  }
  bool ReleaseGLContext() override { return wglMakeCurrent(mSavedDC, mSavedContext); }
  void* GetWindowHandle() override { return mWindow; }
  void* OpenEditorWindow(void*) override
  {
    WNDCLASSW wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"QuorvelWglTest";
    RegisterClassW(&wc); // fails harmlessly once registered
    mWindow = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, GetWidth(), GetHeight(), nullptr,
                              nullptr, nullptr, nullptr);
    dc = GetDC(mWindow);
    PIXELFORMATDESCRIPTOR pfd{}; // RGBA
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    const int format = ChoosePixelFormat(dc, &pfd);
    if (format && SetPixelFormat(dc, format, &pfd)) context = wglCreateContext(dc);
    {
      ScopedGLContext current(*this);
      if (context && LoadWglEntryPoints()) CreateDrawContext();
    }
    ResizeDrawTarget();
    MarkAllControlsDirty();
    return mWindow;
  }
  void CloseEditorWindow() override
  {
    if (!mWindow) return;
    {
      ScopedGLContext current(*this);
      DestroyDrawContext();
    }
    if (context) wglDeleteContext(context);
    ReleaseDC(mWindow, dc);
    DestroyWindow(mWindow);
    mWindow = nullptr;
  }

private:
  HWND mWindow = nullptr;
  HDC mSavedDC = nullptr;
  HGLRC mSavedContext = nullptr;
};

intptr_t gFakeAnswer = 0;
void* FakeLookup(const char*)
{
  return reinterpret_cast<void*>(gFakeAnswer);
}

} // namespace

TEST(IGraphicsNanoVGWinTest, GoldenSceneThroughWglMatchesTheReference)
{
  const auto folder = std::filesystem::temp_directory_path() / "quorvel-wgl-golden";
  std::filesystem::create_directories(folder);
  WglTestGraphics g(gfxtest::kGoldenWidth, gfxtest::kGoldenHeight);
  ASSERT_TRUE(g.Open());
  ASSERT_NE(g.GetDrawContext(), nullptr) << "no WGL context or entry points";
  gfxtest::AddGoldenScene(g, folder.string(), std::string("Z:") + QUORVEL_ROBOTO_TTF);
  g.PaintAll();
  gfxtest::ExpectGolden(g.ReadMainFramebuffer(), QUORVEL_GRAPHICS_TEST_DATA "/golden_scene.png",
                        "golden_scene_wgl.png");
  g.Close();
  std::filesystem::remove_all(folder);
}

TEST(IGraphicsNanoVGWinTest, SmallDriverAnswersFallBackToOpengl32)
{
  HMODULE opengl32 = LoadLibraryW(L"opengl32.dll");
  ASSERT_NE(opengl32, nullptr);
  void* exported = reinterpret_cast<void*>(GetProcAddress(opengl32, "glViewport"));
  ASSERT_NE(exported, nullptr);
  for (intptr_t answer : {intptr_t(0), intptr_t(1), intptr_t(2), intptr_t(3), intptr_t(-1)})
  {
    gFakeAnswer = answer;
    EXPECT_EQ(ResolveWglEntryPoint("glViewport", FakeLookup, opengl32), exported) << answer;
    EXPECT_EQ(ResolveWglEntryPoint("glCreateShader", FakeLookup, opengl32), nullptr) << "not exported";
  }
  gFakeAnswer = 0x1000;
  EXPECT_EQ(ResolveWglEntryPoint("glViewport", FakeLookup, opengl32), reinterpret_cast<void*>(0x1000));
  EXPECT_EQ(ResolveWglEntryPoint("glViewport", FakeLookup, nullptr), nullptr);
  FreeLibrary(opengl32);
}
