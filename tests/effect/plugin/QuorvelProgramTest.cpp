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

std::filesystem::path SettingsFile()
{
  wchar_t folder[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder);
  return std::filesystem::path(folder) / L"Quorvel" / L"settings.ini";
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
    const std::string line = "\"" QUORVEL_PROGRAM_PATH "\" " + arguments;
    std::wstring wide(line.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, wide.data(), static_cast<int>(wide.size())) - 1));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    EXPECT_TRUE(
        CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &mInfo));
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
  // A visible dialog-class window of this process with the title, waited for.
  HWND FindDialog(const wchar_t* title, int limitMs = 20000)
  {
    for (int waited = 0; waited < limitMs; waited += 50, Sleep(50))
      for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", title));)
      {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == mInfo.dwProcessId && IsWindowVisible(w)) return w;
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

// RGBA, top row first; channels as the file holds them.
struct PngImage
{
  int width = 0, height = 0, channels = 0;
  std::vector<uint8_t> rgba;
  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

bool LoadPng(const std::string& path, PngImage& image)
{
  const std::string bytes = ReadFileBytes(path);
  stbi_uc* pixels =
      stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                            &image.width, &image.height, &image.channels, 4);
  if (pixels) image.rgba.assign(pixels, pixels + static_cast<size_t>(image.width) * image.height * 4);
  stbi_image_free(pixels);
  return pixels != nullptr;
}

class QuorvelProgramTest : public testing::Test
{
protected:
  void SetUp() override { std::filesystem::remove(SettingsFile(), mIgnored); }
  std::error_code mIgnored;
};

void PressKeys(std::initializer_list<WORD> keys)
{
  std::vector<INPUT> inputs(keys.size() * 2);
  size_t i = 0;
  for (WORD key : keys)
    inputs[i].type = INPUT_KEYBOARD, inputs[i++].ki.wVk = key;
  for (auto it = keys.end(); it != keys.begin(); i++)
    inputs[i].type = INPUT_KEYBOARD, inputs[i].ki.wVk = *--it, inputs[i].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace

TEST_F(QuorvelProgramTest, CommandLineScreenshotIsTheWholeClientArea)
{
  TempFolder folder("program a \xCE\xA9");
  Program program("--no-io --screenshot \"" + folder.Path() + "\\shot.png\"");
  EXPECT_EQ(program.Wait(60000), 0);
  PngImage png;
  ASSERT_TRUE(LoadPng(folder.Path() + "\\shot.png", png));
  EXPECT_EQ(png.width, 980);
  EXPECT_EQ(png.height, 650);
  EXPECT_EQ(png.channels, 4);
  bool opaque = true;
  for (size_t i = 3; i < png.rgba.size(); i += 4)
    opaque = opaque && png.rgba[i] == 255;
  EXPECT_TRUE(opaque);
  // The editor is in it: the fresh-start golden (regenerate: QUORVEL_UPDATE_GOLDEN=1 ctest -R
  // CommandLineScreenshot) within a small tolerance, and spot checks of the backdrop, the logo mark and the
  // title that do not trust it.
  if (getenv("QUORVEL_UPDATE_GOLDEN"))
    WriteFileBytes(QUORVEL_PROGRAM_GOLDEN, ReadFileBytes(folder.Path() + "\\shot.png"));
  PngImage golden;
  ASSERT_TRUE(LoadPng(QUORVEL_PROGRAM_GOLDEN, golden));
  ASSERT_EQ(golden.rgba.size(), png.rgba.size());
  size_t off = 0;
  for (size_t i = 0; i < png.rgba.size(); i++)
    off += std::abs(png.rgba[i] - golden.rgba[i]) > 16;
  EXPECT_LT(off, png.rgba.size() / 200);
  const uint8_t* backdrop = png.At(10, 300);
  const uint8_t* mark = png.At(40, 20);
  EXPECT_TRUE(backdrop[0] < 70 && backdrop[1] < 70 && backdrop[2] < 70);
  EXPECT_TRUE(mark[0] > 180 && mark[1] > 120 && mark[1] < 210 && mark[2] < 140);
  int title = 0;
  for (int y = 42; y < 68; y++)
    for (int x = 30; x < 150; x++)
      title += png.At(x, y)[0] > 150 && png.At(x, y)[2] > 150;
  EXPECT_GT(title, 100);

  // Into a missing folder: exit 1 and no message box, which would hold the program past the limit.
  Program failing("--no-io --screenshot \"" + folder.Path() + "\\missing\\shot.png\"");
  EXPECT_EQ(failing.Wait(30000), 1);
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

TEST_F(QuorvelProgramTest, KeysReachHiddenAndShownCommands)
{
  Program program("--no-io");
  HWND main = program.FindDialog(L"Quorvel");
  ASSERT_NE(main, nullptr);
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  auto shots = [&]
  {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(temp))
      if (entry.path().filename().wstring().rfind(L"Quorvel_screenshot_", 0) == 0)
        found.push_back(entry.path());
    return found;
  };
  for (const auto& old : shots())
    std::filesystem::remove(old);

  // Modifier state follows only real input: the keys go through SendInput.
  SetForegroundWindow(main);
  Sleep(300);
  PressKeys({VK_CONTROL, VK_SHIFT, 'S'});
  HWND saved = program.FindDialog(L"Screenshot Saved");
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(shots().size(), 1u);
  PostMessageW(saved, WM_COMMAND, IDNO, 0);

  SetForegroundWindow(main);
  Sleep(300);
  PressKeys({VK_CONTROL, VK_OEM_COMMA});
  HWND preferences = program.FindDialog(L"Preferences");
  ASSERT_NE(preferences, nullptr);
  PostMessageW(preferences, WM_COMMAND, IDCANCEL, 0);
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
  EXPECT_EQ(Setting(L"audio", L"indev"), L"Default Device");
  EXPECT_EQ(Setting(L"audio", L"outdev"), L"Default Device");
  EXPECT_EQ(Setting(L"midi", L"indev"), L"off");
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
