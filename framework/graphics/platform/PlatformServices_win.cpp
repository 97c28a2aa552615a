#include "framework/graphics/platform/PlatformServices.h"

#include "framework/core/Utf16Conversion.h"
#include "framework/core/Win32Utf8.h"
#include "framework/graphics/platform/DialogText.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstring>
#include <string>

namespace iplug::igraphics
{

namespace
{

using win32::ScopedClipboard;
using win32::ScopedGlobalLock;
using win32::UniqueGlobal;

const wchar_t* Wide(const HeapBuffer& buffer)
{
  return buffer.GetAs<const wchar_t>();
}

size_t WideUnits(const HeapBuffer& buffer)
{
  return wcslen(Wide(buffer));
}

TextBuffer Utf8(const wchar_t* text)
{
  return WideToUtf8(reinterpret_cast<const char16_t*>(text));
}

bool SystemIsConnected()
{
  DWORD flags = 0;
  return InternetGetConnectedState(&flags, 0) != FALSE;
}

intptr_t SystemLaunch(void* window, const char* file, const char* parameters, const char* directory)
{
  const HeapBuffer wideFile = Utf8ToWide(file);
  const HeapBuffer wideParams = Utf8ToWide(parameters);
  const HeapBuffer wideDir = Utf8ToWide(directory);
  return reinterpret_cast<intptr_t>(ShellExecuteW(static_cast<HWND>(window), L"open", Wide(wideFile),
                                                  parameters ? Wide(wideParams) : nullptr,
                                                  directory ? Wide(wideDir) : nullptr, SW_SHOWNORMAL));
}

int SystemMessageBox(void* window, const char* text, const char* caption, unsigned type)
{
  return MessageBoxUtf8(window, text, caption, type);
}

// Puts the block on the clipboard (which then owns it); frees it when that fails.
bool HandOver(UINT format, UniqueGlobal& block)
{
  if (!SetClipboardData(format, block.Get())) return false;
  block.Release();
  return true;
}

TextBuffer ReadClassName(HWND window)
{
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return Utf8(name);
}

struct OwnerSearch
{
  DWORD processId;
  const char* className;
  HWND found;
};

BOOL CALLBACK FindOwnerWindowProc(HWND window, LPARAM param)
{
  auto* search = reinterpret_cast<OwnerSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->processId) return TRUE;
  if (std::strcmp(ReadClassName(window).Get(), search->className) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

COLORREF gCustomColours[16] = {};

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT msg, WPARAM, LPARAM lParam)
{
  if (msg != WM_INITDIALOG) return 0;
  const auto* cc = reinterpret_cast<const CHOOSECOLORW*>(lParam);
  const auto* prompt = reinterpret_cast<const wchar_t*>(cc->lCustData);
  if (prompt && *prompt)
  {
    SetWindowTextW(dialog, prompt);
    static const UINT setColour = RegisterWindowMessageW(L"commdlg_SetRGBColor");
    SendMessageW(dialog, setColour, 0, static_cast<LPARAM>(cc->rgbResult));
  }
  return 0;
}

} // namespace

const ShellSeams& SystemShellSeams()
{
  static const ShellSeams seams{SystemIsConnected, SystemLaunch, SystemMessageBox};
  return seams;
}

void ShowSystemCursor(int kind)
{
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(SystemCursorId(kind))));
}

bool ReadClipboardText(TextBuffer& text)
{
  text.AssignText("");
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return false;
  ScopedClipboard clipboard(nullptr);
  if (!clipboard.IsOpen()) return false;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return false;
  ScopedGlobalLock lock(data);
  if (!lock.Get()) return false;
  // Never read past the block, even when its text lacks a terminator.
  const size_t units = GlobalSize(data) / sizeof(wchar_t);
  const auto* chars = static_cast<const wchar_t*>(lock.Get());
  std::wstring copy(chars, wcsnlen(chars, units));
  text = Utf8(copy.c_str());
  return true;
}

bool WriteClipboardText(HWND owner, const char* text)
{
  ScopedClipboard clipboard(owner);
  if (!clipboard.IsOpen()) return false;
  EmptyClipboard();
  if (!text || !*text) return true;
  const HeapBuffer wide = Utf8ToWide(text);
  const size_t bytes = (WideUnits(wide) + 1) * sizeof(wchar_t);
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!block) return false;
  {
    ScopedGlobalLock lock(block.Get());
    if (!lock.Get()) return false;
    std::memcpy(lock.Get(), wide.GetData(), bytes);
  }
  return HandOver(CF_UNICODETEXT, block);
}

bool WriteClipboardPath(HWND owner, const char* path)
{
  ScopedClipboard clipboard(owner);
  if (!clipboard.IsOpen()) return false;
  EmptyClipboard();
  const HeapBuffer wide = Utf8ToWide(path);
  const size_t pathBytes = (WideUnits(wide) + 1) * sizeof(wchar_t);
  // The header, the path and a second terminator that ends the list.
  UniqueGlobal block(
      GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + pathBytes + sizeof(wchar_t)));
  if (!block) return false;
  {
    ScopedGlobalLock lock(block.Get());
    if (!lock.Get()) return false;
    auto* files = static_cast<DROPFILES*>(lock.Get());
    files->pFiles = sizeof(DROPFILES);
    files->fNC = TRUE;
    files->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), wide.GetData(), pathBytes);
  }
  return HandOver(CF_HDROP, block);
}

HWND OwnerWindowFinder::Find(HWND parent)
{
  if (mOwner && IsWindow(mOwner)) return mOwner;
  mOwner = nullptr;
  if (parent && IsWindow(parent))
  {
    HWND top = parent;
    while (HWND up = GetParent(top))
      top = up;
    mOwner = top;
    mClassName = ReadClassName(top);
  }
  else if (!mClassName.IsEmpty())
  {
    OwnerSearch search{GetCurrentProcessId(), mClassName.Get(), nullptr};
    EnumWindows(FindOwnerWindowProc, reinterpret_cast<LPARAM>(&search));
    mOwner = search.found;
  }
  return mOwner;
}

bool ChooseFile(HWND owner, TextBuffer& fileName, TextBuffer& path, bool save, const char* extensions)
{
  std::wstring file(MAX_PATH, L'\0');
  {
    const HeapBuffer initial = Utf8ToWide(fileName.Get());
    if (WideUnits(initial) < MAX_PATH) wcscpy(file.data(), Wide(initial));
  }
  const HeapBuffer directory = Utf8ToWide(path.Get());
  const FileFilter filter = BuildFileFilter(extensions);
  // The filter holds terminators: convert it piece by piece.
  std::wstring wideFilter;
  for (size_t start = 0; start < filter.filter.size();)
  {
    const size_t end = filter.filter.find('\0', start);
    const HeapBuffer piece = Utf8ToWide(filter.filter.substr(start, end - start).c_str());
    wideFilter.append(Wide(piece));
    wideFilter.push_back(L'\0');
    start = end + 1;
  }
  const HeapBuffer defaultExt = Utf8ToWide(filter.defaultExtension.c_str());

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = MAX_PATH - 1;
  ofn.lpstrInitialDir = Wide(directory);
  if (!wideFilter.empty())
  {
    ofn.lpstrFilter = wideFilter.c_str();
    ofn.lpstrDefExt = Wide(defaultExt);
  }
  BOOL chosen;
  if (save)
  {
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    chosen = GetSaveFileNameW(&ofn);
  }
  else
  {
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    chosen = GetOpenFileNameW(&ofn);
  }
  if (!chosen)
  {
    fileName.AssignText("");
    return false;
  }
  fileName = Utf8(file.c_str());
  path.AssignText(DirectoryOfPath(fileName.Get()).c_str());
  return true;
}

TextBuffer ChooseFolder(HWND owner)
{
  TextBuffer folder("");
  win32::ScopedOle ole;
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = L"Choose a Directory";
  info.ulFlags = BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  win32::UniqueTaskMemory items(SHBrowseForFolderW(&info));
  if (!items) return folder;
  wchar_t chosen[MAX_PATH] = {};
  if (SHGetPathFromIDListW(static_cast<PCIDLIST_ABSOLUTE>(items.Get()), chosen) && chosen[0])
    folder.AssignText(WithTrailingSeparator(Utf8(chosen).Get()).c_str());
  return folder;
}

bool ChooseColour(HWND owner, IArgb& colour, const char* prompt)
{
  if (!owner) return false;
  const HeapBuffer widePrompt = Utf8ToWide(prompt);
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = owner;
  cc.rgbResult = RGB(colour.R, colour.G, colour.B);
  cc.lpCustColors = gCustomColours;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
  cc.lCustData = reinterpret_cast<LPARAM>(Wide(widePrompt));
  cc.lpfnHook = ColourDialogHook;
  if (!ChooseColorW(&cc)) return false;
  colour.R = GetRValue(cc.rgbResult);
  colour.G = GetGValue(cc.rgbResult);
  colour.B = GetBValue(cc.rgbResult);
  return true;
}

bool OpenUrlWithSeams(HWND window, const char* url, const char* title, const char* confirmText,
                      const char* errorText, const ShellSeams& seams)
{
  if (!url || !*url) return false;
  if (confirmText && seams.messageBox(window, confirmText, title, MB_YESNO) != IDYES) return false;
  // A mail address opens the mail program, which needs no connection now.
  if (IsMailAddress(url) || seams.isConnected()) return seams.launch(window, url, nullptr, nullptr) > 32;
  if (errorText) seams.messageBox(window, errorText, title, MB_OK);
  return false;
}

bool RevealPathWithSeams(const char* path, bool select, const ShellSeams& seams)
{
  if (!path || !*path) return false;
  wchar_t system[MAX_PATH] = {};
  const UINT units = GetSystemDirectoryW(system, MAX_PATH);
  if (units == 0 || units > 258) return false;
  const std::string directory = WithTrailingSeparator(Utf8(system).Get());
  return seams.launch(nullptr, "explorer.exe", RevealParameters(path, select).c_str(), directory.c_str()) >
         32;
}

} // namespace iplug::igraphics
