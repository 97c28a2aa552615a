#pragma once

#include <cstdint>

// The portable stand-in for module resources: builds without Windows resources
// register their embedded files here (generated code, at static initialisation),
// and the resource lookup finds them by type and file name.
namespace iplug
{
struct EmbeddedResource
{
  const char* type;          // "PNG", "SVG", "TTF", ...
  const char* name;          // the file name it was embedded from, e.g. "Roboto-Regular.ttf"
  const unsigned char* data; // bytes, valid for the life of the program
  int32_t size;
};

// Adds a table of entries (which must outlive the program); returns true so
// that generated code can call it from a static initialiser.
bool RegisterEmbeddedResources(const EmbeddedResource* entries, int count);

// Visits the registered entries of one type (compared without regard to case),
// in registration order, until the visitor returns false.
template <typename Visitor> void ForEachEmbeddedResource(const char* type, Visitor&& visit);

namespace detail
{
int EmbeddedResourceCount();
const EmbeddedResource* EmbeddedResourceAt(int index);
bool SameTypeName(const char* a, const char* b);
} // namespace detail

template <typename Visitor> void ForEachEmbeddedResource(const char* type, Visitor&& visit)
{
  const int count = detail::EmbeddedResourceCount();
  for (int i = 0; i < count; ++i)
  {
    const EmbeddedResource* entry = detail::EmbeddedResourceAt(i);
    if (detail::SameTypeName(entry->type, type) && !visit(*entry)) return;
  }
}
} // namespace iplug
