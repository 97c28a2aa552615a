#include "effect/editor/QuorSupportLink.h"

#include "effect/editor/EditorStyle.h"
#include "effect/plugin/MakerInfo.h"
#include "framework/graphics/IGraphics.h"

#include <string>

namespace quorvel
{

using namespace iplug::igraphics;

QuorSupportLink::QuorSupportLink(const IBounds& bounds) : IControl(bounds)
{
  SetTooltip("Contact KELDRIMAX support using your default email application.");
}

void QuorSupportLink::OnMouseDown(float, float, const IModifierState&)
{
  if (mGraphics) mGraphics->OpenUrl((std::string("mailto:") + kMakerSupportEmail).c_str());
}

bool QuorSupportLink::OnKeyDown(float x, float y, const iplug::IKeyStroke& key)
{
  if (key.vk != iplug::kVkReturn && key.vk != iplug::kVkSpace) return false;
  OnMouseDown(x, y, {});
  return true;
}

void QuorSupportLink::Draw(IGraphics& g)
{
  const std::string text = std::string("SUPPORT  /  ") + kMakerSupportEmail;
  DrawEditorLabel(g, text.c_str(), mBounds, 11.f, mMouseOver ? EditorAccent : EditorTextDim, kAlignCenter);
}

} // namespace quorvel
