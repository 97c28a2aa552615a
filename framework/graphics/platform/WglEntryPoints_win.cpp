#include "framework/graphics/platform/WglEntryPoints.h"

#include "framework/graphics/platform/GlEntryPoints.h"

#include <cstdint>

namespace iplug::igraphics
{

namespace
{

struct Opengl32
{
  HMODULE module = nullptr;
  WglLookupFunc lookup = nullptr;
};

void* ResolveThrough(const char* name, void* user)
{
  const auto* lib = static_cast<const Opengl32*>(user);
  return ResolveWglEntryPoint(name, lib->lookup, lib->module);
}

} // namespace

void* ResolveWglEntryPoint(const char* name, WglLookupFunc wglGetProcAddressFunc, void* opengl32)
{
  if (!opengl32 || !name) return nullptr;
  void* found = wglGetProcAddressFunc ? wglGetProcAddressFunc(name) : nullptr;
  const auto value = reinterpret_cast<intptr_t>(found);
  if (value == 0 || value == 1 || value == 2 || value == 3 || value == -1)
    found = reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(opengl32), name));
  return found;
}

bool LoadWglEntryPoints()
{
  // opengl32 is linked through its import library: this only counts one more reference while loading.
  Opengl32 lib;
  lib.module = LoadLibraryW(L"opengl32.dll");
  if (!lib.module) return false;
  lib.lookup = reinterpret_cast<WglLookupFunc>(
      reinterpret_cast<void*>(GetProcAddress(lib.module, "wglGetProcAddress")));
  const bool complete = lib.lookup && LoadGlEntryPoints(ResolveThrough, &lib);
  FreeLibrary(lib.module);
  return complete;
}

} // namespace iplug::igraphics
