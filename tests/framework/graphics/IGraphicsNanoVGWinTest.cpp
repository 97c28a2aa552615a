// The NanoVG back end through WGL (under Wine): the golden scene against the reference made natively,
// the entry point lookup's fallback, and a host's own context surviving a paint.

#include "framework/graphics/platform/GlEntryPoints.h"
#include "framework/graphics/platform/WglEntryPoints.h"
#include "tests/support/graphics/GoldenScene.h"
#include "tests/support/graphics/WglTestGraphics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

using namespace iplug::igraphics;
using gfxtest::WglTestGraphics;

namespace
{

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
  WglTestGraphics g(nullptr, gfxtest::kGoldenWidth, gfxtest::kGoldenHeight);
  ASSERT_TRUE(g.Open());
  ASSERT_NE(g.GetDrawContext(), nullptr) << "no WGL context or entry points";
  gfxtest::AddGoldenScene(g, folder.string(), std::string("Z:") + QUORVEL_ROBOTO_TTF);
  g.PaintAll();
  const gfxtest::Pixels main = g.ReadMainFramebuffer();
  const gfxtest::Pixels reference = gfxtest::ReadPng(QUORVEL_GRAPHICS_TEST_DATA "/golden_scene.png");
  const int difference = gfxtest::MaxChannelDifference(main.rgba, main.width, main.height, reference.rgba,
                                                       reference.width, reference.height);
  if (difference < 0 || difference > 2) gfxtest::WritePng((folder / "golden_scene_wgl.png").string(), main);
  EXPECT_GE(difference, 0) << "sizes differ";
  EXPECT_LE(difference, 2);
  g.Close();
  std::filesystem::remove_all(folder);
}

TEST(IGraphicsNanoVGWinTest, SmallDriverAnswersFallBackToOpengl32AndTheHostContextStaysCurrent)
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

  // A host window with its own context current while the editor paints.
  WglTestGraphics host(nullptr, 20, 20);
  WglTestGraphics editor(nullptr, 20, 20);
  ASSERT_TRUE(host.Open());
  ASSERT_TRUE(editor.Open());
  ASSERT_NE(host.GetGLContext(), nullptr);
  ASSERT_TRUE(
      wglMakeCurrent(static_cast<HDC>(host.GetDeviceContext()), static_cast<HGLRC>(host.GetGLContext())));
  editor.PaintAll();
  EXPECT_EQ(wglGetCurrentContext(), host.GetGLContext());
  wglMakeCurrent(nullptr, nullptr);
}
