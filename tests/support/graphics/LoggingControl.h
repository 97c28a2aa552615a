#pragma once
// A control that writes every handler call into the shared event log and paints its bounds in its own
// colour, so that hit tests, gesture order and repaints can be checked from the outside.

#include "framework/graphics/IControl.h"
#include "tests/support/graphics/TestEditorDelegate.h"

#include <string>
#include <vector>

namespace iplug::igraphics::gfxtest
{

class LoggingControl : public IControl
{
public:
  // One value slot per parameter index given (at least one slot, unbound when the list is empty).
  LoggingControl(const IBounds& bounds, std::vector<int> params, EventLog& log, std::string name,
                 IArgb colour = COLOR_GRAY);

  void OnMouseDown(float x, float y, const IModifierState& mod) override;
  void OnMouseUp(float x, float y, const IModifierState& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IModifierState& mod) override;
  void OnMouseDoubleClick(float x, float y, const IModifierState& mod) override;
  void OnMouseWheel(float x, float y, const IModifierState& mod, float delta) override;
  bool OnKeyDown(float x, float y, const IKeyStroke& key) override;
  bool OnKeyUp(float x, float y, const IKeyStroke& key) override;
  void OnMouseOver(float x, float y, const IModifierState& mod) override;
  void OnMouseOut() override;
  void OnDrop(const char* text) override;
  void OnMenuChoice(IPopupMenu* menu, int slot) override;
  void OnContextMenuChoice(int itemIdx) override;
  void OnTextEntered(const char* text, int slot) override;
  void FillContextMenu(IPopupMenu& menu) override;
  void OnCaptureLost() override;
  void OnResize() override;
  void Draw(IGraphics& g) override;

  // Called from OnMouseDown after logging, to let a test act inside the handler.
  std::function<void(LoggingControl*)> onDown;
  std::vector<std::string> contextItems;
  bool keyHandled = true;
  bool takesKeyUps = false; // false: key releases go to the base control, unlogged
  int draws = 0;
  int resizes = 0;
  IBounds targetSeenInResize;
  IArgb colour;

private:
  void Note(const std::string& what);

  EventLog& mLog;
  std::string mName;
};

} // namespace iplug::igraphics::gfxtest
