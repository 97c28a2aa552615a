// The program's main window made from its own resources, over the effect. The capture of the editor is
// tested with the program itself (QuorvelProgramTest).

#include "effect/deliverables/Quorvel.h"
#include "framework/app/StandaloneProgram_win.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/platform/ModuleInstance.h"
#include "resources/ProgramDialogIds.h"
#include "tests/support/app/FakeAppPlugin.h"
#include "tests/support/app/FakeDevices.h"
#include "tests/support/app/TempFolder.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

using namespace iplug;
using namespace iplug::test;

TEST(MainWindowTest, ClientIsTheScalingEditorCentredWithinItsLimitsAndMenus)
{
  TempFolder folder("main");
  FakeDeviceProvider devices;
  quorvel::Quorvel* plugin = nullptr;
  StandaloneHostOptions options{[&](StandaloneHost& h) -> IAppPlugin*
                                { return plugin = quorvel::CreatePluginInstance(InstanceInfo{&h}); },
                                &devices,
                                folder.Path(),
                                {},
                                true};
  SetFrameworkModuleInstance(GetModuleHandleW(nullptr));
  // An About text that throws: nothing may unwind out of the dialog procedure.
  SetStandaloneProgram(GetModuleHandleW(nullptr), {"QuorvelTest", [](IAppPlugin&) -> std::string {
                                                     throw std::runtime_error("about");
                                                   }});
  CreateStandaloneHost(std::move(options))->InitStandaloneHost();
  HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), GetDesktopWindow(),
                                   MainWindowDialogProc, 0);
  ASSERT_NE(window, nullptr);
  RECT client, outer, editor;
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  GetClientRect(GetWindow(window, GW_CHILD), &editor);
  EXPECT_EQ(
      std::vector<LONG>({client.right, client.bottom, editor.right, editor.bottom, outer.left, outer.top}),
      std::vector<LONG>({980, 650, 980, 650, GetSystemMetrics(SM_CXSCREEN) / 2 - 490,
                         GetSystemMetrics(SM_CYSCREEN) / 2 - 325}));
  MINMAXINFO info = {};
  SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(std::vector<LONG>(
                {info.ptMinTrackSize.x, info.ptMinTrackSize.y, info.ptMaxTrackSize.x, info.ptMaxTrackSize.y}),
            std::vector<LONG>({326, 216, 2940, 1950}));

  // Moved to a 150 % display: the editor takes the scale, the window the suggested place and the
  // editor's new size in pixels; and back.
  for (const auto& [dpi, width, height] : {std::tuple{144, 1470L, 975L}, std::tuple{96, 980L, 650L}})
  {
    const RECT suggested{40, 30, 100, 100};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_FLOAT_EQ(plugin->GetEditorGraphics()->GetDisplayScale(), dpi / 96.f);
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    GetClientRect(GetWindow(window, GW_CHILD), &editor);
    EXPECT_EQ(
        std::vector<LONG>({client.right, client.bottom, editor.right, editor.bottom, outer.left, outer.top}),
        std::vector<LONG>({width, height, width, height, 40, 30}))
        << dpi;
  }

  // The editor scales with the client area; minimising leaves it as it was.
  RECT r{0, 0, 1470, 975};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), TRUE, 0);
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(window, &client);
  ASSERT_EQ(client.right * 10000 + client.bottom, 1470 * 10000 + 975);
  SendMessageW(window, WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_FLOAT_EQ(plugin->GetEditorGraphics()->GetDrawScale(), 1.5f);

  // Debug goes from the menu bar (its keys stay: the program's own test presses them).
  HMENU menu = GetMenu(window);
  EXPECT_EQ(GetMenuItemCount(menu), 3);
  RemoveDebugMenu(window);
  wchar_t text[32] = {};
  GetMenuStringW(menu, 1, text, 32, MF_BYPOSITION);
  EXPECT_EQ(GetMenuItemCount(menu), 2);
  EXPECT_STREQ(text, L"&Help");

  EXPECT_EQ(SendMessageW(window, WM_COMMAND, ID_ABOUT, 0), 0);
  // Quit takes the host down with the window.
  SendMessageW(window, WM_COMMAND, ID_QUIT, 0);
  EXPECT_EQ(GetStandaloneHost(), nullptr);
  MSG quit;
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);
}

TEST(MainWindowTest, TrackSizesAreTheEditorLimitsTimesTheDisplayScaleTruncated)
{
  const AppEditorSize odd{980, 650, 327, 217, 2941, 1951};
  struct Case
  {
    float scale;
    std::vector<LONG> sizes; // minimum x, y, maximum x, y
  };
  const Case cases[] = {{1.f, {327, 217, 2941, 1951}},
                        {1.25f, {408, 271, 3676, 2438}},
                        {1.5f, {490, 325, 4411, 2926}},
                        {2.f, {654, 434, 5882, 3902}}};
  for (const Case& c : cases)
  {
    POINT minimum{}, maximum{};
    MainWindowTrackSizes(odd, c.scale, minimum, maximum);
    EXPECT_EQ(std::vector<LONG>({minimum.x, minimum.y, maximum.x, maximum.y}), c.sizes) << c.scale;
  }
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
