#pragma once
// The whole background: gradient, scan lines, the title and the fixed rules, captions and knob panel.

#include "framework/graphics/IControl.h"

namespace quorvel
{

class QuorBackdrop : public iplug::igraphics::IControl
{
public:
  explicit QuorBackdrop(const iplug::igraphics::IBounds& bounds);
  void Draw(iplug::igraphics::IGraphics& g) override;
};

} // namespace quorvel
