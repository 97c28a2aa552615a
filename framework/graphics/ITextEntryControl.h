#pragma once
// The editor's own single-line value field, drawn with the editor's drawing interface. While it is open
// IGraphics sends it every pointer event; Return commits the text to the control that asked, Escape
// closes it without applying anything, and a click outside commits. Cursor movement, selection, insert
// mode and undo are the text-editing library's; the field supplies the text (UTF-16 code units), the
// measured character widths, the key mapping, the clipboard and the blinking caret.

#include "framework/core/HeapBuffer.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IPopupMenu.h"

#include <cstdint>
#include <string>

// Configuration of the editing library; its state record is part of the field.
#define STB_TEXTEDIT_CHARTYPE char16_t
#define STB_TEXTEDIT_KEYTYPE uint32_t
#define STB_TEXTEDIT_UNDOSTATECOUNT 99
#define STB_TEXTEDIT_UNDOCHARCOUNT 999
#include <stb_textedit.h>

namespace iplug::igraphics
{

class ITextEntryControl : public IControl
{
public:
  // Key codes handed to the library: bit 31 a virtual key (no text), 30 Shift, 29 Ctrl, 28 Alt; the low
  // bits the Windows virtual-key code, or the character.
  static constexpr uint32_t kVirtualKey = 0x80000000u;
  static constexpr uint32_t kShiftBit = 0x40000000u;
  static constexpr uint32_t kCtrlBit = 0x20000000u;
  static constexpr uint32_t kAltBit = 0x10000000u;

  ITextEntryControl();

  // paramIdx and length are accepted for the platform field's sake; this field does not limit them.
  void Open(int paramIdx, const ITextStyle& style, const IBounds& bounds, int length, const char* text);
  void Commit();
  void Dismiss();

  void SelectAll();
  void Copy();
  void Cut();
  void Paste();

  bool IsEditing() const { return mEditing; }
  bool IsCaretVisible() const { return mCaretVisible; }
  // UTF-8 form of the text being edited.
  std::string GetText() const;
  const std::u16string& GetUnits() const { return mText; }
  int GetCursor() const { return mEditState.cursor; }
  int GetSelectionStart() const { return mEditState.select_start; }
  int GetSelectionEnd() const { return mEditState.select_end; }
  // Width of character i, kerning against its left neighbour included; 0 outside the text.
  float GetCharWidth(int i);

  void OnMouseDown(float x, float y, const IModifierState& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IModifierState& mod) override;
  void OnMouseUp(float x, float y, const IModifierState& mod) override;
  void OnMouseDoubleClick(float x, float y, const IModifierState& mod) override;
  bool OnKeyDown(float x, float y, const IKeyStroke& key) override;
  void Draw(IGraphics& g) override;
  void FinishAnimation() override;

  // Callbacks of the editing library.
  static int TextLength(const ITextEntryControl* field);
  static char16_t CharAt(const ITextEntryControl* field, int i);
  static float CharWidth(ITextEntryControl* field, int lineStart, int i);
  static void LayoutRow(StbTexteditRow* row, ITextEntryControl* field, int lineStart);
  static int DeleteChars(ITextEntryControl* field, int position, int count);
  static int InsertChars(ITextEntryControl* field, int position, const char16_t* units, int count);

private:
  struct Snapshot
  {
    int cursor, selectStart, selectEnd;
    unsigned char insertMode;
    std::u16string text;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot TakeSnapshot() const;
  // MarkDirty(false) when the editing state differs from the snapshot; returns whether it did.
  bool MarkIfChanged(const Snapshot& before);
  void Close();
  void FillCharWidths();
  float WidthBefore(int n);
  float MeasureUnits(const char16_t* units, int count) const;
  void ShowContextMenu(float x, float y);
  void RestartBlink();
  void Blink();
  // Feeds one key to the library (typed characters outside the BMP go in as one surrogate pair).
  void SendKey(uint32_t key);

  bool mCaretVisible = false;
  bool mEditing = false;
  STB_TexteditState mEditState{};
  HeapBuffer mCharWidths{HeapBuffer::kDefaultGranularity}; // float32 per character, filled on demand
  std::u16string mText;
  IPopupMenu mContextMenu{"", {"Cut", "Copy", "Paste"}};
};

} // namespace iplug::igraphics
