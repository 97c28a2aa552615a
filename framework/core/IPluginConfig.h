#pragma once

// The plug-in configuration record (IPluginSpec) that an effect declares and hands to its host adapter.

#include <cstdint>

namespace iplug
{
// Packs a four-character code with its first character in the most significant byte,
// the order hosts print it in ("Qvrl" reads back as Qvrl).
constexpr int32_t MakeFourCharCode(const char (&code)[5])
{
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
                              static_cast<uint32_t>(static_cast<uint8_t>(code[3])));
}

// Version word: bits 16..31 major, 8..15 minor, 0..7 patch.
constexpr int32_t MakeVersion(int major, int minor, int patch)
{
  return static_cast<int32_t>((static_cast<uint32_t>(major) << 16) |
                              ((static_cast<uint32_t>(minor) & 0xff) << 8) |
                              (static_cast<uint32_t>(patch) & 0xff));
}

// The configuration a plug-in declares in its constructor and hands to its host adapter; the
// framework builds parameters, presets, buses and editor limits from it. Texts are not copied
// here: they must outlive the plug-in's construction (string literals in practice).
struct IPluginSpec
{
  int32_t nParams = 0;
  int32_t nPresets = 0;
  const char* channelIOStr = "";
  const char* pluginName = "";
  const char* productName = "";
  const char* makerName = "";
  int32_t version = 0;
  int32_t uniqueID = 0;
  int32_t makerID = 0;
  int32_t latency = 0; // samples
  bool midiIn = false;
  bool midiOut = false;
  bool midiThird = false; // copied along, never read
  bool reserved = true;   // copied along, never read
  int32_t plugType = 0;   // 1: instrument-like, the standalone host leaves inputs unconnected
  bool hasEditor = false;
  int32_t editorWidth = 0; // points
  int32_t editorHeight = 0;
  int32_t editorMinWidth = 10;
  int32_t editorMaxWidth = 100000;
  int32_t editorMinHeight = 10;
  int32_t editorMaxHeight = 100000;
  bool hostResizeEditor = false;
  const char* extraText1 = ""; // kept as given, never read
  const char* extraText2 = "";
};
} // namespace iplug
