// Quorvel.exe as a user meets it, run as a separate process under the same Wine prefix: the
// command-line capture, single instance, the main window's menus and keys, and start-up without
// devices or with a real stream. Runs serially: every run shares the program's mutex and its
// settings file, which is removed before each run.

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

std::wstring Wide(const std::string& utf8)
{
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, w.data(), n);
  w.resize(static_cast<size_t>(n) - 1);
  return w;
}

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
    std::wstring line = L"\"" + Wide(QUORVEL_PROGRAM_PATH) + L"\" " + Wide(arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    started =
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &mInfo);
  }
  ~Program()
  {
    if (!started) return;
    if (WaitForSingleObject(mInfo.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(mInfo.hProcess, 99);
    CloseHandle(mInfo.hThread);
    CloseHandle(mInfo.hProcess);
  }
  // The exit code, or -1 when the program still runs after the limit.
  int Wait(int limitMs)
  {
    if (WaitForSingleObject(mInfo.hProcess, static_cast<DWORD>(limitMs)) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(mInfo.hProcess, &code);
    return static_cast<int>(code);
  }
  bool Running() { return WaitForSingleObject(mInfo.hProcess, 0) == WAIT_TIMEOUT; }
  // A dialog-class window of this process with the title, waited for.
  HWND FindDialog(const wchar_t* title, int limitMs = 20000)
  {
    for (int waited = 0; waited < limitMs; waited += 50)
    {
      for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", title); w;
           w = FindWindowExW(nullptr, w, L"#32770", title))
      {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == mInfo.dwProcessId && IsWindowVisible(w)) return w;
      }
      Sleep(50);
    }
    return nullptr;
  }

  bool started = false;

private:
  PROCESS_INFORMATION mInfo = {};
};

class QuorvelProgramTest : public testing::Test
{
protected:
  void SetUp() override
  {
    std::error_code ignored;
    std::filesystem::remove(SettingsFile(), ignored);
  }
};

struct Png
{
  int w = 0, h = 0, channels = 0;
  std::vector<uint8_t> rgba;
};

bool LoadPng(const std::string& path, Png& png)
{
  const std::string bytes = ReadFileBytes(path);
  int n = 0;
  stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                          static_cast<int>(bytes.size()), &png.w, &png.h, &n, 4);
  if (!pixels) return false;
  png.channels = n;
  png.rgba.assign(pixels, pixels + static_cast<size_t>(png.w) * png.h * 4);
  stbi_image_free(pixels);
  return true;
}

void PressKeys(std::initializer_list<WORD> keys)
{
  std::vector<INPUT> inputs;
  for (WORD key : keys)
  {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    inputs.push_back(in);
  }
  for (auto it = keys.end(); it != keys.begin();)
  {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = *--it;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace

TEST_F(QuorvelProgramTest, CommandLineScreenshotIsTheWholeClientArea)
{
  TempFolder folder("program a \xCE\xA9");
  const std::string path = folder.Path() + "\\shot.png";
  Program program("--no-io --screenshot \"" + path + "\"");
  ASSERT_TRUE(program.started);
  EXPECT_EQ(program.Wait(60000), 0);
  Png png;
  ASSERT_TRUE(LoadPng(path, png));
  EXPECT_EQ(png.w, 980);
  EXPECT_EQ(png.h, 650);
  EXPECT_EQ(png.channels, 4);
  bool opaque = true;
  for (size_t i = 3; i < png.rgba.size(); i += 4)
    opaque = opaque && png.rgba[i] == 255;
  EXPECT_TRUE(opaque);
}

TEST_F(QuorvelProgramTest, FailedScreenshotExitsOneWithoutAMessageBox)
{
  TempFolder folder("program");
  Program program("--no-io --screenshot \"" + folder.Path() + "\\missing\\shot.png\"");
  ASSERT_TRUE(program.started);
  // A message box would hold the program past the limit.
  EXPECT_EQ(program.Wait(30000), 1);
}

TEST_F(QuorvelProgramTest, ScreenshotAsLastTokenStartsNormallyAndReleasesTheMutex)
{
  {
    Program program("--no-io --screenshot");
    ASSERT_TRUE(program.started);
    HWND main = program.FindDialog(L"Quorvel");
    ASSERT_NE(main, nullptr);
    Sleep(1000);
    EXPECT_TRUE(program.Running());
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.Wait(20000), 0);
  }
  // The next start is a first instance again: it runs and captures.
  TempFolder folder("program");
  Program next("--no-io --screenshot \"" + folder.Path() + "\\again.png\"");
  EXPECT_EQ(next.Wait(60000), 0);
  EXPECT_NE(ReadFileBytes(folder.Path() + "\\again.png"), "");
}

TEST_F(QuorvelProgramTest, OnlyOneInstanceRuns)
{
  Program first("--no-io");
  ASSERT_NE(first.FindDialog(L"Quorvel"), nullptr);
  Program second("--no-io");
  EXPECT_EQ(second.Wait(20000), 0);
  EXPECT_TRUE(first.Running());
  PostMessageW(first.FindDialog(L"Quorvel"), WM_COMMAND, ID_QUIT, 0);
  EXPECT_EQ(first.Wait(20000), 0);

  // Two starts at once: exactly one stays.
  Program a("--no-io"), b("--no-io");
  Sleep(4000);
  EXPECT_EQ(a.Running() + b.Running(), 1);
  Program& runner = a.Running() ? a : b;
  Program& other = a.Running() ? b : a;
  EXPECT_EQ(other.Wait(0), 0);
  PostMessageW(runner.FindDialog(L"Quorvel"), WM_COMMAND, ID_QUIT, 0);
  EXPECT_EQ(runner.Wait(20000), 0);
}

TEST_F(QuorvelProgramTest, MainWindowKeysAndMenus)
{
  Program program("--no-io");
  HWND main = program.FindDialog(L"Quorvel");
  ASSERT_NE(main, nullptr);
  RECT client;
  GetClientRect(main, &client);
  EXPECT_EQ(client.right, 980);
  EXPECT_EQ(client.bottom, 650);
  MINMAXINFO info = {};
  SendMessageW(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 326);
  EXPECT_EQ(info.ptMinTrackSize.y, 216);
  EXPECT_EQ(info.ptMaxTrackSize.x, 2940);
  EXPECT_EQ(info.ptMaxTrackSize.y, 1950);

  // The screenshot key works without its menu; the question is answered No.
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::filesystem::path tempFolder(temp);
  auto shots = [&]
  {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(tempFolder))
      if (entry.path().filename().wstring().rfind(L"Quorvel_screenshot_", 0) == 0)
        found.push_back(entry.path());
    return found;
  };
  for (const auto& old : shots())
    std::filesystem::remove(old);
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

  PostMessageW(main, WM_COMMAND, ID_QUIT, 0);
  EXPECT_EQ(program.Wait(20000), 0);
}

TEST_F(QuorvelProgramTest, WithoutDevicesTheUserIsToldAndTheProgramRunsOn)
{
  Program program("");
  HWND box = program.FindDialog(L"Error");
  ASSERT_NE(box, nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  HWND main = program.FindDialog(L"Quorvel");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Setting(L"audio", L"indev"), L"Default Device");
  EXPECT_EQ(Setting(L"audio", L"outdev"), L"Default Device");
  EXPECT_EQ(Setting(L"audio", L"sr"), L"44100");
  EXPECT_EQ(Setting(L"midi", L"indev"), L"off");
  PostMessageW(main, WM_COMMAND, ID_QUIT, 0);
  EXPECT_EQ(program.Wait(20000), 0);
}

TEST_F(QuorvelProgramTest, WithTheNullDeviceAStreamPlaysAndQuitsCleanly)
{
  Program program("");
  HWND main = program.FindDialog(L"Quorvel");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(program.FindDialog(L"Error", 500), nullptr);
  Sleep(1000);
  // The devices found replaced the first-run names.
  EXPECT_NE(Setting(L"audio", L"outdev"), L"<missing>");
  EXPECT_NE(Setting(L"audio", L"outdev"), L"Default Device");
  PostMessageW(main, WM_COMMAND, ID_QUIT, 0);
  EXPECT_EQ(program.Wait(20000), 0);
}
