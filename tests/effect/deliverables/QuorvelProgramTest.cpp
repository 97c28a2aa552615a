// Quorvel.exe run as a process under the same Wine prefix. The cases run one at a time (they
// share the program's mutex and settings file, removed before each).

#include "resources/ProgramDialogIds.h"
#include "tests/support/app/TempFolder.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

using namespace iplug::test;

namespace
{

std::wstring SettingsFile()
{
  wchar_t folder[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder);
  return std::wstring(folder) + L"\\Quorvel\\settings.ini";
}

std::wstring Setting(const wchar_t* section, const wchar_t* key)
{
  wchar_t value[256] = {};
  GetPrivateProfileStringW(section, key, L"<missing>", value, 256, SettingsFile().c_str());
  return value;
}

class Program
{
public:
  explicit Program(const std::string& arguments)
  {
    std::wstring line(1024, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, ("\"" QUORVEL_PROGRAM_PATH "\" " + arguments).c_str(), -1, line.data(),
                        1024);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    EXPECT_TRUE(
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &mInfo));
  }
  ~Program()
  {
    if (Running()) TerminateProcess(mInfo.hProcess, 99);
    CloseHandle(mInfo.hThread);
    CloseHandle(mInfo.hProcess);
  }
  // The exit code, or -1 when the program still runs after the limit.
  int Wait(DWORD limitMs)
  {
    DWORD code = 0;
    if (WaitForSingleObject(mInfo.hProcess, limitMs) != WAIT_OBJECT_0) return -1;
    GetExitCodeProcess(mInfo.hProcess, &code);
    return static_cast<int>(code);
  }
  bool Running() { return mInfo.hProcess && WaitForSingleObject(mInfo.hProcess, 0) == WAIT_TIMEOUT; }
  // A visible dialog-class window of this process with the title (and owner, when given), waited for.
  HWND FindDialog(const wchar_t* title, int limitMs = 20000, HWND owner = nullptr)
  {
    for (int waited = 0; waited < limitMs; waited += 50, Sleep(50))
      for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", title));)
      {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == mInfo.dwProcessId && IsWindowVisible(w) && (!owner || GetWindow(w, GW_OWNER) == owner))
          return w;
      }
    return nullptr;
  }
  int Quit()
  {
    PostMessageW(FindDialog(L"Quorvel"), WM_COMMAND, ID_QUIT, 0);
    return Wait(20000);
  }

private:
  PROCESS_INFORMATION mInfo = {};
};

// RGBA, top row first, whatever the file holds.
struct PngImage
{
  int width = 0, height = 0, channels = 0;
  std::vector<uint8_t> rgba;
  explicit PngImage(const std::string& path)
  {
    const std::string bytes = ReadFileBytes(path);
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                            static_cast<int>(bytes.size()), &width, &height, &channels, 4);
    if (pixels) rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
    stbi_image_free(pixels);
  }
  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Modifier state follows only real input: the keys go through SendInput to the window brought forward.
void PressKeys(HWND window, std::initializer_list<WORD> keys)
{
  SetForegroundWindow(window);
  Sleep(300);
  std::vector<INPUT> inputs;
  for (WORD key : keys)
    inputs.push_back({INPUT_KEYBOARD, {.ki = {key, 0, 0, 0, 0}}});
  for (auto it = keys.end(); it != keys.begin();)
    inputs.push_back({INPUT_KEYBOARD, {.ki = {*--it, 0, KEYEVENTF_KEYUP, 0, 0}}});
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

struct QuorvelProgramTest : testing::Test
{
  void SetUp() override { DeleteFileW(SettingsFile().c_str()); }
};

} // namespace

TEST_F(QuorvelProgramTest, CommandLineScreenshotIsTheWholeClientArea)
{
  TempFolder folder("program a \xCE\xA9");
  Program program("--no-io --screenshot \"" + folder.Path() + "\\shot.png\"");
  EXPECT_EQ(program.Wait(60000), 0);
  const PngImage png(folder.Path() + "\\shot.png");
  EXPECT_EQ(std::vector<int>({png.width, png.height, png.channels}), std::vector<int>({980, 650, 4}));
  // The editor is in it: the fresh-start golden (regenerate: QUORVEL_UPDATE_GOLDEN=1 ctest -R
  // CommandLineScreenshot) within a small tolerance, and spot checks of the backdrop, the logo mark and the
  // title that do not trust it.
  if (getenv("QUORVEL_UPDATE_GOLDEN"))
    WriteFileBytes(QUORVEL_PROGRAM_GOLDEN, ReadFileBytes(folder.Path() + "\\shot.png"));
  const PngImage golden(QUORVEL_PROGRAM_GOLDEN);
  ASSERT_EQ(golden.rgba.size(), png.rgba.size());
  size_t off = 0, translucent = 0;
  for (size_t i = 0; i < png.rgba.size(); i++)
    off += std::abs(png.rgba[i] - golden.rgba[i]) > 16, translucent += i % 4 == 3 && png.rgba[i] != 255;
  EXPECT_LT(off, png.rgba.size() / 200);
  EXPECT_EQ(translucent, 0u);
  const uint8_t *backdrop = png.At(10, 300), *mark = png.At(40, 20);
  EXPECT_TRUE(backdrop[0] < 70 && backdrop[1] < 70 && backdrop[2] < 70);
  EXPECT_TRUE(mark[0] > 180 && mark[1] > 120 && mark[1] < 210 && mark[2] < 140);
  int title = 0;
  for (int y = 42; y < 68; y++)
    for (int x = 30; x < 150; x++)
      title += png.At(x, y)[0] > 150 && png.At(x, y)[2] > 150;
  EXPECT_GT(title, 100);

  // Into a missing folder: exit 1 and no message box, which would hold the program past the limit.
  EXPECT_EQ(Program("--no-io --screenshot \"" + folder.Path() + "\\missing\\shot.png\"").Wait(30000), 1);
}

TEST_F(QuorvelProgramTest, OnlyOneInstanceRunsAndItsExitReleasesTheMutex)
{
  {
    // "--screenshot" without a path: a normal start that stays.
    Program first("--no-io --screenshot");
    HWND main = first.FindDialog(L"Quorvel");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Program("--no-io").Wait(20000), 0);
    EXPECT_TRUE(first.Running());
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.Wait(20000), 0);
  }
  TempFolder folder("program");
  EXPECT_EQ(Program("--no-io --screenshot \"" + folder.Path() + "\\again.png\"").Wait(60000), 0);
  EXPECT_NE(ReadFileBytes(folder.Path() + "\\again.png"), "") << "the next start was turned away";

  Program a("--no-io"), b("--no-io");
  Sleep(4000);
  ASSERT_EQ(a.Running() + b.Running(), 1);
  EXPECT_EQ((a.Running() ? b : a).Wait(0), 0);
  EXPECT_EQ((a.Running() ? a : b).Quit(), 0);
}

TEST_F(QuorvelProgramTest, KeysAndMenuCommandsReachTheirBoxes)
{
  Program program("--no-io");
  HWND main = program.FindDialog(L"Quorvel");
  ASSERT_NE(main, nullptr);
  PressKeys(main, {VK_CONTROL, VK_SHIFT, 'S'});
  HWND box = program.FindDialog(L"Screenshot Saved");
  ASSERT_NE(box, nullptr);
  // The box names the file: in the temp folder, named for the program, and written.
  wchar_t temp[MAX_PATH + 1], text[1024] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  const std::wstring shown = text,
                     prefix = L"Screenshot saved to:\n" + std::wstring(temp) + L"Quorvel_screenshot_";
  ASSERT_EQ(shown.rfind(prefix, 0), 0u) << shown;
  EXPECT_GT(std::filesystem::file_size(shown.substr(21, shown.find(L"\n\n") - 21)), 0u);
  PostMessageW(box, WM_COMMAND, IDNO, 0);

  // OK in Preferences saves the settings, even unchanged.
  PressKeys(main, {VK_CONTROL, VK_OEM_COMMA});
  ASSERT_NE(box = program.FindDialog(L"Preferences"), nullptr);
  DeleteFileW(SettingsFile().c_str());
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  for (int waited = 0; waited < 5000 && Setting(L"audio", L"outdev") == L"<missing>"; waited += 50)
    Sleep(50);
  EXPECT_NE(Setting(L"audio", L"outdev"), L"<missing>");

  PostMessageW(main, WM_COMMAND, ID_ABOUT, 0);
  ASSERT_NE(box = program.FindDialog(L"Quorvel", 20000, main), nullptr);
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  EXPECT_STREQ(text, L"Quorvel " QUORVEL_VERSION
                     " by KELDRIMAX\nhttps://keldrimax.com/quorvel\nsupport@keldrimax.com");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  Sleep(300);
  EXPECT_EQ(program.Quit(), 0);
}

TEST_F(QuorvelProgramTest, WithoutDevicesTheUserIsToldAndTheProgramRunsOn)
{
  Program program("");
  HWND box = program.FindDialog(L"Error");
  ASSERT_NE(box, nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_NE(program.FindDialog(L"Quorvel"), nullptr);
  EXPECT_EQ(Setting(L"audio", L"indev") + Setting(L"audio", L"outdev") + Setting(L"midi", L"indev"),
            L"Default DeviceDefault Deviceoff");
  EXPECT_EQ(program.Quit(), 0);
}

TEST_F(QuorvelProgramTest, WithTheNullDeviceAStreamPlaysAndQuitsCleanly)
{
  Program program("");
  ASSERT_NE(program.FindDialog(L"Quorvel"), nullptr);
  EXPECT_EQ(program.FindDialog(L"Error", 500), nullptr);
  Sleep(1000);
  // The devices found replaced the first-run names.
  EXPECT_NE(Setting(L"audio", L"outdev"), L"<missing>");
  EXPECT_NE(Setting(L"audio", L"outdev"), L"Default Device");
  EXPECT_EQ(program.Quit(), 0);
}
