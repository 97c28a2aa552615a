#include "framework/vst3/MidiOutputQueue.h"

#include "tests/support/vst3/HostEventList.h"

#include "pluginterfaces/vst/ivstmidicontrollers.h"

#include <gtest/gtest.h>

using namespace iplug;
using quorvel::test::HostEventList;
using namespace Steinberg::Vst;

namespace
{
IMidiEvent Msg(int offset, uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0)
{
  IMidiEvent e;
  e.offset = offset;
  e.status = status;
  e.data1 = data1;
  e.data2 = data2;
  return e;
}
} // namespace

TEST(MidiOutputQueue, KeepsMessagesInOffsetOrderAndArrivalOrderAmongEquals)
{
  MidiOutputQueue queue;
  EXPECT_TRUE(queue.Add(Msg(10, 0x90, 1)));
  EXPECT_TRUE(queue.Add(Msg(5, 0x90, 2)));
  EXPECT_TRUE(queue.Add(Msg(5, 0x90, 3)));
  EXPECT_TRUE(queue.Add(Msg(0, 0x90, 4)));
  EXPECT_TRUE(queue.Add(Msg(7, 0x90, 5)));
  ASSERT_EQ(queue.Count(), 5);
  const int expectOffsets[] = {0, 5, 5, 7, 10};
  const int expectTags[] = {4, 2, 3, 5, 1};
  for (int i = 0; i < 5; ++i)
  {
    EXPECT_EQ(queue.At(i).offset, expectOffsets[i]);
    EXPECT_EQ(queue.At(i).data1, expectTags[i]);
  }
}

TEST(MidiOutputQueue, TurnsMessagesIntoHostEvents)
{
  MidiOutputQueue queue;
  queue.Add(Msg(0, 0x93, 60, 127));    // note on, channel 3
  queue.Add(Msg(1, 0x82, 61, 0));      // note off
  queue.Add(Msg(2, 0xA1, 62, 100));    // poly pressure
  queue.Add(Msg(3, 0xD0, 90));         // channel pressure
  queue.Add(Msg(4, 0xC5, 12));         // program change
  queue.Add(Msg(5, 0xB0, 7, 99));      // control change
  queue.Add(Msg(6, 0xE1, 0x7F, 0x40)); // pitch wheel: LSB, MSB
  queue.Add(Msg(7, 0xF8));             // clock: nothing to send
  HostEventList list;
  queue.WriteTo(&list, 64);
  ASSERT_EQ(list.events.size(), 7u);

  const Event& on = list.events[0];
  EXPECT_EQ(on.type, Event::kNoteOnEvent);
  EXPECT_EQ(on.noteOn.channel, 3);
  EXPECT_EQ(on.noteOn.pitch, 60);
  EXPECT_FLOAT_EQ(on.noteOn.velocity, 1.f);
  EXPECT_EQ(on.busIndex, 0);
  EXPECT_EQ(list.events[1].type, Event::kNoteOffEvent);
  EXPECT_EQ(list.events[1].noteOff.pitch, 61);
  EXPECT_EQ(list.events[1].sampleOffset, 1);

  auto checkCC = [&](size_t i, int control, int channel, int value, int value2)
  {
    const Event& e = list.events[i];
    EXPECT_EQ(e.type, Event::kLegacyMIDICCOutEvent) << i;
    EXPECT_EQ(e.midiCCOut.controlNumber, control) << i;
    EXPECT_EQ(e.midiCCOut.channel, channel) << i;
    EXPECT_EQ(e.midiCCOut.value, value) << i;
    EXPECT_EQ(e.midiCCOut.value2, value2) << i;
    EXPECT_EQ(e.sampleOffset, static_cast<int>(i)) << i;
  };
  checkCC(2, kCtrlPolyPressure, 1, 62, 100);
  checkCC(3, kAfterTouch, 0, 90, 0);
  checkCC(4, kCtrlProgramChange, 5, 12, 0);
  checkCC(5, 7, 0, 99, 0);
  checkCC(6, kPitchBend, 1, 0x7F, 0x40);
  EXPECT_EQ(queue.Count(), 0) << "everything handed over, the unknown status included";
}

TEST(MidiOutputQueue, CarriesMessagesBeyondTheBlockIntoTheNext)
{
  MidiOutputQueue queue;
  queue.Add(Msg(100, 0x90, 1));
  // Without an output list nothing is sent; offsets move on by the block length.
  queue.WriteTo(nullptr, 64);
  ASSERT_EQ(queue.Count(), 1);
  EXPECT_EQ(queue.At(0).offset, 36);
  HostEventList list;
  queue.WriteTo(&list, 64);
  ASSERT_EQ(list.events.size(), 1u);
  EXPECT_EQ(list.events[0].sampleOffset, 36);
}

TEST(MidiOutputQueue, GrowsInWholePagesAndSizesItselfForTheBlock)
{
  MidiOutputQueue queue;
  EXPECT_EQ(queue.Capacity(), 512);
  for (int i = 0; i < 513; ++i)
    queue.Add(Msg(i, 0xB0, 1, 2));
  EXPECT_EQ(queue.Count(), 513) << "a full queue grows instead of dropping";
  EXPECT_EQ(queue.Capacity(), 1024);

  queue.Prepare(100); // step rounds up to one page of entries
  EXPECT_EQ(queue.GrowthStep(), 512);
  EXPECT_EQ(queue.Capacity(), 1024) << "queued messages are kept";
  EXPECT_EQ(queue.Count(), 513);

  HostEventList list;
  queue.WriteTo(&list, 1000);
  queue.Prepare(4096);
  EXPECT_EQ(queue.GrowthStep(), 4096);
  EXPECT_EQ(queue.Capacity(), 4096);
  queue.Prepare(0);
  EXPECT_EQ(queue.GrowthStep(), 512);
  EXPECT_EQ(queue.Capacity(), 512);
}
