// A plug-in-like module for the window class test: its start-up step hands its own instance handle to the
// framework, and the editor it opens registers its window class and finds its resources with that handle.

#include "framework/graphics/platform/IGraphicsWin.h"
#include "framework/graphics/platform/ModuleInstance.h"
#include "framework/vst3/ModuleInit.h"
#include "tests/support/graphics/TestEditorDelegate.h"

using namespace iplug::igraphics;

bool InitModule()
{
  return iplug::InitModuleHook();
}

bool DeinitModule()
{
  return true;
}

namespace
{
gfxtest::EventLog gLog;
gfxtest::TestEditorDelegate* gDelegate = nullptr;
} // namespace

extern "C" void* OpenTestEditor(void* parent)
{
  gDelegate = new gfxtest::TestEditorDelegate(1, gLog);
  gDelegate->SetMakeGraphicsFunc(
      []
      {
        auto* graphics = new IGraphicsWin(gDelegate, 100, 50);
        graphics->SetModuleInstance(iplug::GetFrameworkModuleInstance());
        return graphics;
      });
  return gDelegate->OpenWindow(parent);
}

extern "C" void CloseTestEditor()
{
  gDelegate->CloseWindow();
  delete gDelegate;
  gDelegate = nullptr;
}

// The editor's own lookup: true when it finds the named SVG document through the handle it was given.
extern "C" bool TestEditorFindsSvg(const char* name)
{
  return gDelegate && gDelegate->GetGraphics()->LoadSVG(name).IsValid();
}
