#pragma once
// The NanoVG back end over a NanoVG context without OpenGL: every fill, stroke and triangle batch NanoVG
// hands to its renderer is recorded with its paint, composite factors, scissor and vertices, so tests
// read the exact values the back end produced. Frames are started by the test (nvgBeginFrame on
// GetDrawContext()); the platform's own frame steps need OpenGL.

#include "tests/support/graphics/NanoVGTestPlatform.h"

#include <nanovg.h>

#include <vector>

namespace iplug::igraphics::gfxtest
{

struct RenderRecord
{
  enum Kind
  {
    kFill,
    kStroke,
    kTriangles
  } kind;
  NVGpaint paint;
  NVGcompositeOperationState composite;
  NVGscissor scissor;
  std::vector<NVGvertex> vertices; // fills: every path's fill vertices; triangles: as given
};

class RecordingNanoVG : public NanoVGTestPlatform
{
public:
  RecordingNanoVG(int width, int height, float drawScale = 1.f);
  ~RecordingNanoVG() override;

  std::vector<RenderRecord> records;
  int makeCurrentCalls = 0;
  int releaseCalls = 0;

  // Starts a NanoVG frame of the editor's size and forgets what was recorded.
  void BeginRecording();

  bool MakeGLContextCurrent() override { return ++makeCurrentCalls > 0; }
  bool ReleaseGLContext() override { return ++releaseCalls > 0; }
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* GetWindowHandle() override { return mOpen ? &mOpen : nullptr; }

protected:
  NVGcontext* CreateNanoVGContext() override;
  void DeleteNanoVGContext(NVGcontext* context) override;

private:
  bool mOpen = false;
  int mTextures = 0;
};

} // namespace iplug::igraphics::gfxtest
