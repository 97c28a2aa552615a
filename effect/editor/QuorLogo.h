#pragma once
// The maker's logo: opens the maker's web address when clicked (or on Enter and Space).

#include "framework/graphics/IControl.h"
#include "framework/graphics/ISvgHandle.h"

namespace quorvel
{

class QuorLogo : public iplug::igraphics::IControl
{
public:
  // An empty handle draws the maker's name as text.
  QuorLogo(const iplug::igraphics::IBounds& bounds, const iplug::igraphics::ISvgHandle& svg);

  void OnMouseDown(float x, float y, const iplug::igraphics::IModifierState& mod) override;
  bool OnKeyDown(float x, float y, const iplug::IKeyStroke& key) override;
  void Draw(iplug::igraphics::IGraphics& g) override;

private:
  iplug::igraphics::ISvgHandle mSvg;
};

} // namespace quorvel
