// The editor side of the VST3 adapter: view creation, the editor's resize requests to the host frame,
// the window's ownership among views, and the host's parameter context menu.

#include "framework/vst3/IPlugVST3.h"

#include "framework/graphics/IGraphics.h"
#include "framework/vst3/HostContextMenu.h"
#include "framework/vst3/IPlugVST3View.h"
#include "framework/vst3/ParamIdTable.h"

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace iplug
{

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString name)
{
  if (!HasEditor() || !name || std::strcmp(name, ViewType::kEditor) != 0) return nullptr;
  try
  {
    auto* view = new IPlugVST3View(*this);
    mView = view;
    return view;
  }
  catch (...)
  {
    return nullptr;
  }
}

bool IPlugVST3::ResizeEditorWindow(int width, int height, bool)
{
  if (!HasEditor()) return true;
  const bool changed = width != GetEditorWidth() || height != GetEditorHeight();
  // Recorded before the host is asked: hosts answer resizeView with onSize and getSize calls of their
  // own, which must see the new size and must not start a second request for it.
  SetEditorSize(width, height);
  if (changed && mView)
    if (IPlugFrame* frame = mView->GetFrame())
    {
      ViewRect size(0, 0, width, height);
      frame->resizeView(mView, &size);
    }
  return true;
}

bool IPlugVST3::OpenEditorInView(const IPlugVST3View& view, void* parent)
{
  if (mWindowView) CloseWindow();
  mWindowView = &view;
  void* window = nullptr;
  try
  {
    window = OpenWindow(parent);
  }
  catch (...)
  {
    window = nullptr;
  }
  if (window) return true;
  mWindowView = nullptr;
  // Whatever the failed open made is taken down again.
  CloseWindow();
  return false;
}

void IPlugVST3::CloseEditorOfView(const IPlugVST3View& view)
{
  if (mWindowView != &view) return;
  mWindowView = nullptr;
  CloseWindow();
}

bool IPlugVST3::ShowParamContextMenuInHost(igraphics::IGraphics& graphics, igraphics::IControl& control,
                                           igraphics::IPopupMenu& menu, int paramIdx, float x, float y)
{
  if (!componentHandler || !mView) return true;
  try
  {
    ShowHostParamContextMenu(*componentHandler, *mView, MapParamId(paramIdx), control, menu, x, y,
                             graphics.GetTotalScale());
  }
  catch (...)
  {
    // Runs inside the editor's input handling: a failure only means no menu.
  }
  return true;
}

} // namespace iplug
