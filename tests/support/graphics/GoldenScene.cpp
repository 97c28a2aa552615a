#include "tests/support/graphics/GoldenScene.h"

#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphicsConstants.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

namespace iplug::igraphics::gfxtest
{

namespace
{

void WritePicture(const std::string& path)
{
  // 2x: 80 x 40 pixels for 40 x 20 units; four coloured quarters.
  Pixels p{80, 40, {}};
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 80; ++x)
      p.rgba.insert(p.rgba.end(), {uint8_t(x >= 40 ? 30 : 220), uint8_t(y >= 20 ? 200 : 40),
                                   uint8_t((x >= 40) != (y >= 20) ? 180 : 20), 255});
  WritePng(path, p);
}

} // namespace

void AddGoldenScene(IGraphics& g, const std::string& folder, const std::string& fontPath)
{
  const std::string picture = folder + "/golden_picture.png";
  WritePicture(folder + "/golden_picture@2x.png");
  g.LoadFontFile("Roboto", fontPath.c_str());

  g.AddControl(new DrawControl(
      {0, 0, 240, 160},
      [](IGraphics& gr, const IBounds& b)
      {
        gr.AddRectPath(b);
        gr.FillPath(
            MakeLinearGradient(0, 0, 0, 160, {{{255, 200, 205, 215}, 0.f}, {{255, 150, 155, 165}, 1.f}}),
            IFillStyle(), nullptr);
      }));
  g.AddControl(new DrawControl({10, 10, 110, 70},
                               [](IGraphics& gr, const IBounds& b)
                               {
                                 gr.FillRoundRect({255, 70, 130, 180}, b, 8.f);
                                 gr.DrawRoundRect(COLOR_WHITE, b.GetPadded(-3.f), 6.f, nullptr, 2.f);
                                 gr.FillCircle({255, 240, 200, 40}, 60, 40, 18, nullptr);
                                 const IBlendSpec add{kBlendAdd, 0.8f};
                                 gr.FillCircle({255, 200, 40, 60}, 75, 40, 14, &add);
                                 gr.DrawDottedLine(COLOR_WHITE, 15, 64, 105, 64, nullptr, 2.f, 6.f);
                               }));
  g.AddControl(new DrawControl({120, 10, 230, 70},
                               [picture](IGraphics& gr, const IBounds& b)
                               {
                                 const IBitmapHandle bitmap = gr.LoadBitmap(picture.c_str(), 1, false, 1);
                                 gr.DrawBitmap(bitmap, {b.L, b.T, b.L + 40, b.T + 20}, 0, 0);
                                 const IBlendSpec quarter{kBlendDefault, 0.25f};
                                 gr.DrawBitmap(bitmap, {b.L + 50, b.T, b.L + 90, b.T + 20}, 0, 0, &quarter);
                                 gr.FillBoxShadow({b.L + 10, b.T + 30, b.L + 60, b.T + 55},
                                                  {b.L, b.T + 25, b.L + 75, b.B}, 3.f, 4.f, 6.f);
                                 gr.FillRect({255, 220, 220, 220}, {b.L + 10, b.T + 30, b.L + 60, b.T + 55});
                                 gr.SetClipRegion({b.L + 80, b.T + 30, b.L + 100, b.T + 50});
                                 gr.FillCircle({255, 60, 200, 90}, b.L + 90, b.T + 40, 16, nullptr);
                               }));
  g.AddControl(new DrawControl(
      {10, 80, 110, 150},
      [](IGraphics& gr, const IBounds& b)
      {
        gr.BeginLayer(nullptr, b);
        gr.FillRoundRect({255, 230, 120, 50}, {b.L + 10, b.T + 10, b.L + 70, b.T + 50}, 6.f);
        std::unique_ptr<IDrawLayer> layer = gr.EndLayer();
        IDropShadow shadow;
        shadow.pattern = MakeSolidPattern(COLOR_BLACK);
        shadow.blurSize = 4.f;
        shadow.xOffset = shadow.yOffset = 5.f;
        shadow.opacity = 0.7f;
        gr.ApplyLayerShadow(*layer, shadow);
        gr.DrawBitmap(MakeBitmapHandle(layer->bitmap.get(), "", 1, false), layer->bounds, 0, 0);
      }));
  g.AddControl(new DrawControl(
      {120, 80, 230, 150},
      [](IGraphics& gr, const IBounds& b)
      {
        ITextStyle style(18.f, kAlignCenter, kAlignCenter);
        std::strcpy(style.font, "Roboto");
        style.colour = {255, 30, 30, 60};
        gr.DrawText(style, "Quorvel", {b.L, b.T, b.R, b.T + 30});
        ITextStyle small(11.f, kAlignNear, kAlignNear);
        std::strcpy(small.font, "Roboto");
        small.colour = {255, 40, 60, 140};
        gr.DrawTextBlock(small, "Drive tone bias and mix in one block", {b.L, b.T + 32, b.R, b.B});
      }));
}

void ExpectGolden(const Pixels& pixels, const std::string& reference, const std::string& failedName)
{
  const Pixels want = ReadPng(reference);
  ASSERT_EQ(pixels.width, want.width) << reference;
  ASSERT_EQ(pixels.height, want.height) << reference;
  int worst = 0;
  for (size_t i = 0; i < want.rgba.size(); ++i)
    worst = std::max(worst, std::abs(int(pixels.rgba[i]) - int(want.rgba[i])));
  if (worst > 2) WritePng((std::filesystem::temp_directory_path() / failedName).string(), pixels);
  EXPECT_LE(worst, 2) << "largest channel difference (the render is left in the temporary folder)";
}

} // namespace iplug::igraphics::gfxtest
