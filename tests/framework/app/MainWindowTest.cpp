// The program's main window made from its own resources, over a fake plug-in or the effect. The
// capture of the editor is tested with the program itself (QuorvelProgramTest).

#include "effect/plugin/Quorvel.h"
#include "framework/app/StandaloneProgram_win.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/platform/ModuleInstance.h"
#include "resources/ProgramDialogIds.h"
#include "tests/support/app/FakeAppPlugin.h"
#include "tests/support/app/FakeDevices.h"
#include "tests/support/app/TempFolder.h"

#include <gtest/gtest.h>

using namespace iplug;
using namespace iplug::test;

namespace
{

struct MainRig
{
  explicit MainRig(bool effect = false) : folder("main")
  {
    StandaloneHostOptions options;
    options.devices = &devices;
    options.appDataFolder = folder.Path();
    options.noIo = true;
    options.createPlugin = [this, effect](StandaloneHost& h) -> IAppPlugin*
    {
      if (effect) return quorvel = quorvel::CreatePluginInstance(InstanceInfo{&h});
      return plugin = new FakeAppPlugin();
    };
    SetFrameworkModuleInstance(GetModuleHandleW(nullptr));
    SetStandaloneProgram(GetModuleHandleW(nullptr), StandaloneProgram{"QuorvelTest", {}, {}, nullptr, {}});
    CreateStandaloneHost(std::move(options))->InitStandaloneHost();
    window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), GetDesktopWindow(),
                                MainWindowDialogProc, 0);
  }
  ~MainRig()
  {
    if (GetMainWindow()) DestroyWindow(GetMainWindow());
    DestroyStandaloneHost(GetStandaloneHost());
  }
  TempFolder folder;
  FakeDeviceProvider devices;
  FakeAppPlugin* plugin = nullptr;
  quorvel::Quorvel* quorvel = nullptr;
  HWND window = nullptr;
};

} // namespace

TEST(MainWindowTest, ClientIsTheEditorCentredWithinItsLimitsAndMenus)
{
  MainRig rig;
  ASSERT_NE(rig.window, nullptr);
  RECT client, outer;
  GetClientRect(rig.window, &client);
  GetWindowRect(rig.window, &outer);
  EXPECT_EQ(client.right, 980);
  EXPECT_EQ(client.bottom, 650);
  EXPECT_EQ(outer.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 490);
  EXPECT_EQ(outer.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 325);

  MINMAXINFO info = {};
  SendMessageW(rig.window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(std::vector<LONG>(
                {info.ptMinTrackSize.x, info.ptMinTrackSize.y, info.ptMaxTrackSize.x, info.ptMaxTrackSize.y}),
            std::vector<LONG>({326, 216, 2940, 1950}));
  SendMessageW(rig.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1470, 975));
  SendMessageW(rig.window, WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_EQ(rig.plugin->resizedTo, (std::vector<int>{1470, 975}));

  // Debug goes from the menu bar (its keys stay: the program's own test presses them).
  HMENU menu = GetMenu(rig.window);
  EXPECT_EQ(GetMenuItemCount(menu), 3);
  RemoveDebugMenu(rig.window);
  wchar_t text[32] = {};
  GetMenuStringW(menu, 1, text, 32, MF_BYPOSITION);
  EXPECT_EQ(GetMenuItemCount(menu), 2);
  EXPECT_STREQ(text, L"&Help");

  // Quit takes the host down with the window.
  SendMessageW(rig.window, WM_COMMAND, ID_QUIT, 0);
  EXPECT_EQ(GetStandaloneHost(), nullptr);
  MSG quit;
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);
}

TEST(MainWindowTest, TheEffectsEditorFillsTheClientAndScalesWithIt)
{
  MainRig rig(true);
  ASSERT_NE(rig.window, nullptr);
  igraphics::IGraphics* graphics = rig.quorvel->GetEditorGraphics();
  ASSERT_NE(graphics, nullptr);
  HWND editor = GetWindow(rig.window, GW_CHILD);
  RECT r{0, 0, 1470, 975}, client;
  ASSERT_TRUE(GetClientRect(editor, &client));
  EXPECT_EQ(client.right * 10000 + client.bottom, 980 * 10000 + 650);
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(rig.window, GWL_STYLE)), TRUE, 0);
  SetWindowPos(rig.window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(rig.window, &client);
  ASSERT_EQ(client.right * 10000 + client.bottom, 1470 * 10000 + 975);
  EXPECT_FLOAT_EQ(graphics->GetDrawScale(), 1.5f);
}

TEST(MainWindowTest, WithoutItsMainDialogTheProgramEndsAndReleasesItsMutex)
{
  TempFolder folder("nowindow");
  FakeDeviceProvider devices;
  devices.audioDevices = {{"Box", 2, 2, true, true}};
  StandaloneProgram program{
      "QuorvelNoWindow", {}, [](StandaloneHost&) { return new FakeAppPlugin(); }, &devices, folder.Path()};
  // A module without the program's resources: the main dialog cannot be made.
  EXPECT_EQ(RunStandaloneProgram(GetModuleHandleW(L"kernel32.dll"), program), 1);
  EXPECT_EQ(GetStandaloneHost(), nullptr);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"QuorvelNoWindow");
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(mutex);
}
