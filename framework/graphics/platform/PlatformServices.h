#pragma once
// The editor's plain Win32 services (Windows only): cursors, the clipboard, message boxes with their owner
// window, file, folder and colour choosers, opening addresses and showing files in the shell. Calls that
// reach outside the process (connection state, launching programs, message boxes) go through seams that
// tests replace.

#include "framework/core/TextBuffer.h"
#include "framework/graphics/IDrawingRecords.h"
#include "framework/graphics/platform/ShellSeams.h"
#include "framework/graphics/platform/Win32Handles.h"

#include <cstdint>

namespace iplug::igraphics
{

// The real calls.
const ShellSeams& SystemShellSeams();

// Shows the system cursor of the kind (unknown kinds: the arrow).
void ShowSystemCursor(int kind);

bool ReadClipboardText(TextBuffer& text);
// owner may be null only where no window is known: with a null owner the data cannot be set.
bool WriteClipboardText(HWND owner, const char* text);
bool WriteClipboardPath(HWND owner, const char* path);

// The window that owns message boxes: the top of the parent chain, remembered with its class name so it
// can be found again among this process's top-level windows once the parent is gone. A host may destroy
// and recreate its frame: a remembered owner is used only while it still exists, else looked up again.
class OwnerWindowFinder
{
public:
  HWND Find(HWND parent);
  // The owner once a message box has found one (looked up again when gone), null before.
  HWND KnownOwner(HWND parent) { return mOwner ? Find(parent) : nullptr; }

private:
  HWND mOwner = nullptr;
  TextBuffer mClassName;
};

// fileName and path in and out, as the file chooser of the editor presents them. False on cancel
// (fileName empty, path unchanged).
bool ChooseFile(HWND owner, TextBuffer& fileName, TextBuffer& path, bool save, const char* extensions);
// The chosen folder with one trailing backslash; empty on cancel or failure.
TextBuffer ChooseFolder(HWND owner);
// The colour's red, green and blue take the choice (alpha kept); false on cancel.
bool ChooseColour(HWND owner, IArgb& colour, const char* prompt);

bool OpenUrlWithSeams(HWND window, const char* url, const char* title, const char* confirmText,
                      const char* errorText, const ShellSeams& seams);
bool RevealPathWithSeams(const char* path, bool select, const ShellSeams& seams);

} // namespace iplug::igraphics
