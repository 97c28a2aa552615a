#include "framework/graphics/FontBlob.h"

#include <cstring>
#include <utility>

namespace iplug::igraphics
{

bool FontBlob::AssignBytes(const void* bytes, int32_t size, int32_t faceIndex)
{
  SelectFace(-1);
  if (!bytes || size <= 0 || !mBytes.ResizeHeapBuffer(size))
  {
    mBytes.FreeHeapBuffer();
    return false;
  }
  std::memcpy(mBytes.GetData(), bytes, static_cast<size_t>(size));
  SelectFace(faceIndex);
  return true;
}

void FontBlob::SelectFace(int32_t faceIndex)
{
  mFaceIndex = faceIndex;
  mReader =
      faceIndex >= 0 ? FontTableReader(mBytes.GetData(), mBytes.GetSize(), faceIndex) : FontTableReader();
}

FontBlob::FontBlob(const FontBlob& other) : mBytes(other.mBytes)
{
  SelectFace(mBytes.GetSize() == other.mBytes.GetSize() ? other.mFaceIndex : -1);
}

FontBlob& FontBlob::operator=(const FontBlob& other)
{
  if (this != &other)
  {
    mBytes = other.mBytes;
    SelectFace(mBytes.GetSize() == other.mBytes.GetSize() ? other.mFaceIndex : -1);
  }
  return *this;
}

FontBlob::FontBlob(FontBlob&& other) noexcept : FontBlob()
{
  *this = std::move(other);
}

FontBlob& FontBlob::operator=(FontBlob&& other) noexcept
{
  // The byte buffer copies (it never throws); the source is emptied so that one blob holds the bytes.
  if (this != &other)
  {
    *this = static_cast<const FontBlob&>(other);
    other.mBytes.FreeHeapBuffer();
    other.SelectFace(-1);
  }
  return *this;
}

} // namespace iplug::igraphics
