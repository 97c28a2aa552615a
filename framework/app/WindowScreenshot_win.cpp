#include "framework/app/ScreenshotPng.h"

#include "framework/core/Win32Utf8.h"

#include <windows.h>

#include <cstdio>

namespace iplug
{
namespace
{

// One owner per GDI handle, released on every path.
struct WindowDC
{
  HWND window;
  HDC dc;
  explicit WindowDC(HWND w) : window(w), dc(GetDC(w)) {}
  ~WindowDC()
  {
    if (dc) ReleaseDC(window, dc);
  }
};

struct MemoryDC
{
  HDC dc;
  explicit MemoryDC(HDC like) : dc(CreateCompatibleDC(like)) {}
  ~MemoryDC()
  {
    if (dc) DeleteDC(dc);
  }
};

struct SelectedBitmap
{
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ previous = nullptr;
  SelectedBitmap(HDC d, HBITMAP b) : dc(d), bitmap(b)
  {
    if (dc && bitmap) previous = SelectObject(dc, bitmap);
  }
  ~SelectedBitmap()
  {
    if (previous) SelectObject(dc, previous);
    if (bitmap) DeleteObject(bitmap);
  }
};

// Window captures do not reliably hold an OpenGL child (under Wine they never do): the child
// that draws the editor is asked to print itself into the capture at its own place.
void PrintChildren(HWND window, HDC memory)
{
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
  {
    if (!IsWindowVisible(child)) continue;
    RECT r;
    if (!GetWindowRect(child, &r)) continue;
    POINT origin{r.left, r.top};
    ScreenToClient(window, &origin);
    POINT previous;
    SetViewportOrgEx(memory, origin.x, origin.y, &previous);
    SendMessageW(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_CHILDREN);
    SetViewportOrgEx(memory, previous.x, previous.y, nullptr);
  }
}

bool WriteWholeFile(const char* path, const std::vector<uint8_t>& bytes)
{
  FILE* file = OpenFileUtf8(path, "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

} // namespace

bool SaveWindowScreenshotPng(void* windowHandle, const char* utf8Path)
{
  HWND window = static_cast<HWND>(windowHandle);
  if (!window || !utf8Path || !utf8Path[0]) return false;
  RECT client;
  if (!GetClientRect(window, &client)) return false;
  const int w = client.right - client.left;
  const int h = client.bottom - client.top;
  if (w <= 0 || h <= 0) return false;

  WindowDC windowDc(window);
  if (!windowDc.dc) return false;
  MemoryDC memory(windowDc.dc);
  if (!memory.dc) return false;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h; // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  SelectedBitmap dib(memory.dc, CreateDIBSection(windowDc.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib.bitmap || !dib.previous || !bits) return false;

  bool captured = PrintWindow(window, memory.dc, PW_CLIENTONLY | 2 /* full content */) != 0;
  if (!captured) captured = BitBlt(memory.dc, 0, 0, w, h, windowDc.dc, 0, 0, SRCCOPY) != 0;
  if (!captured) return false;
  PrintChildren(window, memory.dc);
  GdiFlush();

  std::vector<uint8_t> png;
  if (!EncodeScreenshotPng(static_cast<const uint8_t*>(bits), w, h, png)) return false;
  return WriteWholeFile(utf8Path, png);
}

std::string TemporaryFolderUtf8()
{
  wchar_t wide[MAX_PATH + 2] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, wide);
  if (length == 0 || length > MAX_PATH + 1) return {};
  return WideToUtf8(wide).Get();
}

} // namespace iplug
