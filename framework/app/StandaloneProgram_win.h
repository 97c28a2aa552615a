#pragma once

// The standalone program's Windows face: entry flow, main window, single instance (Windows
// only). The effect's program supplies what is its own through StandaloneProgram.

#include "framework/app/StandaloneHost.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace iplug
{

struct StandaloneProgram
{
  // Names the single-instance mutex, the main window and screenshot files.
  std::string name;
  // The About box text of the given plug-in.
  std::function<std::string(IAppPlugin&)> aboutText;
  std::function<IAppPlugin*(StandaloneHost&)> createPlugin;
  // Null: the system's devices.
  IDeviceProvider* devices = nullptr;
  // Unset: the user's local application data.
  std::optional<std::string> appDataFolder;
};

// The whole program: single instance, host, command line, settings, devices, main window,
// message loop. Returns the process exit code.
int RunStandaloneProgram(HINSTANCE instance, const StandaloneProgram& program);

// The program the main window works for, and the module holding its resources. Set by
// RunStandaloneProgram; tests that create the main window set them themselves.
void SetStandaloneProgram(HINSTANCE instance, const StandaloneProgram& program);
HINSTANCE GetProgramInstance();
// Null while no main window exists.
HWND GetMainWindow();

// The main menu's second entry (Debug) is not shown; its commands stay reachable through their
// accelerators.
void RemoveDebugMenu(HWND main);

INT_PTR CALLBACK MainWindowDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The program's single-instance guard: holds the named mutex from Acquire to destruction.
class SingleInstance
{
public:
  SingleInstance() = default;
  ~SingleInstance() { Release(); }
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when this is the first instance. Otherwise the first one's main window (a dialog
  // titled name) is brought to the front and false is returned.
  bool Acquire(const std::string& name);
  void Release();

private:
  HANDLE mMutex = nullptr;
};

// The main window's size limits for WM_GETMINMAXINFO: the editor's limits times the window's
// display scale, truncated.
void MainWindowTrackSizes(const AppEditorSize& editor, float scale, POINT& minimum, POINT& maximum);

} // namespace iplug
