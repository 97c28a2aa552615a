#pragma once

#include <cstdint>
#include <string>

namespace iplug
{

// The standalone program's audio and MIDI device choices, the only things it keeps between runs
// ("settings.ini" in the program's own folder of the local application data).
struct DeviceSettings
{
  static constexpr int kMaxNameBytes = 99; // names are read into 100-byte buffers

  std::string audioInput = "Default Device";
  std::string audioOutput = "Default Device";
  std::string midiInput = "off"; // "off": no port
  std::string midiOutput = "off";
  int32_t driver = 0; // DirectSound, the only driver
  int32_t sampleRate = 44100;
  int32_t bufferSize = 512;     // frames
  int32_t midiInputChannel = 0; // 0: all, 1..16
  int32_t midiOutputChannel = 0;
  // 1-based device channels; kept and stored, while the stream always uses the first channels.
  int32_t input1 = 1;
  int32_t input2 = 2;
  int32_t output1 = 1;
  int32_t output2 = 2;
};

void CopyDeviceSettings(DeviceSettings& to, const DeviceSettings& from);
bool DeviceSettingsEqual(const DeviceSettings& a, const DeviceSettings& b);
bool AudioSettingsEqual(const DeviceSettings& a, const DeviceSettings& b);
bool MidiSettingsEqual(const DeviceSettings& a, const DeviceSettings& b);

// Replaces every number outside what the program can use by its default; true when any was.
bool RepairDeviceSettings(DeviceSettings& settings);

// The settings file in the program's own folder (named for the product) inside the application-data
// folder, or "" when either name is missing.
std::string SettingsFilePath(const std::string& appDataFolder, const std::string& productFolder);

// Start-up: creates the folder when it is missing (reading nothing), otherwise reads every key
// the file holds (missing keys take their read defaults, corrupt numbers the constructor
// defaults), then writes the file back so it always exists with the current values. Does
// nothing when the path is empty.
void LoadDeviceSettings(DeviceSettings& settings, const std::string& file);

// Writes every key; does nothing when the path is empty. False when the file cannot be written.
bool WriteDeviceSettings(const DeviceSettings& settings, const std::string& file);

} // namespace iplug
