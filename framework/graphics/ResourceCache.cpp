#include "framework/graphics/ResourceCache.h"

#include "framework/graphics/IBitmapHandle.h"
#include "framework/graphics/ISvgHandle.h"

#include <cstdio>
#include <cstring>

namespace iplug::igraphics
{

TextBuffer MakeCacheKey(const char* name, double scale)
{
  TextBuffer key;
  const char* text = name ? name : "";
  const int length = std::snprintf(nullptr, 0, "%s-%.1fx", text, scale);
  key.SetFormatted(length > 0 ? length : 0, "%s-%.1fx", text, scale);
  return key;
}

uint64_t HashCacheKey(const char* name, double scale)
{
  const TextBuffer key = MakeCacheKey(name, scale);
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const char* p = key.Get(); *p; ++p)
  {
    hash ^= static_cast<unsigned char>(*p);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

void* ResourceCache::FindCacheEntry(const char* name, double scale)
{
  if (!name) return nullptr;
  ScopedLock lock(&mLock);
  const uint64_t hash = HashCacheKey(name, scale);
  const int32_t count = mEntries.GetCount();
  for (int32_t i = 0; i < count; ++i)
  {
    const ResourceCacheEntry* entry = mEntries.Get(i);
    if (entry->keyHash == hash && entry->scale == scale && std::strcmp(entry->name.Get(), name) == 0)
      return entry->payload;
  }
  return nullptr;
}

bool ResourceCache::AddCacheEntry(void* payload, const char* name, double scale)
{
  if (!payload || !name) return false;
  ScopedLock lock(&mLock);
  auto* entry = new ResourceCacheEntry;
  entry->keyHash = HashCacheKey(name, scale);
  entry->scale = scale;
  if (!entry->name.AssignText(name) || !mEntries.Add(entry))
  {
    delete entry;
    return false;
  }
  entry->payload = payload;
  return true;
}

void ResourceCache::DeleteEntry(ResourceCacheEntry* entry)
{
  if (entry->payload && mDeleter) mDeleter(entry->payload);
  entry->payload = nullptr;
  entry->name.FreeText();
}

bool ResourceCache::RemoveCacheEntry(const void* payload)
{
  if (!payload) return false;
  ScopedLock lock(&mLock);
  const int32_t count = mEntries.GetCount();
  for (int32_t i = 0; i < count; ++i)
  {
    ResourceCacheEntry* entry = mEntries.Get(i);
    if (entry->payload == payload)
    {
      DeleteEntry(entry);
      mEntries.Delete(i);
      return true;
    }
  }
  return false;
}

void ResourceCache::ClearResourceCache()
{
  ScopedLock lock(&mLock);
  for (int32_t i = mEntries.GetCount() - 1; i >= 0; --i)
    DeleteEntry(mEntries.Get(i));
  mEntries.DeleteAll();
}

int32_t ResourceCache::GetCount()
{
  ScopedLock lock(&mLock);
  return mEntries.GetCount();
}

int32_t ResourceCache::RemoveUser()
{
  if (mUsers > 0 && --mUsers == 0) ClearResourceCache();
  return mUsers;
}

namespace
{

// APIBitmap has a virtual destructor: the back end's texture or framebuffer goes with it.
void DeleteApiBitmapPayload(void* payload)
{
  delete static_cast<APIBitmap*>(payload);
}

void DeleteSvgPayload(void* payload)
{
  delete static_cast<SvgHolder*>(payload);
}

// Namespace-scope objects: built before main, emptied (payloads deleted) at process exit.
ResourceCache sBitmapCache(&DeleteApiBitmapPayload);
ResourceCache sSvgCache(&DeleteSvgPayload);

} // namespace

ResourceCache& GetBitmapCache()
{
  return sBitmapCache;
}
ResourceCache& GetSvgCache()
{
  return sSvgCache;
}

void AddResourceCacheUsers()
{
  ScopedLock bitmapLock(&sBitmapCache.GetLock());
  ScopedLock svgLock(&sSvgCache.GetLock());
  sBitmapCache.AddUser();
  sSvgCache.AddUser();
}

void RemoveResourceCacheUsers()
{
  ScopedLock bitmapLock(&sBitmapCache.GetLock());
  ScopedLock svgLock(&sSvgCache.GetLock());
  sBitmapCache.RemoveUser();
  sSvgCache.RemoveUser();
}

} // namespace iplug::igraphics
