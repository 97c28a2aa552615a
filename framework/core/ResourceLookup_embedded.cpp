// Resource lookup where there are no module resources: the embedded store that
// generated code fills at start-up. Entries are stored under their file names;
// the quote marks of module resources are not part of them.
#include "framework/core/ResourceLookup.h"

#include "framework/core/EmbeddedResourceStore.h"

#include <sys/stat.h>

#include <cstring>

namespace iplug
{
namespace detail
{
bool PathExists(const char* path)
{
  struct stat info;
  return path && stat(path, &info) == 0;
}
} // namespace detail

EResourceLocation FindResourceByName(const char* name, const char* type, TextBuffer& location, void*)
{
  if (!name || !name[0]) return kNotFound;
  const TextBuffer searched = detail::LowerAscii(name);
  const char* found = nullptr;
  ForEachEmbeddedResource(type,
                          [&](const EmbeddedResource& entry)
                          {
                            if (std::strcmp(detail::LowerAscii(entry.name).Get(), searched.Get()) == 0)
                              found = entry.name;
                            return found == nullptr;
                          });
  if (found)
  {
    location.AssignText(found);
    return kWinBinary;
  }
  if (detail::PathExists(name))
  {
    location.AssignText(name);
    return kAbsolutePath;
  }
  return kNotFound;
}

const void* LoadResourceBytes(const char* storedName, const char* type, int32_t& size, void*)
{
  if (!storedName) return nullptr;
  const EmbeddedResource* found = nullptr;
  ForEachEmbeddedResource(type,
                          [&](const EmbeddedResource& entry)
                          {
                            if (std::strcmp(entry.name, storedName) == 0) found = &entry;
                            return found == nullptr;
                          });
  if (!found || found->size <= 7) return nullptr;
  size = found->size;
  return found->data;
}
} // namespace iplug
