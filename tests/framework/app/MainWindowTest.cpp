// The program's main window made from its own resources over a fake plug-in: placement, size
// limits, resizing, and the capture of its client area with a child that only prints itself.

#include "framework/app/ScreenshotPng.h"
#include "framework/app/StandaloneProgram_win.h"
#include "resources/ProgramDialogIds.h"
#include "tests/support/app/FakeAppPlugin.h"
#include "tests/support/app/FakeDevices.h"
#include "tests/support/app/TempFolder.h"

#include <gtest/gtest.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

using namespace iplug;
using namespace iplug::test;

namespace
{

// Draws only when asked to print itself, as an OpenGL child looks to a window capture.
LRESULT CALLBACK PrintOnlyChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message == WM_PRINTCLIENT)
  {
    RECT r;
    GetClientRect(window, &r);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(reinterpret_cast<HDC>(wParam), &r, red);
    DeleteObject(red);
    return 0;
  }
  if (message == WM_PAINT)
  {
    ValidateRect(window, nullptr);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcW(window, message, wParam, lParam);
}

struct MainRig
{
  explicit MainRig(const std::string& screenshotPath = "") : folder("main")
  {
    StandaloneHostOptions options;
    options.devices = &devices;
    options.appDataFolder = folder.Path();
    options.noIo = true;
    options.screenshotPath = screenshotPath;
    options.createPlugin = [this](StandaloneHost&) { return plugin = new FakeAppPlugin(); };
    StandaloneProgram program;
    program.name = "QuorvelTest";
    SetStandaloneProgram(GetModuleHandleW(nullptr), program);
    host = CreateStandaloneHost(std::move(options));
    host->InitStandaloneHost();
    window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), GetDesktopWindow(),
                                MainWindowDialogProc, 0);
  }
  ~MainRig()
  {
    if (GetMainWindow()) DestroyWindow(GetMainWindow());
    DestroyStandaloneHost(GetStandaloneHost());
  }
  // Runs the messages until the window quits; the quit code, or -1 after the time limit.
  int PumpUntilQuit(int limitMs)
  {
    const DWORD end = GetTickCount() + static_cast<DWORD>(limitMs);
    MSG msg;
    while (GetTickCount() < end)
    {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      {
        if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
        DispatchMessageW(&msg);
      }
      Sleep(5);
    }
    return -1;
  }

  TempFolder folder;
  FakeDeviceProvider devices;
  FakeAppPlugin* plugin = nullptr;
  StandaloneHost* host = nullptr;
  HWND window = nullptr;
};

struct Image
{
  int w = 0, h = 0, n = 0;
  std::vector<uint8_t> rgba;
  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * w + x) * 4]; }
};

bool LoadPng(const std::string& path, Image& image)
{
  const std::string bytes = ReadFileBytes(path);
  stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                          static_cast<int>(bytes.size()), &image.w, &image.h, &image.n, 4);
  if (!pixels) return false;
  image.rgba.assign(pixels, pixels + static_cast<size_t>(image.w) * image.h * 4);
  stbi_image_free(pixels);
  return true;
}

} // namespace

TEST(MainWindowTest, ClientIsTheEditorCentredWithinItsLimits)
{
  MainRig rig;
  ASSERT_NE(rig.window, nullptr);
  EXPECT_EQ(GetMainWindow(), rig.window);
  RECT client, outer;
  GetClientRect(rig.window, &client);
  GetWindowRect(rig.window, &outer);
  EXPECT_EQ(client.right, 980);
  EXPECT_EQ(client.bottom, 650);
  EXPECT_EQ(outer.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 490);
  EXPECT_EQ(outer.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 325);
  HMENU menu = GetMenu(rig.window);
  EXPECT_EQ(GetMenuItemCount(menu), 3);
  RemoveDebugMenu(rig.window);
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  wchar_t text[32];
  GetMenuStringW(menu, 1, text, 32, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Help");
  // The keys of the hidden commands remain.
  HACCEL keys = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCELERATORS));
  ACCEL table[16];
  const int count = CopyAcceleratorTableW(keys, table, 16);
  bool screenshotKey = false, preferencesKey = false;
  for (int i = 0; i < count; i++)
  {
    screenshotKey |= table[i].cmd == ID_SAVE_SCREENSHOT && table[i].key == 'S' &&
                     (table[i].fVirt & (FCONTROL | FSHIFT | FVIRTKEY)) == (FCONTROL | FSHIFT | FVIRTKEY);
    preferencesKey |= table[i].cmd == ID_PREFERENCES && table[i].key == VK_OEM_COMMA;
  }
  EXPECT_EQ(count, 6);
  EXPECT_TRUE(screenshotKey);
  EXPECT_TRUE(preferencesKey);

  MINMAXINFO info = {};
  SendMessageW(rig.window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 326);
  EXPECT_EQ(info.ptMinTrackSize.y, 216);
  EXPECT_EQ(info.ptMaxTrackSize.x, 2940);
  EXPECT_EQ(info.ptMaxTrackSize.y, 1950);
  POINT minimum, maximum;
  MainWindowTrackSizes(rig.plugin->editorSize, 1.5f, minimum, maximum);
  EXPECT_EQ(minimum.x, 489);
  EXPECT_EQ(maximum.y, 2925);

  // The editor follows the client area.
  SendMessageW(rig.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1470, 975));
  EXPECT_EQ(rig.plugin->resizedTo, (std::vector<int>{1470, 975}));
  rig.plugin->resizedTo.clear();
  SendMessageW(rig.window, WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_TRUE(rig.plugin->resizedTo.empty());

  // Quit takes the host down with the window.
  SendMessageW(rig.window, WM_COMMAND, ID_QUIT, 0);
  EXPECT_EQ(GetMainWindow(), nullptr);
  EXPECT_EQ(GetStandaloneHost(), nullptr);
  EXPECT_EQ(rig.PumpUntilQuit(1000), 0);
}

TEST(MainWindowTest, CaptureHoldsAChildThatOnlyPrintsItself)
{
  TempFolder target("shot \xCE\xA9");
  const std::string path = target.Path() + "\\capture.png";
  MainRig rig(path);
  ASSERT_NE(rig.window, nullptr);
  WNDCLASSW child = {};
  child.lpfnWndProc = PrintOnlyChildProc;
  child.hInstance = GetModuleHandleW(nullptr);
  child.lpszClassName = L"PrintOnlyChild";
  RegisterClassW(&child);
  CreateWindowExW(0, L"PrintOnlyChild", L"", WS_CHILD | WS_VISIBLE, 100, 50, 200, 100, rig.window, nullptr,
                  GetModuleHandleW(nullptr), nullptr);

  // The command-line capture runs from the timer, then the window closes with exit code 0.
  EXPECT_EQ(rig.PumpUntilQuit(5000), 0);
  Image image;
  ASSERT_TRUE(LoadPng(path, image));
  EXPECT_EQ(image.w, 980);
  EXPECT_EQ(image.h, 650);
  EXPECT_EQ(image.n, 4);
  bool opaque = true;
  for (size_t i = 3; i < image.rgba.size(); i += 4)
    opaque = opaque && image.rgba[i] == 255;
  EXPECT_TRUE(opaque);
  // The child at its place (top row first), the dialog's own background around it.
  for (auto [x, y] : {std::pair{101, 51}, std::pair{298, 148}})
  {
    EXPECT_EQ(image.At(x, y)[0], 255) << x << "," << y;
    EXPECT_EQ(image.At(x, y)[1], 0) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{98, 51}, std::pair{101, 48}, std::pair{302, 148}, std::pair{298, 152}})
    EXPECT_FALSE(image.At(x, y)[0] == 255 && image.At(x, y)[1] == 0) << x << "," << y;
}

TEST(MainWindowTest, FailedCommandLineCaptureQuitsWithOne)
{
  TempFolder target("shot");
  MainRig rig(target.Path() + "\\missing\\capture.png");
  ASSERT_NE(rig.window, nullptr);
  EXPECT_EQ(rig.PumpUntilQuit(5000), 1);
  EXPECT_EQ(ReadFileBytes(target.Path() + "\\missing\\capture.png"), "");
  EXPECT_FALSE(SaveWindowScreenshotPng(nullptr, "x.png"));
}
