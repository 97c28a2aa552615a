#include "effect/editor/EditorLayout.h"

#include "framework/graphics/platform/IGraphicsWin.h"

#include <windows.h>

namespace quorvel
{

namespace
{
// The module this code was linked into: the program or the VST3 module, whichever holds the editor and
// therefore its resources. The same handle the deliverable's entry point receives.
HMODULE EditorModule()
{
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&EditorModule), &module);
  return module;
}
} // namespace

iplug::igraphics::IGraphics* CreateEditorGraphics(iplug::igraphics::IGEditorDelegate& delegate)
{
  auto* graphics = new iplug::igraphics::IGraphicsWin(&delegate, kEditorWidth, kEditorHeight, kEditorFps, 1.f);
  graphics->SetModuleInstance(EditorModule());
  return graphics;
}

} // namespace quorvel
