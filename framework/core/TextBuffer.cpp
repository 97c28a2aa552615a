#include "framework/core/TextBuffer.h"

#include <cstdio>
#include <cstring>
#include <limits>

namespace iplug
{
namespace
{
int32_t BoundedLength(const char* text, int32_t maxLength)
{
  if (!text) return 0;
  if (maxLength > 0) return static_cast<int32_t>(strnlen(text, static_cast<size_t>(maxLength)));
  const size_t length = std::strlen(text);
  return length > static_cast<size_t>(std::numeric_limits<int32_t>::max()) ? -1
                                                                           : static_cast<int32_t>(length);
}
} // namespace

TextBuffer::TextBuffer(const TextBuffer& source) : mBuffer(kGranularity)
{
  AssignText(source.Get());
}

TextBuffer& TextBuffer::operator=(const TextBuffer& source)
{
  if (&source != this) AssignText(source.Get());
  return *this;
}

const char* TextBuffer::Get() const
{
  const char* data = mBuffer.GetAs<const char>();
  return data ? data : "";
}

int32_t TextBuffer::GetLength() const
{
  return static_cast<int32_t>(std::strlen(Get()));
}

bool TextBuffer::AssignText(const char* text, int32_t maxLength)
{
  const int32_t length = BoundedLength(text, maxLength);
  if (length < 0) return false;
  return InsertText(0, text, length, 0);
}

bool TextBuffer::AppendText(const char* text, int32_t maxLength)
{
  const int32_t length = BoundedLength(text, maxLength);
  if (length < 0) return false;
  // Nothing to append still makes a never-set text the empty text (size 1), as a set does.
  return InsertText(GetLength(), text, length, 0);
}

bool TextBuffer::InsertText(int32_t position, const char* source, int32_t count, int32_t tailLength)
{
  if (position < 0 || count < 0 || (count > 0 && !source)) return false;
  const int32_t length = GetLength();
  if (position > length) position = length;
  tailLength = tailLength < 0 ? 0 : (tailLength > length - position ? length - position : tailLength);
  if (count == 0 && (position != 0 || tailLength != 0)) return true;

  const int64_t newSize = int64_t{position} + count + tailLength + 1;
  if (newSize > std::numeric_limits<int32_t>::max()) return false;

  // A source inside this buffer would be moved by the resize or overwritten by the
  // tail: work from a copy of it.
  HeapBuffer copy(kGranularity);
  const char* data = mBuffer.GetAs<const char>();
  if (count > 0 && data && source >= data && source < data + mBuffer.GetCapacity())
  {
    if (copy.AppendBytes(source, count) < 0) return false;
    source = copy.GetAs<const char>();
  }

  char* text = static_cast<char*>(mBuffer.ResizeHeapBuffer(static_cast<int32_t>(newSize)));
  if (!text) return false;
  if (tailLength > 0) std::memmove(text + position + count, text + position, static_cast<size_t>(tailLength));
  if (count > 0) std::memcpy(text + position, source, static_cast<size_t>(count));
  text[newSize - 1] = '\0';
  return true;
}

bool TextBuffer::FormatAt(int32_t position, int32_t maxLength, const char* format, va_list args)
{
  if (maxLength < 0 || !format) return false;
  const int64_t room = int64_t{position} + maxLength + 1;
  if (room > std::numeric_limits<int32_t>::max()) return false;

  // Formatted aside first: an argument may point into this very text, which the resize
  // below may move.
  char small[512];
  HeapBuffer large(kGranularity);
  char* formatted = small;
  if (maxLength >= static_cast<int32_t>(sizeof(small)))
  {
    formatted = static_cast<char*>(large.ResizeHeapBuffer(maxLength + 1));
    if (!formatted) return false;
  }
  const int written = std::vsnprintf(formatted, static_cast<size_t>(maxLength) + 1, format, args);
  int32_t length = written;
  if (written < 0)
    length = 0;
  else if (written >= maxLength)
    length = maxLength;

  if (!mBuffer.ResizeHeapBuffer(static_cast<int32_t>(room))) return false;
  char* text = mBuffer.GetAs<char>();
  std::memcpy(text + position, formatted, static_cast<size_t>(length));
  text[position + length] = '\0';
  mBuffer.ResizeHeapBuffer(position + length + 1);
  return written >= 0;
}

bool TextBuffer::SetFormattedV(int32_t maxLength, const char* format, va_list args)
{
  return FormatAt(0, maxLength, format, args);
}

bool TextBuffer::AppendFormattedV(int32_t maxLength, const char* format, va_list args)
{
  return FormatAt(GetLength(), maxLength, format, args);
}

bool TextBuffer::SetFormatted(int32_t maxLength, const char* format, ...)
{
  va_list args;
  va_start(args, format);
  const bool ok = SetFormattedV(maxLength, format, args);
  va_end(args);
  return ok;
}

bool TextBuffer::AppendFormatted(int32_t maxLength, const char* format, ...)
{
  va_list args;
  va_start(args, format);
  const bool ok = AppendFormattedV(maxLength, format, args);
  va_end(args);
  return ok;
}
} // namespace iplug
