#pragma once
// Under Windows the GL entry points come from opengl32 with the editor's context current: GL 1.1 names
// from the library's exports, everything newer from the driver through wglGetProcAddress.

namespace iplug::igraphics
{

using WglLookupFunc = void* (*)(const char* name);

// One name: the driver's answer unless it is null, 1, 2, 3 or -1 (what some drivers give for names they
// do not have), else opengl32's own export. Null without opengl32.
void* ResolveWglEntryPoint(const char* name, WglLookupFunc wglGetProcAddressFunc, void* opengl32);

// Fills the entry point table with the calling thread's context current. False when opengl32 or its
// "wglGetProcAddress" is missing (nothing is loaded then) or when a name is not found.
bool LoadWglEntryPoints();

} // namespace iplug::igraphics
