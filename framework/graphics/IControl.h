#pragma once
// The base of every element of the editor. A control owns its rectangles, style, flags and its bindings to
// parameters (value slots holding normalised values); IGraphics owns the controls, routes input to them
// and draws them; user changes go from the control to its editor delegate.

#include "framework/core/IMidiEvent.h"
#include "framework/graphics/IDrawingRecords.h"
#include "framework/graphics/IGraphicsConstants.h"
#include "framework/graphics/IInputEvents.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace iplug
{
class IParam;
}

namespace iplug::igraphics
{

class IControl;
class IGraphics;
class IGEditorDelegate;
class IPopupMenu;
class IRectList;

using ControlCallback = std::function<void(IControl* control)>;

inline constexpr int kNoParameter = -1;
inline constexpr int kAllSlots = -1; // "every value slot" where an operation takes a slot

struct ValueSlot
{
  int paramIdx = kNoParameter;
  double value = 0.0; // normalised
};

// Only the type is read by controls; platforms that produce gestures fill the rest.
struct IGesture
{
  int32_t type = 0;
  float x = 0.f;
  float y = 0.f;
  float scale = 1.f;
  float velocity = 0.f;
  float angle = 0.f;
};

using GestureHandler = std::function<void(IControl* control, const IGesture& info)>;

class IControl
{
public:
  explicit IControl(const IBounds& bounds, int paramIdx = kNoParameter, ControlCallback action = nullptr);
  // Makes no virtual call: a derived control that hides the cursor or holds a capture releases it in its
  // own destructor.
  virtual ~IControl();

  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  virtual void OnMouseDown(float x, float y, const IModifierState& mod);
  virtual void OnMouseUp(float x, float y, const IModifierState& mod);
  virtual void OnMouseDrag(float x, float y, float dX, float dY, const IModifierState& mod);
  virtual void OnMouseDoubleClick(float x, float y, const IModifierState& mod);
  virtual void OnMouseWheel(float x, float y, const IModifierState& mod, float delta);
  virtual bool OnKeyDown(float x, float y, const IKeyStroke& key);
  virtual bool OnKeyUp(float x, float y, const IKeyStroke& key);
  virtual void OnMouseOver(float x, float y, const IModifierState& mod);
  virtual void OnMouseOut();
  virtual void OnDrop(const char* text);
  // Called with at least one path.
  virtual void OnDropPaths(const std::vector<std::string>& paths);
  virtual void OnScaleChanged() {}
  virtual void OnResize() {}
  virtual void OnBeforeAttach() {}
  virtual void OnAfterAttach() {}
  virtual void OnDelegateMessage(int msgTag, int dataSize, const void* data);
  virtual void OnMidiMessage(const IMidiEvent& msg);
  virtual bool HandleGesture(const IGesture& info);
  virtual void FillContextMenu(IPopupMenu& menu);
  virtual void OnMenuChoice(IPopupMenu* menu, int slot);
  virtual void OnTextEntered(const char* text, int slot);
  virtual void OnContextMenuChoice(int itemIdx);
  // The pointer holding this control was let go without a release (a menu, a resize, a dialog, the
  // controls being removed): a control that keeps press state resets it here.
  virtual void OnCaptureLost() {}

  virtual void Draw(IGraphics& g) = 0;
  virtual void DrawHighlightMark(IGraphics& g);

  // Throws std::out_of_range for a slot outside the list.
  virtual void BindParam(int paramIdx, int slot = 0);
  virtual int GetValueIndexAt(float x, float y) const;
  virtual void ApplyValueFromDelegate(double value, int slot = 0);
  virtual void ApplyValueFromUser(double value, int slot = 0);
  virtual void ResetValueToDefault(int slot = kAllSlots);
  virtual void SetValue(double value, int slot = 0);
  virtual void SetTextStyle(const ITextStyle& style) { mTextStyle = style; }
  virtual void SetPosition(float x, float y);
  virtual void SetSize(float w, float h);
  virtual void SetHidden(bool hide);
  virtual void SetDisabled(bool disable);
  virtual void SetIgnoreMouse(bool ignore) { mIgnoreMouse = ignore; }
  virtual bool HitTest(float x, float y) const { return mTargetBounds.Contains(x, y); }
  // Clamps the touched slots into 0..1; with notify the values go to the delegate, to the peers bound to
  // the same parameters, and the action is called.
  virtual void MarkDirty(bool notify, int slot = kAllSlots);
  virtual void MarkClean() { mDirty = false; }
  // Polled once per display tick: a control that follows outside state (a meter, a preset name) may
  // update itself here before answering.
  virtual bool IsDirty() { return mAnimation ? true : mDirty; }
  // Asked right after IsDirty answered true: the areas to redraw. A control that knows which of its
  // parts changed (a meter strip beside a picture) names only those; the default is its bounds.
  virtual void AddDirtyRects(IRectList& rects) const;
  virtual bool AcceptsGestures() const { return !mGestureHandlers.empty() && !mAnimation; }
  virtual void SetValueFromPosition(float x, float y, bool horizontal, const IBounds& bounds, int slot,
                                    double lo = 0.0, double hi = 1.0);
  virtual void FinishAnimation();

  // Parameter binding. A slot outside the list has no parameter.
  const IParam* GetParam(int slot = 0) const;
  int GetParamIndex(int slot = 0) const;
  double GetValue(int slot = 0) const;
  int NValueSlots() const { return static_cast<int>(mValueSlots.size()); }
  int FindValueSlotForParam(int paramIdx) const;
  void PromptForValue(int slot = 0);

  double StartAnimation(double durationMs);
  double GetAnimationProgress() const;
  // Runs the animation on a copy, so the callback may replace or drop itself.
  void Animate();
  void SetAnimation(ControlCallback func) { mAnimation = std::move(func); }
  void SetAnimation(ControlCallback func, double durationMs)
  {
    mAnimation = std::move(func);
    StartAnimation(durationMs);
  }
  bool HasAnimation() const { return static_cast<bool>(mAnimation); }
  void SetActionFunction(ControlCallback func) { mAction = std::move(func); }
  void SetAnimationEndActionFunction(ControlCallback func) { mAnimationEndAction = std::move(func); }
  void SetGestureHandler(int32_t type, GestureHandler func) { mGestureHandlers[type] = std::move(func); }
  int32_t GetLastGesture() const { return mLastGesture; }

  const IBounds& GetBounds() const { return mBounds; }
  const IBounds& GetTargetBounds() const { return mTargetBounds; }
  void SetBounds(const IBounds& r) { mBounds = r; }
  void SetTargetBounds(const IBounds& r) { mTargetBounds = r; }
  void SetBoundsAndTarget(const IBounds& r) { mBounds = mTargetBounds = r; }

  const ITextStyle& GetTextStyle() const { return mTextStyle; }
  const IBlendSpec& GetBlend() const { return mBlend; }
  const char* GetGroup() const { return mGroup.c_str(); }
  void SetGroup(const char* group) { mGroup = group ? group : ""; }
  const char* GetTooltip() const { return mTooltip.c_str(); }
  void SetTooltip(const char* text) { mTooltip = text ? text : ""; }

  bool IsHidden() const { return mHidden; }
  bool IsDisabled() const { return mDisabled; }
  bool GetIgnoreMouse() const { return mIgnoreMouse; }
  bool IsMouseOver() const { return mMouseOver; }
  bool GetMouseOverWhenDisabled() const { return mMouseOverWhenDisabled; }
  void SetMouseOverWhenDisabled(bool allow) { mMouseOverWhenDisabled = allow; }
  bool GetMouseEventsWhenDisabled() const { return mMouseEventsWhenDisabled; }
  void SetMouseEventsWhenDisabled(bool allow) { mMouseEventsWhenDisabled = allow; }
  bool GetDoubleClickAsSingle() const { return mDoubleClickAsSingle; }
  void SetDoubleClickAsSingle(bool single) { mDoubleClickAsSingle = single; }
  bool GetWantsMidi() const { return mWantsMidi; }
  void SetWantsMidi(bool wants) { mWantsMidi = wants; }
  bool GetWantsMultiTouch() const { return mWantsMultiTouch; }
  void SetWantsMultiTouch(bool wants) { mWantsMultiTouch = wants; }
  bool GetPromptShowsParamLabel() const { return mPromptShowsParamLabel; }
  void SetPromptShowsParamLabel(bool shows) { mPromptShowsParamLabel = shows; }
  bool GetValuePromptingOff() const { return mValuePromptingOff; }
  void SetValuePromptingOff(bool off) { mValuePromptingOff = off; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int length) { mTextEntryLength = length; }
  void SetHighlighted(bool on) { mHighlighted = on; }
  void SetHighlightColour(const IArgb& c) { mHighlightColour = c; }

  IControl* GetParent() const { return mParent; }
  void SetParent(IControl* parent) { mParent = parent; }

  // Set by IGraphics when the control is attached.
  void SetDelegate(IGEditorDelegate* dlg) { mDelegate = dlg; }
  IGEditorDelegate* GetDelegate() const { return mDelegate; }
  void SetGraphics(IGraphics* g) { mGraphics = g; }
  IGraphics* GetGraphics() const { return mGraphics; }

protected:
  IBounds mBounds;
  IBounds mTargetBounds;
  std::string mGroup;
  ITextStyle mTextStyle;
  IBlendSpec mBlend;
  int mTextEntryLength = 7;
  bool mDirty = true;
  bool mHidden = false;
  bool mDisabled = false;
  bool mValuePromptingOff = true;
  bool mDoubleClickAsSingle = false;
  bool mMouseOverWhenDisabled = false;
  bool mMouseEventsWhenDisabled = false;
  bool mIgnoreMouse = false;
  bool mWantsMidi = false;
  bool mWantsMultiTouch = false;
  bool mPromptShowsParamLabel = false;
  bool mMouseOver = false;
  std::string mTooltip;
  IArgb mHighlightColour = COLOR_RED;
  bool mHighlighted = false;
  IControl* mParent = nullptr;
  IGEditorDelegate* mDelegate = nullptr;
  IGraphics* mGraphics = nullptr;
  ControlCallback mAction;
  ControlCallback mAnimationEndAction;
  ControlCallback mAnimation;
  double mAnimationStart = 0.0;    // ms of a monotonic clock
  double mAnimationDuration = 0.0; // ms
  std::vector<ValueSlot> mValueSlots;
  std::unordered_map<int32_t, GestureHandler> mGestureHandlers;
  int32_t mLastGesture = 0;
};

} // namespace iplug::igraphics
