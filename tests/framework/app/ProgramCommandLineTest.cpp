#include "framework/app/ProgramCommandLine.h"
#include "framework/app/ScreenshotPng.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace iplug;

TEST(ProgramCommandLineTest, TokensSetScreenshotPathAndNoIo)
{
  const std::string path = "C:\\a folder\\\xCE\xA9\\shot.png";
  const struct
  {
    std::vector<std::string> tokens;
    bool noIo;
    std::string path;
  } cases[] = {
      {{}, false, ""},
      {{"--screenshot", path, "--no-io"}, true, path},
      {{"--no-io", "--screenshot"}, true, ""}, // no path: a normal start
      {{"--unknown", "--screenshot", "--no-io"}, false, "--no-io"},
  };
  for (const auto& c : cases)
  {
    const ProgramCommandLine parsed = ParseProgramCommandLine(c.tokens);
    EXPECT_EQ(parsed.noIo, c.noIo) << testing::PrintToString(c.tokens);
    EXPECT_EQ(parsed.screenshotPath, c.path) << testing::PrintToString(c.tokens);
  }
}

TEST(ScreenshotPngTest, FileNameCarriesProductAndLocalTime)
{
  std::tm t{};
  t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 9, t.tm_hour = 7, t.tm_min = 5, t.tm_sec = 3;
  EXPECT_EQ(ScreenshotFileName("C:\\Temp\\", "Quorvel", t),
            "C:\\Temp\\Quorvel_screenshot_20261209_070503.png");
  EXPECT_EQ(ScreenshotFileName(std::string(600, 'x'), "Quorvel", t).size(), 511u);
  std::vector<uint8_t> png;
  EXPECT_FALSE(EncodeScreenshotPng(nullptr, 2, 2, png));
}

#ifdef _WIN32
TEST(ScreenshotPngTest, TemporaryFolderKeepsEveryCharacterOfItsName)
{
  // The system takes the temporary folder from TMP first; the folder need not exist.
  wchar_t saved[1024] = {};
  const DWORD had = GetEnvironmentVariableW(L"TMP", saved, 1024);
  ASSERT_TRUE(SetEnvironmentVariableW(L"TMP", L"C:\\T\u00e9mp \u65e5\u672c \U0001F3B9"));
  const std::string folder = TemporaryFolderUtf8();
  SetEnvironmentVariableW(L"TMP", had > 0 && had < 1024 ? saved : nullptr);
  EXPECT_EQ(folder, "C:\\T\xC3\xA9mp \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB9\\");
}
#endif
