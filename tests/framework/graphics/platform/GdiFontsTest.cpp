#include "framework/graphics/platform/GdiFonts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace iplug::igraphics
{
namespace
{

const char kRobotoPath[] = "Z:" QUORVEL_ROBOTO_PATH;

std::vector<uint8_t> ReadWhole(const char* path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(GdiFonts, FaceNamesAreConfirmedAndLimited)
{
  EXPECT_FALSE(CreateFontHandle("No Such Family Anywhere", 400, false, false, 0, true));
  EXPECT_FALSE(CreateFontHandle(std::string(40, 'A').c_str(), 400, false, false, 0, false));
  EXPECT_FALSE(CreateFontHandle(nullptr, 400, false, false, 0, false));
}

TEST(GdiFonts, RobotoFromAFileAndAResourceWithOneHandleCopyPerId)
{
  AddFontCacheUsers();
  const std::vector<uint8_t> file = ReadWhole(kRobotoPath);
  ASSERT_GT(file.size(), 10000u);

  // Another program holding the file open for reading does not stop the load.
  HANDLE held = CreateFileA(kRobotoPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::vector<uint8_t> fromFile = ReadFontFileOrResource(kRobotoPath, nullptr);
  CloseHandle(held);
  EXPECT_EQ(fromFile, file);
  EXPECT_EQ(ReadFontFileOrResource("Roboto-Regular.ttf", nullptr), file); // the embedded copy
  EXPECT_TRUE(ReadFontFileOrResource("missing.ttf", nullptr).empty());

  win32::UniqueFont font =
      LoadMemoryFont("roboto", file.data(), static_cast<int32_t>(file.size()), "Roboto", {});
  ASSERT_TRUE(font);
  EXPECT_EQ(GetFontResourceCache().GetCount(), 1);
  EXPECT_EQ(ReadFontData(font.Get()), file);
  const std::vector<uint8_t> junk(256, 0);
  EXPECT_FALSE(LoadMemoryFont("junk", junk.data(), 256, "Roboto", {}));
  EXPECT_EQ(GetFontResourceCache().GetCount(), 1); // nothing of a failed load stays registered

  CacheFontHandleCopy("roboto", font.Get());
  CacheFontHandleCopy("roboto", font.Get());
  EXPECT_EQ(GetFontHandleCache().GetCount(), 1);
  auto* copy = static_cast<HFONT>(GetFontHandleCache().FindCacheEntry("roboto", 1.0));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy, font.Get());
  win32::UniqueFont sized = CreateFontFromCache("roboto", 21);
  LOGFONTW lf{};
  ASSERT_TRUE(GetObjectW(sized.Get(), sizeof(lf), &lf));
  EXPECT_EQ(lf.lfHeight, 21);
  EXPECT_FALSE(CreateFontFromCache("unknown", 21));

  // The last editor out empties both caches and deletes the copied handle.
  RemoveFontCacheUsers();
  EXPECT_EQ(GetFontResourceCache().GetCount(), 0);
  EXPECT_EQ(GetFontHandleCache().GetCount(), 0);
  EXPECT_EQ(GetObjectType(copy), 0u);
}

} // namespace
} // namespace iplug::igraphics
