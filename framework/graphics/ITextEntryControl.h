#pragma once
// The editor's own single-line value field. While it is open IGraphics sends it every pointer event;
// Return commits the text to the control that asked, Escape closes it without applying anything, and a
// click outside commits.
//
// Editing here is deliberately plain: the whole text starts selected, typing replaces or extends it and
// Backspace removes the last character. Cursor movement, selection, clipboard and undo come later.

#include "framework/graphics/IControl.h"

#include <string>

namespace iplug::igraphics
{

class ITextEntryControl : public IControl
{
public:
  ITextEntryControl();

  // paramIdx and length are accepted for the platform field's sake; this field does not limit them.
  void Open(int paramIdx, const ITextStyle& style, const IBounds& bounds, int length, const char* text);
  void Commit();
  void Dismiss();

  bool IsEditing() const { return mEditing; }
  const std::string& GetText() const { return mText; }

  void OnMouseDown(float x, float y, const IModifierState& mod) override;
  void OnMouseDoubleClick(float x, float y, const IModifierState& mod) override;
  bool OnKeyDown(float x, float y, const IKeyStroke& key) override;
  void Draw(IGraphics& g) override;

private:
  void Close();

  bool mEditing = false;
  bool mAllSelected = false;
  std::string mText; // UTF-8
};

} // namespace iplug::igraphics
