#include "framework/vst3/SpeakerArrangements.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

using namespace iplug;
namespace SpeakerArr = Steinberg::Vst::SpeakerArr;

TEST(SpeakerArrangements, GiveEachBusWidthALayoutWithThatManySpeakers)
{
  EXPECT_EQ(SpeakerArrangementForChannels(1), SpeakerArr::kMono);
  EXPECT_EQ(SpeakerArrangementForChannels(2), SpeakerArr::kStereo);
  EXPECT_EQ(SpeakerArrangementForChannels(6), SpeakerArr::k51);
  EXPECT_EQ(SpeakerArrangementForChannels(8), SpeakerArr::k71Music);
  for (int channels : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16})
    EXPECT_EQ(ChannelCountOfArrangement(SpeakerArrangementForChannels(channels)), channels) << channels;
  for (int channels : {0, -64, 11, 15, 17, 64})
    EXPECT_EQ(SpeakerArrangementForChannels(channels), SpeakerArr::kEmpty) << channels;
  EXPECT_EQ(ChannelCountOfArrangement(~0ull), 64);
}
