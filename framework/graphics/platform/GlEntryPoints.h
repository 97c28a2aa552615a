#pragma once
// The OpenGL entry points the NanoVG GL2 renderer, its framebuffer utilities and the back end call, in
// one process-wide table. The platform fills it through a resolver (Windows: wglGetProcAddress with the
// opengl32 fallback; elsewhere the GL library's own lookup) once its context is current. Only the GL
// source files include this header: it brings in the system's GL headers.

#if defined(_WIN32)
#include <windows.h>
// <windows.h> renames LoadBitmap to LoadBitmapW, which would rename the graphics context's own function.
#undef LoadBitmap
#endif
#include <GL/gl.h>
#include <GL/glext.h>

// X(return type, name without the "gl" prefix, parameter list)
#define QUORVEL_GL_ENTRY_POINTS(X)                                                                           \
  X(void, ActiveTexture, (GLenum texture))                                                                   \
  X(void, AttachShader, (GLuint program, GLuint shader))                                                     \
  X(void, BindAttribLocation, (GLuint program, GLuint index, const GLchar* name))                            \
  X(void, BindBuffer, (GLenum target, GLuint buffer))                                                        \
  X(void, BindFramebuffer, (GLenum target, GLuint framebuffer))                                              \
  X(void, BindRenderbuffer, (GLenum target, GLuint renderbuffer))                                            \
  X(void, BindTexture, (GLenum target, GLuint texture))                                                      \
  X(void, BlendFuncSeparate, (GLenum sRGB, GLenum dRGB, GLenum sAlpha, GLenum dAlpha))                       \
  X(void, BufferData, (GLenum target, GLsizeiptr size, const void* data, GLenum usage))                      \
  X(GLenum, CheckFramebufferStatus, (GLenum target))                                                         \
  X(void, Clear, (GLbitfield mask))                                                                          \
  X(void, ClearColor, (GLfloat r, GLfloat g, GLfloat b, GLfloat a))                                          \
  X(void, ColorMask, (GLboolean r, GLboolean g, GLboolean b, GLboolean a))                                   \
  X(void, CompileShader, (GLuint shader))                                                                    \
  X(GLuint, CreateProgram, (void))                                                                           \
  X(GLuint, CreateShader, (GLenum type))                                                                     \
  X(void, CullFace, (GLenum mode))                                                                           \
  X(void, DeleteBuffers, (GLsizei n, const GLuint* buffers))                                                 \
  X(void, DeleteFramebuffers, (GLsizei n, const GLuint* framebuffers))                                       \
  X(void, DeleteProgram, (GLuint program))                                                                   \
  X(void, DeleteRenderbuffers, (GLsizei n, const GLuint* renderbuffers))                                     \
  X(void, DeleteShader, (GLuint shader))                                                                     \
  X(void, DeleteTextures, (GLsizei n, const GLuint* textures))                                               \
  X(void, Disable, (GLenum cap))                                                                             \
  X(void, DisableVertexAttribArray, (GLuint index))                                                          \
  X(void, DrawArrays, (GLenum mode, GLint first, GLsizei count))                                             \
  X(void, Enable, (GLenum cap))                                                                              \
  X(void, EnableVertexAttribArray, (GLuint index))                                                           \
  X(void, Finish, (void))                                                                                    \
  X(void, FramebufferRenderbuffer, (GLenum target, GLenum attachment, GLenum rbTarget, GLuint renderbuffer)) \
  X(void, FramebufferTexture2D,                                                                              \
    (GLenum target, GLenum attachment, GLenum texTarget, GLuint texture, GLint level))                       \
  X(void, FrontFace, (GLenum mode))                                                                          \
  X(void, GenBuffers, (GLsizei n, GLuint * buffers))                                                         \
  X(void, GenFramebuffers, (GLsizei n, GLuint * framebuffers))                                               \
  X(void, GenRenderbuffers, (GLsizei n, GLuint * renderbuffers))                                             \
  X(void, GenTextures, (GLsizei n, GLuint * textures))                                                       \
  X(void, GenerateMipmap, (GLenum target))                                                                   \
  X(GLenum, GetError, (void))                                                                                \
  X(void, GetIntegerv, (GLenum pname, GLint * data))                                                         \
  X(void, GetProgramInfoLog, (GLuint program, GLsizei size, GLsizei * length, GLchar * log))                 \
  X(void, GetProgramiv, (GLuint program, GLenum pname, GLint * params))                                      \
  X(void, GetShaderInfoLog, (GLuint shader, GLsizei size, GLsizei * length, GLchar * log))                   \
  X(void, GetShaderiv, (GLuint shader, GLenum pname, GLint * params))                                        \
  X(GLint, GetUniformLocation, (GLuint program, const GLchar* name))                                         \
  X(void, LinkProgram, (GLuint program))                                                                     \
  X(void, PixelStorei, (GLenum pname, GLint param))                                                          \
  X(void, ReadPixels, (GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type, void* pixels))    \
  X(void, RenderbufferStorage, (GLenum target, GLenum format, GLsizei w, GLsizei h))                         \
  X(void, Scissor, (GLint x, GLint y, GLsizei w, GLsizei h))                                                 \
  X(void, ShaderSource, (GLuint shader, GLsizei count, const GLchar* const* text, const GLint* length))      \
  X(void, StencilFunc, (GLenum func, GLint ref, GLuint mask))                                                \
  X(void, StencilMask, (GLuint mask))                                                                        \
  X(void, StencilOp, (GLenum fail, GLenum zfail, GLenum zpass))                                              \
  X(void, StencilOpSeparate, (GLenum face, GLenum fail, GLenum zfail, GLenum zpass))                         \
  X(void, TexImage2D,                                                                                        \
    (GLenum target, GLint level, GLint internalFormat, GLsizei w, GLsizei h, GLint border, GLenum format,    \
     GLenum type, const void* pixels))                                                                       \
  X(void, TexParameteri, (GLenum target, GLenum pname, GLint param))                                         \
  X(void, TexSubImage2D,                                                                                     \
    (GLenum target, GLint level, GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,         \
     const void* pixels))                                                                                    \
  X(void, Uniform1i, (GLint location, GLint v0))                                                             \
  X(void, Uniform2fv, (GLint location, GLsizei count, const GLfloat* value))                                 \
  X(void, Uniform4fv, (GLint location, GLsizei count, const GLfloat* value))                                 \
  X(void, UseProgram, (GLuint program))                                                                      \
  X(void, VertexAttribPointer,                                                                               \
    (GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride, const void* pointer))      \
  X(void, Viewport, (GLint x, GLint y, GLsizei w, GLsizei h))

namespace iplug::igraphics
{

struct GlEntryPoints
{
#define QUORVEL_GL_MEMBER(ret, name, params) ret(APIENTRY* name) params = nullptr;
  QUORVEL_GL_ENTRY_POINTS(QUORVEL_GL_MEMBER)
#undef QUORVEL_GL_MEMBER

  // Whether every entry point was found: without all of them no NanoVG context is made.
  bool IsComplete() const;
};

// The one table of the process; filled by LoadGlEntryPoints.
GlEntryPoints& GetGlEntryPoints();

// Looks one name ("glViewport") up; null when it is not there.
using GlResolveFunc = void* (*)(const char* name, void* user);

// Fills the table through the resolver (every entry is looked up again; a missing one becomes null) and
// answers IsComplete. A null resolver empties the table.
bool LoadGlEntryPoints(GlResolveFunc resolve, void* user);

// The name of every entry point, in table order, with the "gl" prefix.
int GetGlEntryPointCount();
const char* GetGlEntryPointName(int index);

} // namespace iplug::igraphics
