#pragma once
// A platform for pixel tests: the NanoVG back end drawing through Mesa's software renderer into an
// offscreen OSMesa buffer that stands in for the window (framebuffer 0, as a window's is: the framebuffer
// utilities remember the first framebuffer they see bound as the default, process-wide). It opens,
// paints and closes as the window does, reads back the window and the main framebuffer, and writes PNGs.
// Natively only; the Windows tree draws through WGL instead.

#include "framework/graphics/PlatformFont.h"
#include "framework/graphics/platform/GlEntryPoints.h"
#include "framework/graphics/platform/IGraphicsNanoVG.h"

#include <cstdint>
#include <string>
#include <vector>

namespace iplug::igraphics::gfxtest
{

// RGBA bytes, top row first.
struct Pixels
{
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;

  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
  bool Empty() const { return rgba.empty(); }
};

bool WritePng(const std::string& path, const Pixels& pixels);
Pixels ReadPng(const std::string& path);

// A font made of bytes, counting how often the back end asks it for them.
class BytesFont : public PlatformFont
{
public:
  BytesFont(std::vector<uint8_t> bytes) : PlatformFont(false), mBytes(std::move(bytes)) {}
  std::unique_ptr<FontBlob> GetFontBlob() const override;
  static int blobRequests;

private:
  std::vector<uint8_t> mBytes;
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);

class OffscreenGraphics : public IGraphicsNanoVG
{
public:
  OffscreenGraphics(IGEditorDelegate* dlg, int width, int height, float drawScale = 1.f);
  ~OffscreenGraphics() override;

  // The entry points are looked up through this resolver (default: the GL library's own).
  static GlResolveFunc resolver;
  static GlResolveFunc DefaultResolver();

  // Opens the window at the display scale: GL context, entry points, NanoVG context, main framebuffer.
  bool Open(float displayScale = 1.f);
  void Close() { CloseEditorWindow(); }
  // Paints what is dirty (PaintAll: everything) as the window's paint handler does.
  void Paint();
  void PaintAll();
  // The window's pixels and the main framebuffer's, top row first.
  Pixels ReadWindow();
  Pixels ReadMainFramebuffer();

  // ---- Platform
  bool MakeGLContextCurrent() override;
  bool ReleaseGLContext() override;
  void GetMousePosition(float& x, float& y) const override { x = y = 0.f; }
  void HideMouseCursor(bool, bool) override {}
  void MoveMouseCursor(float, float) override {}
  void CancelTextEntry() override {}
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* GetWindowHandle() override { return mOpen ? &mOpen : nullptr; }
  bool GetClipboardText(TextBuffer& text) override { return text.AssignText("") && false; }
  bool SetClipboardText(const char*) override { return false; }
  int ShowMessageBox(const char*, const char*, int, IMsgBoxCompletionFunc) override { return 0; }
  void PromptForFile(TextBuffer&, TextBuffer&, int, const char*, IFileDialogCompletionFunc) override {}
  void PromptForFolder(TextBuffer&, IFileDialogCompletionFunc) override {}
  bool PromptForColour(IArgb&, const char*, IColourPickerFunc) override { return false; }
  bool OpenUrl(const char*, const char*, const char*, const char*) override { return false; }
  void CreatePlatformTextEntry(int, const ITextStyle&, const IBounds&, int, const char*) override {}
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu&, const IBounds&, bool&) override { return nullptr; }
  PlatformFont* LoadPlatformFontByName(const char*, const char*, int) override { return nullptr; }
  PlatformFont* LoadPlatformFontFromFile(const char* fontId, const char* path) override;
  PlatformFont* LoadPlatformFontFromMemory(const char* fontId, const void* data, int size) override;
  void CachePlatformFont(const char*, const PlatformFont*) override {}

private:
  static std::vector<OffscreenGraphics*>& Instances();
  Pixels ReadBound(int width, int height);

  void* mContext = nullptr; // OSMesaContext
  std::vector<uint8_t> mBuffer;
  int mBufferWidth = 0;
  int mBufferHeight = 0;
  void* mPrevious = nullptr;
  bool mOpen = false;
};

} // namespace iplug::igraphics::gfxtest
