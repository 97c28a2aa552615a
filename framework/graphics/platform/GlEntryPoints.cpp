#include "framework/graphics/platform/GlEntryPoints.h"

#include <cstring>

namespace iplug::igraphics
{

namespace
{

const char* const kNames[] = {
#define QUORVEL_GL_NAME(ret, name, params) "gl" #name,
    QUORVEL_GL_ENTRY_POINTS(QUORVEL_GL_NAME)
#undef QUORVEL_GL_NAME
};

} // namespace

GlEntryPoints& GetGlEntryPoints()
{
  static GlEntryPoints table;
  return table;
}

bool GlEntryPoints::IsComplete() const
{
#define QUORVEL_GL_CHECK(ret, name, params)                                                                  \
  if (!name) return false;
  QUORVEL_GL_ENTRY_POINTS(QUORVEL_GL_CHECK)
#undef QUORVEL_GL_CHECK
  return true;
}

bool LoadGlEntryPoints(GlResolveFunc resolve, void* user)
{
  GlEntryPoints& table = GetGlEntryPoints();
  int index = 0;
#define QUORVEL_GL_LOAD(ret, name, params)                                                                   \
  {                                                                                                          \
    void* found = resolve ? resolve(kNames[index], user) : nullptr;                                          \
    static_assert(sizeof(found) == sizeof(table.name));                                                      \
    std::memcpy(&table.name, &found, sizeof(found));                                                         \
    ++index;                                                                                                 \
  }
  QUORVEL_GL_ENTRY_POINTS(QUORVEL_GL_LOAD)
#undef QUORVEL_GL_LOAD
  return table.IsComplete();
}

int GetGlEntryPointCount()
{
  return static_cast<int>(sizeof(kNames) / sizeof(kNames[0]));
}

const char* GetGlEntryPointName(int index)
{
  return index >= 0 && index < GetGlEntryPointCount() ? kNames[index] : nullptr;
}

} // namespace iplug::igraphics
