#pragma once
// The editor's graphics context: owns the controls, knows the editor size and scales, routes input,
// decides what is repainted, opens value prompts, and draws every shape through an abstract path
// interface. The drawing back end supplies paths, bitmaps and text; the platform supplies the window,
// cursor, clipboard, dialogs and native menus and text fields. Window and module handles are void*.

#include "framework/core/TextBuffer.h"
#include "framework/graphics/BitmapLoading.h"
#include "framework/graphics/FontLoading.h"
#include "framework/graphics/IBitmapHandle.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IDrawingRecords.h"
#include "framework/graphics/IInputEvents.h"
#include "framework/graphics/IPathStyles.h"
#include "framework/graphics/IPattern.h"
#include "framework/graphics/IPopupMenu.h"
#include "framework/graphics/IRectList.h"
#include "framework/graphics/ISvgHandle.h"
#include "framework/graphics/LayerStack.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace iplug::igraphics
{

class IControl;
class ICornerResizerControl;
class ITextEntryControl;
class IPopupMenuControl;
class IGEditorDelegate;

enum ECursor : int32_t
{
  kArrowCursor = 0,
  kIBeamCursor = 1,
  kWaitCursor = 2,
  kCrossCursor = 3,
  kUpArrowCursor = 4,
  kSizeNWSECursor = 5,
  kSizeNESWCursor = 6,
  kSizeWECursor = 7,
  kSizeNSCursor = 8,
  kSizeAllCursor = 9,
  kNoCursor = 10,
  kHandCursor = 11,
  kAppStartingCursor = 12,
  kHelpCursor = 13,
};

enum EResizerMode : int32_t
{
  kResizeScale = 0,
  kResizeSize = 1,
};

enum EFileAction : int32_t
{
  kFileOpen = 0,
  kFileSave = 1,
};

using IMsgBoxCompletionFunc = std::function<void(int result)>;
using IFileDialogCompletionFunc = std::function<void(const TextBuffer& fileName, const TextBuffer& path)>;
using IColourPickerFunc = std::function<void(const IArgb& colour)>;

// FNV-1a over the key's bytes, lowest byte first: the tag and capture maps hash with it.
struct FnvHash
{
  size_t operator()(int32_t key) const { return Hash(&key, sizeof(key)); }
  size_t operator()(int64_t key) const { return Hash(&key, sizeof(key)); }
  static size_t Hash(const void* key, size_t n);
};

// The drawing back end answers the layer and bitmap questions of the units that own layers and loading:
// the graphics context is that back end, so each hook is declared once, in those interfaces.
class IGraphics : public ILayerBackEnd, public IBitmapBackEnd, public IFontBackEnd
{
public:
  IGraphics(IGEditorDelegate* dlg, int width, int height, int fps = 0, float scale = 1.f);
  virtual ~IGraphics();

  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Frame and drawing context (back end)
  virtual void BeginDrawFrame() {}
  virtual void CreateDrawContext() {}
  virtual void DestroyDrawContext() {}
  virtual void PresentFrame() {}
  // Between BeginDrawFrame and PresentFrame.
  virtual bool IsInFrame() const { return false; }
  // Ends a frame that was left early: the layers still on the stack go (those begun and never ended are
  // deleted), and the back end drops what the frame had recorded. contextCurrent tells whether GL work
  // may run.
  virtual void AbandonFrame(bool contextCurrent);

  // ---- Primitives. Every shape is built on the path interface below; a back end may replace any.
  virtual void DrawBitmap(const IBitmapHandle& bitmap, const IBounds& dest, int srcX, int srcY,
                          const IBlendSpec* blend = nullptr) = 0;
  virtual void DrawBitmapFitted(const IBitmapHandle& bitmap, const IBounds& bounds,
                                const IBlendSpec* blend = nullptr);
  virtual void DrawBitmapRotated(const IBitmapHandle& bitmap, float cx, float cy, double angle,
                                 const IBlendSpec* blend = nullptr);
  virtual void DrawPoint(const IArgb& colour, float x, float y, const IBlendSpec* blend = nullptr);
  virtual void DrawLine(const IArgb& colour, float x1, float y1, float x2, float y2,
                        const IBlendSpec* blend = nullptr, float thickness = 1.f);
  virtual void DrawDottedLine(const IArgb& colour, float x1, float y1, float x2, float y2,
                              const IBlendSpec* blend = nullptr, float thickness = 1.f, float dashLen = 2.f);
  virtual void DrawTriangle(const IArgb& colour, float x1, float y1, float x2, float y2, float x3, float y3,
                            const IBlendSpec* blend = nullptr, float thickness = 1.f);
  virtual void DrawRect(const IArgb& colour, const IBounds& bounds, const IBlendSpec* blend = nullptr,
                        float thickness = 1.f);
  virtual void DrawRoundRectCorners(const IArgb& colour, const IBounds& bounds, float tl, float tr, float bl,
                                    float br, const IBlendSpec* blend = nullptr, float thickness = 1.f);
  virtual void DrawRoundRect(const IArgb& colour, const IBounds& bounds, float radius,
                             const IBlendSpec* blend = nullptr, float thickness = 1.f);
  virtual void DrawArc(const IArgb& colour, float cx, float cy, float r, float a1, float a2,
                       const IBlendSpec* blend = nullptr, float thickness = 1.f);
  virtual void DrawCircle(const IArgb& colour, float cx, float cy, float r, const IBlendSpec* blend = nullptr,
                          float thickness = 1.f);
  virtual void DrawEllipse(const IArgb& colour, float x, float y, float r1, float r2, float angle = 0.f,
                           const IBlendSpec* blend = nullptr, float thickness = 1.f);
  virtual void DrawEllipseInRect(const IArgb& colour, const IBounds& bounds,
                                 const IBlendSpec* blend = nullptr, float thickness = 1.f);
  virtual void DrawPolygon(const IArgb& colour, const float* xs, const float* ys, int count,
                           const IBlendSpec* blend = nullptr, float thickness = 1.f);
  virtual void DrawDottedRect(const IArgb& colour, const IBounds& bounds, const IBlendSpec* blend = nullptr,
                              float thickness = 1.f, float dashLen = 2.f);
  virtual void FillTriangle(const IArgb& colour, float x1, float y1, float x2, float y2, float x3, float y3,
                            const IBlendSpec* blend = nullptr);
  virtual void FillRect(const IArgb& colour, const IBounds& bounds, const IBlendSpec* blend = nullptr);
  virtual void FillRoundRectCorners(const IArgb& colour, const IBounds& bounds, float tl, float tr, float bl,
                                    float br, const IBlendSpec* blend = nullptr);
  virtual void FillRoundRect(const IArgb& colour, const IBounds& bounds, float radius,
                             const IBlendSpec* blend = nullptr);
  virtual void FillCircle(const IArgb& colour, float cx, float cy, float r,
                          const IBlendSpec* blend = nullptr);
  virtual void FillEllipse(const IArgb& colour, float x, float y, float r1, float r2, float angle = 0.f,
                           const IBlendSpec* blend = nullptr);
  virtual void FillEllipseInRect(const IArgb& colour, const IBounds& bounds,
                                 const IBlendSpec* blend = nullptr);
  virtual void FillArc(const IArgb& colour, float cx, float cy, float r, float a1, float a2,
                       const IBlendSpec* blend = nullptr);
  virtual void FillPolygon(const IArgb& colour, const float* xs, const float* ys, int count,
                           const IBlendSpec* blend = nullptr);
  // 0 for a null or empty text.
  virtual float MeasureText(const ITextStyle& style, const char* text, IBounds& bounds) const;
  virtual void DrawTextBlock(const ITextStyle& style, const char* text, const IBounds& bounds,
                             const IBlendSpec* blend = nullptr);
  virtual IArgb GetPixelColour(float x, float y) = 0;
  virtual void* GetDrawContext() = 0;
  virtual const char* GetDrawingApiName() = 0;
  virtual bool IsBitmapExtensionSupported(const char* ext) = 0;
  virtual void FillBoxShadow(const IBounds& inner, const IBounds& outer, float offset, float roundness,
                             float blur, const IBlendSpec* blend = nullptr);
  virtual void DrawGrid(const IArgb& colour, const IBounds& bounds, float cellWidth, float cellHeight,
                        const IBlendSpec* blend = nullptr, float thickness = 1.f);
  // ys (and xs when given) are fractions 0..1 of the bounds; the first point is always at the left edge.
  virtual void DrawDataPlot(const IArgb& colour, const IBounds& bounds, const float* ys, int count,
                            const float* xs = nullptr, const IBlendSpec* blend = nullptr,
                            float thickness = 1.f, const IArgb* fillColour = nullptr);

  // ---- Path interface (back end). Points are float editor units, transformed by the transform in force
  // when they are added. Angles in degrees, 0 at 12 o'clock, clockwise; winding 0 clockwise, 1 anti.
  virtual void ClearPath() = 0;
  virtual void ClosePath() = 0;
  virtual void AddArcPath(float cx, float cy, float r, float a1, float a2, int winding = 0) = 0;
  virtual void MoveTo(float x, float y) = 0;
  virtual void LineTo(float x, float y) = 0;
  virtual void SetPathWinding(bool hole) { (void)hole; }
  virtual void CubicCurveTo(float c1x, float c1y, float c2x, float c2y, float x, float y) = 0;
  virtual void QuadCurveTo(float cx, float cy, float x, float y) = 0;
  virtual void StrokePath(const IGradient& pattern, float thickness, const IStrokeStyle& style,
                          const IBlendSpec* blend) = 0;
  virtual void FillPath(const IGradient& pattern, const IFillStyle& style, const IBlendSpec* blend) = 0;
  virtual void ApplyPathTransform(const IAffine& transform) = 0;
  virtual void AfterControlDraw(const IBounds& clip) { (void)clip; }
  // In untransformed editor units.
  virtual void SetPathClip(const IBounds& clip) = 0;

  // ---- Platform: cursor, text entry, window, clipboard, dialogs
  virtual void GetMousePosition(float& x, float& y) const = 0;
  virtual void HideMouseCursor(bool hide = true, bool lock = true) = 0;
  virtual void MoveMouseCursor(float x, float y) = 0;
  // Returns the type in force before.
  virtual int SetMouseCursor(int type);
  virtual void CancelTextEntry() = 0;
  virtual void* OpenEditorWindow(void* parent) = 0;
  virtual void CloseEditorWindow() = 0;
  virtual void* GetWindowHandle() = 0;
  virtual bool IsWindowOpen() { return GetWindowHandle() != nullptr; }
  virtual bool GetClipboardText(TextBuffer& text) = 0;
  virtual bool SetClipboardText(const char* text) = 0;
  virtual bool SetClipboardPath(const char* path);
  virtual bool StartFileDrag(const char* path);
  virtual int ShowMessageBox(const char* text, const char* caption, int type,
                             IMsgBoxCompletionFunc completion = nullptr) = 0;
  virtual void PromptForFile(TextBuffer& fileName, TextBuffer& path, int action = kFileOpen,
                             const char* extensions = "", IFileDialogCompletionFunc completion = nullptr) = 0;
  virtual void PromptForFolder(TextBuffer& dir, IFileDialogCompletionFunc completion = nullptr) = 0;
  virtual bool PromptForColour(IArgb& colour, const char* prompt = "",
                               IColourPickerFunc completion = nullptr) = 0;
  virtual bool OpenUrl(const char* url, const char* windowTitle = nullptr, const char* confirmText = nullptr,
                       const char* errorText = nullptr) = 0;
  virtual const char* GetPlatformName() { return ""; }
  virtual bool RevealPathInShell(const char* path, bool select = false);
  virtual void SetModuleInstance(void* instance) { (void)instance; }
  virtual void* GetModuleInstance() const { return nullptr; }
  // The platform's OpenGL context around GL work outside its paint: false when there is no window or
  // context (nothing was made current, so nothing is released either).
  virtual bool MakeGLContextCurrent() { return false; }
  virtual bool ReleaseGLContext() { return false; }
  // False when no field opened (one is open already, no window, the system refused): the control does
  // not become the text-entry target then.
  virtual bool CreatePlatformTextEntry(int paramIdx, const ITextStyle& style, const IBounds& bounds,
                                       int length, const char* text) = 0;
  // Returns the (sub)menu holding the choice, or null. A presenter that answers later sets completesLater
  // and calls CompletePopupMenu when the user has chosen.
  virtual IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds,
                                              bool& completesLater) = 0;
  virtual bool HasTouchDigitizer() { return false; }
  virtual float GetWindowDpiScale() { return 1.f; }
  virtual void ResizePlatformWindow(bool hostResized) { (void)hostResized; }
  virtual void ResizeDrawTarget() {}
  virtual void AfterResize() {}

  // ---- Bitmaps, SVG documents and layers
  // Bitmaps come from the bitmap cache or the image's scale variants; scale 0 follows the display
  // scale. An empty handle draws nothing. A back end whose images live in its drawing context replaces
  // the loading and keeps them in a cache of its own (GetBitmapCacheOfContext).
  virtual IBitmapHandle LoadBitmap(const char* name, int frames = 1, bool horizontal = false, int scale = 0);
  IBitmapHandle LoadBitmapFromMemory(const char* name, const void* data, int32_t size, int frames = 1,
                                     bool horizontal = false, int scale = 0);
  // Redraws the bitmap for targetScale and caches it under name; the editor's scales are kept.
  IBitmapHandle RescaleBitmap(const IBitmapHandle& bitmap, const char* name, int targetScale);
  virtual bool CacheBitmap(const IBitmapHandle& bitmap, const char* name);
  virtual void UncacheBitmap(const IBitmapHandle& bitmap);
  // Where this context's bitmaps are kept: the process-wide cache unless the back end has its own.
  virtual ResourceCache& GetBitmapCacheOfContext();

  // ---- Fonts. The platform makes a font of the file, resource or bytes; the drawing back end takes it
  // under fontId and the platform keeps what its text entry needs. False when either refuses.
  virtual bool LoadFontFile(const char* fontId, const char* fileOrResourceName);
  virtual bool LoadFontFromMemory(const char* fontId, const void* data, int size);
  // style 0 regular, 1 bold, 2 italic. Nothing in the editor asks for system fonts by name.
  virtual PlatformFont* LoadPlatformFontByName(const char* fontId, const char* family, int style) = 0;
  ISvgHandle LoadSVG(const char* name, const char* units = "px", float dpi = 72.f);
  void DrawSVG(const ISvgHandle& svg, const IBounds& bounds, const IBlendSpec* blend = nullptr,
               const IArgb* strokeColour = nullptr, const IArgb* fillColour = nullptr);
  void DrawSVGRotated(const ISvgHandle& svg, float cx, float cy, float width, float height, float angle,
                      const IBlendSpec* blend = nullptr);
  // Drawing goes into the top layer until it is ended; each change of the top layer starts from the
  // identity transform and a clip of the new target's whole area.
  void BeginLayer(IControl* control, const IBounds& bounds, bool cacheable = false);
  void PushLayer(IDrawLayer* layer);
  IDrawLayer* PopLayer();
  std::unique_ptr<IDrawLayer> EndLayer();
  IDrawLayer* GetTopLayer() const { return mLayers.GetTopLayer(); }
  int GetLayerDepth() const { return mLayers.GetDepth(); }
  void ApplyLayerShadow(IDrawLayer& layer, const IDropShadow& shadow);

  // ---- Text through the back end
  virtual float MeasureTextWithApi(const ITextStyle& style, const char* text, IBounds& bounds) const = 0;
  virtual void DrawTextWithApi(const ITextStyle& style, const char* text, const IBounds& bounds,
                               const IBlendSpec* blend) = 0;

  virtual float GetTotalScale() const { return mDrawScale * mDisplayScale; }

  // ---- Controls
  // Takes ownership once attached; a tag already in use refuses the control (null, the caller keeps it).
  IControl* AddControl(IControl* control, int tag = -1, const char* group = "");
  void AddCornerResizer(int mode = kResizeScale, bool layoutOnResize = false,
                        const IArgb& colour = COLOR_TRANSLUCENT, const IArgb& mouseOverColour = COLOR_BLACK,
                        const IArgb& dragColour = COLOR_BLACK, float size = 20.f);
  void AddTextEntryControl();
  IControl* FindControlByTag(int tag) const;
  IControl* GetControl(int idx) const;
  int NControls() const { return static_cast<int>(mControls.size()); }
  int GetControlIdx(const IControl* control) const;
  ICornerResizerControl* GetCornerResizer() const { return mCornerResizer; }
  ITextEntryControl* GetTextEntryControl() const { return mTextEntryControl; }
  // An in-editor menu presenter; none is attached in this system, so menus go to the platform.
  IPopupMenuControl* GetPopupMenuControl() const { return mPopupMenuControl; }
  // Attached controls in list order, then the corner resizer, then the text entry control.
  void ForEachControl(const std::function<void(IControl* control)>& func);
  void ForEachAttachedControl(const std::function<void(IControl* control)>& func);
  void RemoveAllControls();
  void UpdatePeerControls(IControl* caller, int callerValIdx);
  IGEditorDelegate* GetDelegate() const { return mDelegate; }
  // The delegate is going away: nothing may reach it any more, not even the end of an open gesture.
  void ClearDelegate();

  // ---- Drawing cycle
  bool CollectDirtyRects(IRectList& rects);
  void MarkAllControlsClean();
  void MarkAllControlsDirty();
  void PaintRegions(IRectList& rects);
  void DrawControl(IControl* control, const IBounds& region, float scale);

  // ---- Path builders and transforms
  void AddRectPath(const IBounds& bounds);
  void AddRoundRectPathCorners(const IBounds& bounds, float tl, float tr, float bl, float br);
  void AddRoundRectPath(const IBounds& bounds, float r) { AddRoundRectPathCorners(bounds, r, r, r, r); }
  void AddCirclePath(float cx, float cy, float r);
  void AddEllipsePath(float cx, float cy, float rx, float ry, float angle = 0.f);
  void AddEllipsePathInBounds(const IBounds& bounds);
  void AddConvexPolygonPath(const float* xs, const float* ys, int count);
  void SaveTransform();
  void RestoreTransform();
  void TranslateTransform(float x, float y);
  void ScaleTransform(float sx, float sy);
  void RotateTransform(float degrees);
  void MultiplyTransform(const IAffine& m);
  void ResetTransform(bool clearStack = false);
  void SetClipRegion(const IBounds& r = IBounds());
  const IAffine& GetTransform() const { return mTransform; }
  // The part of the dirty region the control being painted is drawn into; empty outside a paint pass.
  const IBounds& GetRegionClip() const { return mRegionClip; }
  void DrawText(const ITextStyle& style, const char* text, const IBounds& bounds,
                const IBlendSpec* blend = nullptr);
  void EnableTooltips(bool enable);
  void EnableMouseOver(bool enable) { mEnableMouseOver = enable; }
  bool TooltipsEnabled() const { return mEnableTooltips; }

  // ---- Input (editor units)
  IControl* FindControlAt(float x, float y, bool capture, bool mouseOver = false, int64_t touchId = 0);
  void OnMouseDown(const IPointerList& points);
  void OnMouseDrag(const IPointerList& points);
  void OnMouseUp(const IPointerList& points);
  bool OnMouseDoubleClick(float x, float y, const IModifierState& mod);
  bool OnMouseOver(float x, float y, const IModifierState& mod);
  void OnMouseOut();
  bool OnMouseWheel(float x, float y, const IModifierState& mod, float delta);
  bool OnKeyDown(float x, float y, const IKeyStroke& key);
  bool OnKeyUp(float x, float y, const IKeyStroke& key);
  void OnDrop(const char* text, float x, float y);
  void OnDropPaths(const std::vector<std::string>& paths, float x, float y);
  // Lets go of every pointer. Gestures begun by the presses end now and the controls reset their press
  // state (OnCaptureLost); a hidden cursor is shown again.
  void ReleaseMouseCapture();
  bool HasMouseCapture() const { return !mCaptureMap.empty(); }
  bool IsCaptured(const IControl* control) const;
  IControl* GetCapturedControl(int64_t touchId = 0) const;
  IControl* GetMouseOverControl() const { return mMouseOver; }
  int GetMouseOverIdx() const { return mMouseOverIdx; }
  int GetCursorType() const { return mCursorType; }

  // ---- Value prompts
  void PromptControlValue(IControl* control, const IBounds& bounds, int slot = 0);
  void ShowPopupMenu(IControl* control, IPopupMenu& menu, const IBounds& bounds, int slot = 0);
  void DoShowPopupMenu(IControl* control, IPopupMenu& menu, const IBounds& bounds, int slot, bool isContext);
  // Delivers a choice that the presenter made after CreatePlatformPopupMenu returned.
  void CompletePopupMenu(IPopupMenu* chosen);
  void ShowTextEntry(IControl* control, const ITextStyle& style, const IBounds& bounds, const char* text,
                     int slot = 0);
  void CommitTextEntry(const char* text);
  // The entry was cancelled: nothing is applied.
  void ClearTextEntryTarget();
  // The base offers the control's own menu; a host that has a menu for the parameter replaces it.
  virtual void ShowParamContextMenu(IControl* control, int paramIdx, float x, float y);
  IControl* GetTextEntryTarget() const { return mTextEntryTarget; }
  IPopupMenu& GetPromptMenu() { return mPromptMenu; }

  // ---- Size and scale
  void Resize(int width, int height, float scale, bool needsPlatformResize = true);
  void SetScaleLimits(float a, float b);
  void SetDisplayScale(float scale);
  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  int GetFrameRate() const { return mFPS; }
  float GetDrawScale() const { return mDrawScale; }
  float GetDisplayScale() const { return mDisplayScale; }
  float GetMinScale() const { return mMinScale; }
  float GetMaxScale() const { return mMaxScale; }
  bool IsResizing() const { return mResizing; }
  void StartCornerResize() { mResizing = true; }
  int GetCornerResizeMode() const { return mCornerResizeMode; }
  IBounds GetBounds() const { return {0.f, 0.f, static_cast<float>(mWidth), static_cast<float>(mHeight)}; }

protected:
  bool IsMouseCursorHidden() const { return mCursorHidden; }
  void SetMouseCursorHidden(bool hidden) { mCursorHidden = hidden; }
  // The scale the constructor or Resize stored, for a platform that reopens its window.
  void SetDisplayScaleField(float scale) { mDisplayScale = scale; }

private:
  struct Gesture
  {
    int64_t touchId = 0;
    IControl* control = nullptr;
    std::vector<int> params;
  };

  BitmapLoader MakeBitmapLoader();
  void StoreMouseDownPosition(float x, float y);
  void BeginGestures(int64_t touchId, IControl* control);
  void EndGestures(std::vector<Gesture>& gestures);
  std::vector<Gesture> TakeGestures(const std::function<bool(const Gesture&)>& which);
  // Drops every capture; the gestures of keepFor (if any) are returned instead of ended.
  std::vector<Gesture> DropCapture(IControl* keepFor);
  void ShowHiddenCursor();
  void UpdateMouseOver(float x, float y, const IModifierState& mod);
  void DoCornerResizeDrag(float x, float y);
  void EndCornerResize();
  void ComputePixelSize(int& pw, int& ph);
  void FinishPopup(IPopupMenu* chosen);

  std::vector<IControl*> mControls;
  std::unordered_map<int32_t, IControl*, FnvHash> mTagMap;
  ICornerResizerControl* mCornerResizer = nullptr;
  ITextEntryControl* mTextEntryControl = nullptr;
  IPopupMenuControl* mPopupMenuControl = nullptr;
  IPopupMenu mPromptMenu;
  int mCursorType = kArrowCursor;
  int mWidth;
  int mHeight;
  int mFPS;
  float mDisplayScale = 1.f;
  float mDrawScale;
  std::unordered_map<int64_t, IControl*, FnvHash> mCaptureMap;
  IControl* mMouseOver = nullptr;
  int mMouseOverIdx = -1;
  IControl* mTextEntryTarget = nullptr;
  int mTextEntryValIdx = kAllSlots;
  IControl* mPopupTarget = nullptr;
  int mPopupValIdx = kAllSlots;
  bool mIsContextMenu = false;
  float mMouseDownX = -1.f;
  float mMouseDownY = -1.f;
  float mMinScale = 0.5f;
  float mMaxScale = 4.f;
  bool mEnableMouseOver = false;
  bool mEnableTooltips = false;
  bool mResizing = false;
  bool mLayoutOnResize = false;
  int mCornerResizeMode = kResizeScale;
  IAffine mTransform;
  std::vector<IAffine> mTransformStack;
  LayerStack mLayers{*this, *this};
  IBounds mRegionClip;
  IGEditorDelegate* mDelegate;
  bool mCursorHidden = false;
  bool mDestroying = false;
  std::vector<Gesture> mGestures;      // begun by presses, per pointer
  std::vector<Gesture> mPopupGestures; // taken over by the open popup menu
};

} // namespace iplug::igraphics
