#pragma once
// The editor's buttons: on/off switches of a bool parameter, the A/B comparison switch and COPY.

#include "framework/graphics/IControl.h"

#include <cstdint>

namespace quorvel
{

class EditorPlugin;

class QuorButton : public iplug::igraphics::IControl
{
public:
  enum Mode : int32_t
  {
    kToggle = 0,
    kCompare = 1,
    kCopy = 2,
  };

  // A toggle is bound to its parameter; the other modes have none.
  QuorButton(const iplug::igraphics::IBounds& bounds, EditorPlugin& plugin, const char* label, int32_t mode,
             int paramIdx = iplug::igraphics::kNoParameter);

  bool IsActive() const;
  int32_t GetMode() const { return mMode; }
  const char* GetLabel() const { return mLabel; }

  void OnMouseDown(float x, float y, const iplug::igraphics::IModifierState& mod) override;
  bool OnKeyDown(float x, float y, const iplug::IKeyStroke& key) override;
  bool IsDirty() override;
  void Draw(iplug::igraphics::IGraphics& g) override;

private:
  void Perform();

  EditorPlugin& mPlugin;
  const char* mLabel;
  int32_t mMode;
  uint8_t mLastSlot = 0;
};

} // namespace quorvel
