#pragma once
// A font's bytes held by whoever received them, the face chosen inside them and a table reader over that
// face. The reader always looks at this blob's own bytes: copies and moves rebuild it over theirs.

#include "framework/core/HeapBuffer.h"
#include "framework/graphics/FontTableReader.h"

#include <cstdint>

namespace iplug::igraphics
{

class FontBlob
{
public:
  static constexpr int32_t kGranularity = 4096;

  FontBlob() : mBytes(kGranularity) {}
  // A copy of the bytes; with faceIndex >= 0 a reader over that face. False (and empty) when the
  // buffer cannot grow.
  bool AssignBytes(const void* bytes, int32_t size, int32_t faceIndex);
  // The bytes to fill in place (size them first), then SelectFace.
  HeapBuffer& GetBuffer() { return mBytes; }
  // Reads the bytes as the given face; -1 drops the reader.
  void SelectFace(int32_t faceIndex);

  FontBlob(const FontBlob& other);
  FontBlob& operator=(const FontBlob& other);
  FontBlob(FontBlob&& other) noexcept;
  FontBlob& operator=(FontBlob&& other) noexcept;

  const void* GetData() const { return mBytes.GetData(); }
  int32_t GetSize() const { return mBytes.GetSize(); }
  int32_t GetFaceIndex() const { return mFaceIndex; }
  const FontTableReader& GetReader() const { return mReader; }
  // What a rasteriser needs: bytes, a face and the tables that face must have.
  bool IsUsable() const { return GetSize() > 0 && mFaceIndex >= 0 && mReader.HasRequiredTables(); }

private:
  HeapBuffer mBytes;
  int32_t mFaceIndex = -1;
  FontTableReader mReader;
};

} // namespace iplug::igraphics
