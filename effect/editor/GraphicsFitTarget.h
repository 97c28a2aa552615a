#pragma once

#include "effect/editor/EditorWindowFit.h"
#include "framework/graphics/IGraphics.h"

namespace quorvel
{
// The open editor's graphics context, seen as what window fitting needs of it.
class GraphicsFitTarget final : public EditorFitTarget
{
public:
  void Bind(iplug::igraphics::IGraphics* graphics) { mGraphics = graphics; }

  int NControls() const override { return mGraphics->NControls(); }
  float GetWindowDpiScale() const override { return mGraphics->GetWindowDpiScale(); }
  void Resize(int width, int height, float scale, bool needsPlatformResize) override
  {
    mGraphics->Resize(width, height, scale, needsPlatformResize);
  }

private:
  iplug::igraphics::IGraphics* mGraphics = nullptr;
};
} // namespace quorvel
