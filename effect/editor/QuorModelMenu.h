#pragma once
// The saturation model chooser: shows the current model's name and opens the menu of the model names.

#include "framework/graphics/IControl.h"

namespace quorvel
{

class QuorModelMenu : public iplug::igraphics::IControl
{
public:
  QuorModelMenu(const iplug::igraphics::IBounds& bounds, int paramIdx);

  void OnMouseDown(float x, float y, const iplug::igraphics::IModifierState& mod) override;
  // Enter and Space open the menu; Up selects the previous model and Down the next one.
  bool OnKeyDown(float x, float y, const iplug::IKeyStroke& key) override;
  void Draw(iplug::igraphics::IGraphics& g) override;
};

// The model index a control's value stands for: the parameter's value rounded half away from zero and
// held within the models.
int ModelIndexOf(const iplug::igraphics::IControl& control);
// The model's name from the parameter's own texts ("" when it has none).
const char* ModelNameOf(const iplug::igraphics::IControl& control, int model);

} // namespace quorvel
