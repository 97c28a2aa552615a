#include "framework/core/IParam.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/ITextEntryControl.h"
#include "framework/graphics/TextEntryConversions.h"
#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/RecordingGraphics.h"
#include "tests/support/graphics/TestEditorDelegate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

namespace iplug::igraphics
{
namespace
{

using gfxtest::LoggingControl;
using gfxtest::RecordingGraphics;
using ::testing::Contains;
using ::testing::Not;

IKeyStroke Key(int vk, const char* text = "", bool shift = false, bool ctrl = false)
{
  IKeyStroke key(nullptr, vk, shift, ctrl, false);
  std::memcpy(key.utf8, text, std::min(std::strlen(text), sizeof(key.utf8) - 1));
  return key;
}

IKeyStroke Char(char c)
{
  const char text[2] = {c, 0};
  int vk = c;
  if (c >= 'a' && c <= 'z')
    vk = c - 'a' + 'A';
  else if (c == '.')
    vk = 0xBE;
  else if (c == ',')
    vk = 0xBC;
  else if (c == '-')
    vk = 0xBD;
  return Key(vk, text);
}

IPointerEvent Press(float x, float y, bool right = false)
{
  IPointerEvent p;
  p.x = x;
  p.y = y;
  p.ms = IModifierState(!right, right);
  return p;
}

void WaitMs(int ms)
{
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class ITextEntryControlTest : public ::testing::Test
{
protected:
  ITextEntryControlTest()
  {
    dlg.GetParam(0)->ConfigureDouble("gain", 0.0, -10.0, 10.0, 0.1);
    dlg.GetParam(1)->ConfigureEnum("mode", 0, {"a", "b", "c"});
    dlg.GetParam(2)->ConfigureBool("on", false);
    g.AddTextEntryControl();
    entry = g.GetTextEntryControl();
    plain = Add("plain", {});
    onDouble = Add("double", {0});
    onEnum = Add("enum", {1});
  }

  LoggingControl* Add(const char* name, std::vector<int> params)
  {
    auto* c = new LoggingControl({0, 0, 10, 10}, std::move(params), log, name);
    g.AddControl(c);
    return c;
  }

  void Open(IControl* target, const char* text) { g.ShowTextEntry(target, style, field, text, 0); }

  bool Type(const char* keys)
  {
    bool all = true;
    for (const char* k = keys; *k; ++k)
      all = entry->OnKeyDown(0, 0, Char(*k)) && all;
    return all;
  }

  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{3, log};
  RecordingGraphics g{&dlg, 200, 100};
  ITextEntryControl* entry = nullptr;
  LoggingControl* plain = nullptr;
  LoggingControl* onDouble = nullptr;
  LoggingControl* onEnum = nullptr;
  ITextStyle style{14.f, kAlignCenter, kAlignCenter};
  IBounds field{20, 20, 120, 40};
};

TEST_F(ITextEntryControlTest, TypingReplacesTheSelectionAndUndoRedoesIt)
{
  Open(onDouble, "12.5");
  ASSERT_TRUE(entry->IsEditing());
  EXPECT_EQ(entry->GetBounds(), field);
  EXPECT_EQ(entry->GetTextStyle().colour, style.entryForeground);
  EXPECT_EQ(entry->GetSelectionStart(), 0);
  EXPECT_EQ(entry->GetSelectionEnd(), 4);
  EXPECT_EQ(entry->GetCursor(), 0);

  EXPECT_TRUE(Type("7"));
  EXPECT_EQ(entry->GetText(), "7");
  EXPECT_TRUE(Type(".25"));
  EXPECT_EQ(entry->GetText(), "7.25");

  // Editing keys: Backspace, Home, shift-selection, Delete, End.
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key(8)));
  EXPECT_EQ(entry->GetText(), "7.2");
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key(36)));
  EXPECT_EQ(entry->GetCursor(), 0);
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key(39, "", true)));
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key(39, "", true)));
  EXPECT_EQ(entry->GetSelectionEnd() - entry->GetSelectionStart(), 2);
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key(46)));
  EXPECT_EQ(entry->GetText(), "2");
  EXPECT_FALSE(entry->OnKeyDown(0, 0, Key(33))) << "Page Up has no action";
  EXPECT_FALSE(entry->OnKeyDown(0, 0, Key(34)));
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key(35)));
  EXPECT_TRUE(Type("0"));
  EXPECT_EQ(entry->GetText(), "20");

  // Insert mode overwrites the character under the cursor.
  entry->OnKeyDown(0, 0, Key(36));
  entry->OnKeyDown(0, 0, Key(45));
  EXPECT_TRUE(Type("5"));
  EXPECT_EQ(entry->GetText(), "50");
  entry->OnKeyDown(0, 0, Key(45));

  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key('Z', "", false, true)));
  EXPECT_EQ(entry->GetText(), "20");
  entry->OnKeyDown(0, 0, Key('Z', "", false, true));
  EXPECT_EQ(entry->GetText(), "2");
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key('Z', "", true, true)));
  EXPECT_EQ(entry->GetText(), "20");

  // Ctrl+A selects everything, Ctrl+Left moves by words and types nothing.
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key('A', "a", false, true)));
  EXPECT_EQ(entry->GetSelectionEnd(), 2);
  entry->OnKeyDown(0, 0, Key(35));
  entry->OnKeyDown(0, 0, Key(37, "", false, true));
  EXPECT_EQ(entry->GetCursor(), 0);
  EXPECT_EQ(entry->GetText(), "20");
}

TEST_F(ITextEntryControlTest, KeysAreFilteredByTheTargetParameter)
{
  Open(onEnum, "1");
  EXPECT_FALSE(Type("a"));
  EXPECT_FALSE(Type("."));
  EXPECT_FALSE(entry->OnKeyDown(0, 0, Key('1', "!", true))) << "a shifted digit key is no digit";
  EXPECT_EQ(entry->GetText(), "1");
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key(0x65, "5"))) << "keypad digits";
  EXPECT_TRUE(Type("-"));
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key(0xBB, "+", true)));
  EXPECT_EQ(entry->GetText(), "5-+");
  EXPECT_FALSE(entry->OnKeyDown(0, 0, Key(9))) << "Tab is left to the host";

  Open(onDouble, "0");
  EXPECT_FALSE(Type(","));
  EXPECT_TRUE(Type("1.5"));
  EXPECT_EQ(entry->GetText(), "1.5");

  Open(plain, "");
  EXPECT_TRUE(Type("ab,c"));
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key(32, " ")));
  EXPECT_EQ(entry->GetText(), "ab,c ");

  // A field opened by nobody types nothing.
  entry->Dismiss();
  entry->Open(-1, style, field, 7, "x");
  EXPECT_FALSE(Type("y"));
  EXPECT_EQ(entry->GetText(), "x");
}

TEST_F(ITextEntryControlTest, ReturnAndClickOutsideCommitEscapeCancels)
{
  Open(plain, "abc");
  Type("xyz");
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key(13)));
  EXPECT_THAT(log, Contains("text:xyz plain"));
  EXPECT_FALSE(entry->IsEditing());
  EXPECT_TRUE(entry->GetBounds().Empty());
  EXPECT_TRUE(entry->GetTargetBounds().Empty());
  EXPECT_EQ(g.GetTextEntryTarget(), nullptr);

  log.clear();
  Open(plain, "keep");
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key(27)));
  EXPECT_FALSE(entry->IsEditing());
  EXPECT_EQ(g.GetTextEntryTarget(), nullptr);
  EXPECT_THAT(log, Not(Contains("text:keep plain")));

  // While open the field takes every press; one outside it commits.
  Open(plain, "out");
  g.OnMouseDown({Press(150, 80)});
  EXPECT_THAT(log, Contains("text:out plain"));
  EXPECT_FALSE(entry->IsEditing());
  // Its release finds the field closed: no caret blink starts again.
  g.OnMouseUp({Press(150, 80)});
  EXPECT_FALSE(entry->HasAnimation());

  // A press inside places the cursor by the measured widths: "1234" is 28 wide, centred at 70.
  Open(plain, "1234");
  g.OnMouseDown({Press(56.f + 2 * 7.f + 1.f, 30)});
  g.OnMouseUp({Press(56.f + 2 * 7.f + 1.f, 30)});
  EXPECT_TRUE(entry->IsEditing());
  EXPECT_EQ(entry->GetCursor(), 2);
  EXPECT_EQ(entry->GetSelectionStart(), entry->GetSelectionEnd());
  // A drag selects from the press to the pointer.
  entry->OnMouseDown(57.f, 30, IModifierState(true));
  entry->OnMouseDrag(56.f + 3 * 7.f + 1.f, 30, 1, 0, IModifierState(true));
  EXPECT_EQ(std::min(entry->GetSelectionStart(), entry->GetSelectionEnd()), 0);
  EXPECT_EQ(std::max(entry->GetSelectionStart(), entry->GetSelectionEnd()), 3);
  entry->OnMouseDoubleClick(60, 30, IModifierState(true));
  EXPECT_EQ(entry->GetSelectionEnd() - entry->GetSelectionStart(), 4);
}

TEST_F(ITextEntryControlTest, ClipboardAndTheContextMenu)
{
  Open(plain, "hello");
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key('C', "", false, true)));
  EXPECT_EQ(g.clipboard, "hello");
  entry->OnKeyDown(0, 0, Key(36));
  entry->OnKeyDown(0, 0, Key(39, "", true));
  entry->OnKeyDown(0, 0, Key(39, "", true));
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key('X', "", false, true)));
  EXPECT_EQ(g.clipboard, "he");
  EXPECT_EQ(entry->GetText(), "llo");

  // A pasted text keeps its first line only.
  g.clipboard = "12\r\n34";
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key('V', "", false, true)));
  EXPECT_EQ(entry->GetText(), "12llo");
  g.clipboardHasText = false;
  entry->Paste();
  EXPECT_EQ(entry->GetText(), "12llo");
  g.clipboardHasText = true;

  // Right press inside: "Cut", "Copy", "Paste" at the pointer; choosing Paste pastes into this field.
  g.clipboard = "Z";
  g.popupAnswers = {2};
  g.OnMouseDown({Press(30, 30, true)});
  ASSERT_EQ(g.shownMenus.size(), 1u);
  EXPECT_EQ(g.shownMenus[0].title, "");
  EXPECT_EQ(g.shownMenus[0].items, (std::vector<std::string>{"Cut", "Copy", "Paste"}));
  EXPECT_EQ(g.shownMenus[0].bounds, IBounds(30, 30, 30, 30));
  EXPECT_EQ(entry->GetText(), "12Zllo");
  EXPECT_TRUE(entry->IsEditing());
}

TEST_F(ITextEntryControlTest, TheMenuFollowsTheFieldAcrossEditorReopens)
{
  // Each editor's field shows its own menu: a choice made after the first editor is gone reaches the
  // field that showed it, never a deleted one (the sanitizer build watches).
  for (int round = 0; round < 2; ++round)
  {
    auto other = std::make_unique<RecordingGraphics>(&dlg, 200, 100);
    other->AddTextEntryControl();
    auto* target = new LoggingControl({0, 0, 10, 10}, {}, log, "other");
    other->AddControl(target);
    other->ShowTextEntry(target, style, field, "ab", 0);
    ITextEntryControl* field2 = other->GetTextEntryControl();
    other->clipboard = "Q";
    other->popupAnswers = {RecordingGraphics::kAnswerLater};
    field2->OnMouseDown(30, 30, IModifierState(false, true));
    ASSERT_NE(other->pendingMenu, nullptr);
    other->CompleteLater(2);
    EXPECT_EQ(field2->GetText(), "Q") << "round " << round;
  }
  // The first editor's field is untouched by all of that.
  Open(plain, "mine");
  g.clipboard = "!";
  g.popupAnswers = {2};
  entry->OnMouseDown(30, 30, IModifierState(false, true));
  EXPECT_EQ(entry->GetText(), "!");
}

TEST_F(ITextEntryControlTest, CharactersOutsideTheBasicPlaneStayWhole)
{
  const char* face = "a\xF0\x9F\x98\x80"
                     "b"; // a, U+1F600, b
  Open(plain, face);
  ASSERT_EQ(entry->GetUnits().size(), 4u);
  EXPECT_EQ(entry->GetUnits()[1], 0xD83D);
  EXPECT_EQ(entry->GetUnits()[2], 0xDE00);
  EXPECT_EQ(entry->GetText(), face);

  // Typed as one key it goes in as one pair, and one undo takes it out again.
  entry->OnKeyDown(0, 0, Key(35));
  EXPECT_TRUE(entry->OnKeyDown(0, 0, Key(0, "\xF0\x9F\x98\x80")));
  EXPECT_EQ(entry->GetText(), std::string(face) + "\xF0\x9F\x98\x80");
  entry->OnKeyDown(0, 0, Key('Z', "", false, true));
  EXPECT_EQ(entry->GetText(), face);
}

TEST_F(ITextEntryControlTest, WidthsCountKerningAndPlaceSelectionAndCaret)
{
  g.metrics.SetKerning('A', 'V', -2.f);
  Open(plain, "AVA");
  EXPECT_FLOAT_EQ(entry->GetCharWidth(0), 7.f);
  EXPECT_FLOAT_EQ(entry->GetCharWidth(1), 5.f);
  EXPECT_FLOAT_EQ(entry->GetCharWidth(2), 7.f);
  EXPECT_FLOAT_EQ(entry->GetCharWidth(3), 0.f);

  // Selected: background, highlight at 0.2 over the text's 19 units (x0 = 70 - 9.5), then the text.
  g.ClearCalls();
  entry->Draw(g);
  std::vector<const gfxtest::DrawCall*> fills;
  for (const auto& c : g.calls)
    if (c.op == gfxtest::Op::Fill) fills.push_back(&c);
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_FALSE(fills[0]->hasBlend && fills[0]->blend.weight != 1.f);
  ASSERT_TRUE(fills[1]->hasBlend);
  EXPECT_FLOAT_EQ(fills[1]->blend.weight, 0.2f);
  EXPECT_EQ(g.Count(gfxtest::Op::Text), 1);
  float lo = 1e9f, hi = -1e9f;
  bool afterFirstFill = false;
  for (const auto& c : g.calls)
  {
    if (&c == fills[0]) afterFirstFill = true;
    if (&c == fills[1]) break;
    if (afterFirstFill && (c.op == gfxtest::Op::MoveTo || c.op == gfxtest::Op::LineTo))
      lo = std::min(lo, c.a[0]), hi = std::max(hi, c.a[0]);
  }
  EXPECT_FLOAT_EQ(lo, 60.5f);
  EXPECT_FLOAT_EQ(hi, 79.5f);

  // Caret at the end, no selection: a one-unit bar at the rounded position.
  entry->OnKeyDown(0, 0, Key(35));
  g.ClearCalls();
  entry->Draw(g);
  lo = 1e9f, hi = -1e9f;
  bool afterText = false;
  for (const auto& c : g.calls)
  {
    afterText = afterText || c.op == gfxtest::Op::Text;
    if (afterText && (c.op == gfxtest::Op::MoveTo || c.op == gfxtest::Op::LineTo))
      lo = std::min(lo, c.a[0]), hi = std::max(hi, c.a[0]);
  }
  EXPECT_FLOAT_EQ(lo, 79.f);
  EXPECT_FLOAT_EQ(hi, 80.f);

  // A closed field draws nothing and drops its blink.
  entry->Dismiss();
  g.ClearCalls();
  entry->Draw(g);
  EXPECT_TRUE(g.calls.empty());
  EXPECT_FALSE(entry->HasAnimation());
}

TEST_F(ITextEntryControlTest, TheCaretBlinksHalfASecondOnHalfOff)
{
  Open(plain, "1");
  entry->OnKeyDown(0, 0, Key(35));
  EXPECT_TRUE(entry->IsCaretVisible());
  ASSERT_TRUE(entry->HasAnimation());
  entry->Animate();
  EXPECT_TRUE(entry->IsCaretVisible());
  WaitMs(600);
  entry->Animate();
  EXPECT_FALSE(entry->IsCaretVisible());
  WaitMs(500);
  entry->Animate(); // past the period: shown again, and a new period starts
  EXPECT_TRUE(entry->IsCaretVisible());
  EXPECT_LT(entry->GetAnimationProgress(), 0.5);
  // A change shows it at once.
  WaitMs(600);
  entry->Animate();
  EXPECT_FALSE(entry->IsCaretVisible());
  entry->OnMouseUp(30, 30, IModifierState(true));
  EXPECT_TRUE(entry->IsCaretVisible());
}

TEST(TextEntryConversionsTest, ForgivingUtf8AndUtf16)
{
  EXPECT_EQ(Utf8ToUtf16Text(nullptr), u"");
  EXPECT_EQ(Utf8ToUtf16Text("A\xC3\xA9\xE2\x82\xAC"), u"A\u00E9\u20AC");
  EXPECT_EQ(Utf8ToUtf16Text("\xF0\x9F\x98\x80"), u"\xD83D\xDE00");
  // Overlong and stray bytes are kept as single units of the same value.
  EXPECT_EQ(Utf8ToUtf16Text("\xC0\xAF"
                            "x"),
            std::u16string({0xC0, 0xAF, u'x'}));
  EXPECT_EQ(Utf8ToUtf16Text("\x80"), std::u16string({0x80}));
  // Beyond U+10FFFF: low 16 bits; 5- and 6-byte forms: one '_'.
  EXPECT_EQ(Utf8ToUtf16Text("\xF4\x90\x80\x81"), std::u16string({0x0001}));
  EXPECT_EQ(Utf8ToUtf16Text("\xF8\x88\x80\x80\x80"
                            "a"),
            u"_a");
  EXPECT_EQ(Utf8ToUtf16Text("\xFC\x84\x80\x80\x80\x80"), u"_");

  EXPECT_EQ(Utf16ToUtf8Text(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8Text(std::u16string({0xD83D, u'a'})), "\xED\xA0\xBD"
                                                             "a")
      << "lone surrogate kept";

  char out[5];
  EXPECT_EQ(CodepointToUtf8(0x20AC, out, 5), 3);
  EXPECT_STREQ(out, "\xE2\x82\xAC");
  EXPECT_EQ(CodepointToUtf8(0x20AC, out, 3), 1) << "does not fit with its terminator";
  EXPECT_STREQ(out, "_");
  EXPECT_EQ(CodepointToUtf8(0x1F600, out, 5), 4);
  EXPECT_EQ(CodepointToUtf8(0x200000, out, 5), 1);
  EXPECT_STREQ(out, "_");
  EXPECT_EQ(CodepointToUtf8(-5, out, 5), 1);
  EXPECT_STREQ(out, "") << "negative counts as 0";
  out[0] = 'x';
  EXPECT_EQ(CodepointToUtf8('a', out, 1), 0);
  EXPECT_EQ(out[0], '\0');

  EXPECT_EQ(DecodeKeyText("a"), 'a');
  EXPECT_EQ(DecodeKeyText("\xE2\x82\xAC"), 0x20AC);
  EXPECT_EQ(DecodeKeyText("\xF9\x80\x80\x80"), '_');
  EXPECT_EQ(DecodeKeyText("\xC0\x80"), 0xC0);
  EXPECT_EQ(DecodeKeyText(""), 0);
}

} // namespace
} // namespace iplug::igraphics
