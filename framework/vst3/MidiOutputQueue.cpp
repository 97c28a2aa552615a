#include "framework/vst3/MidiOutputQueue.h"

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace iplug
{

namespace
{
// Entries per 4 KiB page: growth keeps the storage a whole number of pages.
constexpr int32_t kEntriesPerPage = 4096 / static_cast<int32_t>(sizeof(IMidiEvent));
// No queue grows beyond this (8 MiB): sizes are computed in 64 bits and never wrap.
constexpr int64_t kMaxEntries = int64_t{1} << 20;

int32_t RoundUpToPages(int64_t entries)
{
  entries = std::clamp<int64_t>(entries, 1, kMaxEntries);
  return static_cast<int32_t>((entries + kEntriesPerPage - 1) / kEntriesPerPage * kEntriesPerPage);
}
} // namespace

MidiOutputQueue::MidiOutputQueue()
{
  Reallocate(512);
}

MidiOutputQueue::~MidiOutputQueue()
{
  std::free(mEvents);
}

bool MidiOutputQueue::Reallocate(int32_t capacity)
{
  // A size of 0 would free the storage while the queue still points at it.
  if (capacity < 1 || capacity > kMaxEntries || capacity < mCount) return false;
  void* grown = std::realloc(mEvents, static_cast<size_t>(capacity) * sizeof(IMidiEvent));
  if (!grown) return false;
  mEvents = static_cast<IMidiEvent*>(grown);
  mCapacity = capacity;
  return true;
}

void MidiOutputQueue::Compact()
{
  if (mReadPos == 0) return;
  std::memmove(mEvents, mEvents + mReadPos, static_cast<size_t>(mCount - mReadPos) * sizeof(IMidiEvent));
  mCount -= mReadPos;
  mReadPos = 0;
}

bool MidiOutputQueue::Add(const IMidiEvent& msg)
{
  if (mCount >= mCapacity)
  {
    if (mReadPos > 0)
      Compact();
    else if (mGrowthStep <= 0 ||
             !Reallocate(RoundUpToPages((int64_t{mCapacity} / mGrowthStep + 1) * mGrowthStep)) ||
             mCount >= mCapacity)
      return true;
  }
  int32_t at = mCount;
  if (mCount > mReadPos && msg.offset < mEvents[mCount - 1].offset)
  {
    while (at > mReadPos && mEvents[at - 1].offset > msg.offset)
      --at;
    std::memmove(mEvents + at + 1, mEvents + at, static_cast<size_t>(mCount - at) * sizeof(IMidiEvent));
  }
  mEvents[at] = msg;
  ++mCount;
  return true;
}

void MidiOutputQueue::Prepare(int32_t maxBlockSize)
{
  Compact();
  mGrowthStep = RoundUpToPages(maxBlockSize);
  const int32_t capacity = mCount > mGrowthStep ? RoundUpToPages(mCount) : mGrowthStep;
  if (capacity != mCapacity) Reallocate(capacity);
}

void MidiOutputQueue::WriteTo(Steinberg::Vst::IEventList* list, int32_t numSamples)
{
  using namespace Steinberg::Vst;
  if (list)
  {
    for (; mReadPos < mCount; ++mReadPos)
    {
      const IMidiEvent& msg = mEvents[mReadPos];
      Event e{};
      e.busIndex = 0;
      e.sampleOffset = msg.offset;
      e.ppqPosition = 0;
      e.flags = 0;
      const int channel = msg.status & 0x0F;
      auto cc = [&](Steinberg::uint8 control, int value, int value2)
      {
        e.type = Event::kLegacyMIDICCOutEvent;
        e.midiCCOut.controlNumber = control;
        e.midiCCOut.channel = static_cast<Steinberg::int8>(channel);
        e.midiCCOut.value = static_cast<Steinberg::int8>(value & 0x7F);
        e.midiCCOut.value2 = static_cast<Steinberg::int8>(value2 & 0x7F);
      };
      switch (msg.status & 0xF0)
      {
      case 0x90:
        e.type = Event::kNoteOnEvent;
        e.noteOn.channel = static_cast<Steinberg::int16>(channel);
        e.noteOn.pitch = msg.data1;
        e.noteOn.tuning = 0.f;
        e.noteOn.velocity = msg.data2 * (1.f / 127.f);
        e.noteOn.length = 0;
        e.noteOn.noteId = -1;
        break;
      case 0x80:
        e.type = Event::kNoteOffEvent;
        e.noteOff.channel = static_cast<Steinberg::int16>(channel);
        e.noteOff.pitch = msg.data1;
        e.noteOff.velocity = msg.data2 * (1.f / 127.f);
        e.noteOff.noteId = -1;
        e.noteOff.tuning = 0.f;
        break;
      case 0xA0:
        cc(kCtrlPolyPressure, msg.data1, msg.data2);
        break;
      case 0xD0:
        cc(kAfterTouch, msg.data1, msg.data2);
        break;
      case 0xC0:
        cc(kCtrlProgramChange, msg.data1, 0);
        break;
      case 0xB0:
        cc(msg.data1, msg.data2, 0);
        break;
      // The wheel's 14 bits travel as two 7-bit fields: low bits first, as in the MIDI message.
      case 0xE0:
        cc(kPitchBend, msg.data1, msg.data2);
        break;
      default:
        continue;
      }
      list->addEvent(e);
    }
  }
  Compact();
  for (int32_t i = 0; i < mCount; ++i)
    mEvents[i].offset -= numSamples;
}

} // namespace iplug
