#include "effect/plugin/EditorWindowFit.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace quorvel
{
namespace
{

struct ResizeCall
{
  int width;
  int height;
  float scale;
  bool platform;
};

class FakeGraphics : public EditorFitTarget
{
public:
  int NControls() const override { return controls; }
  float GetWindowDpiScale() const override { return dpi; }
  void Resize(int width, int height, float scale, bool needsPlatformResize) override
  {
    calls.push_back({width, height, scale, needsPlatformResize});
    // A platform resize makes the host report the window's new size straight back.
    if (reenter) reenter->Fit(this, 1960, 1300);
  }

  int controls = 12;
  float dpi = 1.0f;
  EditorWindowFitter* reenter = nullptr;
  std::vector<ResizeCall> calls;
};

TEST(EditorWindowFit, ScaleFollowsTheSmallerRatioWithinTheEditorRange)
{
  struct Case
  {
    float dpi;
    int width, height;
    float scale;
    bool platform;
  };
  const Case cases[] = {
      {1.0f, 1470, 975, 1.5f, false},  {1.0f, 1000, 650, 1.0f, false},  {1.0f, 1960, 1300, 1.5f, true},
      {1.0f, 490, 325, 0.92f, true},   {2.0f, 980, 650, 0.92f, true},   {2.0f, 1960, 1300, 1.0f, false},
      {1.5f, 1470, 2000, 1.0f, false}, {1.0f, 1176, 5000, 1.2f, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at window scale " << c.dpi);
    FakeGraphics graphics;
    graphics.dpi = c.dpi;
    EditorWindowFitter fitter;
    fitter.Fit(&graphics, c.width, c.height);
    ASSERT_EQ(graphics.calls.size(), 1u);
    EXPECT_EQ(graphics.calls[0].width, kEditorWidth);
    EXPECT_EQ(graphics.calls[0].height, kEditorHeight);
    EXPECT_FLOAT_EQ(graphics.calls[0].scale, c.scale);
    EXPECT_EQ(graphics.calls[0].platform, c.platform);
  }
}

TEST(EditorWindowFit, IgnoresUnusableWindowsGraphicsAndReentry)
{
  EditorWindowFitter fitter;
  fitter.Fit(nullptr, 980, 650); // no editor open: nothing to do, nothing to crash on

  FakeGraphics graphics;
  for (const auto& size : {std::pair{0, 650}, std::pair{980, 0}, std::pair{-980, 650}, std::pair{980, -1}})
    fitter.Fit(&graphics, size.first, size.second);
  EXPECT_TRUE(graphics.calls.empty()) << "non-positive window sizes";

  for (float dpi :
       {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
  {
    graphics.dpi = dpi;
    fitter.Fit(&graphics, 980, 650);
  }
  EXPECT_TRUE(graphics.calls.empty()) << "unusable window scales";

  graphics.dpi = 1.0f;
  graphics.controls = 0;
  fitter.Fit(&graphics, 980, 650);
  EXPECT_TRUE(graphics.calls.empty()) << "an editor that holds no controls yet";

  graphics.controls = 3;
  graphics.reenter = &fitter;
  fitter.Fit(&graphics, 490, 325);
  ASSERT_EQ(graphics.calls.size(), 1u) << "the call from inside the resize must do nothing";
  EXPECT_FLOAT_EQ(graphics.calls[0].scale, 0.92f);
  EXPECT_FALSE(fitter.IsResizing());

  graphics.reenter = nullptr;
  fitter.Fit(&graphics, 1176, 780);
  ASSERT_EQ(graphics.calls.size(), 2u) << "the guard is cleared after the resize";
  EXPECT_FLOAT_EQ(graphics.calls[1].scale, 1.2f);
}

} // namespace
} // namespace quorvel
