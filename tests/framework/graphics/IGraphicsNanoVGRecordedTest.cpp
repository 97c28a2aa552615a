// The NanoVG back end's exact output, read from a NanoVG context that records instead of drawing:
// composite factors, gradient extents, scissors and the placement of text.

#include "framework/graphics/IGraphicsConstants.h"
#include "framework/graphics/platform/NanoVGPaint.h"
#include "tests/support/graphics/NanoVGTestPlatform.h"

#include <gtest/gtest.h>

#include <nanovg.h>

#include <cstring>
#include <vector>

using namespace iplug;
using namespace iplug::igraphics;

namespace
{

struct RenderRecord
{
  enum Kind
  {
    kFill,
    kStroke,
    kTriangles
  } kind;
  NVGpaint paint;
  NVGcompositeOperationState composite;
  NVGscissor scissor;
  std::vector<NVGvertex> vertices; // fills: every path's fill vertices; triangles (text): as given
};

// The back end over a NanoVG context without OpenGL that records what NanoVG hands its renderer. Frames
// are started by the test: the platform's own frame steps need OpenGL.
class RecordingNanoVG : public gfxtest::NanoVGTestPlatform
{
public:
  RecordingNanoVG(int width, int height, float drawScale = 1.f)
      : NanoVGTestPlatform(nullptr, width, height, 60, drawScale)
  {
  }
  ~RecordingNanoVG() override { CloseEditorWindow(); }

  std::vector<RenderRecord> records;
  NVGcontext* Vg() { return static_cast<NVGcontext*>(GetDrawContext()); }

  // Starts a NanoVG frame of the editor's size and forgets what was recorded.
  void BeginRecording()
  {
    records.clear();
    nvgBeginFrame(Vg(), float(GetWidth()), float(GetHeight()), 1.f);
  }

  bool MakeGLContextCurrent() override { return true; }
  bool ReleaseGLContext() override { return true; }
  void* OpenEditorWindow(void*) override
  {
    mOpen = true;
    CreateDrawContext();
    return &mOpen;
  }
  void CloseEditorWindow() override
  {
    if (mOpen) DestroyDrawContext();
    mOpen = false;
  }
  void* GetWindowHandle() override { return mOpen ? &mOpen : nullptr; }

protected:
  NVGcontext* CreateNanoVGContext() override
  {
    NVGparams p{};
    p.userPtr = this;
    p.renderCreate = [](void*, void*) { return 1; };
    // Images are numbered and otherwise ignored (the font atlas needs one).
    p.renderCreateTexture = [](void* u, int, int, int, int, const unsigned char*)
    { return ++Self(u).mTextures; };
    p.renderDeleteTexture = [](void*, int) { return 1; };
    p.renderUpdateTexture = [](void*, int, int, int, int, int, const unsigned char*) { return 1; };
    p.renderGetTextureSize = [](void*, int, int* w, int* h) { return *w = *h = 1; };
    p.renderViewport = [](void*, float, float, float) {};
    p.renderCancel = p.renderFlush = p.renderDelete = [](void*) {};
    p.renderFill = [](void* u, NVGpaint* paint, NVGcompositeOperationState op, NVGscissor* scissor, float,
                      const float*, const NVGpath* paths, int n)
    {
      std::vector<NVGvertex> v;
      for (int i = 0; i < n; ++i)
        v.insert(v.end(), paths[i].fill, paths[i].fill + paths[i].nfill);
      Self(u).records.push_back({RenderRecord::kFill, *paint, op, *scissor, std::move(v)});
    };
    p.renderStroke = [](void* u, NVGpaint* paint, NVGcompositeOperationState op, NVGscissor* scissor, float,
                        float, const NVGpath*, int) {
      Self(u).records.push_back({RenderRecord::kStroke, *paint, op, *scissor, {}});
    };
    p.renderTriangles = [](void* u, NVGpaint* paint, NVGcompositeOperationState op, NVGscissor* scissor,
                           const NVGvertex* v, int n, float) {
      Self(u).records.push_back({RenderRecord::kTriangles, *paint, op, *scissor, {v, v + n}});
    };
    return nvgCreateInternal(&p, nullptr);
  }
  void DeleteNanoVGContext(NVGcontext* context) override { nvgDeleteInternal(context); }

private:
  static RecordingNanoVG& Self(void* user) { return *static_cast<RecordingNanoVG*>(user); }
  bool mOpen = false;
  int mTextures = 0;
};

ITextStyle Roboto(int align, int valign, float angle = 0.f)
{
  ITextStyle style(12.f, align, valign);
  std::strcpy(style.font, "Roboto");
  style.angle = angle;
  return style;
}

// Text drawn directly through NanoVG at an anchor: what the back end's text must match.
std::vector<NVGvertex> Reference(RecordingNanoVG& g, int nvgAlign, float x, float y, const char* text)
{
  NVGcontext* vg = g.Vg();
  nvgFontSize(vg, 12.f);
  nvgFontFace(vg, "Roboto");
  nvgTextAlign(vg, nvgAlign);
  nvgText(vg, x, y, text, nullptr);
  return g.records.back().vertices;
}

void ExpectSamePositions(const std::vector<NVGvertex>& got, const std::vector<NVGvertex>& want)
{
  ASSERT_EQ(got.size(), want.size());
  ASSERT_FALSE(got.empty());
  for (size_t i = 0; i < got.size(); ++i)
  {
    EXPECT_NEAR(got[i].x, want[i].x, 1e-3f) << i;
    EXPECT_NEAR(got[i].y, want[i].y, 1e-3f) << i;
  }
}

} // namespace

TEST(IGraphicsNanoVGRecordedTest, CompositeFactorsPerBlendTypeOnFillsAndStrokes)
{
  RecordingNanoVG g(100, 100);
  ASSERT_TRUE(g.OpenEditorWindow(nullptr));
  struct Row
  {
    int type; // -1: no blend given
    int src, dst;
  } const rows[] = {{-1, NVG_ONE, NVG_ONE_MINUS_SRC_ALPHA},
                    {kBlendDefault, NVG_ONE, NVG_ONE_MINUS_SRC_ALPHA},
                    {1, NVG_DST_ALPHA, NVG_ZERO},
                    {2, NVG_ONE_MINUS_DST_ALPHA, NVG_ZERO},
                    {3, NVG_DST_ALPHA, NVG_ONE_MINUS_SRC_ALPHA},
                    {4, NVG_ONE_MINUS_DST_ALPHA, NVG_ONE},
                    {5, NVG_ZERO, NVG_SRC_ALPHA},
                    {6, NVG_ZERO, NVG_ONE_MINUS_SRC_ALPHA},
                    {7, NVG_ONE_MINUS_DST_ALPHA, NVG_SRC_ALPHA},
                    {8, NVG_SRC_ALPHA, NVG_DST_ALPHA},
                    {9, NVG_ONE_MINUS_DST_ALPHA, NVG_ONE_MINUS_SRC_ALPHA},
                    {42, NVG_ONE, NVG_ONE_MINUS_SRC_ALPHA}};
  for (const Row& row : rows)
  {
    const IBlendSpec spec{row.type, 0.5f};
    const IBlendSpec* blend = row.type < 0 ? nullptr : &spec;
    g.BeginRecording();
    g.FillRect(COLOR_RED, {0, 0, 10, 10}, blend);
    g.DrawRect(COLOR_RED, {0, 0, 10, 10}, blend, 2.f);
    g.FillRect(COLOR_RED, {0, 0, 10, 10});
    ASSERT_EQ(g.records.size(), 3u) << row.type;
    EXPECT_EQ(g.records[0].kind, RenderRecord::kFill);
    EXPECT_EQ(g.records[1].kind, RenderRecord::kStroke);
    for (int i = 0; i < 2; ++i)
    {
      const NVGcompositeOperationState& op = g.records[i].composite;
      EXPECT_EQ(op.srcRGB, row.src) << "type " << row.type << (i ? " stroke" : " fill");
      EXPECT_EQ(op.dstRGB, row.dst) << "type " << row.type;
      EXPECT_EQ(op.srcAlpha, row.src) << "type " << row.type;
      EXPECT_EQ(op.dstAlpha, row.dst) << "type " << row.type;
      EXPECT_FLOAT_EQ(g.records[i].paint.innerColor.a, blend ? 0.5f : 1.f) << "the blend weight";
    }
    EXPECT_EQ(g.records[2].composite.srcRGB, NVG_ONE) << "back to source-over after type " << row.type;
    EXPECT_EQ(g.records[2].composite.dstRGB, NVG_ONE_MINUS_SRC_ALPHA);
  }
}

TEST(IGraphicsNanoVGRecordedTest, GradientExtentsAndScissors)
{
  RecordingNanoVG g(100, 100);
  ASSERT_TRUE(g.OpenEditorWindow(nullptr));
  g.BeginRecording();
  g.AddRectPath({0, 0, 100, 100});
  g.FillPath(MakeLinearGradient(10, 20, 10, 120, {{COLOR_RED, 0.f}, {COLOR_GREEN, 0.5f}, {COLOR_BLUE, 1.f}}),
             IFillStyle(), nullptr);
  g.AddRectPath({0, 0, 100, 100});
  g.FillPath(MakeRadialGradient(40, 20, 20, {{COLOR_WHITE, 0.25f}, {COLOR_BLACK, 1.f}}), IFillStyle(),
             nullptr);
  ASSERT_EQ(g.records.size(), 2u);
  // A linear paint runs along (xform[2], xform[3]) from a start 1e5 units behind its origin, feathered
  // over the gradient's length.
  const NVGpaint& linear = g.records[0].paint;
  EXPECT_NEAR(linear.xform[4] + linear.xform[2] * 1e5f, 10.f, 0.02f);
  EXPECT_NEAR(linear.xform[5] + linear.xform[3] * 1e5f, 20.f, 0.02f);
  EXPECT_NEAR(linear.xform[3], 1.f, 1e-5f) << "downwards";
  EXPECT_NEAR(linear.feather, 100.f, 1e-3f);
  EXPECT_NEAR(linear.extent[1] - linear.extent[0], 50.f, 0.02f);
  EXPECT_FLOAT_EQ(linear.innerColor.r, 1.f) << "first stop";
  EXPECT_FLOAT_EQ(linear.outerColor.b, 1.f) << "last stop; the middle one is not used";
  EXPECT_FLOAT_EQ(linear.outerColor.g, 0.f);
  // A radial paint is centred by its transform, its radii the middle and spread of the two circles.
  const NVGpaint& radial = g.records[1].paint;
  EXPECT_NEAR(radial.xform[4], 40.f, 1e-4f);
  EXPECT_NEAR(radial.xform[5], 20.f, 1e-4f);
  EXPECT_NEAR(radial.radius - radial.feather / 2, 5.f, 1e-4f) << "inner radius: 20 times the first offset";
  EXPECT_NEAR(radial.radius + radial.feather / 2, 20.f, 1e-4f);
  // Nothing to paint with: a gradient without stops or with a transform that has no inverse.
  NVGpaint paint{};
  EXPECT_FALSE(MakeNanoVGPaint(g.Vg(), InitGradient(kPatternLinear), nullptr, paint));
  IGradient flat = MakeLinearGradient(0, 0, 0, 10, {{COLOR_RED, 0.f}, {COLOR_BLUE, 1.f}});
  flat.transform = IAffine(0, 0, 0, 0, 1, 1);
  EXPECT_FALSE(MakeNanoVGPaint(g.Vg(), flat, nullptr, paint));

  struct Clip
  {
    float drawScale;
    IBounds clip;
    float scale, cx, cy, hw, hh;
  } const clips[] = {{1.f, {10, 20, 50, 60}, 1.f, 30.f, 40.f, 20.f, 20.f},
                     {2.f, {10, 20, 50, 60}, 2.f, 60.f, 80.f, 20.f, 20.f},
                     {1.f, {0, 0, 100, 10}, 1.f, 50.f, 5.f, 50.f, 5.f}};
  for (const Clip& c : clips)
  {
    RecordingNanoVG scaled(100, 100, c.drawScale);
    ASSERT_TRUE(scaled.OpenEditorWindow(nullptr));
    scaled.BeginRecording();
    scaled.ApplyPathTransform(IAffine());
    scaled.FillRect(COLOR_RED, {0, 0, 5, 5});
    scaled.SetPathClip(c.clip);
    scaled.FillRect(COLOR_RED, {0, 0, 5, 5});
    ASSERT_EQ(scaled.records.size(), 2u);
    EXPECT_LT(scaled.records[0].scissor.extent[0], 0.f) << "no clip before one is set";
    const NVGscissor& s = scaled.records[1].scissor;
    EXPECT_FLOAT_EQ(s.xform[0], c.scale) << "in editor units under the draw scale";
    EXPECT_FLOAT_EQ(s.xform[4], c.cx);
    EXPECT_FLOAT_EQ(s.xform[5], c.cy);
    EXPECT_FLOAT_EQ(s.extent[0], c.hw);
    EXPECT_FLOAT_EQ(s.extent[1], c.hh);
  }
}

TEST(IGraphicsNanoVGRecordedTest, TextAnchorsRotationAndBlockRows)
{
  RecordingNanoVG g(100, 100);
  ASSERT_TRUE(g.OpenEditorWindow(nullptr));
  ASSERT_TRUE(g.LoadFontFile("Roboto", QUORVEL_ROBOTO_TTF));
  g.BeginRecording();

  // Right and bottom alignment in (0, 0, 100, 20): anchored at (100, 20).
  g.DrawText(Roboto(kAlignFar, kAlignFar), "Text", {0, 0, 100, 20});
  ASSERT_EQ(g.records.size(), 1u);
  const std::vector<NVGvertex> corner = g.records[0].vertices;
  ExpectSamePositions(corner, Reference(g, NVG_ALIGN_RIGHT | NVG_ALIGN_BOTTOM, 100.f, 20.f, "Text"));

  // At 90 degrees the measured box (L, T, R, B) turns into (-B, L, -T, R) and is moved back to the
  // bounds' top left corner: (x, y) lands on (B - y, x - L).
  IBounds flat(0, 0, 100, 100);
  g.MeasureText(Roboto(kAlignNear, kAlignNear), "Text", flat);
  IBounds turned(0, 0, 100, 100);
  g.MeasureText(Roboto(kAlignNear, kAlignNear, 90.f), "Text", turned);
  EXPECT_NEAR(turned.L, 0.f, 1e-3f);
  EXPECT_NEAR(turned.T, 0.f, 1e-3f);
  EXPECT_NEAR(turned.W(), flat.H(), 1e-3f);
  EXPECT_NEAR(turned.H(), flat.W(), 1e-3f);
  g.DrawText(Roboto(kAlignNear, kAlignNear), "Text", {0, 0, 100, 100});
  const std::vector<NVGvertex> upright = g.records.back().vertices;
  g.DrawText(Roboto(kAlignNear, kAlignNear, 90.f), "Text", {0, 0, 100, 100});
  std::vector<NVGvertex> expected = upright;
  for (NVGvertex& v : expected)
    v = {flat.B - v.y, v.x - flat.L, v.u, v.v};
  ExpectSamePositions(g.records.back().vertices, expected);

  // A font never loaded measures nothing.
  IBounds unknown(0, 0, 50, 50);
  ITextStyle nowhere = Roboto(kAlignNear, kAlignNear);
  std::strcpy(nowhere.font, "Nowhere");
  EXPECT_EQ(g.MeasureText(nowhere, "abc", unknown), 0.f);
  EXPECT_EQ(unknown, IBounds());

  // Three rows 12 apart around the middle (50): the first at 32, 18 above it.
  g.records.clear();
  g.DrawTextBlock(Roboto(kAlignNear, kAlignCenter), "Hxy Hxy Hxy", {0, 0, 22, 100});
  const std::vector<RenderRecord> rows = g.records;
  ASSERT_EQ(rows.size(), 3u);
  for (int i = 0; i < 3; ++i)
    ExpectSamePositions(rows[i].vertices,
                        Reference(g, NVG_ALIGN_LEFT | NVG_ALIGN_MIDDLE, 0.f, 32.f + 12.f * i, "Hxy"));
}
