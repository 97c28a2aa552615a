#pragma once

#include "effect/plugin/ParamTable.h"

#include "framework/core/StateChunk.h"

#include <cstdint>

namespace quorvel
{

// The stored form of the effect's whole setting: 128 bytes, little-endian, no padding.
//   0 magic "QVKX" | 4 version | 8 current values | 64 other-slot values | 120 preset index | 124 active slot
inline constexpr int kStateBlockSize = 128;
inline constexpr int32_t kStateBlockVersion = 1;
inline constexpr char kStateBlockMagic[4] = {'Q', 'V', 'K', 'X'};

inline constexpr int kStateOffsetVersion = 4;
inline constexpr int kStateOffsetCurrent = 8;
inline constexpr int kStateOffsetOther = 64;
inline constexpr int kStateOffsetPreset = 120;
inline constexpr int kStateOffsetSlot = 124;

// A decoded setting, whichever stored form it came from.
struct StateBlock
{
  EngineParams current;
  EngineParams other;
  int32_t presetIndex = 0;
  int32_t activeSlot = 0; // 0 = A, 1 = B
};

// Every value finite and inside its parameter's range.
bool ValidateValues(const EngineParams& values);

void EncodeStateBlock(const StateBlock& block, uint8_t (&bytes)[kStateBlockSize]);

// Appends one block to the chunk in a single write, so that a chunk that cannot grow is left as it was
// (and false is returned).
bool WriteStateChunk(iplug::StateChunk& chunk, const EngineParams& current, const EngineParams& other,
                     int32_t presetIndex, uint8_t activeSlot);

// Decodes and checks the block at start of data[0..size). Returns false (out untouched) when the block
// does not lie wholly inside the data, or has a wrong magic or version, an index or slot out of range,
// or a value that is not finite or outside its range.
bool DecodeStateBlock(const uint8_t* data, int64_t size, int64_t start, StateBlock& out);

// Reads a stored setting at start: the block when the magic is there, else the XML state form.
// Returns the position after what was read, or -1 (out untouched).
int ReadStoredState(const uint8_t* data, int size, int start, StateBlock& out);

} // namespace quorvel
