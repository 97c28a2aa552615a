#pragma once
// A read-only view of a TrueType/OpenType font (or one face of a collection): the offsets of the tables
// the system needs, the family and style names as UTF-8 and the vertical metrics. The bytes stay the
// caller's and must outlive the reader. Every read is checked against the size given, so bytes from a
// file or the platform cannot send it outside them: a table that does not fit is treated as absent.

#include "framework/core/TextBuffer.h"

#include <cstdint>

namespace iplug::igraphics
{

class FontTableReader
{
public:
  FontTableReader() = default;
  // faceIndex selects a face of a "ttcf" collection; a single font has only face 0.
  FontTableReader(const void* bytes, int32_t size, int32_t faceIndex);

  // Whether the bytes hold a font with the face asked for.
  bool IsFont() const { return mBytes != nullptr; }
  // Whether "head", "name" and "hhea" were all found: only then are names and metrics read.
  bool HasRequiredTables() const { return mHead != 0 && mName != 0 && mHhea != 0; }

  // The offset (from the start of the bytes) of the first table with this four-character tag whose
  // record lies wholly inside the bytes; 0 when there is none.
  uint32_t FindFontTable(const char* tag) const;
  // Name id 1 family, 2 style: the Windows (3, 1, 1033) record first, the Macintosh (1, 0, 0) one when
  // that gives no text. Always valid UTF-8; empty when neither is present.
  TextBuffer ReadFontName(int nameId) const;

  const TextBuffer& GetFamilyName() const { return mFamily; }
  const TextBuffer& GetStyleName() const { return mStyle; }
  uint16_t GetMacStyle() const { return mMacStyle; }
  uint16_t GetUnitsPerEm() const { return mUnitsPerEm; }
  int16_t GetAscender() const { return mAscender; }
  int16_t GetDescender() const { return mDescender; }
  int16_t GetLineGap() const { return mLineGap; }
  uint32_t GetHeadOffset() const { return mHead; }
  uint32_t GetNameOffset() const { return mName; }
  uint32_t GetHheaOffset() const { return mHhea; }
  uint32_t GetFdscOffset() const { return mFdsc; }
  // Where the selected face's table directory starts inside the bytes.
  uint32_t GetFaceOffset() const { return mFace; }

  // How many faces the bytes hold: 1 for a single font, the collection's count for a "ttcf" (never more
  // than its offset table can list within the size), 0 when the bytes are not a font.
  static int32_t CountFontFaces(const void* bytes, int32_t size);

private:
  bool Read16(uint64_t at, uint16_t& value) const;
  bool Read32(uint64_t at, uint32_t& value) const;
  bool AppendWindowsName(TextBuffer& out, uint64_t at, uint32_t length) const;
  bool AppendMacName(TextBuffer& out, uint64_t at, uint32_t length) const;
  TextBuffer ReadNameRecord(uint16_t platform, uint16_t encoding, uint16_t language, int nameId) const;

  const uint8_t* mBytes = nullptr; // null: not a font
  uint32_t mSize = 0;
  uint32_t mFace = 0;
  uint32_t mHead = 0;
  uint32_t mName = 0;
  uint32_t mHhea = 0;
  uint32_t mFdsc = 0;
  TextBuffer mFamily;
  TextBuffer mStyle;
  uint16_t mMacStyle = 0;
  uint16_t mUnitsPerEm = 0;
  int16_t mAscender = 0;
  int16_t mDescender = 0;
  int16_t mLineGap = 0;
};

} // namespace iplug::igraphics
