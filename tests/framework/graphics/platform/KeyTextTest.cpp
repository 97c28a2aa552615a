#include "framework/graphics/platform/KeyText.h"

#include <gtest/gtest.h>

#include <string>

namespace iplug::igraphics
{
namespace
{

TEST(KeyText, OneCharacterBecomesUtf8AndTwoGoToTheRootWindow)
{
  const struct
  {
    int count;
    char16_t units[3];
    bool toRoot;
    std::string text;
  } cases[] = {
      {0, {}, false, ""},
      {-1, {u'^'}, false, ""}, // dead key: no text until the next key
      {1, {u'a'}, false, "a"},
      {1, {0x03A9}, false, "\xCE\xA9"},
      {2, {0xD83D, 0xDE00}, false, "\xF0\x9F\x98\x80"},
      {2, {u'a', u'b'}, true, ""},
      {3, {u'a', u'b', u'c'}, true, ""},
  };
  for (const auto& c : cases)
  {
    const KeyText k = KeyTextFromUnicode(c.count, c.units);
    EXPECT_EQ(k.toRootWindow, c.toRoot) << c.count;
    EXPECT_EQ(std::string(k.utf8), c.text) << c.count;
  }
}

} // namespace
} // namespace iplug::igraphics
