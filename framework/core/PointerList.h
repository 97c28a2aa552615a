#pragma once

#include "framework/core/HeapBuffer.h"

#include <cstdint>
#include <cstring>

namespace iplug
{
// A list of owned objects, kept as a block of pointers. Removing an entry deletes its
// object; the destructor deletes every entry from the last to the first. Indices
// outside 0 .. count - 1 are ignored (Get gives null for them).
template <typename T> class PointerList
{
public:
  PointerList() = default;
  ~PointerList() { DeleteAll(); }
  PointerList(const PointerList&) = delete;
  PointerList& operator=(const PointerList&) = delete;

  int32_t GetCount() const { return mBuffer.GetSize() / static_cast<int32_t>(sizeof(T*)); }

  T* Get(int32_t index) const
  {
    if (index < 0 || index >= GetCount()) return nullptr;
    return Entries()[index];
  }

  // Takes ownership and returns the object; null when the list cannot grow, in which
  // case the caller still owns it.
  T* Add(T* object)
  {
    if (mBuffer.AppendBytes(&object, static_cast<int32_t>(sizeof(T*))) < 0) return nullptr;
    return object;
  }

  // Index of the first entry holding the object, or -1.
  int32_t Find(const T* object) const
  {
    const int32_t count = GetCount();
    for (int32_t i = 0; i < count; ++i)
      if (Entries()[i] == object) return i;
    return -1;
  }

  // Removes one entry, moving the later ones down. The object is deleted unless the
  // caller takes it back (deleteObject false).
  void Delete(int32_t index, bool deleteObject = true)
  {
    const int32_t count = GetCount();
    if (index < 0 || index >= count) return;
    T** entries = Entries();
    T* object = entries[index];
    std::memmove(entries + index, entries + index + 1, sizeof(T*) * static_cast<size_t>(count - 1 - index));
    mBuffer.ResizeHeapBuffer((count - 1) * static_cast<int32_t>(sizeof(T*)), true);
    if (deleteObject) delete object;
  }

  // Last to first, so that later entries may still refer to earlier ones while dying.
  void DeleteAll(bool deleteObjects = true)
  {
    if (deleteObjects)
      for (int32_t i = GetCount() - 1; i >= 0; --i)
        delete Entries()[i];
    mBuffer.FreeHeapBuffer();
  }

private:
  T** Entries() const { return mBuffer.GetAs<T*>(); }

  HeapBuffer mBuffer{HeapBuffer::kDefaultGranularity};
};
} // namespace iplug
