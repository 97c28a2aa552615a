// The back end's context, frames, main framebuffer and deferred framebuffer deletion.

#include "framework/graphics/platform/IGraphicsNanoVG.h"

#include "framework/graphics/platform/GlEntryPoints.h"
#include "framework/graphics/platform/NanoVGFontCache.h"
#include "framework/graphics/platform/NanoVGGL.h"

#include <algorithm>
#include <cmath>

#include <nanovg.h>
#define NANOVG_GL2 1
#include <nanovg_gl.h>
#include <nanovg_gl_utils.h>

namespace iplug::igraphics
{

namespace
{

void DeleteBitmapPayload(void* payload)
{
  delete static_cast<APIBitmap*>(payload);
}

} // namespace

IGraphicsNanoVG::IGraphicsNanoVG(IGEditorDelegate* dlg, int width, int height, int fps, float scale)
    : IGraphics(dlg, width, height, fps, scale), mBitmapCache(DeleteBitmapPayload)
{
  ResourceCache& fonts = GetNanoVGFontCache();
  ScopedLock lock(&fonts.GetLock());
  fonts.AddUser();
}

IGraphicsNanoVG::~IGraphicsNanoVG()
{
  // Controls may hold layers whose framebuffers come back here: they go while this part still exists.
  RemoveAllControls();
  {
    ResourceCache& fonts = GetNanoVGFontCache();
    ScopedLock lock(&fonts.GetLock());
    fonts.RemoveUser();
    FlushDeferredFramebuffers();
  }
  ScopedLock lock(&mBitmapCache.GetLock());
  mBitmapCache.ClearResourceCache();
}

void IGraphicsNanoVG::GetWindowSize(float& width, float& height) const
{
  width = static_cast<float>(static_cast<int>(static_cast<float>(GetWidth()) * GetDrawScale()));
  height = static_cast<float>(static_cast<int>(static_cast<float>(GetHeight()) * GetDrawScale()));
}

void IGraphicsNanoVG::GetWindowPixelSize(int& width, int& height) const
{
  float ww = 0.f;
  float wh = 0.f;
  GetWindowSize(ww, wh);
  width = static_cast<int>(ww * GetDisplayScale());
  height = static_cast<int>(wh * GetDisplayScale());
}

NVGcontext* IGraphicsNanoVG::CreateNanoVGContext()
{
  // A context is made only over a complete set of entry points: NanoVG calls them without checking.
  return GetGlEntryPoints().IsComplete() ? nvgCreateGL2(NVG_ANTIALIAS) : nullptr;
}

void IGraphicsNanoVG::DeleteNanoVGContext(NVGcontext* context)
{
  nvgDeleteGL2(context);
}

void IGraphicsNanoVG::DeleteNanoVGContextWithoutGL(NVGcontext* context)
{
  igraphics::DeleteNanoVGContextWithoutGL(context);
}

void IGraphicsNanoVG::CreateDrawContext()
{
  if (!mVG) mVG = CreateNanoVGContext();
}

void IGraphicsNanoVG::DestroyDrawContext()
{
  RemoveAllControls();
  // Each deletion below asks for the context again (nested): all of them reach GL, or none does.
  ScopedGLContext current(*this);
  ScopedLock lock(&mBitmapCache.GetLock());
  FlushDeferredFramebuffers();
  // Images belong to the context: they go before it.
  mBitmapCache.ClearResourceCache();
  mMainFramebuffer.Release(GLReachable(current));
  if (mVG)
  {
    if (current.IsCurrent())
      DeleteNanoVGContext(mVG);
    else
      DeleteNanoVGContextWithoutGL(mVG);
    mVG = nullptr;
  }
}

void IGraphicsNanoVG::ResizeDrawTarget()
{
  ScopedGLContext current(*this);
  mMainFramebuffer.Release(GLReachable(current));
  if (!GLReachable(current)) return;
  int w = 0;
  int h = 0;
  GetWindowPixelSize(w, h);
  if (w > 0 && h > 0) mMainFramebuffer = NanoVGFramebuffer(nvgluCreateFramebuffer(mVG, w, h, 0));
}

void IGraphicsNanoVG::BeginDrawFrame()
{
  mInFrame = true;
  IGraphics::BeginDrawFrame();
  mFrameReached = ReachedArea{false, IBounds()};
  if (!mVG) return;
  GlEntryPoints& gl = GetGlEntryPoints();
  int w = 0;
  int h = 0;
  GetWindowPixelSize(w, h);
  // The window is cleared, never the main framebuffer, which keeps what is not repainted: layer work
  // outside a frame may have left that one bound.
  nvgluBindFramebuffer(nullptr);
  gl.Viewport(0, 0, w, h);
  // Without a main framebuffer the frame is drawn straight onto the window.
  if (!mMainFramebuffer) ClearWindow();
  nvgluBindFramebuffer(mMainFramebuffer.Get());
  float ww = 0.f;
  float wh = 0.f;
  GetWindowSize(ww, wh);
  nvgBeginFrame(mVG, ww, wh, GetDisplayScale());
  mMainTargetCurrent = true;
  mTargetReached = ReachedArea();
}

void IGraphicsNanoVG::ClearWindow()
{
  GlEntryPoints& gl = GetGlEntryPoints();
  gl.ClearColor(0.f, 0.f, 0.f, 0.f);
  gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void IGraphicsNanoVG::ReachClip(const IBounds& clip)
{
  if (!mMainTargetCurrent) return;
  mTargetReached.area = mTargetReached.all ? clip : mTargetReached.area.Union(clip);
  mTargetReached.all = false;
}

bool IGraphicsNanoVG::ReachedPixels(const ReachedArea& reached, int& x, int& y, int& w, int& h) const
{
  if (reached.all) return false;
  int width = 0;
  int height = 0;
  GetWindowPixelSize(width, height);
  const float s = GetTotalScale();
  // Outward to whole pixels: NanoVG's clip edges are antialiased, and no pixel they leave alone is
  // further than half a pixel out.
  const auto px = [](float v, int limit) { return std::clamp(static_cast<int>(v), 0, limit); };
  const int l = px(std::floor(reached.area.L * s), width);
  const int t = px(std::floor(reached.area.T * s), height);
  const int r = px(std::ceil(reached.area.R * s), width);
  const int b = px(std::ceil(reached.area.B * s), height);
  x = l;
  y = height - std::max(b, t);
  w = std::max(r - l, 0);
  h = std::max(b - t, 0);
  return true;
}

void IGraphicsNanoVG::EndTarget()
{
  if (!mVG) return;
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  const bool scissored = mMainTargetCurrent && ReachedPixels(mTargetReached, x, y, w, h);
  GlEntryPoints& gl = GetGlEntryPoints();
  if (scissored)
  {
    gl.Scissor(x, y, w, h);
    gl.Enable(GL_SCISSOR_TEST);
  }
  nvgEndFrame(mVG);
  if (scissored) gl.Disable(GL_SCISSOR_TEST);
  if (mMainTargetCurrent)
  {
    mFrameReached.all = mFrameReached.all || mTargetReached.all;
    mFrameReached.area = mFrameReached.area.Union(mTargetReached.area);
  }
}

void IGraphicsNanoVG::PresentFrame()
{
  if (mVG)
  {
    EndTarget();
    mMainTargetCurrent = false;
    if (mMainFramebuffer)
    {
      GlEntryPoints& gl = GetGlEntryPoints();
      int x = 0;
      int y = 0;
      int w = 0;
      int h = 0;
      // A window that keeps its pixels takes only what the frame redrew; any other takes all of it.
      const bool partial = KeepsWindowPixels() && ReachedPixels(mFrameReached, x, y, w, h);
      float ww = 0.f;
      float wh = 0.f;
      GetWindowSize(ww, wh);
      nvgluBindFramebuffer(nullptr);
      int widthPx = 0;
      int heightPx = 0;
      GetWindowPixelSize(widthPx, heightPx);
      gl.Viewport(0, 0, widthPx, heightPx);
      if (partial)
      {
        gl.Scissor(x, y, w, h);
        gl.Enable(GL_SCISSOR_TEST);
      }
      ClearWindow();
      nvgBeginFrame(mVG, ww, wh, GetDisplayScale());
      const NVGpaint paint = nvgImagePattern(mVG, 0.f, 0.f, ww, wh, 0.f, mMainFramebuffer->image, 1.f);
      nvgSave(mVG);
      nvgResetTransform(mVG);
      nvgTranslate(mVG, 0.f, 0.f);
      nvgBeginPath(mVG);
      nvgRect(mVG, 0.f, 0.f, ww, wh);
      nvgFillPaint(mVG, paint);
      nvgFill(mVG);
      nvgRestore(mVG);
      nvgEndFrame(mVG);
      if (partial) gl.Disable(GL_SCISSOR_TEST);
    }
  }
  mInFrame = false;
  FlushDeferredFramebuffers();
}

void IGraphicsNanoVG::AbandonFrame(bool contextCurrent)
{
  if (!mInFrame) return;
  // Layers begun in the frame go first: their framebuffers join the frame's deferred deletions.
  IGraphics::AbandonFrame(contextCurrent);
  if (mVG) nvgCancelFrame(mVG);
  mTargetMissing = false;
  mMainTargetCurrent = false;
  mInFrame = false;
  if (contextCurrent) FlushDeferredFramebuffers();
}

uint32_t IGraphicsNanoVG::MainFramebufferId() const
{
  return mMainFramebuffer ? mMainFramebuffer->fbo : 0u;
}

IArgb IGraphicsNanoVG::GetPixelColour(float, float)
{
  return COLOR_BLACK;
}

void* IGraphicsNanoVG::GetDrawContext()
{
  return mVG;
}

const char* IGraphicsNanoVG::GetDrawingApiName()
{
  return "NanoVG | GL2";
}

void IGraphicsNanoVG::DeleteFramebufferDeferred(NanoVGFramebuffer framebuffer)
{
  if (!framebuffer) return;
  if (mInFrame)
  {
    ScopedLock lock(&mFramebufferLock);
    mDeferredFramebuffers.push_back(std::move(framebuffer));
    return;
  }
  ScopedGLContext current(*this);
  framebuffer.Release(GLReachable(current));
}

void IGraphicsNanoVG::FlushDeferredFramebuffers()
{
  ScopedGLContext current(*this);
  const bool gl = GLReachable(current);
  ScopedLock lock(&mFramebufferLock);
  while (!mDeferredFramebuffers.empty())
  {
    mDeferredFramebuffers.back().Release(gl);
    mDeferredFramebuffers.pop_back();
  }
}

} // namespace iplug::igraphics
