// NanoVG itself, its OpenGL 2 renderer and framebuffer utilities, compiled as C++ in one unit. Every GL
// call they make goes through the process-wide entry point table. The framebuffer utilities are built
// with framebuffer objects enabled: left to themselves they would enable them only for GL3 and GLES, and
// nvgluCreateFramebuffer would return null, costing the editor its main framebuffer and every layer.

#include "framework/graphics/platform/GlEntryPoints.h"
#include "framework/graphics/platform/NanoVGGL.h"

using iplug::igraphics::GetGlEntryPoints;

// NanoVG turns the scissor test off at every flush and never on. The back end owns that test: it scissors
// a flush onto the main framebuffer to the part a partial repaint can reach and turns the test off again.
static void APIENTRY DisableAllButScissor(GLenum cap)
{
  if (cap != GL_SCISSOR_TEST) GetGlEntryPoints().Disable(cap);
}

#define glActiveTexture (GetGlEntryPoints().ActiveTexture)
#define glAttachShader (GetGlEntryPoints().AttachShader)
#define glBindAttribLocation (GetGlEntryPoints().BindAttribLocation)
#define glBindBuffer (GetGlEntryPoints().BindBuffer)
#define glBindFramebuffer (GetGlEntryPoints().BindFramebuffer)
#define glBindRenderbuffer (GetGlEntryPoints().BindRenderbuffer)
#define glBindTexture (GetGlEntryPoints().BindTexture)
#define glBlendFuncSeparate (GetGlEntryPoints().BlendFuncSeparate)
#define glBufferData (GetGlEntryPoints().BufferData)
#define glCheckFramebufferStatus (GetGlEntryPoints().CheckFramebufferStatus)
#define glClear (GetGlEntryPoints().Clear)
#define glClearColor (GetGlEntryPoints().ClearColor)
#define glColorMask (GetGlEntryPoints().ColorMask)
#define glCompileShader (GetGlEntryPoints().CompileShader)
#define glCreateProgram (GetGlEntryPoints().CreateProgram)
#define glCreateShader (GetGlEntryPoints().CreateShader)
#define glCullFace (GetGlEntryPoints().CullFace)
#define glDeleteBuffers (GetGlEntryPoints().DeleteBuffers)
#define glDeleteFramebuffers (GetGlEntryPoints().DeleteFramebuffers)
#define glDeleteProgram (GetGlEntryPoints().DeleteProgram)
#define glDeleteRenderbuffers (GetGlEntryPoints().DeleteRenderbuffers)
#define glDeleteShader (GetGlEntryPoints().DeleteShader)
#define glDeleteTextures (GetGlEntryPoints().DeleteTextures)
#define glDisable DisableAllButScissor
#define glDisableVertexAttribArray (GetGlEntryPoints().DisableVertexAttribArray)
#define glDrawArrays (GetGlEntryPoints().DrawArrays)
#define glEnable (GetGlEntryPoints().Enable)
#define glEnableVertexAttribArray (GetGlEntryPoints().EnableVertexAttribArray)
#define glFinish (GetGlEntryPoints().Finish)
#define glFramebufferRenderbuffer (GetGlEntryPoints().FramebufferRenderbuffer)
#define glFramebufferTexture2D (GetGlEntryPoints().FramebufferTexture2D)
#define glFrontFace (GetGlEntryPoints().FrontFace)
#define glGenBuffers (GetGlEntryPoints().GenBuffers)
#define glGenFramebuffers (GetGlEntryPoints().GenFramebuffers)
#define glGenRenderbuffers (GetGlEntryPoints().GenRenderbuffers)
#define glGenTextures (GetGlEntryPoints().GenTextures)
#define glGenerateMipmap (GetGlEntryPoints().GenerateMipmap)
#define glGetError (GetGlEntryPoints().GetError)
#define glGetIntegerv (GetGlEntryPoints().GetIntegerv)
#define glGetProgramInfoLog (GetGlEntryPoints().GetProgramInfoLog)
#define glGetProgramiv (GetGlEntryPoints().GetProgramiv)
#define glGetShaderInfoLog (GetGlEntryPoints().GetShaderInfoLog)
#define glGetShaderiv (GetGlEntryPoints().GetShaderiv)
#define glGetUniformLocation (GetGlEntryPoints().GetUniformLocation)
#define glLinkProgram (GetGlEntryPoints().LinkProgram)
#define glPixelStorei (GetGlEntryPoints().PixelStorei)
#define glReadPixels (GetGlEntryPoints().ReadPixels)
#define glRenderbufferStorage (GetGlEntryPoints().RenderbufferStorage)
#define glShaderSource (GetGlEntryPoints().ShaderSource)
#define glStencilFunc (GetGlEntryPoints().StencilFunc)
#define glStencilMask (GetGlEntryPoints().StencilMask)
#define glStencilOp (GetGlEntryPoints().StencilOp)
#define glStencilOpSeparate (GetGlEntryPoints().StencilOpSeparate)
#define glTexImage2D (GetGlEntryPoints().TexImage2D)
#define glTexParameteri (GetGlEntryPoints().TexParameteri)
#define glTexSubImage2D (GetGlEntryPoints().TexSubImage2D)
#define glUniform1i (GetGlEntryPoints().Uniform1i)
#define glUniform2fv (GetGlEntryPoints().Uniform2fv)
#define glUniform4fv (GetGlEntryPoints().Uniform4fv)
#define glUseProgram (GetGlEntryPoints().UseProgram)
#define glVertexAttribPointer (GetGlEntryPoints().VertexAttribPointer)
#define glViewport (GetGlEntryPoints().Viewport)

#define NANOVG_GL2_IMPLEMENTATION 1
#define NANOVG_FBO_VALID 1
#include "nanovg.h"
#include "nanovg_gl.h"
#include "nanovg_gl_utils.h"
#include "nanovg.c"

namespace
{

// The renderer's deletions with the GL calls left out: textures, programs and buffers belong to a
// context that is going (or gone) as a whole.
int DeleteTextureWithoutGL(void*, int)
{
  return 1;
}

void DeleteRendererWithoutGL(void* userPtr)
{
  auto* gl = static_cast<GLNVGcontext*>(userPtr);
  if (!gl) return;
  if (gl->textureContext && --gl->textureContext->refCount == 0)
  {
    free(gl->textureContext->textures);
    free(gl->textureContext);
  }
  free(gl->paths);
  free(gl->verts);
  free(gl->uniforms);
  free(gl->calls);
  free(gl);
}

} // namespace

void iplug::igraphics::DeleteNanoVGContextWithoutGL(NVGcontext* context)
{
  if (!context) return;
  NVGparams* params = nvgInternalParams(context);
  params->renderDeleteTexture = DeleteTextureWithoutGL;
  params->renderDelete = DeleteRendererWithoutGL;
  nvgDeleteInternal(context);
}
