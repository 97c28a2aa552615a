#include "effect/editor/QuorValueEntry.h"

namespace quorvel
{

QuorValueEntry::QuorValueEntry(ValueEntryCallback callback)
  : IControl(iplug::igraphics::IBounds{}), mCallback(std::move(callback))
{
  SetIgnoreMouse(true);
}

void QuorValueEntry::OnTextEntered(const char* text, int)
{
  if (mCallback) mCallback(text ? text : "");
}

} // namespace quorvel
