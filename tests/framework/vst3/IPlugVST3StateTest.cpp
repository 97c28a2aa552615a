#include "tests/support/vst3/HostApplication.h"
#include "tests/support/vst3/HostStream.h"
#include "tests/support/vst3/TestVst3Plugin.h"

#include <gtest/gtest.h>

#include <cstring>

using iplug::IPluginSpec;
using iplug::ITransportState;
using iplug::kFactoryProgramList;
using iplug::kHost;
using iplug::kReset;
using iplug::kUI;
using iplug::MapParamId;
using iplug::TextBuffer;
using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace quorvel::test;

namespace
{
struct Instance
{
  Instance() : plug(new TestVst3Plugin) { EXPECT_EQ(plug->initialize(&host), kResultOk); }
  ~Instance()
  {
    plug->terminate();
    plug->release();
  }
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
} // namespace

TEST(IPlugVST3State, RoundTripsTheComponentStateIntoTheController)
{
  HostStream saved;
  std::vector<double> savedValues;
  {
    Instance a;
    a.plug->GetParam(0)->Set(3);
    a.plug->GetParam(1)->Set(0.25);
    a.plug->GetParam(13)->Set(1); // bypass travels inside the block
    IComponent* component = a.plug;
    ASSERT_EQ(component->getState(&saved), kResultOk);
    savedValues = Values(*a.plug);
  }
  Instance b;
  ASSERT_EQ(saved.data.size(), 132u);
  EXPECT_EQ(std::memcmp(saved.data.data(), "QVKX", 4), 0);
  EXPECT_EQ(saved.data[128] | saved.data[129] | saved.data[130] | saved.data[131], 0) << "bypass word";

  saved.position = 0;
  saved.readChunk = 128; // 128 then 4 bytes
  b.plug->editorValues.clear();
  ASSERT_EQ(static_cast<IComponent*>(b.plug)->setState(&saved), kResultOk);
  EXPECT_EQ(Values(*b.plug), savedValues);
  for (int i = 0; i < 14; ++i)
    EXPECT_DOUBLE_EQ(b.plug->getParamNormalized(MapParamId(i)), b.plug->GetParam(i)->GetNormalized()) << i;
  EXPECT_EQ(b.plug->getParamNormalized(MapParamId(13)), 1.0)
      << "the host's bypass switch shows the restored bypass";
  EXPECT_EQ(b.plug->editorValues.size(), 14u);

  // The controller role keeps nothing of its own and never touches the component state.
  HostStream controllerState;
  EXPECT_EQ(static_cast<IEditController*>(b.plug)->getState(&controllerState), kResultOk);
  EXPECT_TRUE(controllerState.data.empty());
  HostStream junk(std::vector<uint8_t>(40, 0x55));
  EXPECT_EQ(static_cast<IEditController*>(b.plug)->setState(&junk), kResultOk);
  EXPECT_EQ(b.plug->setComponentState(&junk), kResultOk);
  EXPECT_EQ(Values(*b.plug), savedValues);
}

TEST(IPlugVST3State, RefusesBadStreamsAndLeavesTheStateAsItWas)
{
  HostStream good;
  {
    Instance a;
    a.plug->GetParam(1)->Set(0.75);
    ASSERT_EQ(static_cast<IComponent*>(a.plug)->getState(&good), kResultOk);
  }
  Instance b;
  b.plug->GetParam(1)->Set(1.25);
  const std::vector<double> before = Values(*b.plug);
  IComponent* component = b.plug;

  std::vector<uint8_t> shortState(good.data.begin(), good.data.begin() + 100);
  std::vector<uint8_t> longState = good.data;
  longState.push_back(0);
  std::vector<uint8_t> bypassTwo = good.data;
  bypassTwo[128] = 2;
  std::vector<uint8_t> garbage(132, 0xAB);
  for (const auto& bytes : {shortState, longState, bypassTwo, garbage, std::vector<uint8_t>{1, 2, 3}})
  {
    HostStream stream(bytes);
    EXPECT_EQ(component->setState(&stream), kResultFalse) << bytes.size();
    EXPECT_EQ(Values(*b.plug), before);
  }
  EXPECT_EQ(component->setState(nullptr), kResultFalse);
  EXPECT_EQ(component->getState(nullptr), kResultFalse);
  HostStream failing(good.data);
  failing.readResult = kInternalError;
  EXPECT_EQ(component->setState(&failing), kResultFalse);
  EXPECT_EQ(Values(*b.plug), before);

  HostStream full;
  full.writePlan = {0};
  EXPECT_EQ(component->getState(&full), kResultFalse);
  HostStream piecemeal;
  piecemeal.writePlan = {100, 32};
  EXPECT_EQ(component->getState(&piecemeal), kResultOk);
  EXPECT_EQ(piecemeal.data.size(), 132u);
}
