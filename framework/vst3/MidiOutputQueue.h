#pragma once

// MIDI messages the processor sends during a block, kept sorted by sample offset
// until the process call hands them to the host's output event list. Belongs to
// the processing thread. Storage grows in whole steps sized from the maximum
// block (a step of entries is a whole number of 4 KiB pages); a failed growth
// drops the new message and keeps what is queued.

#include "framework/core/IMidiEvent.h"

#include <cstdint>

namespace Steinberg::Vst
{
class IEventList;
}

namespace iplug
{

class MidiOutputQueue
{
public:
  MidiOutputQueue();
  ~MidiOutputQueue();
  MidiOutputQueue(const MidiOutputQueue&) = delete;
  MidiOutputQueue& operator=(const MidiOutputQueue&) = delete;

  // Inserts after every queued message whose offset is not larger (arrival order among equals).
  // Returns true even when the message had to be dropped, as a send to the host cannot be retried.
  bool Add(const IMidiEvent& msg);

  // Called when the host sets up processing: drops read entries and sizes storage for the block.
  void Prepare(int32_t maxBlockSize);

  // Hands every unread message to the host list (when there is one), then drops them and moves
  // the offsets of what remains (nothing, after a full hand-over) back by the block length.
  void WriteTo(Steinberg::Vst::IEventList* list, int32_t numSamples);

  int32_t Count() const { return mCount - mReadPos; }
  const IMidiEvent& At(int32_t i) const { return mEvents[mReadPos + i]; }
  int32_t Capacity() const { return mCapacity; }
  int32_t GrowthStep() const { return mGrowthStep; }

private:
  void Compact();
  bool Reallocate(int32_t capacity);

  IMidiEvent* mEvents = nullptr;
  int32_t mCapacity = 0;
  int32_t mGrowthStep = 512;
  int32_t mReadPos = 0;
  int32_t mCount = 0;
};

} // namespace iplug
