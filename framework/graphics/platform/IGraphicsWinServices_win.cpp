// The editor window's platform services: text entry, popup menus, cursors, clipboard, dialogs, addresses,
// the shell, file drags and fonts.

#include "framework/graphics/platform/IGraphicsWin.h"

#include "framework/core/IParam.h"
#include "framework/graphics/IGEditorDelegate.h"
#include "framework/graphics/platform/DialogText.h"
#include "framework/graphics/platform/DragAndDrop.h"
#include "framework/graphics/platform/IGraphicsWinState.h"
#include "framework/graphics/platform/PlatformPopupMenu.h"
#include "framework/graphics/platform/WinFont.h"

namespace iplug::igraphics
{

using WinState = IGraphicsWin::WinState;

bool IGraphicsWin::CreatePlatformTextEntry(int paramIdx, const ITextStyle& style, const IBounds& bounds,
                                           int length, const char* text)
{
  WinState& w = *mWin;
  if (w.textEntry.IsOpen() || !w.window) return false;
  PlatformTextEntry::Options o;
  o.parent = w.window;
  o.module = static_cast<HINSTANCE>(mModule);
  const IGEditorDelegate* dlg = GetDelegate();
  const IParam* param = dlg && paramIdx >= 0 && paramIdx < dlg->NParams() ? dlg->GetParam(paramIdx) : nullptr;
  o.paramType = param ? static_cast<int32_t>(param->Type()) : -1;
  o.style = style;
  o.bounds = bounds;
  o.scale = GetTotalScale();
  o.maxLength = length;
  o.text = text;
  return w.textEntry.Create(o);
}

void IGraphicsWin::CancelTextEntry()
{
  mWin->textEntry.SetState(kTextEntryCancel);
}

int32_t IGraphicsWin::GetTextEntryState() const
{
  return mWin->textEntry.State();
}

bool IGraphicsWin::HasPlatformTextEntry() const
{
  return mWin->textEntry.IsOpen();
}

void IGraphicsWin::DestroyPlatformTextEntry()
{
  mWin->textEntry.Destroy();
}

IPopupMenu* IGraphicsWin::CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds,
                                                  bool& completesLater)
{
  completesLater = false;
  WinState& w = *mWin;
  if (!w.window) return nullptr;
  const float s = GetTotalScale();
  IPopupMenu* chosen =
      TrackPlatformPopupMenu(w.window, menu, static_cast<int>(s * bounds.L), static_cast<int>(s * bounds.B));
  const RECT all{0, 0, static_cast<LONG>(static_cast<int>(GetWidth() * GetDrawScale()) * GetDisplayScale()),
                 static_cast<LONG>(static_cast<int>(GetHeight() * GetDrawScale()) * GetDisplayScale())};
  InvalidateRect(w.window, &all, FALSE);
  return chosen;
}

int IGraphicsWin::SetMouseCursor(int type)
{
  ShowSystemCursor(type);
  return IGraphics::SetMouseCursor(type);
}

bool IGraphicsWin::GetClipboardText(TextBuffer& text)
{
  return ReadClipboardText(text);
}

bool IGraphicsWin::SetClipboardText(const char* text)
{
  // Without a known owner the editor window owns the data: a null owner cannot set it.
  WinState& w = *mWin;
  HWND owner = w.owner.KnownOwner(w.parent);
  return WriteClipboardText(owner ? owner : w.window, text);
}

bool IGraphicsWin::SetClipboardPath(const char* path)
{
  WinState& w = *mWin;
  HWND owner = w.owner.KnownOwner(w.parent);
  return WriteClipboardPath(owner ? owner : w.window, path);
}

bool IGraphicsWin::StartFileDrag(const char* path)
{
  const bool ran = DragAndDropHelpers::StartFileDrag(path);
  ReleaseMouseCapture();
  return ran;
}

int IGraphicsWin::ShowMessageBox(const char* text, const char* caption, int type,
                                 IMsgBoxCompletionFunc completion)
{
  ReleaseMouseCapture();
  WinState& w = *mWin;
  const int result =
      mSeams.shell.messageBox(w.owner.Find(w.parent), text, caption, static_cast<unsigned>(type));
  if (completion) completion(result);
  return result;
}

void IGraphicsWin::PromptForFile(TextBuffer& fileName, TextBuffer& path, int action, const char* extensions,
                                 IFileDialogCompletionFunc completion)
{
  WinState& w = *mWin;
  if (!w.window)
  {
    fileName.AssignText("");
    return;
  }
  ChooseFile(w.window, fileName, path, action == kFileSave, extensions);
  if (completion) completion(fileName, path);
  ReleaseMouseCapture();
}

void IGraphicsWin::PromptForFolder(TextBuffer& dir, IFileDialogCompletionFunc completion)
{
  dir = ChooseFolder(mWin->window);
  if (completion) completion(TextBuffer(""), dir);
  ReleaseMouseCapture();
}

bool IGraphicsWin::PromptForColour(IArgb& colour, const char* prompt, IColourPickerFunc completion)
{
  ReleaseMouseCapture();
  if (!ChooseColour(mWin->window, colour, prompt)) return false;
  if (completion) completion(colour);
  return true;
}

bool IGraphicsWin::OpenUrl(const char* url, const char* windowTitle, const char* confirmText,
                           const char* errorText)
{
  return OpenUrlWithSeams(mWin->window, url, windowTitle, confirmText, errorText, mSeams.shell);
}

bool IGraphicsWin::RevealPathInShell(const char* path, bool select)
{
  return RevealPathWithSeams(path, select, mSeams.shell);
}

PlatformFont* IGraphicsWin::LoadPlatformFontFromFile(const char* fontId, const char* fileOrResourceName)
{
  return WinFont::LoadFromFile(fontId, fileOrResourceName, mModule).release();
}

PlatformFont* IGraphicsWin::LoadPlatformFontFromMemory(const char* fontId, const void* data, int size)
{
  return WinFont::LoadFromMemory(fontId, data, size).release();
}

PlatformFont* IGraphicsWin::LoadPlatformFontByName(const char*, const char* family, int style)
{
  return WinFont::LoadByName(family, style).release();
}

void IGraphicsWin::CachePlatformFont(const char* fontId, const PlatformFont* font)
{
  if (font) CacheFontHandleCopy(fontId, static_cast<HFONT>(font->GetFontHandle()));
}

} // namespace iplug::igraphics
