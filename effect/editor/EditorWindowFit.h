#pragma once

namespace quorvel
{

// The editor keeps its layout size in every host window; only its scale follows the window.
inline constexpr int kEditorWidth = 980; // points
inline constexpr int kEditorHeight = 650;
inline constexpr float kEditorMinScale = 0.92f;
inline constexpr float kEditorMaxScale = 1.5f;

// What fitting the editor into a host window needs of the editor's graphics context.
class EditorFitTarget
{
public:
  virtual ~EditorFitTarget() = default;
  virtual int NControls() const = 0;
  // Device pixels per point of the window the editor lives in.
  virtual float GetWindowDpiScale() const = 0;
  virtual void Resize(int width, int height, float scale, bool needsPlatformResize) = 0;
};

// Fits the fixed-size editor into a host window by scale alone. Editor (UI) thread only.
class EditorWindowFitter
{
public:
  // width and height are the host window's size in device pixels. When the window asks for a scale
  // outside the editor's range, the platform window is resized too, so that it snaps back to a size
  // the editor fills. Calls made from inside the resize it triggers are ignored.
  void Fit(EditorFitTarget* target, int width, int height);

  bool IsResizing() const { return mResizing; }

private:
  bool mResizing = false;
};

} // namespace quorvel
