#pragma once

// The one place that decides what the plug-in base stands on for its editor side: the graphics
// editor delegate, which owns the graphics context of the open editor.

#include "framework/graphics/IGEditorDelegate.h"

namespace iplug
{
using EditorDelegateBase = igraphics::IGEditorDelegate;

// The graphics context of the open editor, or null.
inline igraphics::IGraphics* GetEditorGraphicsOf(const EditorDelegateBase& delegate)
{
  return delegate.GetGraphics();
}
} // namespace iplug
