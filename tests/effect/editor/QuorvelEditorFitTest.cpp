// The effect fitting its real editor graphics context into host windows.
#include "effect/deliverables/Quorvel.h"

#include "tests/support/graphics/LoggingControl.h"
#include "tests/support/graphics/RecordingGraphics.h"

#include <gtest/gtest.h>

namespace quorvel
{
namespace
{
namespace gfx = iplug::igraphics;
namespace gfxtest = iplug::igraphics::gfxtest;

TEST(QuorvelEditorFit, HostWindowSizesScaleTheOpenEditor)
{
  gfxtest::EventLog log; // outlives the controls
  Quorvel effect(QuorvelInstanceInfo{});
  effect.SetMakeGraphicsFunc([&effect]() { return new gfxtest::RecordingGraphics(&effect, 980, 650); });
  effect.SetLayoutFunc(
      [&log](gfx::IGraphics* g) {
        g->AddControl(new gfxtest::LoggingControl({0, 0, 10, 10}, {}, log, "c"));
      });

  // Closed: nothing to fit, nothing happens.
  effect.OnHostWindowResized(1470, 975);

  ASSERT_NE(effect.OpenWindow(nullptr), nullptr);
  gfx::IGraphics* graphics = iplug::GetEditorGraphicsOf(effect);
  ASSERT_NE(graphics, nullptr);

  effect.OnHostWindowResized(1470, 975); // 1.5 x the layout size
  EXPECT_FLOAT_EQ(graphics->GetDrawScale(), 1.5f);
  EXPECT_EQ(graphics->GetWidth(), 980);
  EXPECT_EQ(graphics->GetHeight(), 650);

  effect.OnHostWindowResized(980, 975); // the narrower side decides
  EXPECT_FLOAT_EQ(graphics->GetDrawScale(), 1.0f);

  effect.OnHostWindowResized(300, 200); // below the smallest scale: held at 0.92
  EXPECT_FLOAT_EQ(graphics->GetDrawScale(), 0.92f);

  effect.CloseWindow();
  EXPECT_EQ(iplug::GetEditorGraphicsOf(effect), nullptr);
}
} // namespace
} // namespace quorvel
