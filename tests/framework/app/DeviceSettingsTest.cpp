#include "framework/app/DeviceSettings.h"
#include "framework/app/ProfileFile.h"
#include "tests/support/app/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>

using namespace iplug;
using iplug::test::TempFolder;

namespace
{

std::string Read(const std::string& file, const char* section, const char* key)
{
  char text[256];
  ProfileReadString(section, key, "<missing>", text, sizeof(text), file);
  return text;
}

// An existing settings file holding exactly the given text (plain ASCII, as an editor saves it).
std::string SettingsFileWith(const TempFolder& folder, const std::string& text)
{
  const std::string file = SettingsFilePath(folder.Path(), "Quorvel");
  folder.Sub("Quorvel");
  iplug::test::WriteFileBytes(file, text);
  return file;
}

} // namespace

TEST(DeviceSettingsTest, FirstStartCreatesFolderAndWritesDefaults)
{
  TempFolder folder("first");
  const std::string file = SettingsFilePath(folder.Path(), "Quorvel");
  ASSERT_FALSE(PathExists(file.substr(0, file.size() - std::string("settings.ini").size() - 1)));

  DeviceSettings s;
  LoadDeviceSettings(s, file);
  EXPECT_TRUE(DeviceSettingsEqual(s, DeviceSettings()));
  ASSERT_TRUE(PathExists(file));

  EXPECT_EQ(Read(file, "audio", "driver"), "0");
  EXPECT_EQ(Read(file, "audio", "indev"), "Default Device");
  EXPECT_EQ(Read(file, "audio", "outdev"), "Default Device");
  EXPECT_EQ(Read(file, "audio", "in1"), "1");
  EXPECT_EQ(Read(file, "audio", "in2"), "2");
  EXPECT_EQ(Read(file, "audio", "out1"), "1");
  EXPECT_EQ(Read(file, "audio", "out2"), "2");
  EXPECT_EQ(Read(file, "audio", "buffer"), "512");
  EXPECT_EQ(Read(file, "audio", "sr"), "44100");
  EXPECT_EQ(Read(file, "midi", "indev"), "off");
  EXPECT_EQ(Read(file, "midi", "outdev"), "off");
  EXPECT_EQ(Read(file, "midi", "inchan"), "0");
  EXPECT_EQ(Read(file, "midi", "outchan"), "0");
}

TEST(DeviceSettingsTest, EveryKeyReadsBackAndIsWrittenUnchanged)
{
  TempFolder folder("keys");
  const std::string file =
      SettingsFileWith(folder, "[audio]\r\ndriver=0\r\nindev=Line In\r\noutdev= Speakers\r\n"
                               "in1=3\r\nin2=4\r\nout1=5\r\nout2=6\r\nbuffer=256\r\n"
                               "sr=48000\r\n[midi]\r\nindev=Keys\r\noutdev=Synth\r\n"
                               "inchan=16\r\noutchan=7\r\n");
  DeviceSettings s;
  LoadDeviceSettings(s, file);
  EXPECT_EQ(s.audioInput, "Line In");
  // Blanks around a value are not part of it in the profile format.
  EXPECT_EQ(s.audioOutput, "Speakers");
  EXPECT_EQ(s.midiInput, "Keys");
  EXPECT_EQ(s.midiOutput, "Synth");
  EXPECT_EQ(s.input1, 3);
  EXPECT_EQ(s.input2, 4);
  EXPECT_EQ(s.output1, 5);
  EXPECT_EQ(s.output2, 6);
  EXPECT_EQ(s.bufferSize, 256);
  EXPECT_EQ(s.sampleRate, 48000);
  EXPECT_EQ(s.midiInputChannel, 16);
  EXPECT_EQ(s.midiOutputChannel, 7);

  DeviceSettings again;
  LoadDeviceSettings(again, file);
  EXPECT_TRUE(DeviceSettingsEqual(s, again));
  EXPECT_EQ(Read(file, "audio", "buffer"), "256");
  EXPECT_EQ(Read(file, "audio", "sr"), "48000");
}

TEST(DeviceSettingsTest, MissingKeysTakeTheirReadDefaults)
{
  TempFolder folder("missing");
  const std::string file = SettingsFileWith(folder, "[audio]\r\nsr=96000\r\n");
  DeviceSettings s;
  LoadDeviceSettings(s, file);
  EXPECT_EQ(s.sampleRate, 96000);
  EXPECT_EQ(s.audioInput, "Built-in Input");
  EXPECT_EQ(s.audioOutput, "Built-in Output");
  EXPECT_EQ(s.midiInput, "no input");
  EXPECT_EQ(s.midiOutput, "no output");
  EXPECT_EQ(s.bufferSize, 512);
  EXPECT_EQ(s.input2, 2);
  // The rest of the table is written out now.
  EXPECT_EQ(Read(file, "midi", "inchan"), "0");
  EXPECT_EQ(Read(file, "audio", "indev"), "Built-in Input");
}

TEST(DeviceSettingsTest, CorruptNumbersAreRepairedAndSaved)
{
  struct Case
  {
    const char* section;
    const char* key;
    const char* value;
    int32_t DeviceSettings::*field;
    int32_t expected;
  };
  const Case cases[] = {
      {"audio", "sr", "0", &DeviceSettings::sampleRate, 44100},
      {"audio", "sr", "-48000", &DeviceSettings::sampleRate, 44100},
      {"audio", "sr", "fast", &DeviceSettings::sampleRate, 44100},
      {"audio", "sr", "99999999999999999999", &DeviceSettings::sampleRate, 44100},
      {"audio", "sr", "7999", &DeviceSettings::sampleRate, 44100},
      {"audio", "sr", "384001", &DeviceSettings::sampleRate, 44100},
      {"audio", "sr", "8000", &DeviceSettings::sampleRate, 8000},
      {"audio", "sr", "384000", &DeviceSettings::sampleRate, 384000},
      {"audio", "buffer", "0", &DeviceSettings::bufferSize, 512},
      {"audio", "buffer", "-256", &DeviceSettings::bufferSize, 512},
      {"audio", "buffer", "x", &DeviceSettings::bufferSize, 512},
      {"audio", "buffer", "15", &DeviceSettings::bufferSize, 512},
      {"audio", "buffer", "8193", &DeviceSettings::bufferSize, 512},
      {"audio", "buffer", "4294967808", &DeviceSettings::bufferSize, 512},
      {"audio", "buffer", "16", &DeviceSettings::bufferSize, 16},
      {"audio", "buffer", "8192", &DeviceSettings::bufferSize, 8192},
      {"audio", "driver", "1", &DeviceSettings::driver, 0},
      {"audio", "driver", "-1", &DeviceSettings::driver, 0},
      {"audio", "in1", "0", &DeviceSettings::input1, 1},
      {"audio", "in2", "-3", &DeviceSettings::input2, 2},
      {"audio", "out1", "one", &DeviceSettings::output1, 1},
      {"audio", "out2", "4294967298", &DeviceSettings::output2, 2},
      {"audio", "in2", "12", &DeviceSettings::input2, 12},
      {"midi", "inchan", "17", &DeviceSettings::midiInputChannel, 0},
      {"midi", "inchan", "-1", &DeviceSettings::midiInputChannel, 0},
      {"midi", "outchan", "99999999999", &DeviceSettings::midiOutputChannel, 0},
      {"midi", "outchan", "16", &DeviceSettings::midiOutputChannel, 16},
      {"midi", "inchan", " 9 ", &DeviceSettings::midiInputChannel, 9},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(std::string(c.key) + "=" + c.value);
    TempFolder folder("corrupt");
    const std::string file =
        SettingsFileWith(folder, std::string("[") + c.section + "]\r\n" + c.key + "=" + c.value + "\r\n");
    DeviceSettings s;
    LoadDeviceSettings(s, file);
    EXPECT_EQ(s.*(c.field), c.expected);
    EXPECT_EQ(Read(file, c.section, c.key), std::to_string(c.expected));
  }
}

TEST(DeviceSettingsTest, NamesAreBoundedWithoutSplittingCharacters)
{
  TempFolder folder("long");
  const std::string ascii(150, 'a');
  // 98 ASCII bytes and then a two-byte character: it does not fit in 99 bytes.
  const std::string wide = std::string(98, 'b') + "\xC3\xA9" + "tail";
  const std::string file = SettingsFileWith(folder, "[audio]\r\nindev=" + ascii + "\r\noutdev=" + wide +
                                                        "\r\n[midi]\r\nindev=\r\n");
  DeviceSettings s;
  LoadDeviceSettings(s, file);
  EXPECT_EQ(s.audioInput, ascii.substr(0, 99));
  EXPECT_EQ(s.audioOutput, std::string(98, 'b'));
  EXPECT_EQ(s.midiInput, "");
}

TEST(DeviceSettingsTest, NonAsciiNamesSurviveSaveAndLoadInAnyFolder)
{
  for (const std::string folderName : {"plain", "D\xC3\xA9j\xC3\xA0 \xE6\x97\xA5\xE6\x9C\xAC"})
  {
    SCOPED_TRACE(folderName);
    TempFolder root("utf8");
    const std::string file = SettingsFilePath(root.Sub(folderName), "Quorvel");
    DeviceSettings s;
    LoadDeviceSettings(s, file);
    ASSERT_TRUE(PathExists(file));

    s.audioInput = "Micro (R\xC3\xB8"
                   "de \xC3\x81udio)";                                              // ø, Á
    s.audioOutput = "\xE3\x82\xB9\xE3\x83\x94\xE3\x83\xBC\xE3\x82\xAB\xE3\x83\xBC"; // katakana
    s.midiInput = "\xC5\x81\xC3\xB3\x64\xC5\xBA Keys \xF0\x9F\x8E\xB9";             // Łódź, emoji
    s.midiOutput = "\xD0\xA1\xD0\xB8\xD0\xBD\xD1\x82";                              // Cyrillic
    ASSERT_TRUE(WriteDeviceSettings(s, file));

    DeviceSettings loaded;
    LoadDeviceSettings(loaded, file);
    EXPECT_EQ(loaded.audioInput, s.audioInput);
    EXPECT_EQ(loaded.audioOutput, s.audioOutput);
    EXPECT_EQ(loaded.midiInput, s.midiInput);
    EXPECT_EQ(loaded.midiOutput, s.midiOutput);
  }
}

TEST(DeviceSettingsTest, NoApplicationDataFolderMeansNoFile)
{
  EXPECT_EQ(SettingsFilePath("", "Quorvel"), "");
  EXPECT_EQ(SettingsFilePath("folder", ""), "");
  DeviceSettings s;
  s.sampleRate = 96000;
  LoadDeviceSettings(s, "");
  EXPECT_EQ(s.sampleRate, 96000);
  EXPECT_FALSE(WriteDeviceSettings(s, ""));
}

TEST(DeviceSettingsTest, ComparisonsCoverTheirOwnFields)
{
  // Each change must be seen by the comparisons that cover the field and by no other.
  struct Change
  {
    const char* what;
    std::function<void(DeviceSettings&)> apply;
    bool audio;
  };
  const Change changes[] = {
      {"driver", [](DeviceSettings& s) { s.driver = 1; }, true},
      {"audio input", [](DeviceSettings& s) { s.audioInput += "x"; }, true},
      {"audio output", [](DeviceSettings& s) { s.audioOutput = "default device"; }, true},
      {"rate", [](DeviceSettings& s) { s.sampleRate = 48000; }, true},
      {"buffer", [](DeviceSettings& s) { s.bufferSize = 256; }, true},
      {"in1", [](DeviceSettings& s) { s.input1 = 3; }, true},
      {"in2", [](DeviceSettings& s) { s.input2 = 3; }, true},
      {"out1", [](DeviceSettings& s) { s.output1 = 3; }, true},
      {"out2", [](DeviceSettings& s) { s.output2 = 3; }, true},
      {"midi input", [](DeviceSettings& s) { s.midiInput = "Off"; }, false},
      {"midi output", [](DeviceSettings& s) { s.midiOutput = "Keys"; }, false},
      {"midi in channel", [](DeviceSettings& s) { s.midiInputChannel = 1; }, false},
      {"midi out channel", [](DeviceSettings& s) { s.midiOutputChannel = 16; }, false},
  };
  const DeviceSettings base;
  for (const Change& c : changes)
  {
    SCOPED_TRACE(c.what);
    DeviceSettings changed;
    CopyDeviceSettings(changed, base);
    EXPECT_TRUE(DeviceSettingsEqual(changed, base));
    c.apply(changed);
    EXPECT_FALSE(DeviceSettingsEqual(changed, base));
    EXPECT_EQ(AudioSettingsEqual(changed, base), !c.audio);
    EXPECT_EQ(MidiSettingsEqual(changed, base), c.audio);
  }
}

TEST(DeviceSettingsTest, NamesKeepBlanksAndQuotesThroughTheFile)
{
  // Device names are stored after the driver prefix "X:", so they often start with a blank.
  TempFolder folder("blanks");
  const std::string file = SettingsFilePath(folder.Path(), "Quorvel");
  DeviceSettings s;
  LoadDeviceSettings(s, file);
  s.audioInput = " Speakers";
  s.audioOutput = "Line Out ";
  s.midiInput = "\"Quoted\"";
  s.midiOutput = "'single'";
  ASSERT_TRUE(WriteDeviceSettings(s, file));
  DeviceSettings loaded;
  LoadDeviceSettings(loaded, file);
  EXPECT_EQ(loaded.audioInput, s.audioInput);
  EXPECT_EQ(loaded.audioOutput, s.audioOutput);
  EXPECT_EQ(loaded.midiInput, s.midiInput);
  EXPECT_EQ(loaded.midiOutput, s.midiOutput);
}

TEST(DeviceSettingsTest, LocalApplicationDataFolderIsFound)
{
  std::string folder;
  ASSERT_TRUE(LocalAppDataFolder(folder));
  ASSERT_FALSE(folder.empty());
#ifdef _WIN32
  // The system's own folder, which always exists on Windows.
  EXPECT_TRUE(PathExists(folder));
  EXPECT_NE(folder.back(), '\\');
#endif
  EXPECT_EQ(SettingsFilePath(folder, "Quorvel").rfind(folder, 0), 0u);
}
