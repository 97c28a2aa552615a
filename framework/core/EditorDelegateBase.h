#pragma once

// The one place that decides what the plug-in base stands on for its editor side. Without the
// graphics framework the plug-in is an IEditorDelegate and has no graphics context; the graphics
// editor delegate takes this place by changing the alias and GetEditorGraphicsOf below.

#include "framework/core/IEditorDelegate.h"

namespace iplug
{
namespace igraphics
{
class IGraphics;
}

using EditorDelegateBase = IEditorDelegate;

// The graphics context of the open editor, or null.
inline igraphics::IGraphics* GetEditorGraphicsOf(const EditorDelegateBase&)
{
  return nullptr;
}
} // namespace iplug
