#pragma once
// The Windows pixel-test platform: a hidden window of its own with a legacy WGL context, drawing through
// the same entry point lookup as the editor window. Windows tree only (runs under Wine).

#include "tests/support/graphics/NanoVGTestPlatform.h"

namespace iplug::igraphics::gfxtest
{

class WglTestGraphics : public NanoVGTestPlatform
{
public:
  WglTestGraphics(IGEditorDelegate* dlg, int width, int height);
  ~WglTestGraphics() override;

  bool MakeGLContextCurrent() override;
  bool ReleaseGLContext() override;
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* GetWindowHandle() override { return mWindow; }

  void* GetGLContext() const { return mContext; }
  void* GetDeviceContext() const { return mDC; }

private:
  void* mWindow = nullptr;
  void* mDC = nullptr;
  void* mContext = nullptr;
  void* mSavedDC = nullptr;
  void* mSavedContext = nullptr;
};

} // namespace iplug::igraphics::gfxtest
