#pragma once
// A list of loaded resources keyed by name and scale, under a re-entrant lock of its own. The bitmap and
// SVG caches are process-wide: every editor of the process shares them, and they are emptied when the
// last IGraphics that uses them goes (AddResourceCacheUsers / RemoveResourceCacheUsers). Whoever reads or
// changes a cache holds its lock; where both are held, the bitmap lock is taken first.

#include "framework/core/Mutex.h"
#include "framework/core/PointerList.h"
#include "framework/core/TextBuffer.h"

#include <cstdint>

namespace iplug::igraphics
{

// FNV-1a (64 bit) over the text "<name>-<scale formatted %.1f>x" without its terminator.
uint64_t HashCacheKey(const char* name, double scale);
// The key text itself, e.g. "knob.png-2.0x".
TextBuffer MakeCacheKey(const char* name, double scale);

struct ResourceCacheEntry
{
  uint64_t keyHash = 0;
  TextBuffer name;
  double scale = 0.;
  void* payload = nullptr; // owned; freed by the cache's deleter
};

class ResourceCache
{
public:
  using Deleter = void (*)(void* payload);

  explicit ResourceCache(Deleter deleter) : mDeleter(deleter) {}
  ~ResourceCache() { ClearResourceCache(); }

  ResourceCache(const ResourceCache&) = delete;
  ResourceCache& operator=(const ResourceCache&) = delete;

  Mutex& GetLock() { return mLock; }

  // The payload of the first entry (in insertion order) with this exact name and scale, or null.
  void* FindCacheEntry(const char* name, double scale);
  // Appends an entry and takes the payload. An entry with the same key is not looked for and stays in
  // front of the new one. Returns false (the caller keeps the payload) when the list cannot grow.
  bool AddCacheEntry(void* payload, const char* name, double scale);
  // Deletes the first entry holding this payload (payload freed); false when none does.
  bool RemoveCacheEntry(const void* payload);
  // Deletes every entry, last to first, and frees the list storage.
  void ClearResourceCache();
  int32_t GetCount();

  // The number of IGraphics instances using the cache; reaching 0 empties it. Callers hold the lock.
  int32_t AddUser() { return ++mUsers; }
  int32_t RemoveUser();
  int32_t GetUsers() const { return mUsers; }

private:
  void DeleteEntry(ResourceCacheEntry* entry);

  Mutex mLock;
  PointerList<ResourceCacheEntry> mEntries;
  Deleter mDeleter;
  int32_t mUsers = 0;
};

// The process-wide caches. Payloads: APIBitmap (bitmap cache) and SvgHolder (SVG cache).
ResourceCache& GetBitmapCache();
ResourceCache& GetSvgCache();

// Called by each IGraphics on construction and destruction; the last one out empties both caches.
void AddResourceCacheUsers();
void RemoveResourceCacheUsers();

} // namespace iplug::igraphics
