#include "framework/vst3/KeyTranslation.h"

#include "framework/vst3/KeyCodes.h"

#include <gtest/gtest.h>

using namespace iplug;
using namespace Steinberg;

namespace
{
char gScanned = 1;
// A layout where every character is typed by the key 0x100 + its code (shift held), '?' by none.
int16_t FakeScan(char c)
{
  gScanned = c;
  return c == '?' ? -1 : static_cast<int16_t>(0x100 | static_cast<unsigned char>(c));
}
} // namespace

TEST(KeyTranslation, MapsHostCodesToVirtualKeys)
{
  // Spot values from the Windows key list; 24..51 (number pad, its operators, F1-F12) run in step.
  const int spots[][2] = {{1, 8},   {4, 13},   {15, 33}, {16, 34}, {19, 13},
                          {23, 47}, {52, 144}, {54, 16}, {56, 18}};
  for (auto [code, vk] : spots)
    EXPECT_EQ(VirtualKeyFromHostCode(code, "", FakeScan), vk) << code;
  for (int code = 24; code <= 255; ++code)
    if (code < 52 || code > 57)
      EXPECT_EQ(VirtualKeyFromHostCode(code, "", FakeScan), code < 52    ? 72 + code
                                                            : code < 128 ? 0
                                                                         : code - 80);
}

TEST(KeyTranslation, DerivesTextFromTheCodeAndAsksTheLayoutOnlyForCodes0And57)
{
  struct Case
  {
    char16_t key;
    int code;
    const char* text;
    int vk;
    char scanned; // 1: the layout is not asked
  } cases[] = {{0, 145, "A", 65, 1},        {0, 128, "0", 48, 1},    {0, 7, " ", 32, 1},
               {0, 54, "", 16, 1},          {u'a', 145, "a", 65, 1}, {u'\u00e9', 0, "", 0x100, 0},
               {u'=', 57, "=", 0x13D, '='}, {u'?', 0, "?", -1, '?'}};
  for (const Case& c : cases)
  {
    gScanned = 1;
    IKeyStroke k;
    ASSERT_TRUE(TranslateHostKey(0, c.key, c.code, kCommandKey | kAlternateKey, k, FakeScan));
    EXPECT_EQ(std::make_tuple(std::string(k.utf8), k.vk, gScanned), std::make_tuple(c.text, c.vk, c.scanned));
    EXPECT_TRUE(k.ctrl && k.alt && !k.shift) << "ctrl comes from the command bit";
  }
}

TEST(KeyTranslation, PassesOnlyTheSpaceBarInHostOne)
{
  IKeyStroke k;
  EXPECT_FALSE(TranslateHostKey(1, 0, KEY_RETURN, 0, k, FakeScan));
  EXPECT_FALSE(TranslateHostKey(1, u'a', 145, 0, k, FakeScan));
  ASSERT_TRUE(TranslateHostKey(1, 0, KEY_SPACE, kShiftKey | kControlKey, k, FakeScan));
  EXPECT_EQ(std::make_tuple(std::string(k.utf8), k.vk, k.shift, k.ctrl),
            std::make_tuple(" ", 32, true, false));
}
