#include "framework/graphics/platform/PlatformTextEntry.h"

#include "framework/graphics/platform/GdiFonts.h"

#include <gtest/gtest.h>

#include <string>

namespace iplug::igraphics
{
namespace
{

struct EntryFixture : ::testing::Test
{
  void SetUp() override
  {
    parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_TRUE(parent);
  }
  void TearDown() override
  {
    entry.Destroy();
    DestroyWindow(parent);
  }
  bool Open(int32_t type, const char* text = "12", int maxLength = 300)
  {
    PlatformTextEntry::Options o;
    o.parent = parent;
    o.paramType = type;
    o.bounds = {10.f, 10.f, 110.f, 30.f};
    o.maxLength = maxLength;
    o.text = text;
    return entry.Create(o);
  }
  void Type(const wchar_t* chars)
  {
    for (const wchar_t* c = chars; *c; c++)
      SendMessageW(entry.Window(), WM_CHAR, *c, 0);
  }

  HWND parent = nullptr;
  PlatformTextEntry entry;
};

TEST_F(EntryFixture, FiltersTypedCharactersByParameterType)
{
  ASSERT_TRUE(Open(2, ""));
  EXPECT_FALSE(Open(2)); // a second request while open is ignored
  Type(L"1a.5\b7");
  EXPECT_STREQ(entry.ReadText().Get(), "17");
  entry.Destroy();

  ASSERT_TRUE(Open(4, ""));
  Type(L"-1.5x");
  EXPECT_STREQ(entry.ReadText().Get(), "-1.5");
  entry.Destroy();

  ASSERT_TRUE(Open(-1, ""));
  Type(L"\x03A9 dB");
  EXPECT_STREQ(entry.ReadText().Get(), "\xCE\xA9 dB");
  EXPECT_EQ(GetWindowLongPtrW(entry.Window(), GWLP_USERDATA), PlatformTextEntry::kUserDataMarker);
}

TEST_F(EntryFixture, KeysAndFocusOnlyChangeTheState)
{
  ASSERT_TRUE(Open(4));
  const struct
  {
    UINT msg;
    WPARAM w;
    int32_t state;
  } steps[] = {{WM_SETFOCUS, 0, kTextEntryFocused},
               {WM_KEYDOWN, VK_ESCAPE, kTextEntryCancel},
               {WM_KEYDOWN, VK_RETURN, kTextEntryCommit},
               {WM_SETFOCUS, 0, kTextEntryFocused},
               {WM_KILLFOCUS, 0, kTextEntryCommit},
               {WM_SETFOCUS, 0, kTextEntryFocused},
               {WM_COMMAND, MAKEWPARAM(0, 1), kTextEntryCommit}};
  for (const auto& s : steps)
  {
    SendMessageW(entry.Window(), s.msg, s.w, 0);
    EXPECT_EQ(entry.State(), s.state) << s.msg << " " << s.w;
  }
  EXPECT_STREQ(entry.ReadText().Get(), "12"); // Enter and Escape never reach the text
}

TEST_F(EntryFixture, ReadsAtMost255UnitsAndDeletesItsFontWithTheField)
{
  AddFontCacheUsers();
  CacheFontHandleCopy("Roboto-Regular", static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  const std::string longText(300, '7');
  ASSERT_TRUE(Open(-1, longText.c_str(), 400));
  EXPECT_EQ(entry.ReadText().GetLength(), 255);
  auto font = reinterpret_cast<HFONT>(SendMessageW(entry.Window(), WM_GETFONT, 0, 0));
  ASSERT_TRUE(font);
  EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  entry.Destroy();
  EXPECT_EQ(GetObjectType(font), 0u);
  RemoveFontCacheUsers();
}

} // namespace
} // namespace iplug::igraphics
