#include "framework/graphics/platform/NanoVGFramebuffer.h"

#include "framework/graphics/platform/GlEntryPoints.h"

#include <cstdlib>
#include <utility>

#include <nanovg.h>
#define NANOVG_GL2 1
#include <nanovg_gl.h>
#include <nanovg_gl_utils.h>

namespace iplug::igraphics
{

NanoVGFramebuffer& NanoVGFramebuffer::operator=(NanoVGFramebuffer&& other) noexcept
{
  if (this != &other)
  {
    Release(false);
    mFramebuffer = std::exchange(other.mFramebuffer, nullptr);
  }
  return *this;
}

void NanoVGFramebuffer::Release(bool glReachable)
{
  NVGLUframebuffer* framebuffer = std::exchange(mFramebuffer, nullptr);
  if (!framebuffer) return;
  // The utilities' own deletion, so that the colour image leaves the context's image list with it.
  if (glReachable)
    nvgluDeleteFramebuffer(framebuffer);
  else
    std::free(framebuffer);
}

} // namespace iplug::igraphics
