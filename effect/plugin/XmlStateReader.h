#pragma once

#include "effect/plugin/ParamTable.h"

#include <cstddef>
#include <cstdint>

namespace quorvel
{

// The setting read from the XML state form. The caller presets it (defaults in both value sets, preset 0,
// slot A); ReadXmlState only overwrites it on success.
struct XmlStateValues
{
  EngineParams current; // EngineParams starts at the defaults
  EngineParams other;
  int32_t presetIndex = 0;
  uint8_t showingB = 0;
};

// Input size limits: the envelope ("VC2!", uint32 length, document, optional NUL) must fit in 1 MiB.
inline constexpr size_t kXmlStateMinInput = 9;
inline constexpr size_t kXmlStateMaxInput = 1048576;
inline constexpr uint32_t kXmlStateMaxDocument = 1048568;
// The envelope tag is looked for at offsets 0..63 only.
inline constexpr size_t kXmlStateLastTagOffset = 63;
// A leading "<?xml ... ?>" declaration may span at most this many characters, both delimiters included.
inline constexpr size_t kXmlDeclarationMaxLength = 256;

// Strict reader of the XML state form: any deviation from the grammar, unknown or duplicate key, or value
// outside its parameter's range fails the whole read. On success fills out and sets consumed to the bytes
// used (envelope and optional trailing NUL); on failure returns false, sets consumed to 0, leaves out alone.
bool ReadXmlState(const uint8_t* data, size_t length, XmlStateValues& out, size_t& consumed);

} // namespace quorvel
