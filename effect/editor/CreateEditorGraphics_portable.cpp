#include "effect/editor/EditorLayout.h"

namespace quorvel
{

// No editor window exists off Windows: the editor is drawn only by tests and benchmarks, which make their
// own graphics contexts.
iplug::igraphics::IGraphics* CreateEditorGraphics(iplug::igraphics::IGEditorDelegate&)
{
  return nullptr;
}

} // namespace quorvel
