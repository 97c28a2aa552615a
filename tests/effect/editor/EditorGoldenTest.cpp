// The whole editor drawn through the NanoVG back end on the offscreen software-GL platform, with the real
// pictures, logo and font from the embedded store, compared with reference images in golden/.
// Regenerate the references (then look at them before committing) with:
//   QUORVEL_UPDATE_GOLDEN=1 ctest --preset native -R EditorGolden
#include "effect/editor/EditorStyle.h"
#include "effect/editor/QuorKnob.h"
#include "effect/editor/QuorLogo.h"
#include "framework/core/ResourceLookup.h"
#include "tests/effect/editor/EditorFixture.h"
#include "tests/support/graphics/OffscreenGraphics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <string>

namespace quorvel::test
{
namespace
{

using gfxtest::Pixels;

// Fonts come from the embedded store, as the deliverables find them in their own module.
class EditorOffscreen : public gfxtest::OffscreenGraphics
{
public:
  using OffscreenGraphics::OffscreenGraphics;
  gfx::PlatformFont* LoadPlatformFontFromFile(const char* fontId, const char* name) override
  {
    iplug::TextBuffer stored;
    if (iplug::FindResourceByName(name, "TTF", stored, nullptr) != iplug::kWinBinary) return nullptr;
    int32_t size = 0;
    const void* data = iplug::LoadResourceBytes(stored.Get(), "TTF", size, nullptr);
    return LoadPlatformFontFromMemory(fontId, data, size);
  }
};

struct Session
{
  EditorQuorvel effect;
  EditorOffscreen* graphics = nullptr;

  explicit Session(float scale)
  {
    effect.SetMakeGraphicsFunc([this, scale]()
                               { return graphics = new EditorOffscreen(&effect, 980, 650, scale); });
    effect.OpenWindow(nullptr);
    effect.OnEditorOpen(); // the window's last opening step, which the test platform leaves to its user
  }
  ~Session() { effect.CloseWindow(); }
  Pixels Render()
  {
    graphics->PaintAll();
    return graphics->ReadWindow();
  }
};

// Per channel within 3 on all but 0.1 % of the pixels.
constexpr int kChannelTolerance = 3;
constexpr double kOutlierShare = 0.001;

void ExpectGolden(const Pixels& actual, const std::string& name)
{
  const std::string path = std::string(QUORVEL_EDITOR_GOLDEN_DIR) + "/" + name + ".png";
  if (std::getenv("QUORVEL_UPDATE_GOLDEN"))
  {
    ASSERT_TRUE(gfxtest::WritePng(path, actual)) << path;
  }
  const Pixels expected = gfxtest::ReadPng(path);
  ASSERT_FALSE(expected.Empty()) << "no reference " << path;
  ASSERT_EQ(actual.width, expected.width) << name;
  ASSERT_EQ(actual.height, expected.height) << name;
  size_t outliers = 0;
  for (size_t i = 0; i < actual.rgba.size(); i += 4)
    for (size_t c = 0; c < 4; ++c)
      if (std::abs(int(actual.rgba[i + c]) - int(expected.rgba[i + c])) > kChannelTolerance)
      {
        ++outliers;
        break;
      }
  const size_t allowed = static_cast<size_t>(kOutlierShare * actual.rgba.size() / 4);
  if (outliers > allowed)
    gfxtest::WritePng(std::string(QUORVEL_EDITOR_FAILED_DIR) + "/" + name + ".png", actual);
  EXPECT_LE(outliers, allowed) << name << ": differing pixels (the render is left in "
                               << QUORVEL_EDITOR_FAILED_DIR << ")";
}

bool Near(const uint8_t* p, const gfx::IArgb& c, int tolerance)
{
  return std::abs(p[0] - c.R) <= tolerance && std::abs(p[1] - c.G) <= tolerance &&
         std::abs(p[2] - c.B) <= tolerance;
}

int CountNear(const Pixels& p, const gfx::IBounds& r, const gfx::IArgb& c, int tolerance)
{
  int n = 0;
  for (int y = static_cast<int>(r.T); y < static_cast<int>(r.B); ++y)
    for (int x = static_cast<int>(r.L); x < static_cast<int>(r.R); ++x)
      n += Near(p.At(x, y), c, tolerance);
  return n;
}

TEST(EditorGolden, FreshStartAtBothScales)
{
  Pixels one;
  {
    Session s(1.f);
    one = s.Render();
  }
  ASSERT_EQ(one.width, 980);
  ASSERT_EQ(one.height, 650);
  ExpectGolden(one, "fresh_1.0");

  // Checks that do not trust the references.
  EXPECT_TRUE(Near(one.At(490, 5), {255, 43, 48, 53}, 4)) << "backdrop top";
  EXPECT_TRUE(Near(one.At(490, 645), {255, 23, 27, 31}, 4)) << "backdrop bottom";
  const float angle = -110.f * std::numbers::pi_v<float> / 180.f; // on the DRIVE value arc (-138 to -76.7)
  const int ax = static_cast<int>(std::lround(148.f + 47.f * std::sin(angle)));
  const int ay = static_cast<int>(std::lround(402.f - 47.f * std::cos(angle)));
  EXPECT_TRUE(Near(one.At(ax, ay), EditorAccent, 12)) << "DRIVE value arc at " << ax << "," << ay;
  EXPECT_GT(CountNear(one, {32, 36, 377, 76}, EditorText, 40), 150) << "title text";
  EXPECT_GT(CountNear(one, {24, 0, 234, 42}, EditorText, 40) +
                CountNear(one, {24, 0, 234, 42}, EditorAccent, 40),
            400)
      << "logo";

  Session big(1.5f);
  const Pixels large = big.Render();
  ASSERT_EQ(large.width, 1470);
  ASSERT_EQ(large.height, 975);
  ExpectGolden(large, "fresh_1.5");
}

// Editor states, each set up on a freshly opened editor at scale 1.
struct State
{
  const char* name;
  std::function<void(Session&)> setUp;
};

void SetModel(Session& s, int model)
{
  iplug::IParam* param = s.effect.GetParam(EngineParams::kModel);
  param->Set(model);
  s.effect.SendParamValueToEditor(EngineParams::kModel, param->GetNormalized(), true);
}

const State kStates[] = {
    {"model_1", [](Session& s) { SetModel(s, 1); }},
    {"model_2", [](Session& s) { SetModel(s, 2); }},
    {"model_3", [](Session& s) { SetModel(s, 3); }},
    {"model_4", [](Session& s) { SetModel(s, 4); }},
    {"model_5", [](Session& s) { SetModel(s, 5); }},
    {"preset_meters",
     [](Session& s)
     {
       s.effect.RestoreFactoryPreset(4);
       s.effect.meters = {1.0f, 0.5f, 0.8f};
       for (int step = 0; step < 12; ++step)
       {
         s.effect.AdvanceSteps(1);
         gfx::IRectList rects;
         s.graphics->CollectDirtyRects(rects);
       }
     }},
    {"hover_knob", [](Session& s) { s.graphics->OnMouseOver(148.f, 400.f, {}); }},
    {"hover_model_menu", [](Session& s) { s.graphics->OnMouseOver(100.f, 120.f, {}); }},
    {"text_entry",
     [](Session& s) { s.graphics->OnKeyDown(148.f, 400.f, iplug::IKeyStroke("", 13, false, false, false)); }},
    {"no_logo",
     [](Session& s)
     {
       s.graphics->GetControl(kLogoIdx)->SetHidden(true);
       s.graphics->AddControl(new QuorLogo({24, 0, 234, 42}, gfx::ISvgHandle{}));
     }},
};

TEST(EditorGolden, States)
{
  for (const State& state : kStates)
  {
    Session s(1.f);
    state.setUp(s);
    ExpectGolden(s.Render(), state.name);
  }
}

TEST(EditorGolden, TickRepaintOfTheMetersEqualsAFullRender)
{
  Session s(1.f);
  s.Render();
  // Steady meters: after one step the display state stops changing.
  s.effect.meters = {0.5f, 0.25f, 0.f};
  s.effect.AdvanceSteps(1);
  s.graphics->Paint(); // the tick's partial repaint: only what is dirty
  const Pixels partial = s.graphics->ReadWindow();
  const Pixels full = s.Render();
  ASSERT_EQ(partial.rgba.size(), full.rgba.size());
  int differing = 0;
  for (size_t i = 0; i < full.rgba.size(); ++i)
    differing += std::abs(int(partial.rgba[i]) - int(full.rgba[i])) > 1;
  EXPECT_EQ(differing, 0);
  EXPECT_NE(CountNear(full, {755, 206, 924, 214}, EditorAccent, 60), 0) << "an input bar is drawn";
}

} // namespace
} // namespace quorvel::test
