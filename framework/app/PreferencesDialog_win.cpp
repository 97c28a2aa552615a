#include "framework/app/PreferencesDialog_win.h"

#include "framework/app/StandaloneHost.h"
#include "framework/core/Win32Utf8.h"
#include "resources/ProgramDialogIds.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace iplug
{
namespace
{

LRESULT Send(HWND dialog, int control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
  return SendDlgItemMessageA(dialog, control, message, wParam, lParam);
}

int AddText(HWND dialog, int control, const std::string& text)
{
  return static_cast<int>(Send(dialog, control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int AddNumber(HWND dialog, int control, int value)
{
  char text[16];
  std::snprintf(text, sizeof(text), "%i", value);
  return AddText(dialog, control, text);
}

void Select(HWND dialog, int control, int item)
{
  Send(dialog, control, CB_SETCURSEL, static_cast<WPARAM>(item));
}

int Selection(HWND dialog, int control)
{
  return static_cast<int>(Send(dialog, control, CB_GETCURSEL));
}

int IndexOf(const std::vector<std::string>& names, const std::string& name)
{
  for (size_t i = 0; i < names.size(); i++)
    if (names[i] == name) return static_cast<int>(i);
  return -1;
}

void PopulateChannels(HWND dialog, int first, int second, int channels, int selectFirst, int selectSecond)
{
  Send(dialog, first, CB_RESETCONTENT);
  Send(dialog, second, CB_RESETCONTENT);
  for (int i = 1; i < channels; i++)
  {
    AddNumber(dialog, first, i);
    AddNumber(dialog, second, i);
  }
  if (channels > 0) AddNumber(dialog, second, channels);
  Select(dialog, first, selectFirst - 1);
  Select(dialog, second, selectSecond - 1);
}

// The stored device at the combo's selection, by position in the host's list.
bool SelectedDevice(HWND dialog, int control, const std::vector<uint32_t>& devices, uint32_t& id)
{
  const int item = Selection(dialog, control);
  if (item < 0 || static_cast<size_t>(item) >= devices.size()) return false;
  id = devices[static_cast<size_t>(item)];
  return true;
}

void SelectMidiNames(HWND dialog, StandaloneHost& host, int control, const std::vector<std::string>& names,
                     std::string& current)
{
  Send(dialog, control, CB_RESETCONTENT);
  for (const std::string& name : names)
    AddText(dialog, control, name);
  int item = IndexOf(names, current);
  if (item < 0)
  {
    // The port is gone: it is shown and stored as "off".
    current = "off";
    host.SaveDeviceSettings();
    item = 0;
  }
  Select(dialog, control, item);
}

void OnSelectionChange(HWND dialog, StandaloneHost& host, int control)
{
  DeviceSettings& s = host.CurrentSettings();
  const int choice = Selection(dialog, control);
  std::string text;
  switch (control)
  {
  case IDC_DRIVER:
    if (choice >= 0 && choice != s.driver)
    {
      s.driver = choice;
      host.CreateAudioObject();
      host.ProbeAudioDevices();
      if (!host.InputDevices().empty())
        s.audioInput = host.AudioDeviceDisplayName(host.InputDevices().front());
      if (!host.OutputDevices().empty())
        s.audioOutput = host.AudioDeviceDisplayName(host.OutputDevices().front());
      s.output1 = 1;
      s.output2 = 2;
      PopulateAudioPage(dialog, host);
    }
    break;
  case IDC_AUDIO_INPUT:
  case IDC_AUDIO_OUTPUT:
    if (GetComboText(dialog, control, choice, text))
    {
      if (control == IDC_AUDIO_INPUT)
      {
        s.audioInput = text;
        s.input1 = 1;
        s.input2 = 2;
      }
      else
      {
        s.audioOutput = text;
        s.output1 = 1;
        s.output2 = 2;
      }
      PopulateAudioDevices(dialog, host);
    }
    break;
  case IDC_BUFFER_SIZE:
    if (GetComboText(dialog, control, choice, text)) s.bufferSize = std::atoi(text.c_str());
    break;
  case IDC_SAMPLE_RATE:
    if (choice >= 0) s.sampleRate = static_cast<int32_t>(Send(dialog, control, CB_GETITEMDATA, choice));
    break;
  case IDC_INPUT1:
    if (choice >= 0)
    {
      s.input1 = choice + 1;
      s.input2 = choice + 2;
      Select(dialog, IDC_INPUT2, choice + 1);
    }
    break;
  case IDC_OUTPUT1:
    if (choice >= 0)
    {
      s.output1 = choice + 1;
      s.output2 = choice + 2;
      Select(dialog, IDC_OUTPUT2, choice + 1);
    }
    break;
  case IDC_INPUT2: // the right channel follows the left one
    Select(dialog, control, s.input2 - 1);
    break;
  case IDC_OUTPUT2:
    Select(dialog, control, s.output2 - 1);
    break;
  case IDC_MIDI_INPUT:
  case IDC_MIDI_OUTPUT:
    if (GetComboText(dialog, control, choice, text))
    {
      const bool output = control == IDC_MIDI_OUTPUT;
      (output ? s.midiOutput : s.midiInput) = text;
      host.SelectMidiPort(output, text);
    }
    break;
  case IDC_MIDI_INPUT_CHANNEL:
    if (choice >= 0) s.midiInputChannel = choice;
    break;
  case IDC_MIDI_OUTPUT_CHANNEL:
    if (choice >= 0) s.midiOutputChannel = choice;
    break;
  default:
    break;
  }
}

void OnCancel(StandaloneHost& host)
{
  DeviceSettings& current = host.CurrentSettings();
  const DeviceSettings& saved = host.SavedSettings();
  const bool audioSame = AudioSettingsEqual(current, saved);
  const bool midiSame = MidiSettingsEqual(current, saved);
  if (audioSame && midiSame) return;
  CopyDeviceSettings(current, saved);
  // Ports chosen in the dialog are open already: the saved ones must be open again.
  if (!midiSame)
  {
    host.SelectMidiPort(false, std::string(current.midiInput));
    host.SelectMidiPort(true, std::string(current.midiOutput));
  }
  host.CreateAudioObject();
  host.ProbeAudioDevices();
  host.StartAudioFromSettingsOrWarn();
}

INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam)
{
  StandaloneHost* host = GetStandaloneHost();
  if (message == WM_INITDIALOG)
  {
    if (!host) return 1;
    for (int control : {IDC_AUDIO_INPUT, IDC_AUDIO_OUTPUT, IDC_MIDI_INPUT, IDC_MIDI_OUTPUT})
      SubclassComboUtf8(GetDlgItem(dialog, control));
    Send(dialog, IDC_DRIVER, CB_RESETCONTENT);
    AddText(dialog, IDC_DRIVER, "DirectSound");
    Select(dialog, IDC_DRIVER, host->CurrentSettings().driver);
    PopulateAudioPage(dialog, *host);
    PopulateMidiPage(dialog, *host);
    CopyDeviceSettings(host->SavedSettings(), host->CurrentSettings());
    return 1;
  }
  if (message != WM_COMMAND) return 0;
  const int control = LOWORD(wParam);
  if (!host)
  {
    if (control == IDOK || control == IDCANCEL) EndDialog(dialog, control);
    return 1;
  }
  switch (control)
  {
  case IDOK:
    if (!DeviceSettingsEqual(host->ActiveSettings(), host->CurrentSettings()))
      host->StartAudioFromSettingsOrWarn();
    EndDialog(dialog, IDOK);
    break;
  case IDCANCEL:
    EndDialog(dialog, IDCANCEL);
    OnCancel(*host);
    break;
  case IDC_APPLY:
    host->StartAudioFromSettingsOrWarn();
    break;
  default:
    if (HIWORD(wParam) == CBN_SELCHANGE) OnSelectionChange(dialog, *host, control);
    break;
  }
  return 1;
}

} // namespace

bool GetComboText(HWND dialog, int control, int item, std::string& text)
{
  if (item < 0) return false;
  const LRESULT room = Send(dialog, control, CB_GETLBTEXTLEN, static_cast<WPARAM>(item));
  if (room == CB_ERR || room < 0) return false;
  std::string buffer(static_cast<size_t>(room) + 1, '\0');
  const LRESULT got =
      Send(dialog, control, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(buffer.data()));
  if (got == CB_ERR || got < 0) return false;
  buffer.resize(std::min<size_t>(static_cast<size_t>(got), buffer.size() - 1));
  text = buffer.c_str();
  return true;
}

void PopulateAudioPage(HWND dialog, StandaloneHost& host)
{
  PopulateAudioDevices(dialog, host);
  Send(dialog, IDC_BUFFER_SIZE, CB_RESETCONTENT);
  char current[16];
  std::snprintf(current, sizeof(current), "%i", host.CurrentSettings().bufferSize);
  int selected = -1;
  for (const char* choice : kBufferSizeChoices)
  {
    const int item = AddText(dialog, IDC_BUFFER_SIZE, choice);
    if (std::string(choice) == current) selected = item;
  }
  Select(dialog, IDC_BUFFER_SIZE, selected);
}

void PopulateAudioDevices(HWND dialog, StandaloneHost& host)
{
  const DeviceSettings& s = host.CurrentSettings();
  EnableWindow(GetDlgItem(dialog, IDC_AUDIO_INPUT), s.driver != 1);
  EnableWindow(GetDlgItem(dialog, IDC_DRIVER_CONFIG), s.driver == 1);
  Send(dialog, IDC_AUDIO_INPUT, CB_RESETCONTENT);
  Send(dialog, IDC_AUDIO_OUTPUT, CB_RESETCONTENT);
  int inputItem = -1, outputItem = -1, outputItemInInputs = -1;
  for (size_t i = 0; i < host.InputDevices().size(); i++)
  {
    const std::string name = host.AudioDeviceDisplayName(host.InputDevices()[i]);
    const int item = AddText(dialog, IDC_AUDIO_INPUT, name);
    if (name == s.audioInput && inputItem < 0) inputItem = item;
    if (name == s.audioOutput && outputItemInInputs < 0) outputItemInInputs = item;
  }
  for (size_t i = 0; i < host.OutputDevices().size(); i++)
  {
    const std::string name = host.AudioDeviceDisplayName(host.OutputDevices()[i]);
    const int item = AddText(dialog, IDC_AUDIO_OUTPUT, name);
    if (name == s.audioOutput && outputItem < 0) outputItem = item;
  }
  // A name that is not listed shows the first device.
  Select(dialog, IDC_AUDIO_INPUT, std::max(0, s.driver == 1 ? outputItemInInputs : inputItem));
  Select(dialog, IDC_AUDIO_OUTPUT, std::max(0, outputItem));

  uint32_t inputId = 0, outputId = 0;
  AudioDeviceInfo inputInfo, outputInfo;
  const bool haveInput = SelectedDevice(dialog, IDC_AUDIO_INPUT, host.InputDevices(), inputId) &&
                         host.GetAudioDeviceInfo(inputId, inputInfo);
  const bool haveOutput = SelectedDevice(dialog, IDC_AUDIO_OUTPUT, host.OutputDevices(), outputId) &&
                          host.GetAudioDeviceInfo(outputId, outputInfo);
  if (haveInput) PopulateInputChannels(dialog, host, static_cast<int>(inputInfo.inputChannels));
  if (haveOutput) PopulateOutputChannels(dialog, host, static_cast<int>(outputInfo.outputChannels));
  Send(dialog, IDC_SAMPLE_RATE, CB_RESETCONTENT);
  if (haveInput && haveOutput) PopulateSampleRates(dialog, host, inputId, outputId);
}

void PopulateInputChannels(HWND dialog, StandaloneHost& host, int channels)
{
  const DeviceSettings& s = host.CurrentSettings();
  PopulateChannels(dialog, IDC_INPUT1, IDC_INPUT2, channels, s.input1, s.input2);
}

void PopulateOutputChannels(HWND dialog, StandaloneHost& host, int channels)
{
  const DeviceSettings& s = host.CurrentSettings();
  PopulateChannels(dialog, IDC_OUTPUT1, IDC_OUTPUT2, channels, s.output1, s.output2);
}

void PopulateSampleRates(HWND dialog, StandaloneHost& host, uint32_t inputId, uint32_t outputId)
{
  Send(dialog, IDC_SAMPLE_RATE, CB_RESETCONTENT);
  AudioDeviceInfo input, output;
  if (!host.GetAudioDeviceInfo(inputId, input) || !host.GetAudioDeviceInfo(outputId, output)) return;
  int selected = -1;
  for (const uint32_t rate : input.sampleRates)
  {
    bool both = false;
    for (const uint32_t other : output.sampleRates)
      both = both || other == rate;
    if (!both) continue;
    const int item = AddNumber(dialog, IDC_SAMPLE_RATE, static_cast<int>(rate));
    Send(dialog, IDC_SAMPLE_RATE, CB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(rate));
    if (static_cast<int32_t>(rate) == host.CurrentSettings().sampleRate) selected = item;
  }
  Select(dialog, IDC_SAMPLE_RATE, selected);
}

void PopulateMidiPage(HWND dialog, StandaloneHost& host)
{
  DeviceSettings& s = host.CurrentSettings();
  if (!host.MidiInputNames().empty())
    SelectMidiNames(dialog, host, IDC_MIDI_INPUT, host.MidiInputNames(), s.midiInput);
  if (!host.MidiOutputNames().empty())
    SelectMidiNames(dialog, host, IDC_MIDI_OUTPUT, host.MidiOutputNames(), s.midiOutput);
  for (int control : {IDC_MIDI_INPUT_CHANNEL, IDC_MIDI_OUTPUT_CHANNEL})
  {
    Send(dialog, control, CB_RESETCONTENT);
    AddText(dialog, control, "all");
    for (int channel = 1; channel <= 16; channel++)
      AddNumber(dialog, control, channel);
  }
  Select(dialog, IDC_MIDI_INPUT_CHANNEL, s.midiInputChannel);
  Select(dialog, IDC_MIDI_OUTPUT_CHANNEL, s.midiOutputChannel);
}

INT_PTR CALLBACK PreferencesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
  // Nothing may unwind into the system's dialog manager.
  try
  {
    return HandleMessage(dialog, message, wParam);
  }
  catch (...)
  {
    return message == WM_INITDIALOG || message == WM_COMMAND ? 1 : 0;
  }
}

} // namespace iplug
