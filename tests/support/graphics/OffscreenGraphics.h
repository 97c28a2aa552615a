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
  // How often the back end made the context current and released it. Releasing leaves the context
  // current: every user makes its own current first.
  int makeCurrentCalls = 0;
  int releaseCalls = 0;

  // ---- Platform
  bool MakeGLContextCurrent() override;
  bool ReleaseGLContext() override { return ++releaseCalls > 0; }
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
};

} // namespace iplug::igraphics::gfxtest
