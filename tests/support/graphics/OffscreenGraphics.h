#pragma once
// The native pixel-test platform: Mesa's software renderer through OSMesa, drawing into an offscreen
// buffer that stands in for the window (framebuffer 0, as a window's is: the framebuffer utilities
// remember the first framebuffer they see bound as the default, process-wide).

#include "tests/support/graphics/NanoVGTestPlatform.h"

namespace iplug::igraphics::gfxtest
{

class OffscreenGraphics : public NanoVGTestPlatform
{
public:
  OffscreenGraphics(IGEditorDelegate* dlg, int width, int height, float drawScale = 1.f);
  ~OffscreenGraphics() override;

  // The entry points are looked up through this resolver (default: the GL library's own).
  static GlResolveFunc resolver;
  // How often the context was really made current and dropped again. Calls nest as the window's do:
  // only the outermost switches, and its release leaves no context current, so GL work that forgets to
  // ask for the context fails here as it would on Windows.
  int makeCurrentCalls = 0;
  int releaseCalls = 0;
  // A context that cannot be made current any more (lost, or its window destroyed first).
  bool refuseContext = false;

  // ---- Platform
  bool MakeGLContextCurrent() override;
  bool ReleaseGLContext() override;
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* GetWindowHandle() override { return mOpen ? &mOpen : nullptr; }
  // Nothing but the renderer writes the buffer: it holds the last frame.
  bool KeepsWindowPixels() const override { return true; }

private:
  void* mContext = nullptr; // OSMesaContext
  std::vector<uint8_t> mBuffer;
  int mBufferWidth = 0;
  int mBufferHeight = 0;
  bool mOpen = false;
  int mDepth = 0;
};

} // namespace iplug::igraphics::gfxtest
