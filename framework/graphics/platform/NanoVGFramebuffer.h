#pragma once
// The one owner of a NanoVG framebuffer (GL framebuffer, render buffer and colour image, and the record
// holding them). Its GL objects are deleted only with the context current; when GL cannot be reached
// (the context is gone or cannot be made current) only the record is freed, and the context's own
// deletion takes the GL objects with it rather than names being deleted in whatever context is current.

struct NVGLUframebuffer;

namespace iplug::igraphics
{

class NanoVGFramebuffer
{
public:
  NanoVGFramebuffer() = default;
  explicit NanoVGFramebuffer(NVGLUframebuffer* framebuffer) : mFramebuffer(framebuffer) {}
  // A framebuffer still held when its holder goes outlived its GL objects: only the record is freed.
  ~NanoVGFramebuffer() { Release(false); }
  NanoVGFramebuffer(NanoVGFramebuffer&& other) noexcept : mFramebuffer(other.mFramebuffer)
  {
    other.mFramebuffer = nullptr;
  }
  NanoVGFramebuffer& operator=(NanoVGFramebuffer&& other) noexcept;
  NanoVGFramebuffer(const NanoVGFramebuffer&) = delete;
  NanoVGFramebuffer& operator=(const NanoVGFramebuffer&) = delete;

  NVGLUframebuffer* Get() const { return mFramebuffer; }
  NVGLUframebuffer* operator->() const { return mFramebuffer; }
  explicit operator bool() const { return mFramebuffer != nullptr; }

  // Deletes the GL objects (glReachable: the owning context is current) and the record; holds nothing after.
  void Release(bool glReachable);

private:
  NVGLUframebuffer* mFramebuffer = nullptr;
};

} // namespace iplug::igraphics
