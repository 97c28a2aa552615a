#include "framework/core/IParam.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/ITextEntryControl.h"
#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/RecordingGraphics.h"
#include "tests/support/graphics/TestEditorDelegate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace iplug::igraphics
{
namespace
{

using gfxtest::LoggingControl;
using gfxtest::RecordingGraphics;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

enum
{
  kModel,
  kDrive,
  kBypass,
};

class IGraphicsPromptsTest : public ::testing::Test
{
protected:
  IGraphicsPromptsTest()
  {
    dlg.GetParam(kModel)->ConfigureEnum(
        "Model", 2, {"Tube", "Transformer", "Tape", "Germanium Fuzz", "Silicon Fuzz", "Diode Clip"});
    dlg.GetParam(kDrive)->ConfigureDouble("Drive", 3.5, 0.0, 10.0, 0.1, "dB");
    dlg.GetParam(kBypass)->ConfigureBool("Bypass", false, "", 0, "", "Off", "On");
  }

  LoggingControl* Add(const char* name, std::vector<int> params, bool prompting = true)
  {
    auto* c = new LoggingControl({10, 10, 50, 30}, std::move(params), log, name);
    c->SetValuePromptingOff(!prompting);
    g.AddControl(c);
    return c;
  }

  static IPointerEvent Press(float x, float y)
  {
    IPointerEvent p;
    p.x = x;
    p.y = y;
    p.ms = IModifierState(true);
    return p;
  }

  gfxtest::EventLog log;
  gfxtest::TestEditorDelegate dlg{4, log};
  RecordingGraphics g{&dlg, 200, 100};
};

TEST_F(IGraphicsPromptsTest, NamedValuesOpenAMenuWithTheCurrentOneChecked)
{
  auto* c = Add("model", {kModel});
  g.popupAnswers = {4};
  c->PromptForValue(0);
  ASSERT_EQ(g.shownMenus.size(), 1u);
  const gfxtest::ShownMenu& menu = g.shownMenus[0];
  EXPECT_EQ(menu.title, "Model");
  EXPECT_THAT(menu.items,
              ElementsAre("Tube", "Transformer", "Tape", "Germanium Fuzz", "Silicon Fuzz", "Diode Clip"));
  EXPECT_THAT(menu.flags, ElementsAre(0, 0, IMenuEntry::kChecked, 0, 0, 0));
  EXPECT_EQ(menu.bounds, c->GetBounds()) << "parameters with names prompt over the whole control";
  // No press began a gesture: the choice is applied without any begin or end.
  EXPECT_THAT(log, ElementsAre("menu:4 model", "set 0 0.8"));

  // Switches with names get a menu too.
  log.clear();
  auto* bypass = Add("bypass", {kBypass});
  g.popupAnswers = {-1};
  bypass->PromptForValue(0);
  EXPECT_THAT(g.shownMenus.back().items, ElementsAre("Off", "On"));
  EXPECT_THAT(g.shownMenus.back().flags, ElementsAre(IMenuEntry::kChecked, 0));
  EXPECT_THAT(log, ElementsAre("menu:-99 bypass"));

  // Prompting off: nothing at all.
  log.clear();
  auto* quiet = Add("quiet", {kModel}, false);
  quiet->MarkClean();
  quiet->PromptForValue(0);
  EXPECT_EQ(g.shownMenus.size(), 2u);
  EXPECT_FALSE(quiet->IsDirty());
}

TEST_F(IGraphicsPromptsTest, AMenuFromAPressEndsExactlyThatPressesGestures)
{
  auto* c = Add("model", {kModel});
  c->onDown = [](LoggingControl* self) { self->PromptForValue(0); };
  g.popupAnswers = {1};
  g.OnMouseDown({Press(20, 20)});
  g.OnMouseUp({Press(20, 20)});
  EXPECT_THAT(log, ElementsAre("begin 0", "down model", "lost model", "menu:1 model", "set 0 0.2", "end 0"));

  // Dismissed: nothing applied, the gesture still ends.
  log.clear();
  g.popupAnswers = {-1};
  g.OnMouseDown({Press(20, 20)});
  g.OnMouseUp({Press(20, 20)});
  EXPECT_THAT(log, ElementsAre("begin 0", "down model", "lost model", "menu:-99 model", "end 0"));
}

TEST_F(IGraphicsPromptsTest, ALatePresenterEndsThroughTheSameSteps)
{
  auto* c = Add("model", {kModel});
  c->onDown = [](LoggingControl* self) { self->PromptForValue(0); };
  g.popupAnswers = {RecordingGraphics::kAnswerLater};
  g.OnMouseDown({Press(20, 20)});
  g.OnMouseUp({Press(20, 20)});
  EXPECT_THAT(log, ElementsAre("begin 0", "down model", "lost model"));
  g.CompleteLater(5);
  EXPECT_THAT(log, ElementsAre("begin 0", "down model", "lost model", "menu:5 model", "set 0 1", "end 0"));

  // The controls go away while a menu is still open: its gestures end, and the late answer finds no one.
  log.clear();
  g.popupAnswers = {RecordingGraphics::kAnswerLater};
  g.OnMouseDown({Press(20, 20)});
  g.RemoveAllControls();
  EXPECT_THAT(log, ElementsAre("begin 0", "down model", "lost model", "end 0"));
  g.CompleteLater(1);
  EXPECT_THAT(log, ElementsAre("begin 0", "down model", "lost model", "end 0"));
}

TEST_F(IGraphicsPromptsTest, MenusBuiltByControlsAndSubmenus)
{
  auto* c = Add("presets", {});
  IPopupMenu* chosenIn = nullptr;
  auto* sub = new IPopupMenu("Factory", {"Warm", "Hot"}, [&chosenIn](IPopupMenu* m) { chosenIn = m; });
  IPopupMenu menu("Presets", {"Init"});
  menu.AddItem(new IMenuEntry("Factory", sub));
  g.popupAnswers = {0};
  g.ShowPopupMenu(c, menu, {0, 0, 10, 10}, 0);
  EXPECT_EQ(menu.GetChosenItemIdx(), 0);
  EXPECT_THAT(log, ElementsAre("menu:0 presets")) << "no parameter: the control only hears of the choice";
  EXPECT_EQ(chosenIn, nullptr);
}

TEST_F(IGraphicsPromptsTest, NumbersOpenATextFieldAndCommitThroughTheParameter)
{
  auto* c = Add("drive", {kDrive});
  c->SetPromptShowsParamLabel(true);
  c->MarkClean();
  c->PromptForValue(0);
  ASSERT_EQ(g.textEntries.size(), 1u);
  const gfxtest::ShownTextEntry& entry = g.textEntries[0];
  EXPECT_EQ(entry.text, "3.5 dB");
  EXPECT_EQ(entry.paramIdx, kDrive);
  EXPECT_EQ(entry.length, 7);
  EXPECT_EQ(entry.bounds, (IBounds{10, 12, 50, 28})) << "a 40 x 16 box centred on the control";
  EXPECT_TRUE(c->IsDirty()) << "dirty before any text is typed";
  EXPECT_EQ(g.GetTextEntryTarget(), c);

  g.CommitTextEntry("12");
  EXPECT_THAT(log, ElementsAre("set 1 1")) << "constrained to the range, then normalised";
  EXPECT_EQ(g.GetTextEntryTarget(), nullptr);
  g.CommitTextEntry("5"); // no entry open: nothing
  EXPECT_EQ(log.size(), 1u);

  // A slot without a parameter receives the raw text.
  log.clear();
  auto* raw = Add("raw", {});
  g.ShowTextEntry(raw, DEFAULT_TEXT, {0, 0, 10, 10}, "", kAllSlots);
  EXPECT_EQ(g.textEntries.back().paramIdx, -1);
  g.CommitTextEntry("abc");
  EXPECT_THAT(log, ElementsAre("text:abc raw"));
}

TEST_F(IGraphicsPromptsTest, TheEditorsOwnFieldOpensCommitsAndCancels)
{
  g.AddTextEntryControl();
  ITextEntryControl* field = g.GetTextEntryControl();
  auto* c = Add("drive", {kDrive});
  c->PromptForValue(0);
  EXPECT_TRUE(g.textEntries.empty()) << "the platform field is not used";
  ASSERT_TRUE(field->IsEditing());
  EXPECT_EQ(field->GetText(), "3.5");
  EXPECT_EQ(field->GetBounds(), (IBounds{10, 12, 50, 28}));

  // Typing replaces the selected text; Return commits it.
  EXPECT_TRUE(g.OnKeyDown(30, 20, IKeyStroke("7", '7', false, false, false)));
  EXPECT_TRUE(g.OnKeyDown(30, 20, IKeyStroke("", 13, false, false, false)));
  EXPECT_FALSE(field->IsEditing());
  EXPECT_TRUE(field->GetBounds().Empty());
  EXPECT_THAT(log, ElementsAre("set 1 0.7"));

  // Escape closes without applying; the target is forgotten.
  log.clear();
  c->PromptForValue(0);
  EXPECT_FALSE(g.OnKeyDown(30, 20, IKeyStroke("", 9, false, false, false))) << "Tab is left to the host";
  g.OnKeyDown(30, 20, IKeyStroke("", 27, false, false, false));
  EXPECT_FALSE(field->IsEditing());
  EXPECT_EQ(g.GetTextEntryTarget(), nullptr);
  EXPECT_THAT(log, IsEmpty());

  // A click anywhere else commits.
  c->PromptForValue(0);
  g.OnKeyDown(30, 20, IKeyStroke("2", '2', false, false, false));
  g.OnMouseDown({Press(150, 80)});
  g.OnMouseUp({Press(150, 80)});
  EXPECT_THAT(log, ElementsAre("set 1 0.2"));
  EXPECT_FALSE(field->IsEditing());

  // Removing the controls forgets the field's target too.
  c->PromptForValue(0);
  g.RemoveAllControls();
  EXPECT_EQ(g.GetTextEntryTarget(), nullptr);
  g.CommitTextEntry("1");
  EXPECT_THAT(log, ElementsAre("set 1 0.2"));
}

} // namespace
} // namespace iplug::igraphics
