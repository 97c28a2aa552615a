// The adapter's own component state, on a plug-in that keeps the framework's parameter serialisation.

#include "tests/support/vst3/HostApplication.h"
#include "tests/support/vst3/HostStream.h"
#include "tests/support/vst3/TestVst3Plugin.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace quorvel::test;

namespace
{
struct Instance
{
  explicit Instance(std::u16string hostName = u"Test Host")
      : host(std::move(hostName)), plug(new TestVst3Plugin)
  {
    EXPECT_EQ(plug->initialize(&host), kResultOk);
  }
  ~Instance()
  {
    plug->terminate();
    plug->release();
  }
  IComponent* Component() { return plug; }
  HostApplication host;
  TestVst3Plugin* plug;
};

std::vector<double> Values(TestVst3Plugin& p)
{
  std::vector<double> v;
  for (int i = 0; i < p.NParams(); ++i)
    v.push_back(p.GetParam(i)->Value());
  return v;
}

// 14 doubles as the framework writes them, then the 0 word.
std::vector<uint8_t> SavedState(double gain)
{
  Instance a;
  a.plug->GetParam(0)->Set(3);
  a.plug->GetParam(1)->Set(gain);
  a.plug->GetParam(13)->Set(1);
  HostStream saved;
  EXPECT_EQ(a.Component()->getState(&saved), kResultOk);
  return saved.data;
}
} // namespace

TEST(IPlugVST3State, DefaultFormRoundTripsIntoTheControllerAndEditor)
{
  const std::vector<uint8_t> saved = SavedState(0.25);
  ASSERT_EQ(saved.size(), 14u * 8 + 4);
  double gain = 0;
  std::memcpy(&gain, saved.data() + 8, 8);
  EXPECT_EQ(gain, 0.25) << "parameter 1 as a little-endian double";
  EXPECT_EQ(saved[112] | saved[113] | saved[114] | saved[115], 0) << "the 0 word";

  Instance b;
  HostStream stream(saved);
  stream.readChunk = 50; // hosts deliver any number of bytes per read
  ASSERT_EQ(b.Component()->setState(&stream), kResultOk);
  EXPECT_EQ(b.plug->GetParam(0)->Value(), 3);
  EXPECT_EQ(b.plug->GetParam(1)->Value(), 0.25);
  for (int i = 0; i < 14; ++i)
    EXPECT_DOUBLE_EQ(b.plug->getParamNormalized(MapParamId(i)), b.plug->GetParam(i)->GetNormalized()) << i;
  EXPECT_EQ(b.plug->statesRestored, 1);

  // The controller role keeps nothing of its own and never touches the component state.
  HostStream controllerState;
  EXPECT_EQ(static_cast<IEditController*>(b.plug)->getState(&controllerState), kResultOk);
  EXPECT_TRUE(controllerState.data.empty());
  HostStream junk(std::vector<uint8_t>(40, 0x55));
  EXPECT_EQ(static_cast<IEditController*>(b.plug)->setState(&junk), kResultOk);
  EXPECT_EQ(b.plug->GetParam(1)->Value(), 0.25);
}

TEST(IPlugVST3State, FailingReadsEndTheStreamExceptForTheHostThatFlagsGoodReads)
{
  const std::vector<uint8_t> saved = SavedState(0.5);
  struct Case
  {
    std::u16string host;
    tresult expected;
    double lastAfter;
  };
  // Reads of 50 bytes, every one after the first flagged as failed: 50 bytes hold 6 values only.
  for (const Case& c : {Case{u"WaveLab 12", kResultOk, 1.0}, Case{u"Other Host", kResultFalse, 0.0}})
  {
    Instance b(c.host);
    HostStream stream(saved);
    stream.readChunk = 50;
    stream.failingReadsFrom = 1;
    EXPECT_EQ(b.Component()->setState(&stream), c.expected);
    EXPECT_EQ(b.plug->GetParam(13)->Value(), c.lastAfter);
    EXPECT_EQ(b.plug->statesRestored, c.expected == kResultOk ? 1 : 0);
  }

  // A stream that fails without delivering bytes ends the loop for every host.
  Instance b(u"WaveLab 12");
  HostStream failing;
  failing.endResult = kInternalError;
  EXPECT_EQ(b.Component()->setState(&failing), kResultFalse);
  EXPECT_EQ(failing.readCalls, 1);
}

TEST(IPlugVST3State, BypassWordAfterATaggedStateIsCheckedWhereTheStateEnds)
{
  std::vector<uint8_t> tagged = SavedState(0.5);
  tagged.resize(112);
  std::memcpy(tagged.data(), kTestBypassTag, 4); // parameter 0's low bytes: any value constrains
  struct Case
  {
    uint32_t word;
    tresult seek;
    tresult expected;
  };
  for (const Case& c : {Case{0, kResultOk, kResultOk}, Case{1, kResultOk, kResultOk},
                        Case{2, kResultOk, kResultFalse}, Case{0, kInternalError, kResultFalse}})
  {
    std::vector<uint8_t> bytes = tagged;
    bytes.resize(116);
    std::memcpy(bytes.data() + 112, &c.word, 4);
    bytes.resize(200, 0xEE); // trailing bytes the framework's reader leaves alone
    Instance b;
    HostStream stream(bytes);
    stream.seekResult = c.seek;
    EXPECT_EQ(b.Component()->setState(&stream), c.expected) << c.word << " " << c.seek;
  }
  // Untagged states have no word to check.
  std::vector<uint8_t> untagged = SavedState(0.5);
  untagged.resize(112);
  Instance b;
  HostStream stream(untagged);
  stream.seekResult = kInternalError;
  EXPECT_EQ(b.Component()->setState(&stream), kResultOk);
}

TEST(IPlugVST3State, RefusesWhatItCannotWriteOrHold)
{
  Instance b;
  b.plug->GetParam(1)->Set(1.25);
  const std::vector<double> before = Values(*b.plug);

  HostStream refusing;
  refusing.writeResult = kInternalError;
  EXPECT_EQ(b.Component()->getState(&refusing), kResultFalse) << "a failed write is not a saved state";
  HostStream miscounting;
  miscounting.writePlan = {0, 0}; // the count a host reports is not second-guessed
  EXPECT_EQ(b.Component()->getState(&miscounting), kResultOk);
  EXPECT_EQ(miscounting.writeCalls, 2);

  std::vector<uint8_t> huge = SavedState(0.5);
  huge.resize(1048577, 0);
  HostStream tooLong(huge);
  EXPECT_EQ(b.Component()->setState(&tooLong), kResultFalse);
  EXPECT_EQ(Values(*b.plug), before) << "refused before anything is applied";

  EXPECT_EQ(b.Component()->setState(nullptr), kResultFalse);
  EXPECT_EQ(b.Component()->getState(nullptr), kResultFalse);
}
