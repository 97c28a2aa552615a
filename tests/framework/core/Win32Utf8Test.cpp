// The UTF-8 front ends against the real Win32 calls (runs under Wine).
#include "framework/core/Win32Utf8.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <sys/stat.h>

#include <string>

using namespace iplug;

namespace
{
std::string TempFolder()
{
  wchar_t wide[MAX_PATH];
  GetTempPathW(MAX_PATH, wide);
  char utf8[MAX_PATH * 4];
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof(utf8), nullptr, nullptr);
  std::string path(utf8);
  path += "quorvel-utf8-" + std::to_string(GetCurrentProcessId()) + "\\";
  MakeDirectoryUtf8(path.c_str(), nullptr);
  return path;
}

std::wstring Wide(const std::string& utf8)
{
  std::wstring out(utf8.size() + 1, L'\0');
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), static_cast<int>(out.size()));
  out.resize(n > 0 ? n - 1 : 0);
  return out;
}

const std::string kNonAscii = "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC \xF0\x9F\x8E\xB8"; // "Grüße € 🎸"
} // namespace

TEST(Win32Utf8, NonAsciiFileNamesRoundTripThroughTheWideCalls)
{
  const std::string folder = TempFolder();
  const std::string path = folder + kNonAscii + ".txt";

  FILE* f = OpenFileUtf8(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fputs("payload", f);
  fclose(f);

  // The file carries the real name, not a code-page approximation of it.
  EXPECT_NE(GetFileAttributesW(Wide(path).c_str()), INVALID_FILE_ATTRIBUTES);

  struct _stat64 info = {};
  ASSERT_EQ(StatFileUtf8(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_size, 7);

  f = OpenFileUtf8(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char text[16] = {};
  EXPECT_EQ(fread(text, 1, sizeof(text), f), 7u);
  fclose(f);
  EXPECT_STREQ(text, "payload");

  // Writing where the wide open fails gives null, with no narrow retry that
  // could create a file under a mangled name.
  const std::string missing = folder + kNonAscii + "\\nope\\x.txt";
  EXPECT_EQ(OpenFileUtf8(missing.c_str(), "w"), nullptr);
  EXPECT_EQ(GetFileAttributesA((folder + "Gr??e ? ?\\nope\\x.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32Utf8, LongAsciiPathsUseTheLongForm)
{
  std::string path = TempFolder();
  while (path.size() < 300)
  {
    path += std::string(40, 'd') + "\\";
    ASSERT_NE(MakeDirectoryUtf8(path.c_str(), nullptr), 0) << path.size();
  }
  const std::string file = path + "deep.bin";
  ASSERT_GE(file.size(), 256u);
  FILE* f = OpenFileUtf8(file.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fclose(f);
  struct _stat64 info = {};
  EXPECT_EQ(StatFileUtf8(file.c_str(), &info), 0);
}

TEST(Win32Utf8, IniFilesKeepUtf8TextsAndTerminateEveryRead)
{
  // Profile files hold UTF-16 units one by one: keep to the basic plane here.
  const std::string bmpText = "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC";
  const std::string file = TempFolder() + kNonAscii + ".ini";
  ASSERT_NE(IniWriteStringUtf8("audio", "device", bmpText.c_str(), file.c_str()), 0);
  ASSERT_NE(IniWriteStringUtf8("audio", "rate", "48000", file.c_str()), 0);

  char out[128];
  EXPECT_EQ(IniReadStringUtf8("audio", "device", "", out, sizeof(out), file.c_str()),
            static_cast<int>(bmpText.size()));
  EXPECT_EQ(std::string(out), bmpText);
  EXPECT_EQ(IniReadIntUtf8("audio", "rate", 0, file.c_str()), 48000u);
  EXPECT_EQ(IniReadIntUtf8("audio", "missing", 7, file.c_str()), 7u);

  // Too small for anything but the terminator.
  char one[1] = {'x'};
  EXPECT_EQ(IniReadStringUtf8("audio", "device", "", one, 1, file.c_str()), 0);
  EXPECT_EQ(one[0], 0);

  // Cut to the buffer on a character boundary, and terminated.
  char small[6];
  const int n = IniReadStringUtf8("audio", "device", "", small, sizeof(small), file.c_str());
  EXPECT_EQ(n, 4); // "Grü" is 4 bytes; "Grüß" would need 6 plus the terminator
  EXPECT_EQ(std::string(small), "Gr\xC3\xBC");

  // A key list ends in two terminators.
  char keys[64];
  const int k = IniReadStringUtf8("audio", nullptr, "", keys, sizeof(keys), file.c_str());
  EXPECT_EQ(std::string(keys), "device");
  EXPECT_EQ(std::string(keys + 7), "rate");
  EXPECT_EQ(keys[k], 0);
  EXPECT_EQ(keys[k + 1], 0);

  // A plain ASCII file name takes the narrow calls: bytes are stored as given.
  const std::string plain = TempFolder() + "plain.ini";
  ASSERT_NE(IniWriteStringUtf8("s", "k", "abc", plain.c_str()), 0);
  EXPECT_EQ(IniReadStringUtf8("s", "k", "", out, sizeof(out), plain.c_str()), 3);
  EXPECT_STREQ(out, "abc");
}

TEST(Win32Utf8, TimeFolderLibraryAndScale)
{
  struct tm when = {};
  when.tm_year = 126;
  when.tm_mon = 11;
  when.tm_mday = 9;
  char out[64];
  const std::string format = "%Y \xE2\x80\x94 %d";
  EXPECT_EQ(FormatTimeUtf8(out, sizeof(out), format.c_str(), &when), 11);
  EXPECT_EQ(std::string(out), "2026 \xE2\x80\x94 09");
  char tiny[5];
  FormatTimeUtf8(tiny, sizeof(tiny), format.c_str(), &when);
  EXPECT_EQ(std::string(tiny), "2026");

  char folder[1024];
  EXPECT_TRUE(SpecialFolderPathUtf8(nullptr, folder, sizeof(folder), CSIDL_LOCAL_APPDATA, false));
  EXPECT_GT(strlen(folder), 3u);

  EXPECT_NE(LoadLibraryUtf8("kernel32.dll"), nullptr);
  EXPECT_EQ(LoadLibraryUtf8("no-such-library.dll"), nullptr);

  EXPECT_EQ(GetWindowScale(nullptr), 1.0f); // no DPI for no window
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_GT(GetWindowScale(window), 0.0f);
  DestroyWindow(window);
}

TEST(Win32Utf8, ComboBoxesTakeAndGiveUtf8)
{
  HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_DROPDOWN | CBS_HASSTRINGS, 0, 0, 200, 200,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(combo, nullptr);
  SubclassComboUtf8(combo);
  SubclassComboUtf8(combo); // a second call changes nothing

  const std::string item = "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC";
  ASSERT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Plain")), 0);
  ASSERT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())), 1);

  // Stored as the real characters (asked of the combo's own wide procedure: a
  // wide message sent to the subclassed window would be narrowed on the way).
  auto ownWideProc = reinterpret_cast<WNDPROC>(GetPropA(combo, "Utf8OldProcW"));
  ASSERT_NE(ownWideProc, nullptr);
  wchar_t wide[64] = {};
  CallWindowProcW(ownWideProc, combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(wide));
  EXPECT_EQ(std::wstring(wide), L"Gr\u00FC\u00DFe \u20AC");

  // Read back as UTF-8, with the room a caller must reserve.
  const LRESULT room = SendMessageA(combo, CB_GETLBTEXTLEN, 1, 0);
  EXPECT_EQ(room, 7 * 4 + 32);
  std::string back(static_cast<size_t>(room), '\0');
  EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(back.data())),
            static_cast<LRESULT>(item.size()));
  EXPECT_EQ(std::string(back.c_str()), item);
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(item.c_str())),
            1);

  // Selecting the item shows its real text in the edit field.
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  wchar_t shown[64] = {};
  GetWindowTextW(edit, shown, 64);
  EXPECT_EQ(std::wstring(shown), L"Gr\u00FC\u00DFe \u20AC");

  DestroyWindow(combo);
}
