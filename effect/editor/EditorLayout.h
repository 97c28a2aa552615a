#pragma once
// The effect's editor: the graphics context it is drawn in and every control of its fixed 980 x 650
// design, in drawing order.

#include "effect/editor/EditorWindowFit.h" // the editor's size and scale limits

namespace iplug::igraphics
{
class IGraphics;
class IGEditorDelegate;
} // namespace iplug::igraphics

namespace quorvel
{

class EditorPlugin;

inline constexpr int kEditorFps = 30;

// The platform window's graphics context for the delegate, at scale 1, looking up its resources in the
// module (program or VST3 module) that holds the editor. Null where the platform has no editor window.
iplug::igraphics::IGraphics* CreateEditorGraphics(iplug::igraphics::IGEditorDelegate& delegate);

// Attaches every control; does nothing without a graphics context.
void BuildEditorLayout(EditorPlugin& plugin, iplug::igraphics::IGraphics* graphics);

} // namespace quorvel
