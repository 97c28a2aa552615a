// The platform's decision logic, free of Win32: built and run in both trees.
#include "framework/graphics/platform/DialogText.h"
#include "framework/graphics/platform/DisplayTickDecision.h"
#include "framework/graphics/platform/KeyText.h"
#include "framework/graphics/platform/MenuPlan.h"
#include "framework/graphics/platform/PixelRects.h"
#include "framework/graphics/platform/PointerDecoding.h"
#include "framework/graphics/platform/TextEntryRules.h"
#include "framework/graphics/platform/VBlankLoop.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace iplug::igraphics
{
namespace
{

uintptr_t Words(int16_t low, int16_t high)
{
  return static_cast<uint16_t>(low) | (static_cast<uintptr_t>(static_cast<uint16_t>(high)) << 16);
}

TEST(PointerDecoding, MouseWordsAreSignedAndScaledWithTheirModifierBits)
{
  // Button and key bits in, the pressed ones out as letters: Left, Right, Shift, Control, Alt.
  const std::tuple<int16_t, int16_t, uintptr_t, bool, float, float, float, std::string> cases[] = {
      {30, 40, 0x1, false, 1.f, 30.f, 40.f, "L"},
      {-6, -1, 0x2 | 0x4, true, 2.f, -3.f, -0.5f, "RSA"},
      {-32768, 32767, 0x8, false, 1.f, -32768.f, 32767.f, "C"},
  };
  for (const auto& [x, y, buttons, alt, scale, ex, ey, pressed] : cases)
  {
    const IPointerEvent e = DecodeMouse(Words(x, y), buttons, alt, scale);
    const IModifierState& m = e.ms;
    EXPECT_EQ(std::vector<float>({e.x, e.y}), std::vector<float>({ex, ey})) << x;
    EXPECT_EQ(std::string(m.L ? "L" : "") + (m.R ? "R" : "") + (m.S ? "S" : "") + (m.C ? "C" : "") +
                  (m.A ? "A" : ""),
              pressed);
  }
  EXPECT_TRUE(IsPenOrTouchMessage(0xFF515780));
  EXPECT_FALSE(IsPenOrTouchMessage(0xFF515680));

  const std::pair<int16_t, int> wheel[] = {{60, 0}, {-60, 0}, {120, 1}, {-240, -2}, {359, 2}, {-119, 0}};
  for (const auto& [delta, notches] : wheel)
    EXPECT_EQ(WheelNotches(Words(0, delta)), notches) << delta;
}

TEST(PointerDecoding, TouchesSplitIntoDownsUpsAndMovesWithDistances)
{
  TouchTracker tracker;
  const TouchInput first[] = {
      {100, 50, 7, 0x1, false, 0.f}, // a move of an unknown touch has no distance
      {10, 20, 1, 0x2, true, 9.f},   // down with a contact size
      {30, 40, 2, 0x2, false, 9.f},  // down without one
  };
  TouchLists lists = tracker.Decode(first, 3, 2.f);
  ASSERT_EQ(lists.downs.size(), 2u);
  EXPECT_FLOAT_EQ(lists.downs[0].x, 5.f);
  EXPECT_EQ(std::vector<float>({lists.downs[0].ms.touchRadius, lists.downs[1].ms.touchRadius}),
            std::vector<float>({9.f, 0.f}));
  ASSERT_EQ(lists.moves.size(), 1u);
  EXPECT_EQ(lists.moves[0].dX, 0.f);

  const TouchInput second[] = {{16, 30, 1, 0x1, false, 0.f}, {30, 40, 2, 0x4, false, 0.f}};
  lists = tracker.Decode(second, 2, 2.f);
  ASSERT_EQ(lists.moves.size(), 1u);
  ASSERT_EQ(lists.ups.size(), 1u);
  EXPECT_EQ(std::vector<float>({lists.moves[0].dX, lists.moves[0].dY}), std::vector<float>({3.f, 5.f}));
  EXPECT_EQ(lists.moves[0].ms.touchId, 1);
  EXPECT_EQ(lists.ups[0].ms.touchId, 2);
  EXPECT_TRUE(lists.downs.empty());
  EXPECT_EQ(tracker.ActiveCount(), 2);
}

TEST(PixelRects, ConversionsRoundOutwardAndScalesBelowOneOpenAtOne)
{
  EXPECT_EQ(PixelRectToEditor({1, 2, 4, 5}, 1.5f), IBounds(0.f, 1.f, 3.f, 4.f));
  EXPECT_EQ(EditorToPixelRect({0.5f, 1.f, 10.1f, 20.f}, 1.5f), (PixelRect{0, 1, 16, 30}));
  EXPECT_EQ(EditorToPixelRect({-0.5f, 0.f, 1.f, 1.f}, 2.f), (PixelRect{-1, 0, 2, 2}));
  const std::pair<float, int> scales[] = {{0.75f, 1}, {1.f, 1}, {1.5f, 1}, {2.f, 2}, {0.f, 1}};
  for (const auto& [dpi, whole] : scales)
    EXPECT_EQ(OpeningDisplayScale(dpi), whole) << dpi;
}

TEST(KeyText, OneCharacterBecomesUtf8AndTwoGoToTheRootWindow)
{
  const std::tuple<int, std::u16string, bool, std::string> cases[] = {
      {0, u"", false, ""},
      {-1, u"^", false, ""}, // dead key: no text until the next key
      {1, u"a", false, "a"},
      {1, u"\u03A9", false, "\xCE\xA9"},
      {2, u"\U0001F600", false, "\xF0\x9F\x98\x80"},
      {2, u"ab", true, ""},
      {3, u"abc", true, ""},
  };
  for (const auto& [count, units, toRoot, text] : cases)
  {
    const KeyText k = KeyTextFromUnicode(count, units.c_str());
    EXPECT_EQ(std::make_pair(k.toRootWindow, std::string(k.utf8)), std::make_pair(toRoot, text)) << count;
  }
}

TickInputs Vblank(uint32_t message, uint32_t now)
{
  TickInputs in;
  in.useVBlank = true;
  in.messageCounter = message;
  in.tickCounter = now;
  return in;
}

TEST(DisplayTickDecision, StaleTicksAndTheCatchUpAfterASlowPaintDrawNothingAlsoAcrossTheWrap)
{
  TickSkip skip;
  EXPECT_EQ(DecideTick(Vblank(5, 5), skip), TickAction::Draw);
  EXPECT_EQ(DecideTick(Vblank(4, 5), skip), TickAction::Ignore);
  // The thread ticked twice while tick 5 painted: skip until the tick after 7.
  NoteSlowPaint(true, 5, 7, skip);
  EXPECT_EQ(DecideTick(Vblank(7, 7), skip), TickAction::Ignore);
  EXPECT_EQ(DecideTick(Vblank(8, 8), skip), TickAction::Draw);
  EXPECT_FALSE(skip.active);
  // A quick paint notes nothing; the timer path never skips.
  NoteSlowPaint(true, 9, 9, skip);
  NoteSlowPaint(false, 0, 9, skip);
  EXPECT_FALSE(skip.active);
  TickInputs timer;
  timer.tickCounter = 123;
  EXPECT_EQ(DecideTick(timer, skip), TickAction::Draw);

  EXPECT_TRUE(CounterAfter(2, 0xFFFFFFFEu));
  EXPECT_FALSE(CounterAfter(0xFFFFFFFEu, 2));
  NoteSlowPaint(true, 0xFFFFFFFDu, 0xFFFFFFFFu, skip);
  EXPECT_EQ(DecideTick(Vblank(0xFFFFFFFFu, 0xFFFFFFFFu), skip), TickAction::Ignore);
  EXPECT_EQ(DecideTick(Vblank(0, 0), skip), TickAction::Draw);
}

TEST(DisplayTickDecision, TextEntryStatesEndOrPauseDrawing)
{
  const std::tuple<bool, int32_t, TickAction> cases[] = {
      {true, kTextEntryIdle, TickAction::Draw},
      {true, kTextEntryFocused, TickAction::ResetTextEntryState},
      {true, kTextEntryDrawn, TickAction::ResetTextEntryState},
      {true, kTextEntryCancel, TickAction::CancelTextEntry},
      {true, kTextEntryCommit, TickAction::CommitTextEntry},
      {false, kTextEntryCommit, TickAction::Draw},
  };
  for (const auto& [open, state, action] : cases)
  {
    TickSkip skip;
    TickInputs in = Vblank(3, 3);
    in.textEntryOpen = open;
    in.textEntryState = state;
    EXPECT_EQ(DecideTick(in, skip), action) << state;
    in.messageCounter = 2; // a stale tick never ends an entry
    EXPECT_EQ(DecideTick(in, skip), TickAction::Ignore);
  }
}

TEST(DisplayTickDecision, ScaleFollowsOnlyWithoutCaptureAndTimerPeriodFollowsFrameRate)
{
  EXPECT_TRUE(ShouldFollowDisplayScale(false, 1.5f, 1.f));
  EXPECT_FALSE(ShouldFollowDisplayScale(true, 1.5f, 1.f));
  EXPECT_FALSE(ShouldFollowDisplayScale(false, 1.5f, 1.5f));
  EXPECT_FALSE(ShouldFollowDisplayScale(false, 0.75f, 1.f)); // below 1 stays at 1, as the window opened
  EXPECT_TRUE(ShouldFollowDisplayScale(false, 0.75f, 2.f));
  EXPECT_EQ(FollowedDisplayScale(0.75f), 1.f);
  EXPECT_EQ(std::vector<int>({TimerPeriodMs(30), TimerPeriodMs(60), TimerPeriodMs(0)}),
            std::vector<int>({33, 15, 15}));
}

// A scripted system: a clock that only sleeps move, adapter results from lists, and a log of calls.
class ScriptedVBlank : public IVBlankPlatform
{
public:
  ScriptedVBlank(std::vector<bool> opens, std::vector<bool> waits, int stopAfterPosts, bool functions = true)
      : mOpens(std::move(opens)), mWaits(std::move(waits)), mStopAfter(stopAfterPosts), mFunctions(functions)
  {
  }
  bool HasAdapterFunctions() override { return mFunctions; }
  bool OpenAdapter(void* window) override
  {
    EXPECT_EQ(window, reinterpret_cast<void*>(0x1234));
    log += "O";
    openTimes.push_back(now);
    return Next(mOpens);
  }
  bool WaitForVBlank() override { return log += "W", now += 16, Next(mWaits); }
  void CloseAdapter() override { log += "C"; }
  uint32_t TickCountMs() override { return now; }
  void SleepMs(uint32_t ms) override { log += "S", now += ms; }
  void PostTick(void*, uint32_t counter) override
  {
    counters.push_back(counter);
    if (static_cast<int>(counters.size()) == mStopAfter) shared->RequestStop();
  }

  std::string log;
  std::vector<uint32_t> counters, openTimes;
  uint32_t now = 5000;
  VBlankShared* shared = nullptr;

private:
  static bool Next(std::vector<bool>& results)
  {
    if (results.empty()) return true;
    const bool r = results.front();
    results.erase(results.begin());
    return r;
  }
  std::vector<bool> mOpens, mWaits;
  int mStopAfter;
  bool mFunctions;
};

// Runs the loop to its end and checks the script; the block frees the platform with it.
template <typename Check> void RunScript(ScriptedVBlank* platform, Check check)
{
  auto* shared =
      new VBlankShared(reinterpret_cast<void*>(0x1234), std::unique_ptr<IVBlankPlatform>(platform));
  platform->shared = shared;
  RunVBlankLoop(*shared);
  check(*platform, *shared);
  shared->Release();
}

TEST(VBlankLoop, FailedOpenTicksEvery16msAndRetriesAfterASecondAlsoAcrossTheClockWrap)
{
  for (const uint32_t start : {5000u, 0xFFFFFF00u})
  {
    auto* platform = new ScriptedVBlank({false, true}, {}, 70);
    platform->now = start;
    RunScript(platform,
              [](ScriptedVBlank& p, VBlankShared& shared)
              {
                ASSERT_EQ(p.openTimes.size(), 2u);
                EXPECT_GE(p.openTimes[1] - p.openTimes[0], kAdapterRetryMs);
                EXPECT_LT(p.openTimes[1] - p.openTimes[0], kAdapterRetryMs + 32);
                EXPECT_EQ(p.log.substr(0, 3), "OSS"); // between the opens: a sleep and a tick each 16 ms
                ASSERT_EQ(p.counters.size(), 70u);
                for (size_t i = 0; i < p.counters.size(); i++)
                  EXPECT_EQ(p.counters[i], i + 1);
                EXPECT_EQ(shared.Counter(), 70u);
                EXPECT_EQ(p.log.back(), 'C'); // the open adapter is closed when the loop ends
              });
  }
}

TEST(VBlankLoop, FailedWaitClosesSleepsAndReopensAndWithoutAdapterFunctionsItSleeps)
{
  RunScript(new ScriptedVBlank({}, {true, false, true}, 3),
            [](ScriptedVBlank& p, VBlankShared&) { EXPECT_EQ(p.log, "OWWCSOWC"); });
  RunScript(new ScriptedVBlank({}, {}, 4, false),
            [](ScriptedVBlank& p, VBlankShared&)
            {
              EXPECT_EQ(p.log, "SSSS");
              EXPECT_EQ(p.now, 5000u + 4 * 16);
            });
}

TEST(MenuPlan, LabelsAreNumberedCappedAndShowAmpersandsAndColumnsBreak)
{
  const std::tuple<const char*, int, int, std::string> cases[] = {
      {"Tube", 0, 4, "Tube"},      {"Tube", 1, 4, "5: Tube"}, {"Tube", 2, 11, "12: Tube"},
      {"Tube", 3, 0, "001: Tube"}, {"A & B", 0, 0, "A && B"}, {"&", 2, 0, "01: &&"},
      {nullptr, 0, 0, ""},
  };
  for (const auto& [text, prefix, index, label] : cases)
    EXPECT_EQ(MenuItemLabel(text, prefix, index), label) << label;
  const std::string longText(80, 'x');
  EXPECT_EQ(MenuItemLabel(longText.c_str(), 2, 0), "01: " + std::string(45, 'x'));
  EXPECT_EQ(MenuItemLabel(longText.c_str(), 0, 0), longText); // only numbered labels are capped
  // The cap never splits a character: "Ω" is two bytes and would straddle byte 49.
  EXPECT_EQ(MenuItemLabel((std::string(44, 'x') + "\xCE\xA9").c_str(), 2, 0), "01: " + std::string(44, 'x'));

  // Flags, and column breaks every n items but none from 160 items on.
  EXPECT_EQ(MenuItemFlags(12, 4, 4, IMenuEntry::kChecked), kMenuColumnBreak | kMenuChecked);
  EXPECT_EQ(MenuItemFlags(12, 4, 0, IMenuEntry::kDisabled), kMenuGrayed);
  EXPECT_EQ(MenuItemFlags(12, 4, 5, IMenuEntry::kInert), kMenuDisabled);
  EXPECT_EQ(MenuItemFlags(12, 0, 4, 0), 0u);
  for (int i = 1; i < 160; i++)
    EXPECT_EQ(MenuItemFlags(160, 10, i, 0), 0u) << i;
  EXPECT_EQ(MenuItemFlags(159, 10, 150, 0), kMenuColumnBreak);
}

TEST(MenuPlan, CommandIdsContinueIntoSubmenusAndMapBack)
{
  // Three items whose second holds two: the submenu's items are 3 and 4; a separator after them.
  IPopupMenu top(nullptr, {"one"});
  auto* sub = new IPopupMenu(nullptr, {"a", "b"});
  top.AddItem(new IMenuEntry("more", sub));
  top.AddItem("three");
  int counter = 0;
  const MenuPlan plan = PlanMenu(top, counter);
  EXPECT_EQ(plan.items[1].submenu->items[0].command, 3);
  EXPECT_EQ(plan.items[1].submenu->items[1].command, 4);
  top.AddSeparator();
  counter = 0;
  EXPECT_TRUE(PlanMenu(top, counter).items[3].separator);
  EXPECT_EQ(counter, 6);

  const std::tuple<int, IPopupMenu*, int> lookups[] = {{0, &top, 0}, {2, &top, 2},     {4, sub, 0},
                                                       {5, sub, 1},  {6, nullptr, -1}, {-1, nullptr, -1}};
  for (const auto& [command, menu, itemIndex] : lookups)
  {
    int index = -1, start = 0;
    EXPECT_EQ(FindMenuByCommand(command, index, start, top), menu) << command;
    EXPECT_EQ(index, itemIndex) << command;
  }
}

TEST(TextEntryRules, TypedCharactersAreFilteredByParameterTypeAndPlacedInPixels)
{
  const std::tuple<int32_t, uint32_t, bool> cases[] = {
      {2, 'a', false}, {2, '7', true},  {2, '-', true},    {2, 8, true},    {1, '.', false}, {3, '+', true},
      {4, '.', true},  {4, 'e', false}, {4, 0x3A9, false}, {-1, 'a', true}, {0, '.', true},
  };
  for (const auto& [type, ch, accepted] : cases)
    EXPECT_EQ(TextEntryAcceptsChar(type, ch), accepted) << type << " " << ch;
  EXPECT_EQ(std::vector<uint32_t>({TextEntryAlignmentStyle(0), TextEntryAlignmentStyle(2),
                                   TextEntryAlignmentStyle(1), TextEntryAlignmentStyle(7)}),
            std::vector<uint32_t>({0x0u, 0x2u, 0x1u, 0x1u}));

  const TextEntryGeometry g = ComputeTextEntryGeometry({10.f, 20.f, 110.f, 44.f}, 1.5f, 14.f, 1);
  // Text top (36 - 21) / 2 of a 21-pixel font centred in the field.
  EXPECT_EQ(
      std::vector<int32_t>({g.x, g.y, g.width, g.height, g.fontHeight, g.textTop, g.textRight, g.textBottom}),
      std::vector<int32_t>({15, 30, 151, 37, 21, 7, 151, 37}));
  EXPECT_TRUE(g.centreVertically);
  EXPECT_FALSE(ComputeTextEntryGeometry({0.f, 0.f, 10.f, 10.f}, 1.f, 14.f, 0).centreVertically);
}

TEST(DialogText, FileFiltersHaveNoFixedLimitPathsSplitInFoldersAndShellParameters)
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
  EXPECT_EQ(big.filter.substr(big.filter.size() - 15), std::string("*.extension99\0\0", 15));
  EXPECT_EQ(big.filter.size(), 2 * (big.filter.find('\0') + 1) + 1);
  EXPECT_EQ(BuildFileFilter("averyveryverylongextension").defaultExtension, "averyveryverylongextension");

  const std::pair<const char*, const char*> dirs[] = {
      {"C:\\a\\b.wav", "C:\\a\\"},
      {"C:\\b.wav", "C:\\"},
      {"\\\\server\\share\\\xCE\xA9.wav", "\\\\server\\share\\"},
      {"C:b.wav", "C:"},
      {"b.wav", ""}};
  for (const auto& [path, dir] : dirs)
    EXPECT_EQ(DirectoryOfPath(path), dir) << path;
  EXPECT_EQ(WithTrailingSeparator("C:\\Music"), "C:\\Music\\");
  EXPECT_EQ(WithTrailingSeparator("C:\\"), "C:\\");
  EXPECT_EQ(RevealParameters("C:\\a b\\c.wav", true), "/select,\"C:\\a b\\c.wav\"");
  EXPECT_EQ(RevealParameters("C:\\a", false), "\"C:\\a\"");
  for (const char* mail : {"mailto:support@example.com", "MAILTO:x"})
    EXPECT_TRUE(IsMailAddress(mail)) << mail;
  for (const char* other : {"https://example.com", "mail", static_cast<const char*>(nullptr)})
    EXPECT_FALSE(IsMailAddress(other));
}

} // namespace
} // namespace iplug::igraphics
