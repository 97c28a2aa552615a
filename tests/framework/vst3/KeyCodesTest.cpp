#include "framework/vst3/KeyCodes.h"

#include <gtest/gtest.h>

using namespace Steinberg;

TEST(KeyCodes, MatchTheCodesHostsSend)
{
  // Anchors across the list: a shifted entry would misread every key after it.
  EXPECT_EQ(KEY_BACK, 1);
  EXPECT_EQ(KEY_RETURN, 4);
  EXPECT_EQ(KEY_ESCAPE, 6);
  EXPECT_EQ(KEY_LEFT, 11);
  EXPECT_EQ(KEY_DELETE, 22);
  EXPECT_EQ(KEY_NUMPAD0, 24);
  EXPECT_EQ(KEY_F1, 40);
  EXPECT_EQ(KEY_SHIFT, 54);
  EXPECT_EQ(KEY_EQUALS, 57);
  EXPECT_EQ(KEY_F13, 65);
  EXPECT_EQ(kShiftKey | kAlternateKey | kCommandKey | kControlKey, 15);
}

TEST(KeyCodes, TranslateBetweenCharactersAndVirtualCodes)
{
  EXPECT_EQ(CharToVirtualKeyCode('0'), 128);
  EXPECT_EQ(CharToVirtualKeyCode('A'), 145);
  EXPECT_EQ(CharToVirtualKeyCode('z'), CharToVirtualKeyCode('Z'));
  EXPECT_EQ(CharToVirtualKeyCode(' '), KEY_SPACE);
  EXPECT_EQ(CharToVirtualKeyCode('#'), 0);
  EXPECT_EQ(CharToVirtualKeyCode(u'\u00e9'), 0);

  for (char16 c : u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ *+-./=")
  {
    if (c == 0) continue;
    const uint8 code = CharToVirtualKeyCode(c);
    ASSERT_NE(code, 0) << static_cast<int>(c);
    EXPECT_EQ(VirtualKeyCodeToChar(code), c) << static_cast<int>(c);
  }
  for (int k = KEY_NUMPAD0; k <= KEY_NUMPAD9; ++k)
    EXPECT_EQ(VirtualKeyCodeToChar(static_cast<uint8>(k)), '0' + (k - KEY_NUMPAD0));
  for (uint8 k : {KEY_BACK, KEY_TAB, KEY_LEFT, KEY_F1, KEY_SHIFT, KEY_SUPER})
    EXPECT_EQ(VirtualKeyCodeToChar(k), 0) << static_cast<int>(k);
}
