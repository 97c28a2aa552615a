#pragma once

// UTF-8 inspection and UTF-8 to UTF-16 decoding shared by the Win32 wrappers.
// Text inside the system is UTF-8; these decide when a system call needs the
// wide form and produce it. Portable: UTF-16 is char16_t here (the Win32 layer
// reads it as wchar_t, which has the same representation on Windows).
namespace iplug
{
// 0 plain ASCII (or null), 1 valid UTF-8 with at least one multi-byte sequence,
// -1 anything invalid (checked up to the terminator).
int HasMultibyteUtf8(const char* text);

// Flags of DecodeUtf8ToWideBuffer.
enum : int
{
  kDecodeAcceptAnyText = 1, // convert even text that does not look like UTF-8
  kDecodeCutToBuffer = 2,   // never allocate: cut the output to the given buffer
};

// Converts UTF-8 (with the lenient rules narrow controls echo) to terminated UTF-16.
// Returns `buffer` when the text fits in it (bufferBytes counts bytes), a block
// from new[] that the caller delete[]s when it does not (unless kDecodeCutToBuffer),
// or null when the text is refused as not UTF-8 or memory runs out.
char16_t* DecodeUtf8ToWideBuffer(const char* text, char16_t* buffer, int bufferBytes, int flags);

// 0 when `narrow` is `utf8` as a narrow (code-page) control echoes it: each
// character equal to the narrow byte, or any non-ASCII character shown as '?'.
int MatchesNarrowEcho(const char* utf8, const char* narrow);

// Turns a path of 256 units or more into its long form in place ("\\?\" for
// drive paths, "\\?\UNC\" for network paths, '/' made '\'). The buffer must have
// room for 8 more units. Paths already in long or device form are left alone.
void AddLongPathPrefix(char16_t* path);

// Length of a terminated UTF-16 text in units.
int WideLength(const char16_t* text);
} // namespace iplug
