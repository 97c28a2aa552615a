#pragma once

#include "framework/core/HeapBuffer.h"

#include <cstdarg>
#include <cstdint>

#if defined(__MINGW32__)
// The Windows build formats with MinGW's own printf (__USE_MINGW_ANSI_STDIO), not the CRT's.
#define IPLUG_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#elif defined(__GNUC__)
#define IPLUG_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define IPLUG_PRINTF_FORMAT(fmt, args)
#endif

namespace iplug
{
// A UTF-8 heap text. Its size counts the terminating zero, so a text that was never set
// (size 0) and the empty text (size 1) both read as "". Lengths and positions are in
// bytes. Operations that would need more memory than they can get leave the text as it
// was and return false.
class TextBuffer
{
public:
  static constexpr int32_t kGranularity = 128;

  TextBuffer() : mBuffer(kGranularity) {}
  explicit TextBuffer(const char* text, int32_t maxLength = 0) : mBuffer(kGranularity)
  {
    AssignText(text, maxLength);
  }
  TextBuffer(const TextBuffer& source);
  TextBuffer& operator=(const TextBuffer& source);

  // At most maxLength bytes of text (all of it when maxLength <= 0); null gives "".
  // The text may lie inside this buffer.
  bool AssignText(const char* text, int32_t maxLength = 0);
  bool AppendText(const char* text, int32_t maxLength = 0);

  // The splice behind set, append and insert: keeps tailLength bytes found at position,
  // moving them right by count, writes count bytes of source at position and cuts the
  // text after the tail. A position past the end is taken as the end and a tail longer
  // than the rest of the text as the rest. count 0 at position 0 with tail 0 empties
  // the text; count 0 otherwise, or a negative count or position, changes nothing.
  bool InsertText(int32_t position, const char* source, int32_t count, int32_t tailLength);

  // printf-style formatting, cut to at most maxLength bytes.
  bool SetFormatted(int32_t maxLength, const char* format, ...) IPLUG_PRINTF_FORMAT(3, 4);
  bool AppendFormatted(int32_t maxLength, const char* format, ...) IPLUG_PRINTF_FORMAT(3, 4);
  bool SetFormattedV(int32_t maxLength, const char* format, va_list args);
  bool AppendFormattedV(int32_t maxLength, const char* format, va_list args);

  const char* Get() const;
  int32_t GetLength() const;
  bool IsEmpty() const { return GetLength() == 0; }
  // Bytes in use including the terminator; 0 when never set.
  int32_t GetSize() const { return mBuffer.GetSize(); }
  int32_t GetCapacity() const { return mBuffer.GetCapacity(); }
  void FreeText() { mBuffer.FreeHeapBuffer(); }

private:
  bool FormatAt(int32_t position, int32_t maxLength, const char* format, va_list args);

  HeapBuffer mBuffer;
};
} // namespace iplug
