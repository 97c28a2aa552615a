// The Preferences dialog made from the program's own resources, over fake devices.

#include "framework/app/PreferencesDialog_win.h"
#include "framework/app/StandaloneHost.h"
#include "resources/ProgramDialogIds.h"
#include "tests/support/app/FakeAppPlugin.h"
#include "tests/support/app/FakeDevices.h"
#include "tests/support/app/TempFolder.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace iplug;
using namespace iplug::test;

namespace
{

using Texts = std::vector<std::string>;

struct DialogRig
{
  DialogRig() : folder("prefs")
  {
    devices.audioDevices = {{"Driver: Speakers", 0, 2, false, true, {44100, 48000, 96000}},
                            {"Driver: Mikrofon \xCE\xA9", 2, 0, true, false, {96000, 48000, 22050, 44100}},
                            {"USB Box", 4, 4, false, false, {48000, 44100}}};
    devices.midiInputPorts = {"Keys 1", "Pads"};
    devices.midiOutputPorts = {"Synth"};
    // The error seam throws as well: nothing may unwind out of the dialog procedure.
    host = CreateStandaloneHost({[](StandaloneHost&) { return new FakeAppPlugin(); }, &devices, folder.Path(),
                                 [this](const char* text, const char*)
                                 {
                                   errors.push_back(text);
                                   throw std::runtime_error(text);
                                 },
                                 false, ""});
    host->InitStandaloneHost();
    EXPECT_TRUE(host->StartAudioFromSettings());
  }
  ~DialogRig()
  {
    DestroyWindow(dialog);
    DestroyStandaloneHost(host);
  }
  void Open()
  {
    DestroyWindow(dialog);
    dialog =
        CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_PREFERENCES), nullptr, PreferencesDialogProc, 0);
  }
  std::string Text(int control, LRESULT item = -1)
  {
    std::string text;
    GetComboText(dialog, control, static_cast<int>(item < 0 ? Send(control, CB_GETCURSEL) : item), text);
    return text;
  }
  Texts Items(int control)
  {
    Texts texts;
    for (LRESULT i = 0; i < Send(control, CB_GETCOUNT); i++)
      texts.push_back(Text(control, i));
    return texts;
  }
  LRESULT Send(int id, UINT message, WPARAM w = 0) { return SendDlgItemMessageA(dialog, id, message, w, 0); }
  void Choose(int control, int item)
  {
    Send(control, CB_SETCURSEL, static_cast<WPARAM>(item));
    Press(control, CBN_SELCHANGE);
  }
  void Press(int id, WORD code = BN_CLICKED) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), 0); }

  TempFolder folder;
  FakeDeviceProvider devices;
  StandaloneHost* host = nullptr;
  HWND dialog = nullptr;
  Texts errors;
};

} // namespace

TEST(PreferencesDialogTest, ListsAndSelectionsFollowTheDevicesAndSettings)
{
  DialogRig rig;
  rig.Open();
  ASSERT_NE(rig.dialog, nullptr);
  const Texts channels{"all", "1",  "2",  "3",  "4",  "5",  "6",  "7", "8",
                       "9",   "10", "11", "12", "13", "14", "15", "16"};
  // Names lose their driver prefix and keep their UTF-8; rates are those both devices offer, in the
  // input device's order; "off" leads the MIDI ports.
  const std::pair<int, Texts> lists[] = {
      {IDC_DRIVER, {"DirectSound"}},
      {IDC_BUFFER_SIZE, {"32", "64", "96", "128", "192", "256", "512", "1024", "2048", "4096", "8192"}},
      {IDC_MIDI_INPUT_CHANNEL, channels},
      {IDC_MIDI_OUTPUT_CHANNEL, channels},
      {IDC_AUDIO_INPUT, {" Mikrofon \xCE\xA9", "USB Box"}},
      {IDC_AUDIO_OUTPUT, {" Speakers", "USB Box"}},
      {IDC_SAMPLE_RATE, {"96000", "48000", "44100"}},
      {IDC_INPUT1, {"1"}},
      {IDC_INPUT2, {"1", "2"}},
      {IDC_MIDI_INPUT, {"off", "Keys 1", "Pads"}},
      {IDC_MIDI_OUTPUT, {"off", "Synth"}}};
  for (const auto& [control, items] : lists)
    EXPECT_EQ(rig.Items(control), items) << control;
  EXPECT_EQ(rig.Text(IDC_BUFFER_SIZE) + rig.Text(IDC_AUDIO_INPUT) + rig.Text(IDC_SAMPLE_RATE),
            "512 Mikrofon \xCE\xA9"
            "44100");
  EXPECT_EQ(rig.Send(IDC_SAMPLE_RATE, CB_GETITEMDATA, 1), 48000);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(rig.dialog, IDC_DRIVER_CONFIG)));
  const int created = rig.devices.audioCreated;
  rig.Choose(IDC_DRIVER, 0); // the same driver changes nothing
  EXPECT_EQ(rig.devices.audioCreated, created);

  // Another input device: its channels and rates; the right channel follows the left and snaps back.
  rig.Choose(IDC_AUDIO_INPUT, 1);
  EXPECT_EQ(rig.Items(IDC_INPUT2), (Texts{"1", "2", "3", "4"}));
  EXPECT_EQ(rig.Items(IDC_SAMPLE_RATE), (Texts{"48000", "44100"}));
  rig.Choose(IDC_INPUT1, 2);
  rig.Choose(IDC_INPUT2, 0);
  EXPECT_EQ(rig.Text(IDC_INPUT2), "4");
  rig.Choose(IDC_AUDIO_OUTPUT, 1);
  rig.Choose(IDC_OUTPUT1, 1);
  rig.Choose(IDC_OUTPUT2, 3);
  EXPECT_EQ(rig.Text(IDC_OUTPUT2), "3");
  const DeviceSettings& s = rig.host->CurrentSettings();
  EXPECT_EQ(std::vector<int>({s.input1, s.input2, s.output1, s.output2}), std::vector<int>({3, 4, 2, 3}));
  rig.Choose(IDC_MIDI_OUTPUT_CHANNEL, 16);
  rig.Open(); // selections come from the settings
  EXPECT_EQ(rig.Text(IDC_AUDIO_INPUT) + rig.Text(IDC_INPUT1) + rig.Text(IDC_MIDI_OUTPUT_CHANNEL),
            "USB Box316");
}

TEST(PreferencesDialogTest, ButtonsRestartSaveOrRestore)
{
  DialogRig rig;
  rig.Open();
  int opens = rig.devices.audio->opens;
  rig.Press(IDOK); // nothing changed: the stream stays
  EXPECT_EQ(rig.devices.audio->opens, opens);
  rig.Open();
  rig.Choose(IDC_SAMPLE_RATE, 1);
  rig.Press(IDC_APPLY);
  EXPECT_EQ(rig.devices.audio->opens, ++opens);
  EXPECT_EQ(rig.devices.audio->lastRequest.sampleRate, 48000u);
  rig.Choose(IDC_BUFFER_SIZE, 5);
  rig.Press(IDOK);
  EXPECT_EQ(rig.devices.audio->opens, ++opens);
  EXPECT_EQ(rig.devices.audio->lastRequest.bufferFrames, 256u);

  // Cancel without changes does nothing; after a buffer change it restores and restarts.
  rig.Open();
  const int created = rig.devices.audioCreated;
  rig.Press(IDCANCEL);
  EXPECT_EQ(rig.devices.audioCreated, created);
  rig.Open();
  rig.Choose(IDC_BUFFER_SIZE, 8);
  rig.Press(IDCANCEL);
  EXPECT_EQ(rig.host->CurrentSettings().bufferSize, 256);
  EXPECT_EQ(rig.devices.audioCreated, created + 1);
  EXPECT_EQ(rig.devices.audio->lastRequest.bufferFrames, 256u);
  EXPECT_TRUE(rig.devices.audio->IsStreamRunning());

  // Cancel after choosing a MIDI port closes it again: open ports match the settings.
  rig.Open();
  rig.Choose(IDC_MIDI_INPUT, 2);
  EXPECT_EQ(rig.devices.midiIn->openPort, 1);
  rig.Press(IDCANCEL);
  EXPECT_EQ(rig.host->CurrentSettings().midiInput, "off");
  EXPECT_EQ(rig.devices.midiIn->openPort, -1);

  // A stream that will not open is reported.
  EXPECT_TRUE(rig.errors.empty());
  rig.Open();
  rig.devices.audio->failOpen = true;
  rig.Press(IDC_APPLY);
  EXPECT_EQ(rig.errors, Texts{"Please check the audio settings"});
}
