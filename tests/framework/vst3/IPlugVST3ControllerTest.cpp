#include "tests/support/vst3/ComponentHandlerRecorder.h"
#include "tests/support/vst3/HostApplication.h"
#include "tests/support/vst3/HostAttributeList.h"
#include "tests/support/vst3/HostProcessData.h"
#include "tests/support/vst3/TestVst3Plugin.h"

#include "pluginterfaces/vst/ivstchannelcontextinfo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using iplug::IPluginSpec;
using iplug::ITransportState;
using iplug::kFactoryProgramList;
using iplug::kHost;
using iplug::kReset;
using iplug::kUI;
using iplug::TextBuffer;
using quorvel::test::MapParamId;
using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace quorvel::test;

namespace
{
std::u16string Text(const TChar* s)
{
  return std::u16string(reinterpret_cast<const char16_t*>(s));
}

struct Controller
{
  explicit Controller(const IPluginSpec& spec = TestVst3Spec()) : plug(new TestVst3Plugin(spec))
  {
    EXPECT_EQ(plug->initialize(&host), kResultOk);
    EXPECT_EQ(plug->setComponentHandler(&handler), kResultTrue);
  }
  ~Controller()
  {
    plug->terminate();
    plug->release();
  }
  HostApplication host;
  ComponentHandlerRecorder handler;
  TestVst3Plugin* plug;
};
} // namespace

TEST(IPlugVST3Controller, SetsValuesFromTheHostAndTellsTheEditor)
{
  Controller c;
  TestVst3Plugin& p = *c.plug;
  p.editorValues.clear();
  EXPECT_EQ(p.setParamNormalized(MapParamId(0), 1.0), kResultOk);
  EXPECT_EQ(p.GetParam(0)->Value(), 5.0);
  EXPECT_EQ(p.getParamNormalized(MapParamId(0)), 1.0);
  ASSERT_EQ(p.editorValues.size(), 1u);
  EXPECT_EQ(p.editorValues[0], (std::pair<int, double>{0, 1.0}));

  EXPECT_EQ(p.setParamNormalized(MapParamId(1), 7.0), kResultOk);
  EXPECT_EQ(p.GetParam(1)->Value(), 2.0) << "held to 0..1";
  EXPECT_EQ(p.setParamNormalized(MapParamId(1), std::numeric_limits<double>::quiet_NaN()), kResultFalse);
  EXPECT_EQ(p.setParamNormalized(MapParamId(1), -std::numeric_limits<double>::infinity()), kResultFalse);
  EXPECT_EQ(p.GetParam(1)->Value(), 2.0) << "a value that is not finite is ignored";
  EXPECT_EQ(p.getParamNormalized(MapParamId(1)), 1.0);

  EXPECT_EQ(p.setParamNormalized(65537, 0.3), kResultFalse);
  EXPECT_EQ(p.setParamNormalized(14, 0.3), kResultFalse);
  EXPECT_EQ(p.getParamNormalized(65537), 0.0);
  EXPECT_TRUE(c.handler.calls.empty()) << "host changes are not echoed back to the host";
}

TEST(IPlugVST3Controller, SendsEditorEditsToTheHostUnderTheParameterIds)
{
  Controller c;
  TestVst3Plugin& p = *c.plug;
  p.BeginParamChangeFromEditor(2);
  p.SetParamFromEditorNormalized(2, 0.8);
  p.EndParamChangeFromEditor(2);
  ASSERT_EQ(c.handler.calls.size(), 3u);
  EXPECT_EQ(c.handler.calls[0].what, "begin");
  EXPECT_EQ(c.handler.calls[0].id, MapParamId(2));
  EXPECT_EQ(c.handler.calls[1].what, "perform");
  EXPECT_EQ(c.handler.calls[1].id, MapParamId(2));
  EXPECT_DOUBLE_EQ(c.handler.calls[1].value, 0.8);
  EXPECT_EQ(c.handler.calls[2].what, "end");
  EXPECT_DOUBLE_EQ(p.GetParam(2)->Value(), 0.8);
  EXPECT_DOUBLE_EQ(p.getParamNormalized(MapParamId(2)), 0.8) << "the host-side object follows the editor";
  EXPECT_EQ(p.paramChanges.back().source, kUI);

  // After a preset or state change every value goes to the host as one group.
  c.handler.calls.clear();
  p.GetParam(3)->Set(0.1);
  p.SendAllParamsToHost();
  ASSERT_EQ(c.handler.calls.size(), 16u);
  EXPECT_EQ(c.handler.calls.front().what, "startGroup");
  EXPECT_EQ(c.handler.calls.back().what, "finishGroup");
  EXPECT_EQ(c.handler.calls[4].id, MapParamId(3));
  EXPECT_DOUBLE_EQ(c.handler.calls[4].value, 0.1);
  EXPECT_DOUBLE_EQ(p.getParamNormalized(MapParamId(3)), 0.1);

  c.handler.calls.clear();
  p.NotifyParamDetailsChanged();
  ASSERT_EQ(c.handler.Count("restart"), 1);
  EXPECT_EQ(c.handler.calls[0].flags, kParamTitlesChanged);
}

TEST(IPlugVST3Controller, AnnouncesLatencyOnlyWhenItChangesAndNeverWhileProcessing)
{
  Controller c;
  TestVst3Plugin& p = *c.plug;
  EXPECT_EQ(p.getLatencySamples(), 61u);
  p.SetLatency(61);
  ProcessSetup setup{kRealtime, kSample32, 512, 48000.0};
  p.setupProcessing(setup);
  p.setActive(true);
  EXPECT_EQ(c.handler.Count("restart"), 0) << "an unchanged latency is not announced";

  p.SetLatency(100);
  ASSERT_EQ(c.handler.Count("restart"), 1);
  EXPECT_EQ(c.handler.calls.back().flags, kLatencyChanged);
  EXPECT_EQ(p.getLatencySamples(), 100u);
  p.SetLatency(100);
  p.setActive(true);
  EXPECT_EQ(c.handler.Count("restart"), 1);
}

// One live instance per test: the portable queue timer is not safe for two (see the report).
TEST(IPlugVST3Controller, AnnouncesALatencyChangedWhileProcessingAtTheNextActivation)
{
  struct Changer : TestVst3Plugin
  {
    void OnReset() override { SetLatency(++latency); }
    int latency = 200;
  };
  auto* changer = new Changer;
  ComponentHandlerRecorder handler;
  HostApplication host;
  changer->initialize(&host);
  changer->setComponentHandler(&handler);
  changer->setProcessing(false);
  EXPECT_EQ(handler.Count("restart"), 0);
  changer->setActive(true);
  EXPECT_EQ(handler.Count("restart"), 1);
  changer->terminate();
  changer->release();
}

TEST(IPlugVST3Controller, MapsMidiControllersAndNamesPrograms)
{
  Controller c;
  TestVst3Plugin& p = *c.plug;
  ParamID id = 0;
  EXPECT_EQ(p.getMidiControllerAssignment(0, 0, 7, id), kResultOk);
  EXPECT_EQ(id, 65545u);
  EXPECT_EQ(p.getMidiControllerAssignment(0, 0, 129, id), kResultOk);
  EXPECT_EQ(id, 65667u);
  id = 1;
  EXPECT_EQ(p.getMidiControllerAssignment(1, 0, 7, id), kResultFalse);
  EXPECT_EQ(p.getMidiControllerAssignment(0, 1, 7, id), kResultFalse);
  EXPECT_EQ(p.getMidiControllerAssignment(0, -1, 7, id), kResultFalse);
  EXPECT_EQ(p.getMidiControllerAssignment(0, 15, 7, id), kResultFalse);
  EXPECT_EQ(p.getMidiControllerAssignment(0, 0, -3, id), kResultFalse);
  EXPECT_EQ(id, 1u);

  String128 name;
  ASSERT_EQ(p.getProgramName(kFactoryProgramList, 0, name), kResultOk);
  EXPECT_EQ(Text(name), u"First Preset");
  ASSERT_EQ(p.getProgramName(kFactoryProgramList, 99, name), kResultOk);
  EXPECT_EQ(Text(name), u"");
  ASSERT_EQ(p.getProgramName(kFactoryProgramList, -1, name), kResultOk);
  EXPECT_EQ(Text(name), u"");
  EXPECT_EQ(p.getProgramName(0, 0, name), kResultFalse);
  EXPECT_EQ(p.getProgramListCount(), 0);
  ProgramListInfo list{};
  EXPECT_EQ(p.getProgramListInfo(0, list), kResultFalse);
}

TEST(IPlugVST3Controller, GroupsParametersIntoUnitsAndAddsMidiControllerUnits)
{
  struct Grouped : TestVst3Plugin
  {
    Grouped() : TestVst3Plugin(TestVst3Spec("1-1 2-2", true))
    {
      GetParam(2)->ConfigureDouble("Low", 0.5, 0.0, 1.0, 0.01, "", 0, "EQ");
      GetParam(3)->ConfigureDouble("Attack", 0.5, 0.0, 1.0, 0.01, "ms", 0, "Dynamics");
      GetParam(4)->ConfigureDouble("High", 0.5, 0.0, 1.0, 0.01, "", 0, "EQ");
    }
  };
  auto* p = new Grouped;
  HostApplication host;
  ASSERT_EQ(p->initialize(&host), kResultOk);
  ASSERT_EQ(p->getUnitCount(), 5);
  UnitInfo unit{};
  const std::u16string names[] = {u"Root", u"EQ", u"Dynamics", u"MIDI CCs", u"CH1"};
  // The MIDI units count the units before them (root included) for their IDs: 4 and 5.
  const UnitID ids[] = {0, 1, 2, 4, 5};
  const UnitID parents[] = {kNoParentUnitId, 0, 0, 0, 4};
  for (int i = 0; i < 5; ++i)
  {
    ASSERT_EQ(p->getUnitInfo(i, unit), kResultTrue);
    EXPECT_EQ(unit.id, ids[i]);
    EXPECT_EQ(Text(unit.name), names[i]);
    EXPECT_EQ(unit.parentUnitId, parents[i]);
    EXPECT_EQ(unit.programListId, kNoProgramListId);
  }
  ParameterInfo info{};
  p->getParameterInfo(4, info);
  EXPECT_EQ(info.unitId, 1);
  p->getParameterInfo(3, info);
  EXPECT_EQ(info.unitId, 2);
  p->getParameterInfo(14 + 7, info);
  EXPECT_EQ(info.id, 65545u);
  EXPECT_EQ(Text(info.title), u"MainVolume");
  EXPECT_EQ(info.unitId, 5);
  EXPECT_EQ(info.flags, 0);
  p->getParameterInfo(14 + 129, info);
  EXPECT_EQ(Text(info.title), u"Pitch Bend");
  EXPECT_EQ(info.defaultNormalizedValue, 0.5);
  EXPECT_EQ(std::string(iplug::IPlugVST3ControllerBase::MidiControllerName(66)), "Sostenuto ");

  // Again after terminate: same units, no duplicates.
  p->terminate();
  ASSERT_EQ(p->initialize(&host), kResultOk);
  EXPECT_EQ(p->getUnitCount(), 5);
  EXPECT_EQ(p->getParameterCount(), 144);
  p->terminate();
  p->release();
}

TEST(IPlugVST3Controller, KeepsWhatTheHostSaysAboutTheChannel)
{
  Controller c;
  TestVst3Plugin& p = *c.plug;
  using namespace ChannelContext;
  EXPECT_EQ(p.setChannelContextInfos(nullptr), kResultFalse);

  HostAttributeList list;
  list.setInt(kChannelNameLengthKey, 9);
  list.strings[kChannelNameKey] = u"Vocals \u00e9\u20ac";
  list.setInt(kChannelUIDLengthKey, 3);
  list.strings[kChannelUIDKey] = u"u-7";
  list.setInt(kChannelColorKey, 0xAA102030);
  list.setInt(kChannelIndexKey, 4);
  list.setInt(kChannelIndexNamespaceOrderKey, 2);
  list.setInt(kChannelIndexNamespaceLengthKey, 3);
  list.strings[kChannelIndexNamespaceKey] = u"Bus";
  list.setInt(kChannelPluginLocationKey, kPreVolumeFader);
  EXPECT_EQ(p.setChannelContextInfos(&list), kResultOk);
  int r = 0, g = 0, b = 0;
  p.GetTrackColour(r, g, b);
  EXPECT_EQ(r, 16);
  EXPECT_EQ(g, 32);
  EXPECT_EQ(b, 48);
  TextBuffer text;
  p.GetTrackName(text);
  EXPECT_STREQ(text.Get(), "Vocals \xC3\xA9\xE2\x82\xAC");
  p.GetTrackNamespace(text);
  EXPECT_STREQ(text.Get(), "Bus");
  EXPECT_EQ(p.GetTrackIndex(), 4);
  EXPECT_EQ(p.GetTrackNamespaceIndex(), 2);

  // A name without its length, or with a length that cannot be right, keeps the old one.
  for (int64 length : {int64{-1}, int64{1} << 40, int64{4097}})
  {
    HostAttributeList odd;
    odd.setInt(kChannelNameLengthKey, length);
    odd.strings[kChannelNameKey] = u"Drums";
    EXPECT_EQ(p.setChannelContextInfos(&odd), kResultOk);
    p.GetTrackName(text);
    EXPECT_STREQ(text.Get(), "Vocals \xC3\xA9\xE2\x82\xAC") << length;
    EXPECT_EQ(odd.stringReads, 0) << length;
  }
  HostAttributeList partial;
  partial.strings[kChannelNameKey] = u"Drums";
  EXPECT_EQ(p.setChannelContextInfos(&partial), kResultOk);
  p.GetTrackName(text);
  EXPECT_STREQ(text.Get(), "Vocals \xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(p.GetTrackIndex(), 4);

  // The longest text taken.
  HostAttributeList longest;
  longest.setInt(kChannelNameLengthKey, 4096);
  longest.strings[kChannelNameKey] = std::u16string(4096, u'x');
  EXPECT_EQ(p.setChannelContextInfos(&longest), kResultOk);
  p.GetTrackName(text);
  EXPECT_EQ(std::string(text.Get()), std::string(4096, 'x'));
}
