#include "effect/editor/QuorLogo.h"

#include "effect/editor/EditorStyle.h"
#include "effect/plugin/MakerInfo.h"
#include "framework/graphics/IGraphics.h"

namespace quorvel
{

using namespace iplug::igraphics;

QuorLogo::QuorLogo(const IBounds& bounds, const ISvgHandle& svg) : IControl(bounds), mSvg(svg)
{
  SetTooltip("Visit keldrimax.com/quorvel for plug-ins, downloads and support.");
}

void QuorLogo::OnMouseDown(float, float, const IModifierState&)
{
  if (mGraphics) mGraphics->OpenUrl(kMakerWebAddress);
}

bool QuorLogo::OnKeyDown(float x, float y, const iplug::IKeyStroke& key)
{
  if (key.vk != iplug::kVkReturn && key.vk != iplug::kVkSpace) return false;
  OnMouseDown(x, y, {});
  return true;
}

void QuorLogo::Draw(IGraphics& g)
{
  if (mSvg.IsValid())
    g.DrawSVG(mSvg, mBounds);
  else
    DrawEditorLabel(g, kMakerName, mBounds, 16.f, EditorAccent, kAlignNear);
  // Inside the artwork's bounds, below the lettering.
  if (mMouseOver) g.DrawLine(EditorAccentDark, 29.f, 38.f, 229.f, 38.f, nullptr, 1.f);
}

} // namespace quorvel
