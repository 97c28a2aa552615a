#pragma once
// A graphics context for tests: it records every path call, keeps fake bitmaps and layers, measures text
// with a fixed advance per byte (with an optional kerning pair) and keeps a clipboard in memory.

#include "framework/graphics/BitmapLoading.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/LayerStack.h"

#include <string>
#include <vector>

namespace iplug::igraphics::test
{

struct PathCall
{
  std::string op; // "clear", "move", "line", "cubic", "close", "winding", "fill", "stroke", "clip", ...
  std::vector<float> args;
  bool hole = false;
  IGradient pattern;
  IFillStyle fill;
  IStrokeStyle stroke;
  float thickness = 0.f;
};

// Pixels in memory; counts live instances so that tests can see deletions.
class FakeBitmap : public APIBitmap
{
public:
  FakeBitmap(int w, int h, float scale, float drawScale, std::string origin);
  ~FakeBitmap() override;
  static int Alive();

  std::string origin;
  std::vector<uint8_t> pixels; // 4 bytes per pixel, bottom row first like a framebuffer
};

class RecordingGraphics : public IGraphics, public ILayerBackEnd, public IBitmapBackEnd
{
public:
  explicit RecordingGraphics(int width = 400, int height = 300, float scale = 1.f);
  ~RecordingGraphics() override;

  std::vector<PathCall> calls;
  std::vector<std::string> drawnText;
  std::string clipboard;
  bool clipboardHasText = true;
  std::vector<std::string> supportedExtensions{"png"};
  int filesDecoded = 0;
  bool layerBitmapsFail = false;
  IDrawLayer* boundLayer = nullptr;
  int bindCount = 0;
  IDropShadow lastShadow;
  std::vector<uint8_t> lastMask;
  float advance = 7.f;    // width of every byte
  std::string kernPair;   // two characters drawn closer together ...
  float kernAmount = 0.f; // ... by this much
  std::vector<std::pair<IPopupMenu*, IBounds>> shownMenus;

  // Both the graphics context and the layer back end ask these: one answer for both.
  int GetAlphaChannelIndex() const override { return 3; }
  bool IsLayerBitmapFlipped() const override { return true; }

  std::vector<PathCall> CallsNamed(const char* op) const;
  void ClearCalls() { calls.clear(); }

  // IGraphics
  void DrawBitmap(const IBitmapHandle& bitmap, const IBounds& dest, int srcX, int srcY,
                  const IBlendSpec* blend) override;
  IArgb GetPixelColour(float, float) override { return {}; }
  void* GetDrawContext() override { return nullptr; }
  const char* GetDrawingApiName() override { return "Recording"; }
  bool IsBitmapExtensionSupported(const char* ext) override;
  void ClearPath() override { Record("clear"); }
  void ClosePath() override { Record("close"); }
  void AddArcPath(float cx, float cy, float r, float a1, float a2, int winding) override;
  void MoveTo(float x, float y) override { Record("move", {x, y}); }
  void LineTo(float x, float y) override { Record("line", {x, y}); }
  void SetPathWinding(bool hole) override;
  void CubicCurveTo(float c1x, float c1y, float c2x, float c2y, float x, float y) override;
  void QuadCurveTo(float cx, float cy, float x, float y) override { Record("quad", {cx, cy, x, y}); }
  void StrokePath(const IGradient& pattern, float thickness, const IStrokeStyle& style,
                  const IBlendSpec* blend) override;
  void FillPath(const IGradient& pattern, const IFillStyle& style, const IBlendSpec* blend) override;
  void ApplyPathTransform(const IAffine& t) override;
  void SetPathClip(const IBounds& clip) override { Record("clip", {clip.L, clip.T, clip.R, clip.B}); }
  void GetMousePosition(float& x, float& y) const override { x = y = 0.f; }
  void HideMouseCursor(bool, bool) override {}
  void MoveMouseCursor(float, float) override {}
  void CancelTextEntry() override {}
  void* OpenEditorWindow(void*) override { return nullptr; }
  void CloseEditorWindow() override {}
  void* GetWindowHandle() override { return nullptr; }
  bool GetClipboardText(TextBuffer& text) override;
  bool SetClipboardText(const char* text) override;
  int ShowMessageBox(const char*, const char*, int, IMsgBoxCompletionFunc) override { return 0; }
  void PromptForFile(TextBuffer&, TextBuffer&, int, const char*, IFileDialogCompletionFunc) override {}
  void PromptForFolder(TextBuffer&, IFileDialogCompletionFunc) override {}
  bool PromptForColour(IArgb&, const char*, IColourPickerFunc) override { return false; }
  bool OpenUrl(const char*, const char*, const char*, const char*) override { return false; }
  void CreatePlatformTextEntry(int, const ITextStyle&, const IBounds&, int, const char*) override {}
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds, bool& completesLater) override;
  float MeasureTextWithApi(const ITextStyle& style, const char* text, IBounds& bounds) const override;
  void DrawTextWithApi(const ITextStyle& style, const char* text, const IBounds& bounds,
                       const IBlendSpec* blend) override;

  // ILayerBackEnd
  APIBitmap* CreateLayerBitmap(int widthPx, int heightPx, float displayScale, float drawScale,
                               bool cacheable) override;
  void BindLayer(IDrawLayer* layer) override;
  void GetLayerPixels(IDrawLayer& layer, HeapBuffer& pixels) override;
  void ApplyLayerShadowMask(IDrawLayer& layer, HeapBuffer& mask, const IDropShadow& shadow) override;

  // IBitmapBackEnd: decodes nothing; makes a 10 x 8 editor-unit bitmap at the scale asked for.
  APIBitmap* CreateApiBitmapFromFile(const char* location, int scale, int locationKind,
                                     const char* extension) override;
  APIBitmap* CreateApiBitmapFromMemory(const char* name, const void* data, int32_t size, int scale) override;

private:
  void Record(const char* op, std::vector<float> args = {});
};

} // namespace iplug::igraphics::test
