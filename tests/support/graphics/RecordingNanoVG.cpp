#include "tests/support/graphics/RecordingNanoVG.h"

namespace iplug::igraphics::gfxtest
{

namespace
{

RecordingNanoVG& Self(void* user)
{
  return *static_cast<RecordingNanoVG*>(user);
}

void Record(void* user, RenderRecord::Kind kind, const NVGpaint* paint, NVGcompositeOperationState op,
            const NVGscissor* scissor, std::vector<NVGvertex> vertices)
{
  Self(user).records.push_back({kind, *paint, op, *scissor, std::move(vertices)});
}

std::vector<NVGvertex> FillVertices(const NVGpath* paths, int count)
{
  std::vector<NVGvertex> v;
  for (int i = 0; i < count; ++i)
    v.insert(v.end(), paths[i].fill, paths[i].fill + paths[i].nfill);
  return v;
}

} // namespace

RecordingNanoVG::RecordingNanoVG(int width, int height, float drawScale)
    : NanoVGTestPlatform(nullptr, width, height, 60, drawScale)
{
}

RecordingNanoVG::~RecordingNanoVG()
{
  CloseEditorWindow();
}

NVGcontext* RecordingNanoVG::CreateNanoVGContext()
{
  NVGparams p{};
  p.userPtr = this;
  p.renderCreate = [](void*, void*) { return 1; };
  // Images are numbered and otherwise ignored (the font atlas needs one).
  p.renderCreateTexture = [](void* u, int, int, int, int, const unsigned char*)
  { return ++Self(u).mTextures; };
  p.renderDeleteTexture = [](void*, int) { return 1; };
  p.renderUpdateTexture = [](void*, int, int, int, int, int, const unsigned char*) { return 1; };
  p.renderGetTextureSize = [](void*, int, int* w, int* h)
  {
    *w = *h = 1;
    return 1;
  };
  p.renderViewport = [](void*, float, float, float) {};
  p.renderCancel = [](void*) {};
  p.renderFlush = [](void*) {};
  p.renderFill = [](void* u, NVGpaint* paint, NVGcompositeOperationState op, NVGscissor* scissor, float,
                    const float*, const NVGpath* paths, int n)
  { Record(u, RenderRecord::kFill, paint, op, scissor, FillVertices(paths, n)); };
  p.renderStroke = [](void* u, NVGpaint* paint, NVGcompositeOperationState op, NVGscissor* scissor, float,
                      float, const NVGpath*, int)
  { Record(u, RenderRecord::kStroke, paint, op, scissor, {}); };
  p.renderTriangles = [](void* u, NVGpaint* paint, NVGcompositeOperationState op, NVGscissor* scissor,
                         const NVGvertex* v, int n, float) {
    Record(u, RenderRecord::kTriangles, paint, op, scissor, {v, v + n});
  };
  p.renderDelete = [](void*) {};
  return nvgCreateInternal(&p, nullptr);
}

void RecordingNanoVG::DeleteNanoVGContext(NVGcontext* context)
{
  nvgDeleteInternal(context);
}

void RecordingNanoVG::BeginRecording()
{
  records.clear();
  float w = 0.f;
  float h = 0.f;
  GetWindowSize(w, h);
  nvgBeginFrame(static_cast<NVGcontext*>(GetDrawContext()), w, h, 1.f);
}

void* RecordingNanoVG::OpenEditorWindow(void*)
{
  mOpen = true;
  CreateDrawContext();
  return &mOpen;
}

void RecordingNanoVG::CloseEditorWindow()
{
  if (!mOpen) return;
  DestroyDrawContext();
  mOpen = false;
}

} // namespace iplug::igraphics::gfxtest
