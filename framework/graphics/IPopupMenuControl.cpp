#include "framework/graphics/IPopupMenuControl.h"

#include "framework/graphics/IGraphics.h"

#include <algorithm>
#include <cmath>

namespace iplug::igraphics
{

namespace
{

IBounds Grown(const IBounds& r, float by)
{
  return {r.L - by, r.T - by, r.R + by, r.B + by};
}

IBounds Joined(const IBounds& a, const IBounds& b)
{
  return {std::min(a.L, b.L), std::min(a.T, b.T), std::max(a.R, b.R), std::max(a.B, b.B)};
}

} // namespace

IPopupMenuControl::IPopupMenuControl(const IBounds& usableArea) : IControl(IBounds()), mUsableArea(usableArea)
{
  mHidden = true;
}

IBounds IPopupMenuControl::GetLargestCellRectForMenu(const IPopupMenu& menu, float x, float y) const
{
  // Measured from one origin, left and top aligned: joining the rectangles keeps the widest and tallest.
  ITextStyle style = mTextStyle;
  style.align = kAlignNear;
  style.valign = kAlignNear;
  float w = 0.f, h = 0.f;
  for (int i = 0; i < menu.NItems(); ++i)
  {
    const IMenuEntry* item = menu.GetItem(i);
    IBounds r;
    if (mGraphics) mGraphics->MeasureText(style, item && item->GetText() ? item->GetText() : "", r);
    w = std::max(w, r.W());
    h = std::max(h, r.H());
  }
  return {x, y, x + w + TextMarginsWidth(), y + h};
}

void IPopupMenuControl::GetPanelDimensions(const IPopupMenu& menu, float& width, float& height) const
{
  const IBounds cell = GetLargestCellRectForMenu(menu, 0.f, 0.f);
  const int n = menu.NItems();
  int separators = 0;
  for (int i = 0; i < n; ++i)
    if (menu.GetItem(i)->GetIsSeparator()) ++separators;
  width = cell.W();
  height = static_cast<float>(n - separators) * cell.H() + static_cast<float>(separators) * mSeparatorHeight +
           static_cast<float>(std::max(0, n - 1)) * mCellGap;
}

void IPopupMenuControl::ShowMenu(IPopupMenu& menu, const IBounds& anchor)
{
  mMenu = &menu;
  mHasSubmenus = false;
  for (int i = 0; i < menu.NItems(); ++i)
    if (menu.GetItem(i)->GetSubmenu()) mHasSubmenus = true;
  if (mUsableArea.W() == 0.f && mGraphics) mUsableArea = mGraphics->GetBounds();
  if (mState == kCollapsed) Expand(anchor);
}

bool IPopupMenuControl::Fits(float x, float y, float w, float h) const
{
  const IBounds inner{mUsableArea.L + mShadowSize, mUsableArea.T + mShadowSize, mUsableArea.R - mShadowSize,
                      mUsableArea.B - mShadowSize};
  return x >= inner.L && y >= inner.T && x + w <= inner.R && y + h <= inner.B;
}

void IPopupMenuControl::Expand(const IBounds& anchor)
{
  SetHidden(false);
  mState = kExpanding;
  mPanels.DeleteAll();
  mActivePanel = nullptr;
  mHoverCell = -1;
  mAnchor = anchor;

  float w = 0.f, h = 0.f;
  GetPanelDimensions(*mMenu, w, h);
  const float t = mShowCallout ? mCalloutSize : 0.f;
  const float textSize = mTextStyle.size;
  const bool usableCentreBelow = mUsableArea.MH() > anchor.MH();
  const bool usableCentreRight = mUsableArea.MW() > anchor.MW();

  struct Placement
  {
    int32_t direction;
    IBounds callout;
    float x, y;
  };

  const Placement beside =
      anchor.MW() > mUsableArea.MW()
          ? Placement{kLeft,
                      {anchor.L - t, anchor.MH() - t / 2.f, anchor.L, anchor.MH() + t / 2.f},
                      anchor.L - t - w - mShadowSize,
                      0.f}
          : Placement{kRight,
                      {anchor.R, anchor.MH() - t / 2.f, anchor.R + t, anchor.MH() + t / 2.f},
                      anchor.R + t,
                      0.f};
  Placement besideAt = beside;
  besideAt.y = usableCentreBelow ? anchor.MH() - (t + textSize) : anchor.MH() - h + (t + textSize);

  const Placement below{kBelow,
                        {anchor.MW() - t / 2.f, anchor.B, anchor.MW() + t / 2.f, anchor.B + t},
                        anchor.MW() - w / 2.f,
                        anchor.B + t};
  const Placement above{kAbove,
                        {anchor.MW() - t / 2.f, anchor.T - t, anchor.MW() + t / 2.f, anchor.T},
                        anchor.MW() - w / 2.f,
                        anchor.T - t - h - mShadowSize};

  Placement chosen = besideAt;
  if (mHasSubmenus)
  {
    // Cascading menus need the width: they go below or above, wherever there is more room.
    const float roomBelow = mUsableArea.B - anchor.B;
    const float roomAbove = anchor.T - mUsableArea.T;
    chosen = roomBelow >= roomAbove ? below : above;
    chosen.x += usableCentreRight ? -mCalloutOffset : mCalloutOffset;
  }
  else if (mPreferBelow && Fits(below.x, below.y, w, h))
    chosen = below;
  else if (!Fits(besideAt.x, besideAt.y, w, h))
  {
    const Placement& other = usableCentreBelow ? below : above;
    if (Fits(other.x, other.y, w, h)) chosen = other;
  }

  // Whatever was chosen stays inside the usable area.
  float x = std::max(mUsableArea.L, std::min(chosen.x, mUsableArea.R - w));
  float y = std::max(mUsableArea.T, std::min(chosen.y, mUsableArea.B - h));
  mCalloutDirection = chosen.direction;
  mCalloutArea = mShowCallout ? chosen.callout : IBounds();

  MenuPanel* panel = BuildPanel(*mMenu, x, y);
  if (!panel)
  {
    Collapse();
    return;
  }
  mActivePanel = panel;
  mState = kExpanded;
  mBounds = panel->outerRect;
  mTargetBounds = panel->panelRect;
  mMouseOver = false;
  OnResize();
  MarkDirty(true);
}

IPopupMenuControl::MenuPanel* IPopupMenuControl::BuildPanel(IPopupMenu& menu, float x, float y)
{
  auto* panel = new MenuPanel(menu, -1);
  if (!mPanels.Add(panel))
  {
    delete panel;
    return nullptr;
  }
  panel->largestCell = GetLargestCellRectForMenu(menu, 0.f, 0.f);
  const float cellW = panel->largestCell.W();
  const float cellH = panel->largestCell.H();
  const int n = menu.NItems();
  auto heightOf = [&](int i) { return menu.GetItem(i)->GetIsSeparator() ? mSeparatorHeight : cellH; };

  const float top = y + mPanelMargin;
  float cx = x + mPanelMargin;
  float cy = top;
  bool scrolling = false;
  for (int i = 0; i < n; ++i)
  {
    const float ch = heightOf(i);
    const bool pastBottom = cy + ch > mUsableArea.B;
    const bool columnFull = mMaxItemsPerColumn > 0 && i >= 2 && i % mMaxItemsPerColumn == 0;
    if (i > 0 && (pastBottom || columnFull) && !scrolling)
    {
      if (mScrollWhenTooTall)
      {
        // One column from the top of the usable area; only what fits is shown at a time.
        const float usable = mUsableArea.H() - 2.f * mPanelMargin + mCellGap;
        panel->cellsThatFit = std::max(1, static_cast<int>(std::floor(usable / (cellH + mCellGap))));
        panel->scroll = n > panel->cellsThatFit;
        panel->cells.DeleteAll();
        cy = mUsableArea.T + mPanelMargin;
        for (int j = 0; j < i; ++j)
        {
          panel->cells.Add(new IBounds(cx, cy, cx + cellW, cy + heightOf(j)));
          cy += heightOf(j) + mCellGap;
        }
        scrolling = true;
      }
      else
      {
        cx += cellW + mCellGap;
        cy = top;
      }
    }
    panel->cells.Add(new IBounds(cx, cy, cx + cellW, cy + ch));
    cy += ch + mCellGap;
  }

  IBounds area;
  const int shown = panel->scroll ? std::min(n, panel->cellsThatFit) : n;
  for (int i = 0; i < shown; ++i)
    area = i == 0 ? *panel->cells.Get(i) : Joined(area, *panel->cells.Get(i));
  if (n == 0) area = {x + mPanelMargin, y + mPanelMargin, x + mPanelMargin, y + mPanelMargin};
  if (mFixedPanelArea.W() != 0.f) area = mFixedPanelArea;
  panel->panelRect = Grown(area, mPanelMargin);
  panel->outerRect = Grown(panel->panelRect, mShadowSize);
  return panel;
}

void IPopupMenuControl::Collapse()
{
  mState = kCollapsed;
  mPanels.DeleteAll();
  mActivePanel = nullptr;
  mHoverCell = -1;
  mBounds = mTargetBounds = IBounds();
  SetHidden(true);
}

int IPopupMenuControl::CellAt(float x, float y) const
{
  if (!mActivePanel) return -1;
  const int n = mActivePanel->cells.GetCount();
  for (int i = 0; i < n; ++i)
    if (mActivePanel->cells.Get(i)->Contains(x, y)) return i;
  return -1;
}

void IPopupMenuControl::Finish(int chosen)
{
  IPopupMenu* menu = mMenu;
  Collapse();
  mMenu = nullptr;
  if (!menu) return;
  menu->SetChosenItemIdx(chosen);
  if (chosen >= 0) menu->ExecFunction();
  if (mGraphics) mGraphics->CompletePopupMenu(chosen >= 0 ? menu : nullptr);
}

void IPopupMenuControl::OnMouseDown(float x, float y, const IModifierState&)
{
  if (mState != kExpanded) return;
  const int cell = CellAt(x, y);
  if (cell < 0)
  {
    if (!mTargetBounds.Contains(x, y)) Finish(-1); // a press outside dismisses
    return;
  }
  const IMenuEntry* item = mMenu ? mMenu->GetItem(cell) : nullptr;
  if (!item || item->GetIsSeparator() || !item->GetEnabled() || (item->GetFlags() & IMenuEntry::kInert))
    return;
  Finish(cell);
}

void IPopupMenuControl::OnMouseOver(float x, float y, const IModifierState&)
{
  const int cell = CellAt(x, y);
  if (cell != mHoverCell)
  {
    mHoverCell = cell;
    MarkDirty(false);
  }
}

void IPopupMenuControl::OnMouseOut()
{
  mHoverCell = -1;
  MarkDirty(false);
}

void IPopupMenuControl::Draw(IGraphics& g)
{
  if (mState == kCollapsed || !mActivePanel || !mMenu) return;
  const IBlendSpec shadow(kBlendDefault, 0.3f);
  g.FillRect(COLOR_BLACK, mActivePanel->panelRect.GetTranslated(mShadowSize / 2.f, mShadowSize / 2.f),
             &shadow);
  g.FillRect(mTextStyle.entryBackground, mActivePanel->panelRect);
  if (!mCalloutArea.Empty())
  {
    const IBounds& c = mCalloutArea;
    switch (mCalloutDirection)
    {
    case kRight:
      g.FillTriangle(mTextStyle.entryBackground, c.L, c.MH(), c.R, c.T, c.R, c.B);
      break;
    case kLeft:
      g.FillTriangle(mTextStyle.entryBackground, c.R, c.MH(), c.L, c.T, c.L, c.B);
      break;
    case kBelow:
      g.FillTriangle(mTextStyle.entryBackground, c.MW(), c.T, c.L, c.B, c.R, c.B);
      break;
    default:
      g.FillTriangle(mTextStyle.entryBackground, c.MW(), c.B, c.L, c.T, c.R, c.T);
      break;
    }
  }
  const int n = std::min(mMenu->NItems(), mActivePanel->cells.GetCount());
  const int shown = mActivePanel->scroll ? std::min(n, mActivePanel->cellsThatFit) : n;
  ITextStyle style = mTextStyle;
  style.align = kAlignNear;
  for (int i = 0; i < shown; ++i)
  {
    const IMenuEntry* item = mMenu->GetItem(i);
    const IBounds& cell = *mActivePanel->cells.Get(i);
    if (item->GetIsSeparator())
    {
      g.DrawLine(COLOR_GRAY, cell.L, cell.MH(), cell.R, cell.MH());
      continue;
    }
    if (i == mHoverCell && item->GetEnabled()) g.FillRect(mTextStyle.entryForeground, cell, &shadow);
    if (item->GetChecked())
      g.FillCircle(mTextStyle.colour, cell.L + mTextMarginA + mTextMarginB / 2.f, cell.MH(), 3.f);
    const IBounds textArea{cell.L + mTextMarginA + mTextMarginB, cell.T, cell.R - mTextMarginA - mTextMarginC,
                           cell.B};
    const IBlendSpec disabled(kBlendDefault, 0.25f);
    g.DrawText(style, item->GetText(), textArea, item->GetEnabled() ? nullptr : &disabled);
  }
}

} // namespace iplug::igraphics
