#pragma once
// The invisible owner of the text entry opened over a knob's value box: it takes no mouse, draws nothing
// and hands the typed text to whoever its callback names (the layout names the knob).

#include "framework/graphics/IControl.h"

#include <functional>

namespace quorvel
{

using ValueEntryCallback = std::function<void(const char* text)>;

class QuorValueEntry : public iplug::igraphics::IControl
{
public:
  explicit QuorValueEntry(ValueEntryCallback callback);

  // Without a callback the text is ignored.
  void OnTextEntered(const char* text, int slot) override;
  void Draw(iplug::igraphics::IGraphics&) override {}

private:
  ValueEntryCallback mCallback;
};

} // namespace quorvel
