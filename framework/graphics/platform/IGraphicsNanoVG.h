#pragma once
// The drawing back end: NanoVG over OpenGL 2. The editor is drawn into an offscreen main framebuffer
// that is composited onto the window at the end of each frame; layers are further framebuffers. The
// platform window derives from it: it owns the OpenGL context, makes it current around painting and
// answers MakeGLContextCurrent, ReleaseGLContext and GetModuleInstance. Without a NanoVG context (no GL,
// missing entry points, creation refused) every drawing operation does nothing and the window still
// opens.

#include "framework/core/Mutex.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/ResourceCache.h"
#include "framework/graphics/ScopedGLContext.h"
#include "framework/graphics/platform/NanoVGFramebuffer.h"

#include <cstdint>
#include <vector>

struct NVGcontext;
struct NVGLUframebuffer;
struct NVGpaint;

namespace iplug::igraphics
{

class IGraphicsNanoVG : public IGraphics
{
public:
  // A NanoVG image (loaded pictures) or the colour image of a framebuffer (layers).
  class Bitmap : public APIBitmap
  {
  public:
    // Image form: the size is asked from NanoVG; image 0 (nothing loaded) is 0 x 0. The owner makes its
    // context current around the image's deletion.
    Bitmap(IGraphicsNanoVG* owner, NVGcontext* context, int32_t imageId, float scale, bool shared,
           float drawScale = 1.f);
    // Layer form: owns the framebuffer, whose deletion goes through the owner (deferred in a frame).
    Bitmap(IGraphicsNanoVG* owner, NVGcontext* context, NanoVGFramebuffer framebuffer, int32_t widthPx,
           int32_t heightPx, float scale, float drawScale);
    ~Bitmap() override;

    NVGLUframebuffer* GetFramebuffer() const { return mFramebuffer.Get(); }

  private:
    Bitmap(IGraphicsNanoVG* owner, NVGcontext* context, int32_t imageId, const int32_t size[2], float scale,
           bool shared, float drawScale);

    IGraphicsNanoVG* mOwner = nullptr;
    NVGcontext* mContext = nullptr;
    NanoVGFramebuffer mFramebuffer;
    bool mShared = false;
  };

  IGraphicsNanoVG(IGEditorDelegate* dlg, int width, int height, int fps = 0, float scale = 1.f);
  ~IGraphicsNanoVG() override;

  // ---- Context and frames
  void BeginDrawFrame() override;
  void CreateDrawContext() override;
  void DestroyDrawContext() override;
  void PresentFrame() override;
  void ResizeDrawTarget() override;
  IArgb GetPixelColour(float x, float y) override;
  void* GetDrawContext() override;
  const char* GetDrawingApiName() override;
  bool IsInFrame() const override { return mInFrame; }
  // Also run by the context guard when a paint is left early.
  void AbandonFrame(bool contextCurrent) override;
  bool HasMainFramebuffer() const { return static_cast<bool>(mMainFramebuffer); }
  // The GL name of the main framebuffer (0 without one), for a platform that reads it back.
  uint32_t MainFramebufferId() const;
  // The window's size in editor units after draw scaling, int(W·d) x int(H·d), and in pixels,
  // int(int(W·d)·s) x int(int(H·d)·s).
  void GetWindowSize(float& width, float& height) const;
  void GetWindowPixelSize(int& width, int& height) const;

  // Deletes the framebuffer now, or at the end of the frame being drawn (newest first).
  void DeleteFramebufferDeferred(NanoVGFramebuffer framebuffer);
  void FlushDeferredFramebuffers();

  // ---- Paths, paints, blend modes and clipping
  void DrawDottedLine(const IArgb& colour, float x1, float y1, float x2, float y2, const IBlendSpec* blend,
                      float thickness, float dashLen) override;
  void DrawDottedRect(const IArgb& colour, const IBounds& bounds, const IBlendSpec* blend, float thickness,
                      float dashLen) override;
  void ClearPath() override;
  void ClosePath() override;
  void AddArcPath(float cx, float cy, float r, float a1, float a2, int winding) override;
  void MoveTo(float x, float y) override;
  void LineTo(float x, float y) override;
  void SetPathWinding(bool hole) override;
  void CubicCurveTo(float c1x, float c1y, float c2x, float c2y, float x, float y) override;
  void QuadCurveTo(float cx, float cy, float x, float y) override;
  void StrokePath(const IGradient& pattern, float thickness, const IStrokeStyle& style,
                  const IBlendSpec* blend) override;
  void FillPath(const IGradient& pattern, const IFillStyle& style, const IBlendSpec* blend) override;
  void ApplyPathTransform(const IAffine& transform) override;
  void SetPathClip(const IBounds& clip) override;

  // ---- Bitmaps, layers, shadows
  void DrawBitmap(const IBitmapHandle& bitmap, const IBounds& dest, int srcX, int srcY,
                  const IBlendSpec* blend = nullptr) override;
  bool IsBitmapExtensionSupported(const char* ext) override;
  void FillBoxShadow(const IBounds& inner, const IBounds& outer, float offset, float roundness, float blur,
                     const IBlendSpec* blend = nullptr) override;
  IBitmapHandle LoadBitmap(const char* name, int frames = 1, bool horizontal = false, int scale = 0) override;
  ResourceCache& GetBitmapCacheOfContext() override { return mBitmapCache; }
  // Bitmaps live only in this context's own cache, which owns each once: a handle from LoadBitmap
  // handed to the cache again would get a second owner.
  bool CacheBitmap(const IBitmapHandle&, const char*) override { return false; }
  void UncacheBitmap(const IBitmapHandle&) override {}
  APIBitmap* CreateApiBitmapFromFile(const char* location, int scale, int locationKind,
                                     const char* extension) override;
  APIBitmap* CreateApiBitmapFromMemory(const char* name, const void* data, int32_t size, int scale) override;
  APIBitmap* CreateLayerBitmap(int widthPx, int heightPx, float scale, float drawScale,
                               bool cacheable) override;
  void BindCurrentLayer(IDrawLayer* layer) override;
  void GetLayerPixels(IDrawLayer& layer, HeapBuffer& pixels) override;
  void ApplyLayerShadowMask(IDrawLayer& layer, HeapBuffer& mask, const IDropShadow& shadow) override;
  int GetAlphaChannelIndex() const override { return 3; }
  bool IsLayerBitmapFlipped() const override { return true; }

  // ---- Fonts and text
  bool LoadFontWithApi(const char* fontId, PlatformFont* font) override;
  float MeasureTextWithApi(const ITextStyle& style, const char* text, IBounds& bounds) const override;
  void DrawTextWithApi(const ITextStyle& style, const char* text, const IBounds& bounds,
                       const IBlendSpec* blend) override;
  void DrawTextBlock(const ITextStyle& style, const char* text, const IBounds& bounds,
                     const IBlendSpec* blend = nullptr) override;

  // The number of fonts the process-wide font cache holds (its bytes outlive every context).
  static int32_t GetCachedFontCount();

  // Where text drawn at the style's angle must move so that its rotated box keeps the alignment within
  // bounds. rect (the measured box) becomes the box around the rotated corners; nothing at angle 0.
  static void CalcTextRotationOffset(const ITextStyle& style, const IBounds& bounds, IBounds& rect, float& dx,
                                     float& dy);
  // Moves rect (the measured box) by that offset.
  static void ApplyTextRotationOffset(const ITextStyle& style, const IBounds& bounds, IBounds& rect);

protected:
  // The NanoVG context and its deletion: OpenGL 2 over a complete set of entry points (null without
  // one). A platform without OpenGL may hand over a context of its own making. Without GL (the context
  // cannot be made current at teardown) the context is freed with no GL call.
  virtual NVGcontext* CreateNanoVGContext();
  virtual void DeleteNanoVGContext(NVGcontext* context);
  virtual void DeleteNanoVGContextWithoutGL(NVGcontext* context);

  // Whether the window keeps its pixels from one frame to the next (an offscreen buffer, a window whose
  // buffers are copied rather than swapped): then a frame clears and composites only the part it redrew.
  // Otherwise every frame composites the whole main framebuffer.
  virtual bool KeepsWindowPixels() const { return false; }

private:
  // Null while drawing must not happen: no context, or a layer without a framebuffer on top.
  NVGcontext* DrawTarget() const { return mTargetMissing ? nullptr : mVG; }
  // Binds the layer's framebuffer (null: the main one) with its viewport and starts a NanoVG frame on it.
  void BeginTarget(IDrawLayer* layer);
  // What drawing on the main framebuffer can have touched: all of it, or the area (editor units).
  struct ReachedArea
  {
    bool all = true;
    IBounds area;
  };
  // Flushes NanoVG onto the current target; onto the main framebuffer only within what its clips reached.
  void EndTarget();
  void ReachClip(const IBounds& clip);
  // The area in GL's window coordinates (origin bottom left), inside the window; false when it is all.
  bool ReachedPixels(const ReachedArea& reached, int& x, int& y, int& w, int& h) const;
  void ClearWindow();
  void PrepareText(const ITextStyle& style, const char* text, IBounds& r, float& x, float& y) const;
  // GL work may run: a NanoVG context exists and the guard made it current.
  bool GLReachable(const ScopedGLContext& current) const { return mVG && current.IsCurrent(); }

  bool mInFrame = false;
  bool mTargetMissing = false;
  // What drawing on the main framebuffer can have touched since its NanoVG frame began: all of it until
  // the first clip (NanoVG starts a frame unclipped), then the union of the clips. Controls are drawn
  // only after a clip is set, so a partial repaint reaches no further than its dirty rectangles and its
  // flushes are scissored to them: a software renderer then leaves the rest alone instead of running every
  // full-window fill (a backdrop) through its shader. The frame's area gathers those of its flushes.
  bool mMainTargetCurrent = false;
  ReachedArea mTargetReached;
  ReachedArea mFrameReached;
  Mutex mFramebufferLock;
  std::vector<NanoVGFramebuffer> mDeferredFramebuffers; // last in, first out
  ResourceCache mBitmapCache;
  NVGcontext* mVG = nullptr;
  NanoVGFramebuffer mMainFramebuffer;
};

} // namespace iplug::igraphics
