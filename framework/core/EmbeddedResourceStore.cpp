#include "framework/core/EmbeddedResourceStore.h"

#include <mutex>
#include <vector>

namespace iplug
{
namespace
{
// Registration happens during static initialisation, in any order across
// translation units: the table is created on first use.
struct Registry
{
  std::mutex lock;
  std::vector<const EmbeddedResource*> entries;
};

Registry& TheRegistry()
{
  static Registry registry;
  return registry;
}

char Upper(char c)
{
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
} // namespace

bool RegisterEmbeddedResources(const EmbeddedResource* entries, int count)
{
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  for (int i = 0; i < count; ++i)
    registry.entries.push_back(&entries[i]);
  return true;
}

namespace detail
{
int EmbeddedResourceCount()
{
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  return static_cast<int>(registry.entries.size());
}

const EmbeddedResource* EmbeddedResourceAt(int index)
{
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  return registry.entries[static_cast<size_t>(index)];
}

bool SameTypeName(const char* a, const char* b)
{
  if (!a || !b) return false;
  for (; *a && *b; ++a, ++b)
    if (Upper(*a) != Upper(*b)) return false;
  return *a == *b;
}
} // namespace detail
} // namespace iplug
