#include "framework/graphics/platform/DialogText.h"

#include <gtest/gtest.h>

namespace iplug::igraphics
{
namespace
{

TEST(DialogText, FileFiltersHaveNoFixedLimit)
{
  const FileFilter f = BuildFileFilter("wav aif");
  EXPECT_EQ(f.filter, std::string("*.wav;*.aif\0*.wav;*.aif\0\0", 25));
  EXPECT_EQ(f.defaultExtension, "wav");
  EXPECT_TRUE(BuildFileFilter("").filter.empty());
  EXPECT_TRUE(BuildFileFilter(nullptr).defaultExtension.empty());
  EXPECT_EQ(BuildFileFilter("  flac  ").filter, std::string("*.flac\0*.flac\0\0", 15));

  std::string many;
  for (int i = 0; i < 100; i++)
    many += "extension" + std::to_string(i) + " ";
  const FileFilter big = BuildFileFilter(many.c_str());
  EXPECT_GT(big.filter.size(), 2000u);
  EXPECT_EQ(big.filter.substr(big.filter.size() - 15), std::string("*.extension99\0\0", 15));
  EXPECT_EQ(big.filter.size(), 2 * (big.filter.find('\0') + 1) + 1);
  EXPECT_EQ(BuildFileFilter("averyveryverylongextension").defaultExtension, "averyveryverylongextension");
}

TEST(DialogText, PathsFoldersAndShellParameters)
{
  const struct
  {
    const char* path;
    const char* dir;
  } dirs[] = {{"C:\\a\\b.wav", "C:\\a\\"},
              {"C:\\b.wav", "C:\\"},
              {"\\\\server\\share\\\xCE\xA9.wav", "\\\\server\\share\\"},
              {"C:b.wav", "C:"},
              {"b.wav", ""}};
  for (const auto& d : dirs)
    EXPECT_EQ(DirectoryOfPath(d.path), d.dir) << d.path;

  EXPECT_EQ(WithTrailingSeparator("C:\\Music"), "C:\\Music\\");
  EXPECT_EQ(WithTrailingSeparator("C:\\"), "C:\\");
  EXPECT_EQ(RevealParameters("C:\\a b\\c.wav", true), "/select,\"C:\\a b\\c.wav\"");
  EXPECT_EQ(RevealParameters("C:\\a", false), "\"C:\\a\"");

  EXPECT_TRUE(IsMailAddress("mailto:support@example.com"));
  EXPECT_TRUE(IsMailAddress("MAILTO:x"));
  EXPECT_FALSE(IsMailAddress("https://example.com"));
  EXPECT_FALSE(IsMailAddress("mail"));
  EXPECT_FALSE(IsMailAddress(nullptr));
}

} // namespace
} // namespace iplug::igraphics
