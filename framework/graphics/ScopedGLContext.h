#pragma once
// Holds the platform's GL context current for a scope and puts the caller's back on every exit,
// exceptions included. Scopes nest: the platform counts them and only the outermost switches contexts.
// A frame begun inside the scope and not presented when it ends was left early (a control threw): the
// graphics context abandons it before the context is released.

#include "framework/graphics/IGraphics.h"

namespace iplug::igraphics
{

class ScopedGLContext
{
public:
  explicit ScopedGLContext(IGraphics& graphics)
      : mGraphics(graphics), mWasInFrame(graphics.IsInFrame()), mCurrent(graphics.MakeGLContextCurrent())
  {
  }
  ~ScopedGLContext()
  {
    if (!mWasInFrame && mGraphics.IsInFrame()) mGraphics.AbandonFrame(mCurrent);
    if (mCurrent) mGraphics.ReleaseGLContext();
  }
  ScopedGLContext(const ScopedGLContext&) = delete;
  ScopedGLContext& operator=(const ScopedGLContext&) = delete;

  // False when the platform has no context to make current (no window): nothing is released then.
  bool IsCurrent() const { return mCurrent; }

private:
  IGraphics& mGraphics;
  bool mWasInFrame;
  bool mCurrent;
};

} // namespace iplug::igraphics
