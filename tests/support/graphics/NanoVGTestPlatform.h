#pragma once
// What the pixel-test platforms share: the NanoVG back end with a platform that has no menus, dialogs or
// clipboard, makes fonts of files and bytes, paints as the window's paint handler does and reads the
// window and the main framebuffer back. Each platform supplies the GL context it draws into.

#include "framework/graphics/PlatformFont.h"
#include "framework/graphics/platform/GlEntryPoints.h"
#include "framework/graphics/platform/IGraphicsNanoVG.h"
#include "tests/support/graphics/PngFiles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace iplug::igraphics::gfxtest
{

// A font made of bytes, counting how often the back end asks it for them.
class BytesFont : public PlatformFont
{
public:
  explicit BytesFont(std::vector<uint8_t> bytes) : PlatformFont(false), mBytes(std::move(bytes)) {}
  std::unique_ptr<FontBlob> GetFontBlob() const override;
  static int blobRequests;

private:
  std::vector<uint8_t> mBytes;
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);

class NanoVGTestPlatform : public IGraphicsNanoVG
{
public:
  using IGraphicsNanoVG::IGraphicsNanoVG;

  // Opens the window at the display scale: GL context, entry points, NanoVG context, main framebuffer.
  bool Open(float displayScale = 1.f);
  void Close() { CloseEditorWindow(); }
  // Paints what is dirty (PaintAll: everything) as the window's paint handler does.
  void Paint();
  void PaintAll();
  // The window's pixels and the main framebuffer's, top row first.
  Pixels ReadWindow() { return ReadFramebuffer(false); }
  Pixels ReadMainFramebuffer() { return ReadFramebuffer(true); }

  void GetMousePosition(float& x, float& y) const override { x = y = 0.f; }
  void HideMouseCursor(bool, bool) override {}
  void MoveMouseCursor(float, float) override {}
  void CancelTextEntry() override {}
  bool GetClipboardText(TextBuffer& text) override { return text.AssignText("") && false; }
  bool SetClipboardText(const char*) override { return false; }
  int ShowMessageBox(const char*, const char*, int, IMsgBoxCompletionFunc) override { return 0; }
  void PromptForFile(TextBuffer&, TextBuffer&, int, const char*, IFileDialogCompletionFunc) override {}
  void PromptForFolder(TextBuffer&, IFileDialogCompletionFunc) override {}
  bool PromptForColour(IArgb&, const char*, IColourPickerFunc) override { return false; }
  bool OpenUrl(const char*, const char*, const char*, const char*) override { return false; }
  bool CreatePlatformTextEntry(int, const ITextStyle&, const IBounds&, int, const char*) override
  {
    return true;
  }
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu&, const IBounds&, bool&) override { return nullptr; }
  PlatformFont* LoadPlatformFontByName(const char*, const char*, int) override { return nullptr; }
  PlatformFont* LoadPlatformFontFromFile(const char* fontId, const char* path) override;
  PlatformFont* LoadPlatformFontFromMemory(const char* fontId, const void* data, int size) override;
  void CachePlatformFont(const char*, const PlatformFont*) override {}

private:
  Pixels ReadFramebuffer(bool main);
};

} // namespace iplug::igraphics::gfxtest
