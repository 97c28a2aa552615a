#include "framework/app/DeviceSettings.h"

#include "framework/app/ProfileFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace iplug
{
namespace
{

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

struct IntKey
{
  const char* section;
  const char* key;
  int32_t DeviceSettings::*field;
  int32_t readDefault;
  bool isUnsigned; // written with "%u"
};

struct NameKey
{
  const char* section;
  const char* key;
  std::string DeviceSettings::*field;
  const char* readDefault;
};

// One entry per key, in the order the file is written: names and numbers interleave.
struct Key
{
  const IntKey* number;
  const NameKey* name;
};

constexpr IntKey kDriver{"audio", "driver", &DeviceSettings::driver, 0, true};
constexpr NameKey kAudioIn{"audio", "indev", &DeviceSettings::audioInput, "Built-in Input"};
constexpr NameKey kAudioOut{"audio", "outdev", &DeviceSettings::audioOutput, "Built-in Output"};
constexpr IntKey kIn1{"audio", "in1", &DeviceSettings::input1, 1, true};
constexpr IntKey kIn2{"audio", "in2", &DeviceSettings::input2, 2, true};
constexpr IntKey kOut1{"audio", "out1", &DeviceSettings::output1, 1, true};
constexpr IntKey kOut2{"audio", "out2", &DeviceSettings::output2, 2, true};
constexpr IntKey kBuffer{"audio", "buffer", &DeviceSettings::bufferSize, 512, false};
constexpr IntKey kRate{"audio", "sr", &DeviceSettings::sampleRate, 44100, false};
constexpr NameKey kMidiIn{"midi", "indev", &DeviceSettings::midiInput, "no input"};
constexpr NameKey kMidiOut{"midi", "outdev", &DeviceSettings::midiOutput, "no output"};
constexpr IntKey kInChan{"midi", "inchan", &DeviceSettings::midiInputChannel, 0, true};
constexpr IntKey kOutChan{"midi", "outchan", &DeviceSettings::midiOutputChannel, 0, true};

constexpr Key kKeys[] = {
    {&kDriver, nullptr},  {nullptr, &kAudioIn}, {nullptr, &kAudioOut}, {&kIn1, nullptr},  {&kIn2, nullptr},
    {&kOut1, nullptr},    {&kOut2, nullptr},    {&kBuffer, nullptr},   {&kRate, nullptr}, {nullptr, &kMidiIn},
    {nullptr, &kMidiOut}, {&kInChan, nullptr},  {&kOutChan, nullptr}};

// The leading decimal number of a value, as the profile integer reader takes it; false for a
// value without digits or one that does not fit 32 bits, which the caller treats as corrupt.
bool ParseProfileInt(const char* text, int32_t& value)
{
  while (*text == ' ' || *text == '\t')
    text++;
  const char* digits = text + ((*text == '-' || *text == '+') ? 1 : 0);
  if (*digits < '0' || *digits > '9') return false;
  errno = 0;
  const long long parsed = std::strtoll(text, nullptr, 10);
  if (errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
  value = static_cast<int32_t>(parsed);
  return true;
}

// The profile reader drops blanks around a value and one pair of quotes enclosing it. Device
// names are shown after the driver's "X:" prefix with their leading blank, so such names are
// written quoted, or they would never match their device again.
std::string ProfileValue(const std::string& name)
{
  if (name.empty()) return name;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const bool quoted =
      name.size() >= 2 && name.front() == name.back() && (name.front() == '"' || name.front() == '\'');
  if (blank(name.front()) || blank(name.back()) || quoted) return '"' + name + '"';
  return name;
}

bool InRange(int32_t value, int32_t low, int32_t high)
{
  return value >= low && value <= high;
}

} // namespace

void CopyDeviceSettings(DeviceSettings& to, const DeviceSettings& from)
{
  to = from;
}

bool AudioSettingsEqual(const DeviceSettings& a, const DeviceSettings& b)
{
  return a.driver == b.driver && a.audioInput == b.audioInput && a.audioOutput == b.audioOutput &&
         a.sampleRate == b.sampleRate && a.bufferSize == b.bufferSize && a.input1 == b.input1 &&
         a.input2 == b.input2 && a.output1 == b.output1 && a.output2 == b.output2;
}

bool MidiSettingsEqual(const DeviceSettings& a, const DeviceSettings& b)
{
  return a.midiInput == b.midiInput && a.midiOutput == b.midiOutput &&
         a.midiInputChannel == b.midiInputChannel && a.midiOutputChannel == b.midiOutputChannel;
}

bool DeviceSettingsEqual(const DeviceSettings& a, const DeviceSettings& b)
{
  return AudioSettingsEqual(a, b) && MidiSettingsEqual(a, b);
}

bool RepairDeviceSettings(DeviceSettings& s)
{
  const DeviceSettings defaults;
  bool repaired = false;
  const auto check = [&](int32_t& value, int32_t fallback, bool valid)
  {
    if (!valid)
    {
      value = fallback;
      repaired = true;
    }
  };
  check(s.driver, defaults.driver, s.driver == 0);
  check(s.sampleRate, defaults.sampleRate, InRange(s.sampleRate, 8000, 384000));
  check(s.bufferSize, defaults.bufferSize, InRange(s.bufferSize, 16, 8192));
  check(s.midiInputChannel, defaults.midiInputChannel, InRange(s.midiInputChannel, 0, 16));
  check(s.midiOutputChannel, defaults.midiOutputChannel, InRange(s.midiOutputChannel, 0, 16));
  check(s.input1, defaults.input1, s.input1 >= 1);
  check(s.input2, defaults.input2, s.input2 >= 1);
  check(s.output1, defaults.output1, s.output1 >= 1);
  check(s.output2, defaults.output2, s.output2 >= 1);
  for (std::string* name : {&s.audioInput, &s.audioOutput, &s.midiInput, &s.midiOutput})
  {
    if (name->size() > DeviceSettings::kMaxNameBytes)
    {
      name->resize(DeviceSettings::kMaxNameBytes);
      repaired = true;
    }
  }
  return repaired;
}

std::string SettingsFilePath(const std::string& appDataFolder, const std::string& productFolder)
{
  if (appDataFolder.empty() || productFolder.empty()) return {};
  std::string path = appDataFolder;
  if (path.back() != kSeparator && path.back() != '/') path += kSeparator;
  return path + productFolder + kSeparator + "settings.ini";
}

void LoadDeviceSettings(DeviceSettings& settings, const std::string& file)
{
  if (file.empty()) return;
  const std::string folder = file.substr(0, file.find_last_of(kSeparator));
  if (!PathExists(folder))
    MakeFolder(folder);
  else if (PathExists(file))
  {
    const DeviceSettings defaults;
    char text[DeviceSettings::kMaxNameBytes + 1];
    for (const Key& k : kKeys)
    {
      if (k.name)
      {
        ProfileReadString(k.name->section, k.name->key, k.name->readDefault, text, sizeof(text), file);
        settings.*(k.name->field) = text;
        continue;
      }
      // Numbers are read as text so that values without digits or beyond 32 bits can be told
      // from real ones; they fall back to the defaults along with those out of range. An empty
      // value counts as a missing one (every number's read default is also a valid value).
      const IntKey& n = *k.number;
      if (ProfileReadString(n.section, n.key, "", text, sizeof(text), file) == 0)
        settings.*(n.field) = n.readDefault;
      else if (!ParseProfileInt(text, settings.*(n.field)))
        settings.*(n.field) = defaults.*(n.field);
    }
  }
  RepairDeviceSettings(settings);
  WriteDeviceSettings(settings, file);
}

bool WriteDeviceSettings(const DeviceSettings& settings, const std::string& file)
{
  if (file.empty()) return false;
  bool ok = true;
  char number[16];
  for (const Key& k : kKeys)
  {
    if (k.name)
    {
      ok &= ProfileWriteString(k.name->section, k.name->key, ProfileValue(settings.*(k.name->field)).c_str(),
                               file);
      continue;
    }
    const int32_t value = settings.*(k.number->field);
    if (k.number->isUnsigned)
      std::snprintf(number, sizeof(number), "%u", static_cast<unsigned>(value));
    else
      std::snprintf(number, sizeof(number), "%i", value);
    ok &= ProfileWriteString(k.number->section, k.number->key, number, file);
  }
  return ok;
}

} // namespace iplug
