#pragma once
// The support line at the foot of the editor: opens a mail message to the maker's support address when
// clicked (or on Enter and Space).

#include "framework/graphics/IControl.h"

namespace quorvel
{

class QuorSupportLink : public iplug::igraphics::IControl
{
public:
  explicit QuorSupportLink(const iplug::igraphics::IBounds& bounds);

  void OnMouseDown(float x, float y, const iplug::igraphics::IModifierState& mod) override;
  bool OnKeyDown(float x, float y, const iplug::IKeyStroke& key) override;
  void Draw(iplug::igraphics::IGraphics& g) override;
};

} // namespace quorvel
