#include "framework/plugin/IPlugAPIBase.h"

#include "tests/support/UiPump.h"
#include "tests/support/core/AllocationCounter.h"
#include "tests/support/core/HeapAllocationFault.h"
#include "tests/support/plugin/TestApiAdapter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <limits>
#include <string>
#include <thread>
#include <vector>

using namespace iplug;
using quorvel::test::TestApiAdapter;

namespace
{
IPluginSpec TestConfig(int nParams = 4)
{
  IPluginSpec config;
  config.nParams = nParams;
  config.nPresets = 2;
  config.channelIOStr = "1-1 2-2";
  config.pluginName = "Testplug";
  config.productName = "Testplug Pro";
  config.makerName = "Maker";
  config.version = MakeVersion(1, 2, 3);
  config.uniqueID = MakeFourCharCode("Tstp");
  config.makerID = MakeFourCharCode("Mkr1");
  config.hasEditor = true;
  config.editorWidth = 980;
  config.editorHeight = 650;
  config.editorMinWidth = 2940; // given the wrong way round on purpose
  config.editorMaxWidth = 326;
  config.editorMinHeight = 216;
  config.editorMaxHeight = 1950;
  config.hostResizeEditor = true;
  return config;
}

void ConfigureParams(IPlugAPIBase& plug)
{
  for (int i = 0; i < plug.NParams(); ++i)
    plug.GetParam(i)->ConfigureDouble("p", 0.0, -10.0, 10.0, 0.01);
}

IMidiEvent Midi(int offset, uint8_t status = 0x90)
{
  IMidiEvent msg;
  msg.offset = offset;
  msg.status = status;
  return msg;
}

std::string Mixed(const char* lower)
{
  // Alternating case, so that only a case-insensitive search can match.
  std::string s(lower);
  for (size_t i = 0; i < s.size(); i += 2)
    s[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
  return s;
}
} // namespace

TEST(IPlugAPIBaseTest, ConstructionTakesTheConfigurationOver)
{
  TestApiAdapter plug(TestConfig(), kAPIVST3);
  EXPECT_EQ(plug.NParams(), 4);
  EXPECT_EQ(plug.NPresets(), 2);
  EXPECT_STREQ(plug.GetPluginName(), "Testplug");
  EXPECT_STREQ(plug.GetProductName(), "Testplug Pro");
  EXPECT_STREQ(plug.GetMakerName(), "Maker");
  EXPECT_EQ(plug.GetUniqueID(), 0x54737470);
  EXPECT_EQ(plug.GetPluginVersion(true), 10203);
  EXPECT_EQ(plug.GetAPI(), kAPIVST3);
  EXPECT_EQ(plug.GetHost(), kHostUninit);
  EXPECT_TRUE(plug.HasEditor());
  EXPECT_TRUE(plug.HostCanResizeEditor());
  EXPECT_EQ(plug.GetEditorWidth(), 980);
  EXPECT_EQ(plug.GetEditorHeight(), 650);
  EXPECT_EQ(plug.GetMinWidth(), 326) << "limits are ordered on the way in";
  EXPECT_EQ(plug.GetMaxWidth(), 2940);
  EXPECT_EQ(plug.GetMinHeight(), 216);
  EXPECT_EQ(plug.GetMaxHeight(), 1950);
  EXPECT_FALSE(plug.IsQueueTimerRunning()) << "the adapter starts the timer, not the base";
  EXPECT_EQ(plug.GetEditorGraphics(), nullptr);

  IPluginSpec longNames = TestConfig();
  const std::string name(300, 'x');
  longNames.pluginName = name.c_str();
  TestApiAdapter cut(longNames);
  EXPECT_EQ(std::string(cut.GetPluginName()).size(), 128u);
}

TEST(IPlugAPIBaseTest, IdentifyHostByNameIgnoringCase)
{
  const struct
  {
    const char* substring;
    HostId id;
  } rows[] = {{"reaper", 1},
              {"protools", 2},
              {"cubase", 3},
              {"nuendo", 4},
              {"cakewalk", 5},
              {"vegas", 6},
              {"fruity", 7},
              {"samplitude", 8},
              {"live", 9},
              {"tracktion", 10},
              {"ntracks", 11},
              {"melodyne", 12},
              {"vstmanlib", 13},
              {"aulab", 14},
              {"forte", 15},
              {"chainer", 16},
              {"audition", 17},
              {"orion", 18},
              {"bias", 19},
              {"sawstudio", 20},
              {"logic", 21},
              {"garageband", 22},
              {"digital", 23},
              {"audiomulch", 25},
              {"presonus", 26},
              {"vst3plugintesthost", 27},
              {"ardour", 28},
              {"renoise", 29},
              {"openmpt", 30},
              {"wavelab elements", 32},
              {"wavelab", 31},
              {"twistedwave", 33},
              {"bitwig studio", 34},
              {"reason", 36},
              {"gwvst", 37},
              {"waveform", 38},
              {"audacity", 39},
              {"acoustica", 40},
              {"plugindoctor", 41},
              {"izotope rx", 42},
              {"savihost", 43},
              {"blue cat's vst host", 44},
              {"mixbus", 45},
              {"standalone", 24},
              {"www", 35}};
  for (const auto& row : rows)
  {
    EXPECT_EQ(IPlugAPIBase::IdentifyHost(row.substring), row.id) << row.substring;
    std::string embedded = "My ";
    embedded += Mixed(row.substring);
    embedded += " 12";
    EXPECT_EQ(IPlugAPIBase::IdentifyHost(embedded.c_str()), row.id) << embedded;
  }

  // Order decides between names that contain one another, or several names.
  EXPECT_EQ(IPlugAPIBase::IdentifyHost("WaveLab Elements 11"), 32);
  EXPECT_EQ(IPlugAPIBase::IdentifyHost("WAVELAB 12"), 31);
  EXPECT_EQ(IPlugAPIBase::IdentifyHost("Reaper standalone"), 1);
  EXPECT_EQ(IPlugAPIBase::IdentifyHost("Mixbus www"), 45);
  EXPECT_EQ(IPlugAPIBase::IdentifyHost("Some Live Host"), 9);

  EXPECT_EQ(IPlugAPIBase::IdentifyHost("Unheard Of"), kHostUnknown);
  EXPECT_EQ(IPlugAPIBase::IdentifyHost(""), kHostUnknown);
  EXPECT_EQ(IPlugAPIBase::IdentifyHost(nullptr), kHostUnknown);

  // Only the first 255 characters are searched.
  const std::string padding(250, '.');
  EXPECT_EQ(IPlugAPIBase::IdentifyHost((padding + "live").c_str()), 9);
  EXPECT_EQ(IPlugAPIBase::IdentifyHost((padding + "..live").c_str()), kHostUnknown);
}

TEST(IPlugAPIBaseTest, SetHostStoresTheHostThenPreparesAndNotifies)
{
  TestApiAdapter plug(TestConfig());
  plug.SetHost("standalone", MakeVersion(1, 2, 3));
  EXPECT_STREQ(plug.GetHostName(), "standalone");
  EXPECT_EQ(plug.GetHost(), kHostStandalone);
  EXPECT_EQ(plug.GetHostVersion(), 0x10203);
  EXPECT_EQ(plug.Calls(), (std::vector<std::string>{"prepare-for-host", "host-known"}));

  plug.SetHost("Nobody", 0);
  EXPECT_EQ(plug.GetHost(), kHostUnknown);

  TextBuffer text;
  FormatVersionText(MakeVersion(2, 1, 3), text);
  EXPECT_STREQ(text.Get(), "v2.1.3");
  FormatVersionText(MakeVersion(300, 255, 0), text);
  EXPECT_STREQ(text.Get(), "v300.255.0");
}

TEST(IPlugAPIBaseTest, RingsKeepTheFirstEntriesWhenFull)
{
  TestApiAdapter plug(TestConfig(1));
  ConfigureParams(plug);
  quorvel::test::InertTimer tick;

  // Parameter values for the editor: 512 of 600 arrive, the first ones.
  for (int i = 0; i < 600; ++i)
    plug.QueueParamValueForEditor(0, i / 100.0, false);
  plug.DrainUiQueues(tick);
  std::vector<std::string> calls = plug.Calls();
  ASSERT_EQ(calls.size(), 513u);
  EXPECT_EQ(calls.front(), "to-editor:0:0.000000");
  EXPECT_EQ(calls[511], "to-editor:0:5.110000");
  EXPECT_EQ(calls.back(), "idle");
  plug.ClearCalls();

  // A normalised value is queued in parameter units; an index without parameter is dropped.
  plug.QueueParamValueForEditor(0, 0.75, true);
  plug.QueueParamValueForEditor(5, 1.0, false);
  plug.DrainUiQueues(tick);
  EXPECT_EQ(plug.Calls(), (std::vector<std::string>{"to-editor:0:5.000000", "idle"}));
  plug.ClearCalls();

  // MIDI from the editor: 32 of 33, in order; then the ring is empty again.
  for (int i = 0; i < 33; ++i)
    plug.SendMidiMessageFromEditor(Midi(i));
  IMidiEvent msg;
  for (int i = 0; i < 32; ++i)
  {
    ASSERT_TRUE(plug.DequeueMidiFromEditor(msg));
    EXPECT_EQ(msg.offset, i);
  }
  EXPECT_FALSE(plug.DequeueMidiFromEditor(msg));

  // MIDI for the editor: the push reports the drop.
  for (int i = 0; i < 32; ++i)
    EXPECT_TRUE(plug.EnqueueMidiForEditor(Midi(i)));
  EXPECT_FALSE(plug.EnqueueMidiForEditor(Midi(32)));
  plug.DrainUiQueues(tick);
  calls = plug.Calls();
  ASSERT_EQ(calls.size(), 33u);
  EXPECT_EQ(calls[31], "midi-to-editor:31:144");
  plug.ClearCalls();

  // SysEx both ways: 4 of 5.
  const uint8_t bytes[3] = {0xF0, 0x7D, 0xF7};
  for (int i = 0; i < 5; ++i)
    plug.SendSysexMessageFromEditor(ISysexEvent{i, 3, bytes});
  ISysexPacket packet;
  for (int i = 0; i < 4; ++i)
  {
    ASSERT_TRUE(plug.DequeueSysexFromEditor(packet));
    EXPECT_EQ(packet.offset, i);
  }
  EXPECT_FALSE(plug.DequeueSysexFromEditor(packet));
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(plug.EnqueueSysexForEditor(ISysexEvent{i, 3, bytes}), i < 4);
  plug.DrainUiQueues(tick);
  EXPECT_EQ(plug.CountCalls("sysex-to-editor:3:3:240:125:247"), 1);
  EXPECT_EQ(plug.Calls().size(), 5u);
}

TEST(IPlugAPIBaseTest, SysexSizesOutsideThePacketAreRefused)
{
  TestApiAdapter plug(TestConfig(1));
  std::vector<uint8_t> big(600, 0xAB);
  ISysexPacket packet;

  plug.EnqueueSysexFromEditor(ISysexEvent{0, -1, big.data()});
  plug.EnqueueSysexFromEditor(ISysexEvent{0, 513, big.data()});
  EXPECT_FALSE(plug.DequeueSysexFromEditor(packet)) << "nothing was queued";
  EXPECT_FALSE(plug.EnqueueSysexForEditor(ISysexEvent{0, 513, big.data()}));

  plug.EnqueueSysexFromEditor(ISysexEvent{7, 512, big.data()});
  ASSERT_TRUE(plug.DequeueSysexFromEditor(packet));
  EXPECT_EQ(packet.offset, 7);
  EXPECT_EQ(packet.size, 512);
  EXPECT_EQ(packet.data[511], 0xAB);

  // No data: the size travels, the bytes are zeros.
  plug.EnqueueSysexFromEditor(ISysexEvent{0, 16, nullptr});
  ASSERT_TRUE(plug.DequeueSysexFromEditor(packet));
  EXPECT_EQ(packet.size, 16);
  for (uint8_t b : packet.data)
    ASSERT_EQ(b, 0);

  // A reader never gets a size beyond the packet, whatever the packet claims.
  packet.size = 100000;
  EXPECT_EQ(IPlugAPIBase::SysexEventFromPacket(packet).size, 512);
  packet.size = -5;
  EXPECT_EQ(IPlugAPIBase::SysexEventFromPacket(packet).size, 0);
}

TEST(IPlugAPIBaseTest, DrainDeliversParamsThenMidiThenSysexThenIdles)
{
  TestApiAdapter plug(TestConfig(2));
  ConfigureParams(plug);
  quorvel::test::InertTimer tick;
  const uint8_t bytes[2] = {0xF0, 0xF7};

  // Filled in the opposite order to the one they are drained in.
  plug.EnqueueSysexForEditor(ISysexEvent{9, 2, bytes});
  plug.EnqueueMidiForEditor(Midi(1));
  plug.EnqueueMidiForEditor(Midi(2, 0x80));
  plug.QueueParamValueForEditor(1, 2.5, false);
  plug.QueueParamValueForEditor(0, -1.0, false);

  // An entry queued while the drain runs is still delivered in the same tick.
  bool requeued = false;
  plug.onParamToEditor = [&](int idx)
  {
    if (idx == 0 && !requeued)
    {
      requeued = true;
      plug.QueueParamValueForEditor(1, 7.0, false);
    }
  };
  plug.DrainUiQueues(tick);
  EXPECT_EQ(plug.Calls(),
            (std::vector<std::string>{"to-editor:1:2.500000", "to-editor:0:-1.000000", "to-editor:1:7.000000",
                                      "midi-to-editor:1:144", "midi-to-editor:2:128",
                                      "sysex-to-editor:9:2:240:247", "idle"}));

  // Nothing queued: only the idle tick.
  plug.ClearCalls();
  plug.DrainUiQueues(tick);
  EXPECT_EQ(plug.Calls(), (std::vector<std::string>{"idle"}));

  // The VST3 build leaves its parameter ring alone.
  TestApiAdapter vst3(TestConfig(1), kAPIVST3);
  ConfigureParams(vst3);
  vst3.QueueParamValueForEditor(0, 1.0, false);
  vst3.EnqueueMidiForEditor(Midi(3));
  vst3.DrainUiQueues(tick);
  EXPECT_EQ(vst3.Calls(), (std::vector<std::string>{"midi-to-editor:3:144", "idle"}));
}

TEST(IPlugAPIBaseTest, QueueTimerDrainsOnItsOwn)
{
  TestApiAdapter plug(TestConfig(1));
  ConfigureParams(plug);
  plug.QueueParamValueForEditor(0, 3.0, false);
  plug.StartQueueTimer();
  plug.StartQueueTimer(); // a second start replaces the first timer
  ASSERT_TRUE(plug.IsQueueTimerRunning());

  const auto start = std::chrono::steady_clock::now();
  while (plug.CountCalls("idle") < 3 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
    quorvel::test::PumpUiEvents(10);
  plug.StopQueueTimer();
  EXPECT_FALSE(plug.IsQueueTimerRunning());

  EXPECT_GE(plug.CountCalls("idle"), 3);
  EXPECT_EQ(plug.CountCalls("to-editor:0:3.000000"), 1);
  EXPECT_EQ(plug.Calls().front(), "to-editor:0:3.000000");

  // Stopped: queued values stay queued.
  const size_t before = plug.Calls().size();
  plug.QueueParamValueForEditor(0, 4.0, false);
  quorvel::test::PumpUiEvents(80);
  EXPECT_EQ(plug.Calls().size(), before);
}

TEST(IPlugAPIBaseTest, EditorRequestsReachTheHost)
{
  TestApiAdapter plug(TestConfig(2));
  ConfigureParams(plug);

  plug.BeginParamChangeFromEditor(1);
  plug.SetParamFromEditorNormalized(1, 0.75);
  plug.EndParamChangeFromEditor(1);
  EXPECT_DOUBLE_EQ(plug.GetParam(1)->Value(), 5.0);
  EXPECT_EQ(plug.Calls(), (std::vector<std::string>{"host-begin:1", "host-value:1:0.750000", "change:1:UI:-1",
                                                    "editor:1:UI", "host-end:1"}));
  plug.ClearCalls();

  // A control bound to no parameter changes nothing.
  plug.SetParamFromEditorNormalized(-1, 0.5);
  plug.SetParamFromEditorNormalized(2, 0.5);
  EXPECT_TRUE(plug.Calls().empty());

  plug.GetParam(0)->Set(-5.0);
  plug.SendAllParamsToHost();
  EXPECT_EQ(plug.Calls(), (std::vector<std::string>{"host-value:0:0.250000", "host-value:1:0.750000"}));
  plug.ClearCalls();

  EXPECT_TRUE(plug.EditorResizeRequest(1200, 800, false));
  EXPECT_TRUE(plug.Calls().empty()) << "without the platform flag nothing is resized";
  plug.resizeResult = false;
  EXPECT_FALSE(plug.EditorResizeRequest(1200, 800, true));
  EXPECT_EQ(plug.Calls(), (std::vector<std::string>{"resize:1200x800:platform"}));
  plug.ClearCalls();

  plug.SendEditorMessage(3, 4, 5, nullptr);
  EXPECT_EQ(plug.Calls(), (std::vector<std::string>{"message:3:4:5"}));

  // Only a zero-sized view is accepted by default, whatever sizes a host proposes.
  EXPECT_TRUE(plug.AcceptsViewSize(0, 0));
  EXPECT_TRUE(plug.AcceptsViewSize(-7, 7));
  EXPECT_FALSE(plug.AcceptsViewSize(980, 650));
  EXPECT_FALSE(plug.AcceptsViewSize(std::numeric_limits<int>::max(), 1));
  EXPECT_FALSE(plug.AcceptsViewSize(std::numeric_limits<int>::min(), std::numeric_limits<int>::min()));
}

TEST(IPlugAPIBaseTest, StateComparisonAndKeyParams)
{
  TestApiAdapter plug(TestConfig(2));
  ConfigureParams(plug);
  plug.GetParam(0)->Set(1.5);
  plug.GetParam(1)->Set(-2.25);

  const double values[] = {9.0, 1.5, -2.25, 9.0};
  EXPECT_TRUE(plug.StateMatchesCurrent(values, 1)) << "the position counts values";
  EXPECT_FALSE(plug.StateMatchesCurrent(values, 0));
  const double close[] = {1.5 + 4e-6, -2.25};
  EXPECT_TRUE(plug.StateMatchesCurrent(close, 0));
  const double apart[] = {1.5, -2.25 + 2e-5};
  EXPECT_FALSE(plug.StateMatchesCurrent(apart, 0));

  HeapBuffer keys;
  plug.ListKeyParams(2, keys);
  EXPECT_EQ(keys.GetSize(), 0) << "not more parameters than asked for";
  plug.ListKeyParams(1, keys);
  ASSERT_EQ(keys.GetSize(), 4);
  EXPECT_EQ(*keys.GetAs<int32_t>(), 0);
}

TEST(IPlugAPIBaseTest, RingPathsDoNotAllocate)
{
  TestApiAdapter plug(TestConfig(1));
  ConfigureParams(plug);
  const uint8_t bytes[4] = {0xF0, 1, 2, 0xF7};
  IMidiEvent msg;
  ISysexPacket packet;

  quorvel::test::HeapAllocationFault heap(-1); // counts only
  const long newsBefore = quorvel::test::GlobalAllocationCount();
  {
    for (int round = 0; round < 3; ++round)
    {
      for (int i = 0; i < 40; ++i) // past capacity, so that the full-ring path runs too
      {
        plug.EnqueueMidiFromEditor(Midi(i));
        plug.EnqueueMidiForEditor(Midi(i));
        plug.EnqueueSysexFromEditor(ISysexEvent{i, 4, bytes});
        plug.EnqueueSysexForEditor(ISysexEvent{i, 4, bytes});
        plug.QueueParamValueForEditor(0, 1.0, false);
      }
      while (plug.DequeueMidiFromEditor(msg))
      {
      }
      while (plug.DequeueSysexFromEditor(packet))
      {
      }
    }
  }
  EXPECT_EQ(quorvel::test::GlobalAllocationCount(), newsBefore);
  EXPECT_EQ(heap.Attempts(), 0);

  // The counter itself sees allocations.
  ::operator delete(::operator new(16));
  EXPECT_EQ(quorvel::test::GlobalAllocationCount(), newsBefore + 1);
}

TEST(IPlugAPIBaseTest, AudioAndUiThreadsExchangeThroughTheRings)
{
  // Audio thread: produces MIDI for the editor and consumes MIDI from it. UI thread: drains
  // and produces. Entries may be dropped when a ring is full, but what arrives arrives in
  // order and intact. Meant for the thread sanitizer as much as for the assertions.
  class Receiver : public TestApiAdapter
  {
  public:
    using TestApiAdapter::TestApiAdapter;
    void SendMidiMessageToEditor(const IMidiEvent& msg) override
    {
      ordered = ordered && msg.offset > last && msg.data1 == static_cast<uint8_t>(msg.offset);
      last = msg.offset;
      ++received;
    }
    void OnIdleTick() override {}
    int last = -1;
    int received = 0;
    bool ordered = true;
  };
  Receiver plug(TestConfig(1));
  quorvel::test::InertTimer tick;
  constexpr int kMessages = 200000;
  std::atomic<bool> uiDone{false};
  bool fromEditorOrdered = true;

  std::thread audio(
      [&]
      {
        int lastFromEditor = -1;
        IMidiEvent in;
        for (int i = 0; i < kMessages; ++i)
        {
          IMidiEvent out = Midi(i);
          out.data1 = static_cast<uint8_t>(i);
          while (!plug.EnqueueMidiForEditor(out))
            std::this_thread::yield();
          while (plug.DequeueMidiFromEditor(in))
          {
            fromEditorOrdered = fromEditorOrdered && in.offset > lastFromEditor;
            lastFromEditor = in.offset;
          }
        }
        while (!uiDone.load())
          while (plug.DequeueMidiFromEditor(in))
          {
            fromEditorOrdered = fromEditorOrdered && in.offset > lastFromEditor;
            lastFromEditor = in.offset;
          }
      });

  int sent = 0;
  while (plug.received < kMessages)
  {
    plug.EnqueueMidiFromEditor(Midi(sent++));
    plug.DrainUiQueues(tick);
  }
  uiDone = true;
  audio.join();
  EXPECT_EQ(plug.received, kMessages) << "the producer retried, so nothing was lost";
  EXPECT_TRUE(plug.ordered);
  EXPECT_TRUE(fromEditorOrdered);
}
