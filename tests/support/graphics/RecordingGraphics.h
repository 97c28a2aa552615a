#pragma once
// A graphics context for tests: a recording drawing back end (every path call with its raw and
// transformed points, strokes and fills with pattern, thickness, style and blend, clips, frames and text),
// deterministic text metrics, and a scripted platform (popup answers, an in-memory clipboard, canned
// dialogs, recorded cursor calls and a fake window whose open and close follow the real window's steps).

#include "framework/graphics/IGraphics.h"
#include "framework/graphics/PlatformFont.h"
#include "tests/support/graphics/CoverageRaster.h"

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace iplug::igraphics::gfxtest
{

enum class Op
{
  ClearPath,
  ClosePath,
  Arc,
  MoveTo,
  LineTo,
  Winding,
  CubicTo,
  QuadTo,
  Stroke,
  Fill,
  Transform,
  Clip,
  AfterControlDraw,
  BeginFrame,
  PresentFrame,
  Text,
  Bitmap,
};

struct DrawCall
{
  Op op = Op::ClearPath;
  float a[6] = {};       // raw arguments as given (points, arc centre/radius/angles, clip edges)
  double p[6] = {};      // the points mapped by the transform in force (x, y pairs)
  IAffine matrix;        // transform in force when the call was made
  int winding = 0;       // arcs
  bool hole = false;     // winding calls
  IGradient pattern;     // strokes and fills
  float thickness = 0.f; // strokes
  IStrokeStyle stroke;
  IFillStyle fill;
  bool hasBlend = false;
  IBlendSpec blend;
  IBounds bounds; // clips, text and bitmaps
  const APIBitmap* bitmap = nullptr;
  std::string text;
  ITextStyle style;
};

// Text widths: half the font size per code point, plus an optional per-pair kerning table.
class TextMetrics
{
public:
  void SetKerning(char32_t left, char32_t right, float adjust) { mKerning[{left, right}] = adjust; }
  float Width(const ITextStyle& style, const char* utf8) const;

private:
  std::map<std::pair<char32_t, char32_t>, float> mKerning;
};

// Pixels in memory (4 bytes each, bottom row first like a framebuffer, all zero when made). Live
// instances are counted so that tests see what the caches and loaders delete.
class FakeBitmap : public APIBitmap
{
public:
  FakeBitmap(int widthPx, int heightPx, float scale, float drawScale, std::string origin = {});
  ~FakeBitmap() override;
  static int Alive();

  std::string origin; // the file or resource name it was made from, "layer" for layers
  std::vector<uint8_t> pixels;
};

// A handle over a fake bitmap the caller keeps alive.
IBitmapHandle MakeBitmapHandle(FakeBitmap& bitmap, const char* name = "fake.png", int frames = 1);

struct ShownMenu
{
  std::string title;
  std::vector<std::string> items;
  std::vector<int32_t> flags;
  IBounds bounds;
};

struct ShownTextEntry
{
  int paramIdx = -1;
  ITextStyle style;
  IBounds bounds;
  int length = 0;
  std::string text;
};

class RecordingGraphics : public IGraphics
{
public:
  RecordingGraphics(IGEditorDelegate* dlg, int width, int height, int fps = 60, float scale = 1.f);
  ~RecordingGraphics() override;

  // ---- Recording
  std::vector<DrawCall> calls;
  void ClearCalls() { calls.clear(); }
  // The path calls (not strokes, fills or transforms) as text, e.g. "M 0 0", "L 10 0", "A 5 5 5 0 90 0", "Z".
  std::vector<std::string> PathLog() const;
  // Every call as text, including strokes ("S" + colour + thickness) and fills ("F" + colour).
  std::vector<std::string> Log() const;
  int Count(Op op) const;
  const DrawCall* Last(Op op) const;
  std::vector<DrawCall> All(Op op) const;

  TextMetrics metrics;
  // When set, fills of axis-aligned rectangles are rasterised under the clip.
  CoverageRaster* raster = nullptr;

  // ---- Scripted platform
  // Popup answers in order: an item index to choose, -1 to dismiss, or kAnswerLater to complete later.
  static constexpr int kAnswerLater = -1000;
  std::deque<int> popupAnswers;
  std::vector<ShownMenu> shownMenus;
  IPopupMenu* pendingMenu = nullptr;
  // Chooses an item of the menu that was left open and delivers the choice as a late presenter does.
  void CompleteLater(int choice);

  std::vector<ShownTextEntry> textEntries;
  int cancelledTextEntries = 0;

  std::string clipboard;
  bool clipboardHasText = true;

  int messageBoxAnswer = 1;
  std::vector<std::string> messageBoxes;
  std::string fileAnswer;
  IArgb colourAnswer{255, 1, 2, 3};
  bool colourChosen = true;
  std::vector<std::string> openedUrls;

  std::vector<int> cursorCalls;                 // SetMouseCursor types
  std::vector<std::pair<bool, bool>> hideCalls; // HideMouseCursor (hide, lock)
  std::vector<std::pair<float, float>> moveCalls;
  float mouseX = 0.f;
  float mouseY = 0.f;

  float windowDpiScale = 1.f;
  float parentDpiScale = 1.f;
  std::vector<bool> platformResizes; // ResizePlatformWindow arguments
  int drawTargetResizes = 0;
  int afterResizes = 0;
  int windowOpens = 0;
  int windowCloses = 0;

  bool IsCursorHidden() const { return IsMouseCursorHidden(); }
  // A real platform lets go of the pointers in its destructor; false leaves it to the base class.
  bool releaseOnDestroy = true;
  // Decoded bitmaps (from memory or a file) are this many editor units; pixels follow the scale.
  int fakeBitmapWidth = 10;
  int fakeBitmapHeight = 8;
  int filesDecoded = 0;

  // ---- Layers
  bool layerBitmapsFail = false;
  IDrawLayer* boundLayer = nullptr; // null: the main framebuffer
  int bindCount = 0;
  IDropShadow lastShadow;
  std::vector<uint8_t> lastMask;

  // ---- Back end
  void BeginDrawFrame() override;
  void PresentFrame() override;
  void DrawBitmap(const IBitmapHandle& bitmap, const IBounds& dest, int srcX, int srcY,
                  const IBlendSpec* blend) override;
  IArgb GetPixelColour(float, float) override { return COLOR_BLACK; }
  void* GetDrawContext() override { return nullptr; }
  const char* GetDrawingApiName() override { return "Recording"; }
  bool IsBitmapExtensionSupported(const char* ext) override;
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
  void AfterControlDraw(const IBounds& clip) override;
  void SetPathClip(const IBounds& clip) override;
  APIBitmap* CreateApiBitmapFromMemory(const char* name, const void* data, int32_t size, int scale) override;
  APIBitmap* CreateApiBitmapFromFile(const char* location, int scale, int locationKind,
                                     const char* ext) override;
  APIBitmap* CreateLayerBitmap(int widthPx, int heightPx, float scale, float drawScale,
                               bool cacheable) override;
  void BindCurrentLayer(IDrawLayer* layer) override;
  void GetLayerPixels(IDrawLayer& layer, HeapBuffer& pixels) override;
  void ApplyLayerShadowMask(IDrawLayer& layer, HeapBuffer& mask, const IDropShadow& shadow) override;
  // Fonts: the platform makes none, so nothing reaches the back end.
  PlatformFont* LoadPlatformFontByName(const char*, const char*, int) override { return nullptr; }
  PlatformFont* LoadPlatformFontFromFile(const char*, const char*) override { return nullptr; }
  PlatformFont* LoadPlatformFontFromMemory(const char*, const void*, int) override { return nullptr; }
  bool LoadFontWithApi(const char*, PlatformFont*) override { return false; }
  void CachePlatformFont(const char*, const PlatformFont*) override {}
  float MeasureTextWithApi(const ITextStyle& style, const char* text, IBounds& bounds) const override;
  void DrawTextWithApi(const ITextStyle& style, const char* text, const IBounds& bounds,
                       const IBlendSpec* blend) override;

  // ---- Platform
  void GetMousePosition(float& x, float& y) const override;
  void HideMouseCursor(bool hide, bool lock) override;
  void MoveMouseCursor(float x, float y) override;
  int SetMouseCursor(int type) override;
  void CancelTextEntry() override;
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* GetWindowHandle() override { return mWindowOpen ? &mWindow : nullptr; }
  bool GetClipboardText(TextBuffer& text) override;
  bool SetClipboardText(const char* text) override;
  int ShowMessageBox(const char* text, const char* caption, int type,
                     IMsgBoxCompletionFunc completion) override;
  void PromptForFile(TextBuffer& fileName, TextBuffer& path, int action, const char* extensions,
                     IFileDialogCompletionFunc completion) override;
  void PromptForFolder(TextBuffer& dir, IFileDialogCompletionFunc completion) override;
  bool PromptForColour(IArgb& colour, const char* prompt, IColourPickerFunc completion) override;
  bool OpenUrl(const char* url, const char* windowTitle, const char* confirmText,
               const char* errorText) override;
  const char* GetPlatformName() override { return "scripted"; }
  bool CreatePlatformTextEntry(int paramIdx, const ITextStyle& style, const IBounds& bounds, int length,
                               const char* text) override;
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds, bool& completesLater) override;
  float GetWindowDpiScale() override { return windowDpiScale; }
  void ResizePlatformWindow(bool hostResized) override { platformResizes.push_back(hostResized); }
  void ResizeDrawTarget() override { drawTargetResizes++; }
  void AfterResize() override { afterResizes++; }

private:
  DrawCall& Record(Op op);
  void MapPoints(DrawCall& call, int nPoints) const;

  IAffine mXform;
  IBounds mClip;
  int mWindow = 0;
  bool mWindowOpen = false;
};

} // namespace iplug::igraphics::gfxtest
