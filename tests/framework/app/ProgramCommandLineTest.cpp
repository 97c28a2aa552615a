#include "framework/app/ProgramCommandLine.h"
#include "framework/app/ScreenshotPng.h"

#include <gtest/gtest.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

using namespace iplug;

TEST(ProgramCommandLineTest, TokensSetScreenshotPathAndNoIo)
{
  struct Case
  {
    std::vector<std::string> tokens;
    bool noIo;
    std::string path;
  };
  const Case cases[] = {
      {{}, false, ""},
      {{"--no-io"}, true, ""},
      {{"--screenshot", "C:\\a folder\\\xCE\xA9\\shot.png", "--no-io"},
       true,
       "C:\\a folder\\\xCE\xA9\\shot.png"},
      {{"--no-io", "--screenshot"}, true, ""}, // the path is missing: a normal start
      {{"--screenshot", "x.png", "--screenshot"}, false, "x.png"},
      {{"--unknown", "--screenshot", "--no-io"}, false, "--no-io"}, // the next token is the path
  };
  for (const Case& c : cases)
  {
    const ProgramCommandLine parsed = ParseProgramCommandLine(c.tokens);
    EXPECT_EQ(parsed.noIo, c.noIo) << testing::PrintToString(c.tokens);
    EXPECT_EQ(parsed.screenshotPath, c.path) << testing::PrintToString(c.tokens);
  }
}

TEST(ScreenshotPngTest, CaptureBecomesOpaqueRgbaTopRowFirst)
{
  // 3 x 2 capture in GDI's byte order (B, G, R, undefined), top row first.
  const uint8_t bgrx[] = {255, 0,  0,  0, 0,  255, 0,  7, 0,  0,  255, 99, //
                          10,  20, 30, 0, 40, 50,  60, 0, 70, 80, 90,  0};
  std::vector<uint8_t> png;
  ASSERT_TRUE(EncodeScreenshotPng(bgrx, 3, 2, png));
  int w = 0, h = 0, n = 0;
  stbi_uc* rgba = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &n, 0);
  ASSERT_NE(rgba, nullptr);
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(n, 4);
  const uint8_t expected[] = {0,  0,  255, 255, 0,  255, 0,  255, 255, 0,  0,  255, //
                              30, 20, 10,  255, 60, 50,  40, 255, 90,  80, 70, 255};
  EXPECT_EQ(std::vector<uint8_t>(rgba, rgba + 24), std::vector<uint8_t>(expected, expected + 24));
  stbi_image_free(rgba);

  EXPECT_FALSE(EncodeScreenshotPng(bgrx, 0, 2, png));
  EXPECT_FALSE(EncodeScreenshotPng(nullptr, 3, 2, png));
}

TEST(ScreenshotPngTest, FileNameCarriesProductAndLocalTime)
{
  std::tm t{};
  t.tm_year = 126;
  t.tm_mon = 11;
  t.tm_mday = 9;
  t.tm_hour = 7;
  t.tm_min = 5;
  t.tm_sec = 3;
  EXPECT_EQ(ScreenshotFileName("C:\\Temp\\", "Quorvel", t),
            "C:\\Temp\\Quorvel_screenshot_20261209_070503.png");
  // Never longer than 511 bytes.
  EXPECT_EQ(ScreenshotFileName(std::string(600, 'x'), "Quorvel", t).size(), 511u);
}
