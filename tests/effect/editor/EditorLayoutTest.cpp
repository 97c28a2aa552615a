// The whole editor as the layout builds it on the recording back end.
#include "effect/editor/EditorLayout.h"
#include "effect/editor/EditorStyle.h"
#include "effect/editor/QuorKnob.h"
#include "effect/editor/QuorValueEntry.h"
#include "effect/plugin/MakerInfo.h"
#include "framework/graphics/ICornerResizerControl.h"
#include "tests/effect/editor/EditorFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

namespace quorvel::test
{
namespace
{

struct Expected
{
  const char* type; // class name as it appears in the type's name
  gfx::IBounds bounds;
  int param;
  bool ignoresMouse;
  bool tooltip;
};

// clang-format off
const Expected kFixed[] = {
    {"QuorBackdrop", {0, 0, 980, 650}, -1, true, false},     {"QuorLogo", {24, 0, 234, 42}, -1, false, true},
    {"QuorModelMenu", {34, 110, 318, 145}, 0, false, true},  {"QuorPresetMenu", {600, 32, 826, 66}, -1, false, true},
    {"QuorButton", {835, 32, 883, 66}, -1, false, true},     {"QuorButton", {892, 32, 946, 66}, -1, false, true},
    {"QuorHero", {34, 159, 946, 311}, 0, true, false}};
const Expected kTail[] = {
    {"QuorButton", {34, 615, 190, 641}, 11, false, true},    {"QuorButton", {202, 615, 368, 641}, 12, false, true},
    {"QuorButton", {810, 615, 946, 641}, 13, false, true},   {"QuorSupportLink", {386, 627, 795, 648}, -1, false, true}};

// Knobs in layout order: parameter, caption, bounds written out by hand.
const struct
{
  int param;
  const char* caption;
  gfx::IBounds bounds;
} kKnobs[] = {
    {1, "DRIVE", {69, 330, 227, 479}},     {4, "TONE", {297, 330, 455, 479}},        {5, "MIX", {525, 330, 683, 479}},
    {3, "OUTPUT", {753, 330, 911, 479}},   {2, "INPUT", {49, 493, 171, 603}},        {6, "BIAS", {201, 493, 323, 603}},
    {7, "DYNAMICS", {353, 493, 475, 603}}, {10, "BASS PROTECT", {505, 493, 627, 603}}, {8, "LOW CUT", {657, 493, 779, 603}},
    {9, "HIGH CUT", {809, 493, 931, 603}}};
// clang-format on

void ExpectControl(OpenEditor& ed, int idx, const Expected& e)
{
  gfx::IControl* c = ed.graphics->GetControl(idx);
  ASSERT_NE(c, nullptr) << idx;
  EXPECT_NE(std::string(typeid(*c).name()).find(e.type), std::string::npos) << idx;
  EXPECT_EQ(c->GetBounds(), e.bounds) << idx;
  EXPECT_EQ(c->GetParamIndex(), e.param) << idx;
  EXPECT_EQ(c->GetIgnoreMouse(), e.ignoresMouse) << idx;
  EXPECT_EQ(*c->GetTooltip() != '\0', e.tooltip) << idx;
}

TEST(EditorLayout, ControlsInOrderWithTheirBoundsParametersAndTooltips)
{
  OpenEditor ed;
  ASSERT_EQ(ed.graphics->NControls(), kControlCount);
  for (int i = 0; i < 7; ++i)
    ExpectControl(ed, i, kFixed[i]);
  for (int i = 0; i < 4; ++i)
    ExpectControl(ed, kLevelMatchIdx + i, kTail[i]);
  for (int i = 0; i < 10; ++i)
  {
    auto* knob = ed.Get<QuorKnob>(kFirstKnobIdx + 2 * i);
    auto* entry = ed.Get<QuorValueEntry>(kFirstKnobIdx + 2 * i + 1);
    ASSERT_TRUE(knob && entry) << i;
    EXPECT_EQ(knob->GetParamIndex(), kKnobs[i].param);
    EXPECT_STREQ(knob->GetCaption(), kKnobs[i].caption);
    EXPECT_EQ(knob->GetBounds(), kKnobs[i].bounds);
    EXPECT_EQ(knob->IsFirstRow(), i < 4);
    EXPECT_EQ(knob->GetValueEntry(), entry);
    EXPECT_GT(std::string(knob->GetTooltip()).size(), 20u);
    EXPECT_TRUE(entry->GetBounds().Empty());
    EXPECT_TRUE(entry->GetIgnoreMouse());
    EXPECT_EQ(entry->GetParamIndex(), -1);
  }
  EXPECT_FALSE(ed.graphics->GetControl(kModelMenuIdx)->GetValuePromptingOff());
  EXPECT_STREQ(ed.graphics->GetControl(kLogoIdx)->GetTooltip(),
               "Visit keldrimax.com/quorvel for plug-ins, downloads and support.");

  gfx::ICornerResizerControl* resizer = ed.graphics->GetCornerResizer();
  ASSERT_NE(resizer, nullptr);
  EXPECT_EQ(resizer->GetBounds(), gfx::IBounds(960, 630, 980, 650));
  EXPECT_EQ(ed.graphics->GetCornerResizeMode(), gfx::kResizeScale);
  auto resizerColour = [&]()
  {
    ed.graphics->ClearCalls();
    ed.graphics->GetCornerResizer()->Draw(*ed.graphics);
    return ed.graphics->Last(gfxtest::Op::Fill)->pattern.stops[0].colour;
  };
  EXPECT_EQ(resizerColour(), EditorLine);
  ed.graphics->OnMouseOver(975.f, 645.f, {});
  EXPECT_EQ(resizerColour(), EditorAccent);
  ed.graphics->StartCornerResize();
  EXPECT_EQ(resizerColour(), EditorAccentDark);
  EXPECT_NE(ed.graphics->GetTextEntryControl(), nullptr);
  EXPECT_FLOAT_EQ(ed.graphics->GetMinScale(), 0.92f);
  EXPECT_FLOAT_EQ(ed.graphics->GetMaxScale(), 1.5f);
  EXPECT_TRUE(ed.graphics->TooltipsEnabled());
}

TEST(EditorLayout, FontRegisteredBeforeAnyTextAndUsedForAll)
{
  OpenEditor ed;
  ASSERT_EQ(ed.graphics->fontLoads.size(), 1u);
  EXPECT_EQ(ed.graphics->fontLoads[0].id, "KELDRIMAX");
  EXPECT_EQ(ed.graphics->fontLoads[0].name, "Roboto-Regular.ttf");
  EXPECT_EQ(ed.graphics->fontLoads[0].controls, 1); // only the backdrop, which draws later
  EXPECT_EQ(ed.graphics->fontLoads[0].texts, 0);
  gfx::IRectList all;
  all.Add(ed.graphics->GetBounds());
  ed.graphics->PaintRegions(all);
  ASSERT_GT(ed.graphics->Count(gfxtest::Op::Text), 30);
  for (const auto& t : ed.graphics->All(gfxtest::Op::Text))
    EXPECT_STREQ(t.style.font, "KELDRIMAX") << t.text;
}

TEST(EditorLayout, EmptySpaceAndTheMeterPanelTakeNoMouse)
{
  OpenEditor ed;
  for (auto [x, y] : {std::pair{500.f, 20.f}, {500.f, 240.f}, {186.f, 560.f}, {0.f, 0.f}})
    EXPECT_EQ(ed.graphics->FindControlAt(x, y, false), nullptr) << x << "," << y;
  EXPECT_EQ(ed.graphics->FindControlAt(148.f, 400.f, false), ed.graphics->GetControl(kFirstKnobIdx));
}

TEST(EditorLayout, LogoAndSupportLinkOpenTheMakerAddresses)
{
  OpenEditor ed;
  ed.Click(100.f, 20.f);
  EXPECT_TRUE(ed.Key(100.f, 20.f, 13));
  ed.Click(590.f, 637.f);
  EXPECT_TRUE(ed.Key(590.f, 637.f, 32));
  EXPECT_FALSE(ed.Key(590.f, 637.f, 'X'));
  const std::string web = kMakerWebAddress, mail = std::string("mailto:") + kMakerSupportEmail;
  EXPECT_EQ(ed.graphics->openedUrls, (std::vector<std::string>{web, web, mail, mail}));
  EXPECT_EQ(mail, "mailto:support@keldrimax.com");
  EXPECT_EQ(web, "https://keldrimax.com/quorvel");
}

TEST(EditorLayout, ReopeningBuildsOneSetOfControls)
{
  Quorvel effect{QuorvelInstanceInfo{}};
  gfxtest::RecordingGraphics* graphics = nullptr;
  effect.SetMakeGraphicsFunc([&]()
                             { return graphics = new gfxtest::RecordingGraphics(&effect, 980, 650, 30); });
  const int bitmapsBefore = gfxtest::FakeBitmap::Alive();
  for (int i = 0; i < 20; ++i)
  {
    ASSERT_NE(effect.OpenWindow(nullptr), nullptr);
    EXPECT_EQ(graphics->NControls(), kControlCount);
    effect.CloseWindow();
  }
  EXPECT_EQ(gfxtest::FakeBitmap::Alive(), bitmapsBefore);
}

TEST(EditorLayout, TheBackdropIsDrawnOnceIntoALayerPerScaleAndCopiedAtEveryRepaint)
{
  OpenEditor ed;
  // Titles drawn and layer copies over two repaints; the calls go first, as they name freed layers.
  const auto twoPaints = [&]
  {
    ed.graphics->ClearCalls();
    for (int i = 0; i < 2; ++i)
    {
      gfx::IRectList all;
      all.Add(ed.graphics->GetBounds());
      ed.graphics->PaintRegions(all);
    }
    int titles = 0, copies = 0;
    for (const auto& t : ed.graphics->All(gfxtest::Op::Text))
      titles += t.text == "QUORVEL";
    for (const auto& b : ed.graphics->All(gfxtest::Op::Bitmap))
      copies += static_cast<const gfxtest::FakeBitmap*>(b.bitmap)->origin == "layer";
    return std::pair{titles, copies};
  };
  EXPECT_EQ(twoPaints(), std::pair(1, 2));
  EXPECT_EQ(twoPaints(), std::pair(0, 2));
  ed.graphics->Resize(980, 650, 1.25f, false);
  EXPECT_EQ(twoPaints(), std::pair(1, 2));
  ed.graphics->layerBitmapsFail = true; // then drawn at every repaint
  ed.graphics->Resize(980, 650, 1.f, false);
  EXPECT_EQ(twoPaints(), std::pair(2, 0));
}

} // namespace
} // namespace quorvel::test
