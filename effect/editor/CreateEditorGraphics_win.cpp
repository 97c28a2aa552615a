#include "effect/editor/EditorLayout.h"

#include "framework/graphics/platform/IGraphicsWin.h"
#include "framework/graphics/platform/ModuleInstance.h"

namespace quorvel
{

iplug::igraphics::IGraphics* CreateEditorGraphics(iplug::igraphics::IGEditorDelegate& delegate)
{
  auto* graphics =
      new iplug::igraphics::IGraphicsWin(&delegate, kEditorWidth, kEditorHeight, kEditorFps, 1.f);
  // The module holding the editor and its pictures: the program stores its own handle at entry, the
  // VST3 module the one its DLL entry received, on its first load.
  graphics->SetModuleInstance(iplug::GetFrameworkModuleInstance());
  return graphics;
}

} // namespace quorvel
