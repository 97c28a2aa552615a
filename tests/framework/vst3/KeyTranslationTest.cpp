#include "framework/vst3/KeyTranslation.h"

#include "framework/vst3/KeyCodes.h"

#include <gtest/gtest.h>

#include <string>

using namespace iplug;

namespace
{
char gScanned = 0;
int gScans = 0;
// A layout where every character is typed by the key 0x100 + its code (shift bit set), '?' by no key.
int16_t FakeScan(char c)
{
  gScanned = c;
  ++gScans;
  return c == '?' ? -1 : static_cast<int16_t>(0x100 | static_cast<unsigned char>(c));
}

IKeyStroke Translate(char16_t key, int code, int modifiers = 0, HostId host = 0)
{
  IKeyStroke out;
  EXPECT_TRUE(TranslateHostKey(host, key, code, modifiers, out, FakeScan));
  return out;
}
} // namespace

TEST(KeyTranslation, MapsEveryHostCodeToItsVirtualKey)
{
  // Written out from the Windows key list, independent of the table in the code.
  const std::pair<int, int> named[] = {
      {1, 8},    {2, 9},    {3, 12},   {4, 13},   {5, 19},  {6, 27},  {7, 32},   {8, 34},   {9, 35},
      {10, 36},  {11, 37},  {12, 38},  {13, 39},  {14, 40}, {15, 33}, {16, 34},  {17, 41},  {18, 42},
      {19, 13},  {20, 44},  {21, 45},  {22, 46},  {23, 47}, {24, 96}, {33, 105}, {34, 106}, {39, 111},
      {40, 112}, {51, 123}, {52, 144}, {53, 145}, {54, 16}, {55, 17}, {56, 18}};
  for (auto [code, vk] : named)
    EXPECT_EQ(VirtualKeyFromHostCode(code, "", FakeScan), vk) << code;
  // Number pad, its operators and F1-F12 run in the same order in both lists.
  for (int code = 24; code <= 51; ++code)
    EXPECT_EQ(VirtualKeyFromHostCode(code, "", FakeScan), 72 + code) << code;
  for (int code = 58; code <= 127; ++code)
    EXPECT_EQ(VirtualKeyFromHostCode(code, "x", FakeScan), 0) << code;
  for (int code = 128; code <= 255; ++code)
    EXPECT_EQ(VirtualKeyFromHostCode(code, "", FakeScan), code - 80) << code;
}

TEST(KeyTranslation, DerivesTextFromTheCodeAndScansTheLayoutForCodesWithoutAKey)
{
  struct Case
  {
    char16_t key;
    int code;
    const char* text;
    int vk;
  } cases[] = {
      {0, 145, "A", 65},         // letter sent as a code only
      {0, 128, "0", 48},         // digit likewise
      {0, 7, " ", 32},           // space
      {0, 54, "", 16},           // shift alone: no text
      {u'a', 145, "a", 65},      // the typed character wins over the code's
      {u'\u00e9', 0, "", 0x100}, // two UTF-8 bytes: no text, the layout is asked for nothing
      {u'=', 57, "=", 0x13D},    // equals goes to the layout
      {u'?', 0, "?", -1},        // no key types it: sign-extended
      {0, 12, "", 38},           // up arrow
  };
  for (const Case& c : cases)
  {
    const IKeyStroke k = Translate(c.key, c.code);
    EXPECT_STREQ(k.utf8, c.text) << c.code;
    EXPECT_EQ(k.vk, c.vk) << c.code;
  }

  gScans = 0;
  Translate(u'=', 57);
  EXPECT_EQ(gScanned, '=');
  Translate(0, 0);
  EXPECT_EQ(gScanned, '\0');
  Translate(u'x', 145);
  EXPECT_EQ(gScans, 2) << "only codes 0 and 57 ask the layout";
}

TEST(KeyTranslation, TakesModifierBitsAndPassesOnlyTheSpaceBarInHostOne)
{
  const IKeyStroke all =
      Translate(u'a', 145, Steinberg::kShiftKey | Steinberg::kAlternateKey | Steinberg::kCommandKey);
  EXPECT_TRUE(all.shift && all.alt && all.ctrl);
  const IKeyStroke control = Translate(u'a', 145, Steinberg::kControlKey);
  EXPECT_FALSE(control.shift || control.alt || control.ctrl) << "ctrl comes from the command bit";
  const IKeyStroke alt = Translate(u'a', 145, Steinberg::kAlternateKey);
  EXPECT_TRUE(alt.alt && !alt.ctrl && !alt.shift);

  IKeyStroke out;
  out.vk = 99;
  EXPECT_FALSE(TranslateHostKey(1, 0, Steinberg::KEY_RETURN, 0, out, FakeScan));
  EXPECT_FALSE(TranslateHostKey(1, u'a', 145, 0, out, FakeScan));
  EXPECT_EQ(out.vk, 99) << "a refused key leaves the record alone";
  const IKeyStroke space = Translate(0, Steinberg::KEY_SPACE, Steinberg::kShiftKey, 1);
  EXPECT_EQ(space.vk, 32);
  EXPECT_STREQ(space.utf8, " ");
  EXPECT_TRUE(space.shift);
}
