#pragma once
// The whole background: gradient, scan lines, the title and the fixed rules, captions and knob panel.
// None of it ever changes, yet every display tick repaints the meter panel over it: it is drawn once
// into a layer at the editor's scale and copied from there (drawn directly where no layer can be had).

#include "framework/graphics/IControl.h"
#include "framework/graphics/IDrawLayer.h"

#include <memory>

namespace quorvel
{

class QuorBackdrop : public iplug::igraphics::IControl
{
public:
  explicit QuorBackdrop(const iplug::igraphics::IBounds& bounds);
  void Draw(iplug::igraphics::IGraphics& g) override;

private:
  void DrawContent(iplug::igraphics::IGraphics& g) const;
  bool LayerFits(const iplug::igraphics::IGraphics& g) const;

  std::unique_ptr<iplug::igraphics::IDrawLayer> mLayer;
};

} // namespace quorvel
