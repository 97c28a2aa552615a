#pragma once
// A popup menu drawn inside the editor with the editor's own drawing interface instead of a platform
// menu. It takes a menu and an anchor rectangle, lays the menu out as a panel of cells and places the
// panel beside, below or above the anchor inside the usable area, pointing at the anchor with a callout.
// The choice ends like a platform menu: chosen index, the menu's callback, then IGraphics.

#include "framework/core/PointerList.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IPopupMenu.h"

#include <cstdint>

namespace iplug::igraphics
{

class IPopupMenuControl : public IControl
{
public:
  enum EState : int32_t
  {
    kCollapsed = 0,
    kExpanding = 1,
    kExpanded = 2,
  };

  // Where the panel lies from the anchor (and the callout points from).
  enum ECalloutDirection : int32_t
  {
    kAbove = 0,
    kRight = 1,
    kBelow = 2,
    kLeft = 3,
  };

  // One open menu level.
  struct MenuPanel
  {
    MenuPanel(IPopupMenu& m, int32_t further) : menu(&m), furtherState(further) {}

    IPopupMenu* menu; // not owned
    PointerList<IBounds> cells;
    IBounds outerRect; // the cells' union grown by margin and shadow: what is drawn
    IBounds panelRect; // the cells' union grown by margin: what is hit
    IBounds largestCell;
    int32_t cellsThatFit = 0; // when scrolling
    bool scroll = false;
    int32_t furtherState;
  };

  IPopupMenuControl(const IBounds& usableArea = IBounds());

  void ShowMenu(IPopupMenu& menu, const IBounds& anchor);
  void Collapse();

  // Layout and placement options.
  void SetUsableArea(const IBounds& area) { mUsableArea = area; }
  void SetCalloutShown(bool shown) { mShowCallout = shown; }
  void SetPreferBelow(bool prefer) { mPreferBelow = prefer; }
  void SetScrollWhenTooTall(bool scroll) { mScrollWhenTooTall = scroll; }
  void SetMaxItemsPerColumn(int32_t n) { mMaxItemsPerColumn = n; }
  void SetFixedPanelArea(const IBounds& area) { mFixedPanelArea = area; }

  float CellGap() const { return mCellGap; }
  float SeparatorHeight() const { return mSeparatorHeight; }
  float PanelMargin() const { return mPanelMargin; }
  float ShadowSize() const { return mShadowSize; }
  float CalloutSize() const { return mCalloutSize; }
  float CalloutOffset() const { return mCalloutOffset; }
  float TextMarginsWidth() const { return 2.f * mTextMarginA + mTextMarginB + mTextMarginC; }

  int32_t GetState() const { return mState; }
  IPopupMenu* GetMenu() const { return mMenu; }
  bool HasSubmenus() const { return mHasSubmenus; }
  const IBounds& GetUsableArea() const { return mUsableArea; }
  int32_t GetCalloutDirection() const { return mCalloutDirection; }
  const IBounds& GetCalloutArea() const { return mCalloutArea; }
  int32_t NPanels() const { return mPanels.GetCount(); }
  const MenuPanel* GetPanel(int32_t i) const { return mPanels.Get(i); }
  const MenuPanel* GetActivePanel() const { return mActivePanel; }

  // The joined extent of every item text in the control's style, widened by the text margins.
  IBounds GetLargestCellRectForMenu(const IPopupMenu& menu, float x, float y) const;
  // Width and height of the panel's cells (margins and shadow not included).
  void GetPanelDimensions(const IPopupMenu& menu, float& width, float& height) const;

  void OnMouseDown(float x, float y, const IModifierState& mod) override;
  void OnMouseOver(float x, float y, const IModifierState& mod) override;
  void OnMouseOut() override;
  void Draw(IGraphics& g) override;

private:
  void Expand(const IBounds& anchor);
  MenuPanel* BuildPanel(IPopupMenu& menu, float x, float y);
  bool Fits(float x, float y, float w, float h) const;
  // The item under the point in the active panel, or -1.
  int CellAt(float x, float y) const;
  void Finish(int chosen);

  IPopupMenu* mMenu = nullptr;
  bool mHasSubmenus = false;
  PointerList<MenuPanel> mPanels;
  MenuPanel* mActivePanel = nullptr;
  int32_t mState = kCollapsed;
  IBounds mUsableArea;
  IBounds mAnchor;
  int32_t mCalloutDirection = kRight;
  IBounds mCalloutArea;
  float mCellGap = 2.f;
  float mSeparatorHeight = 9.f;
  float mPanelMargin = 5.f;
  float mShadowSize = 8.f;
  float mCalloutSize = 10.f;
  float mCalloutOffset = 20.f;
  float mTextMarginA = 5.f;  // each side
  float mTextMarginB = 15.f; // the check mark
  float mTextMarginC = 10.f; // the submenu arrow
  bool mShowCallout = true;
  bool mScrollWhenTooTall = false;
  bool mPreferBelow = false;
  int32_t mMaxItemsPerColumn = 0;
  IBounds mFixedPanelArea;
  int mHoverCell = -1;
};

} // namespace iplug::igraphics
