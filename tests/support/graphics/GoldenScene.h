#pragma once
// One editor scene that touches every part of the NanoVG back end (fills, strokes, gradients, blends,
// dashes, clipping, a picture, a layer with a drop shadow, a box shadow and text), drawn alike by every
// platform that pixel-tests the back end, and the comparison of its pixels with a reference image.

#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphics.h"
#include "tests/support/graphics/PngFiles.h"

#include <functional>
#include <string>

namespace iplug::igraphics::gfxtest
{

// A control that draws whatever it is given, within its bounds.
class DrawControl : public IControl
{
public:
  DrawControl(const IBounds& b, std::function<void(IGraphics&, const IBounds&)> draw)
      : IControl(b), mDraw(std::move(draw))
  {
  }
  void Draw(IGraphics& g) override { mDraw(g, GetBounds()); }

private:
  std::function<void(IGraphics&, const IBounds&)> mDraw;
};

inline constexpr int kGoldenWidth = 240;
inline constexpr int kGoldenHeight = 160;

// Writes the scene's picture (a 2x PNG) into folder and adds the scene's controls. The font "Roboto" must
// be loadable from fontPath.
void AddGoldenScene(IGraphics& graphics, const std::string& folder, const std::string& fontPath);

// Expects every channel of every pixel within 2 of the reference PNG; otherwise leaves the pixels as
// failedName in the temporary folder.
void ExpectGolden(const Pixels& pixels, const std::string& reference, const std::string& failedName);

} // namespace iplug::igraphics::gfxtest
