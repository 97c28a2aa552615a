#include "framework/app/ProgramCommandLine.h"
#include "framework/app/ScreenshotPng.h"

#include <gtest/gtest.h>

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
