#include "framework/app/ProgramCommandLine.h"
#include "framework/app/StandaloneProgram_win.h"
#include "framework/core/Win32Utf8.h"
#include "framework/graphics/platform/ModuleInstance.h"
#include "resources/ProgramDialogIds.h"

#include <commctrl.h>

#include <exception>

namespace iplug
{
namespace
{

UINT gWheelMessage = 0;

void MakeDpiAware()
{
  using SetContextProc = BOOL(WINAPI*)(HANDLE);
  static const SetContextProc setContext = []() -> SetContextProc
  {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<SetContextProc>(
                        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")))
                  : nullptr;
  }();
  if (setContext) setContext(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4))); // per monitor, version 2
}

bool IsTopLevelDialog(HWND window)
{
  return GetClassLongPtrW(window, GCW_ATOM) == 32770 && !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD);
}

// The dialog whose keyboard handling a message belongs to: walking up from its window, the
// first top-level dialog, or else the outermost child dialog met.
HWND OwningDialog(HWND window)
{
  HWND outermostChildDialog = nullptr;
  for (HWND w = window; w; w = GetParent(w))
  {
    if (IsTopLevelDialog(w)) return w;
    if (GetClassLongPtrW(w, GCW_ATOM) == 32770) outermostChildDialog = w;
  }
  return outermostChildDialog;
}

int RunMessageLoop(HACCEL accelerators)
{
  MSG msg;
  for (;;)
  {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1)
    {
      Sleep(10);
      continue;
    }
    if (msg.hwnd)
    {
      HWND main = GetMainWindow();
      if (main && accelerators && TranslateAcceleratorW(main, accelerators, &msg)) continue;
      if (main && IsDialogMessageW(main, &msg)) continue;
      HWND dialog = OwningDialog(msg.hwnd);
      if (dialog && dialog != main && IsDialogMessageW(dialog, &msg)) continue;
      TranslateMessage(&msg);
    }
    DispatchMessageW(&msg);
  }
}

} // namespace

void RemoveDebugMenu(HWND main)
{
  if (HMENU menu = GetMenu(main))
  {
    DeleteMenu(menu, 1, MF_BYPOSITION);
    DrawMenuBar(main);
  }
}

bool SingleInstance::Acquire(const std::string& name)
{
  Release();
  const HeapBuffer wide = Utf8ToWide(name.c_str());
  // Creating decides atomically: two starts at once cannot both miss the other's mutex.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, AsWideText(wide));
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS)
  {
    CloseHandle(mutex);
    // The first instance's main dialog: its About box has the same class and title, but an owner.
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"#32770", AsWideText(wide)));)
    {
      if (GetWindow(window, GW_OWNER)) continue;
      SetForegroundWindow(window);
      break;
    }
    return false;
  }
  mMutex = mutex;
  return true;
}

void SingleInstance::Release()
{
  if (mMutex) CloseHandle(mMutex);
  mMutex = nullptr;
}

int RunStandaloneProgram(HINSTANCE instance, const StandaloneProgram& program)
{
  SingleInstance single;
  if (!single.Acquire(program.name)) return 0;

  // The editor window registers its class and finds the pictures with the program's own handle.
  SetFrameworkModuleInstance(instance);
  SetStandaloneProgram(instance, program);
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  gWheelMessage = RegisterWindowMessageW(L"MSWHEEL_ROLLMSG");

  HACCEL accelerators = nullptr;
  HWND main = nullptr;
  try
  {
    const ProgramCommandLine commandLine = ParseProgramCommandLine(ProcessCommandLineTokens());
    StandaloneHostOptions options;
    options.createPlugin = program.createPlugin;
    options.devices = program.devices;
    options.appDataFolder = program.appDataFolder;
    options.productFolder = program.name;
    options.noIo = commandLine.noIo;
    options.screenshotPath = commandLine.screenshotPath;
    StandaloneHost* host = CreateStandaloneHost(std::move(options));
    host->InitStandaloneHost();
    host->StartAudioFromSettingsOrWarn();

    accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    MakeDpiAware();

    main =
        CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), GetDesktopWindow(), MainWindowDialogProc, 0);
    if (!main)
    {
      // A loop without a window would never end, and its mutex would turn every later start away.
      DestroyStandaloneHost(GetStandaloneHost());
      return 1;
    }
    RemoveDebugMenu(main);
  }
  catch (const std::exception&)
  {
    if (main) DestroyWindow(main);
    DestroyStandaloneHost(GetStandaloneHost());
    return 1;
  }

  int exitCode = 0;
  try
  {
    exitCode = RunMessageLoop(accelerators);
  }
  catch (const std::exception&)
  {
    exitCode = 1;
  }
  if (HWND window = GetMainWindow()) DestroyWindow(window);
  // Destroying the window takes the host down; a loop that ended otherwise leaves it here.
  DestroyStandaloneHost(GetStandaloneHost());
  return exitCode;
}

} // namespace iplug
