#include "framework/graphics/platform/PlatformServices.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace iplug::igraphics
{
namespace
{

HWND MakeWindow(const wchar_t* cls = L"STATIC", HWND parent = nullptr)
{
  return CreateWindowExW(0, cls, L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 50, 50, parent, nullptr, nullptr,
                         nullptr);
}

TEST(PlatformServices, ClipboardCarriesTextAndPaths)
{
  HWND owner = MakeWindow();
  // A fresh editor has no owner window yet: text cannot be put on the clipboard without one.
  OwnerWindowFinder finder;
  EXPECT_EQ(finder.Owner(), nullptr);
  ASSERT_TRUE(WriteClipboardText(owner, "\xCE\xA9 1.5 dB"));
  TextBuffer text;
  ASSERT_TRUE(ReadClipboardText(text));
  EXPECT_STREQ(text.Get(), "\xCE\xA9 1.5 dB");

  ASSERT_TRUE(WriteClipboardPath(owner, "C:\\b\xC3\xA4nder\\take.wav"));
  EXPECT_FALSE(ReadClipboardText(text));
  EXPECT_STREQ(text.Get(), "");
  ASSERT_TRUE(OpenClipboard(owner));
  auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
  ASSERT_TRUE(drop);
  wchar_t path[MAX_PATH] = {};
  EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 1u);
  DragQueryFileW(drop, 0, path, MAX_PATH);
  CloseClipboard();
  EXPECT_STREQ(path, L"C:\\b\u00E4nder\\take.wav");

  EXPECT_TRUE(WriteClipboardText(owner, ""));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  DestroyWindow(owner);
}

TEST(PlatformServices, OwnerIsTheTopOfTheParentChainAndIsFoundAgainByClass)
{
  HWND top = MakeWindow(L"#32770");
  HWND child = MakeWindow(L"STATIC", top);
  OwnerWindowFinder finder;
  EXPECT_EQ(finder.Find(child), top);
  OwnerWindowFinder later;
  EXPECT_EQ(later.Find(nullptr), nullptr); // no parent and no class remembered
  DestroyWindow(top);
}

struct Calls
{
  std::vector<std::string> boxes;
  std::vector<std::string> launched;
  bool connected = true;
  int answer = IDYES;
} gCalls;

const ShellSeams kFakes{[] { return gCalls.connected; },
                        [](void*, const char* file, const char* params, const char* dir) -> intptr_t
                        {
                          gCalls.launched.push_back(std::string(file) + "|" + (params ? params : "") + "|" +
                                                    (dir ? dir : ""));
                          return 42;
                        },
                        [](void*, const char* text, const char*, unsigned)
                        {
                          gCalls.boxes.push_back(text);
                          return gCalls.answer;
                        }};

TEST(PlatformServices, AddressesOpenOnlyWhenConfirmedAndConnected)
{
  const struct
  {
    const char* url;
    const char* confirm;
    int answer;
    bool connected, opened;
    size_t boxes;
  } cases[] = {
      {"https://example.com", "Open?", IDYES, true, true, 1},
      {"https://example.com", "Open?", IDNO, true, false, 1},
      {"https://example.com", nullptr, IDYES, false, false, 1}, // offline: the error text
      {"mailto:someone@example.com", nullptr, IDYES, false, true, 0},
      {"https://example.com", nullptr, IDYES, true, true, 0},
  };
  for (const auto& c : cases)
  {
    gCalls = {};
    gCalls.answer = c.answer;
    gCalls.connected = c.connected;
    EXPECT_EQ(OpenUrlWithSeams(nullptr, c.url, "Title", c.confirm, "Offline", kFakes), c.opened) << c.url;
    EXPECT_EQ(gCalls.launched.size(), c.opened ? 1u : 0u) << c.url;
    EXPECT_EQ(gCalls.boxes.size(), c.boxes) << c.url;
  }
  gCalls = {};
  EXPECT_TRUE(RevealPathWithSeams("C:\\a b\\c.wav", true, kFakes));
  ASSERT_EQ(gCalls.launched.size(), 1u);
  EXPECT_EQ(gCalls.launched[0].substr(0, 36), "explorer.exe|/select,\"C:\\a b\\c.wav\"|");
  EXPECT_EQ(gCalls.launched[0].back(), '\\');
  EXPECT_FALSE(RevealPathWithSeams("", true, kFakes));
}

TEST(PlatformServices, CursorKindsShowTheirSystemCursor)
{
  const struct
  {
    int kind;
    const wchar_t* id;
  } cases[] = {{0, IDC_ARROW}, {1, IDC_IBEAM}, {7, IDC_SIZEWE},
               {11, IDC_HAND}, {13, IDC_HELP}, {42, IDC_ARROW}};
  for (const auto& c : cases)
  {
    ShowSystemCursor(c.kind);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, c.id)) << c.kind;
  }
}

// Dialogs are ended from a hook as soon as they are made; the title is noted first.
HHOOK gHook = nullptr;
std::wstring gTitle;
const wchar_t* gTypedName = nullptr; // typed into the file name field and confirmed, when set
void CALLBACK NoteTitleAndCancel(HWND dialog, UINT, UINT_PTR id, DWORD)
{
  KillTimer(dialog, id);
  wchar_t title[128] = {};
  GetWindowTextW(dialog, title, 128);
  gTitle = title;
  // The name field is edt1 in the old dialog, the combo box cmb13 in the explorer-style one.
  if (gTypedName &&
      (SetDlgItemTextW(dialog, 0x480, gTypedName) || SetDlgItemTextW(dialog, 0x47C, gTypedName)))
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  else
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}
LRESULT CALLBACK CloseDialogs(int code, WPARAM wParam, LPARAM lParam)
{
  if (code == HCBT_ACTIVATE) SetTimer(reinterpret_cast<HWND>(wParam), 77, 20, NoteTitleAndCancel);
  return CallNextHookEx(gHook, code, wParam, lParam);
}

TEST(PlatformServices, DialogsKeepOutputsOnCancelAndGiveTheFullPathOnAChoice)
{
  HWND owner = MakeWindow();
  gHook = SetWindowsHookExW(WH_CBT, CloseDialogs, nullptr, GetCurrentThreadId());
  IArgb colour{255, 10, 20, 30};
  EXPECT_FALSE(ChooseColour(owner, colour, "Pick a colour"));
  EXPECT_EQ(gTitle, L"Pick a colour");
  EXPECT_EQ(colour.R, 10);
  EXPECT_FALSE(ChooseColour(nullptr, colour, "x"));

  TextBuffer file("old.wav");
  TextBuffer path("C:\\");
  EXPECT_FALSE(ChooseFile(owner, file, path, true, "wav aif"));
  EXPECT_STREQ(file.Get(), "");
  EXPECT_STREQ(path.Get(), "C:\\");
  EXPECT_STREQ(ChooseFolder(owner).Get(), "");

  // A saved name comes back as the full path, its folder with the trailing backslash.
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring typed = std::wstring(temp) + L"take.wav";
  gTypedName = typed.c_str();
  ASSERT_TRUE(ChooseFile(owner, file, path, true, "wav aif"));
  gTypedName = nullptr;
  const std::string dir = path.Get();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '\\');
  EXPECT_EQ(std::string(file.Get()), dir + "take.wav");
  UnhookWindowsHookEx(gHook);
  DestroyWindow(owner);
}

} // namespace
} // namespace iplug::igraphics
