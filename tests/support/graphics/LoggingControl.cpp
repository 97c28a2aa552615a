#include "tests/support/graphics/LoggingControl.h"

#include "framework/graphics/IGraphics.h"
#include "framework/graphics/IPopupMenu.h"

namespace iplug::igraphics::gfxtest
{

LoggingControl::LoggingControl(const IBounds& bounds, std::vector<int> params, EventLog& log,
                               std::string name, IArgb c)
    : IControl(bounds, params.empty() ? kNoParameter : params[0]), colour(c), mLog(log),
      mName(std::move(name))
{
  for (size_t i = 1; i < params.size(); i++)
    mValueSlots.push_back({params[i], 0.0});
}

void LoggingControl::Note(const std::string& what)
{
  mLog.push_back(what + " " + mName);
}

void LoggingControl::OnMouseDown(float x, float y, const IModifierState& mod)
{
  Note(mod.R ? "rdown" : "down");
  if (onDown) onDown(this);
  IControl::OnMouseDown(x, y, mod);
}

void LoggingControl::OnMouseUp(float, float, const IModifierState&)
{
  Note("up");
}

void LoggingControl::OnMouseDrag(float, float, float, float, const IModifierState&)
{
  Note("drag");
}

void LoggingControl::OnMouseDoubleClick(float x, float y, const IModifierState& mod)
{
  Note("dbl");
  IControl::OnMouseDoubleClick(x, y, mod);
}

void LoggingControl::OnMouseWheel(float, float, const IModifierState&, float)
{
  Note("wheel");
}

bool LoggingControl::OnKeyDown(float, float, const IKeyStroke&)
{
  Note("key");
  return keyHandled;
}

bool LoggingControl::OnKeyUp(float x, float y, const IKeyStroke& key)
{
  if (!takesKeyUps) return IControl::OnKeyUp(x, y, key);
  Note("keyup:" + std::to_string(key.vk));
  return keyHandled;
}

void LoggingControl::OnMouseOver(float x, float y, const IModifierState& mod)
{
  Note("over");
  IControl::OnMouseOver(x, y, mod);
}

void LoggingControl::OnMouseOut()
{
  Note("out");
  IControl::OnMouseOut();
}

void LoggingControl::OnDrop(const char* text)
{
  Note(std::string("drop:") + (text ? text : ""));
}

void LoggingControl::OnMenuChoice(IPopupMenu* menu, int slot)
{
  Note("menu:" + std::to_string(menu ? menu->GetChosenItemIdx() : -99));
  IControl::OnMenuChoice(menu, slot);
}

void LoggingControl::OnContextMenuChoice(int itemIdx)
{
  Note("ctx:" + std::to_string(itemIdx));
}

void LoggingControl::OnTextEntered(const char* text, int)
{
  Note(std::string("text:") + text);
}

void LoggingControl::FillContextMenu(IPopupMenu& menu)
{
  for (const std::string& item : contextItems)
    menu.AddItem(item.c_str());
}

void LoggingControl::OnCaptureLost()
{
  Note("lost");
}

void LoggingControl::OnResize()
{
  resizes++;
  targetSeenInResize = mTargetBounds;
}

void LoggingControl::Draw(IGraphics& g)
{
  draws++;
  g.FillRect(colour, mBounds);
}

} // namespace iplug::igraphics::gfxtest
