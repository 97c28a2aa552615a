#include "framework/vst3/IPlugVST3ControllerBase.h"

#include "framework/vst3/IPlugVST3Parameter.h"
#include "framework/vst3/ParamIdTable.h"
#include "framework/vst3/Vst3Strings.h"

#include "pluginterfaces/vst/ivstchannelcontextinfo.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace iplug
{

namespace
{
const char* const kControllerNames[128] = {
    "BankSel.MSB", "Modulation",  "BreathCtrl",   "Contr. 3",    "Foot Ctrl",   "Porta.Time",  "DataEntMSB",
    "MainVolume",  "Balance",     "Contr. 9",     "Pan",         "Expression",  "FXControl1",  "FXControl2",
    "Contr. 14",   "Contr. 15",   "Gen.Purp.1",   "Gen.Purp.2",  "Gen.Purp.3",  "Gen.Purp.4",  "Contr. 20",
    "Contr. 21",   "Contr. 22",   "Contr. 23",    "Contr. 24",   "Contr. 25",   "Contr. 26",   "Contr. 27",
    "Contr. 28",   "Contr. 29",   "Contr. 30",    "Contr. 31",   "BankSel.LSB", "Modul. LSB",  "BrthCt LSB",
    "Contr. 35",   "FootCt LSB",  "Port.T LSB",   "DataEntLSB",  "MainVolLSB",  "BalanceLSB",  "Contr. 41",
    "Pan LSB",     "Expr. LSB",   "Contr. 44",    "Contr. 45",   "Contr. 46",   "Contr. 47",   "Gen.P.1LSB",
    "Gen.P.2LSB",  "Gen.P.3LSB",  "Gen.P.4LSB",   "Contr. 52",   "Contr. 53",   "Contr. 54",   "Contr. 55",
    "Contr. 56",   "Contr. 57",   "Contr. 58",    "Contr. 59",   "Contr. 60",   "Contr. 61",   "Contr. 62",
    "Contr. 63",   "Damper Ped",  "Porta. Ped",   "Sostenuto ",  "Soft Pedal",  "Legato Sw",   "Hold 2",
    "SoundCont 1", "SoundCont 2", "SoundCont 3",  "SoundCont 4", "SoundCont 5", "SoundCont 6", "SoundCont 7",
    "SoundCont 8", "SoundCont 9", "SoundCont 10", "Gen.Purp.5",  "Gen.Purp.6",  "Gen.Purp.7",  "Gen.Purp.8",
    "Portamento",  "Contr. 85",   "Contr. 86",    "Contr. 87",   "Contr. 88",   "Contr. 89",   "Contr. 90",
    "FX 1 Depth",  "FX 2 Depth",  "FX 3 Depth",   "FX 4 Depth",  "FX 5 Depth",  "Data Incr",   "Data Decr",
    "Non-RegLSB",  "Non-RegMSB",  "Reg LSB",      "Reg MSB",     "Contr. 102",  "Contr. 103",  "Contr. 104",
    "Contr. 105",  "Contr. 106",  "Contr. 107",   "Contr. 108",  "Contr. 109",  "Contr. 110",  "Contr. 111",
    "Contr. 112",  "Contr. 113",  "Contr. 114",   "Contr. 115",  "Contr. 116",  "Contr. 117",  "Contr. 118",
    "Contr. 119",  "Contr. 120",  "Reset Ctrl",   "Local Ctrl",  "AllNoteOff",  "OmniModOff",  "OmniModeOn",
    "MonoModeOn",  "PolyModeOn"};

// Longest channel text taken from a host (in UTF-16 units). A length outside 0..this is not believed: the
// field keeps what it had rather than taking a text the host may not have meant.
constexpr int64 kMaxChannelTextUnits = 4096;

void AddUnit(EditControllerEx1& controller, UnitID id, UnitID parent, const char* name)
{
  String128 wide;
  WidenAscii(name, wide, 128);
  controller.addUnit(new Unit(wide, id, parent));
}

// A "<key> length" attribute followed by "<key>", read into UTF-8. False when either is missing.
bool ReadChannelText(IAttributeList* list, const char* lengthKey, const char* textKey, TextBuffer& out)
{
  int64 length = 0;
  if (list->getInt(lengthKey, length) != kResultTrue || length < 0 || length > kMaxChannelTextUnits)
    return false;
  // Zeroed before and terminated after: hosts do not all terminate what they copy.
  std::vector<TChar> text(static_cast<size_t>(length) + 1, 0);
  const uint32 bytes = static_cast<uint32>(text.size() * sizeof(TChar));
  if (list->getString(textKey, text.data(), bytes) != kResultTrue) return false;
  text.back() = 0;
  out.AssignText(Utf16ToUtf8(text.data(), static_cast<int>(text.size())).c_str());
  return true;
}
} // namespace

const char* IPlugVST3ControllerBase::MidiControllerName(int controller)
{
  return controller >= 0 && controller < 128 ? kControllerNames[controller] : nullptr;
}

void IPlugVST3ControllerBase::CreateParameters(IPlugAPIBase& plug, ParameterContainer& parameters,
                                               EditControllerEx1& controller, bool midiIn)
{
  mParameters = &parameters;
  AddUnit(controller, kRootUnitId, kNoParentUnitId, "Root");
  int units = 1;

  // Group texts in order of first appearance, kept by the plug-in; each distinct one is a unit
  // under the root, with its 1-based position as ID. The list outlives terminate(), the units do
  // not: they are added again on every initialize().
  std::vector<bool> unitAdded;
  for (int i = 0; i < plug.NParams(); ++i)
  {
    IParam* param = plug.GetParam(i);
    const int groupIdx = plug.AddParamGroup(param->GetGroup());
    UnitID unit = kRootUnitId;
    if (groupIdx >= 0)
    {
      unit = static_cast<UnitID>(groupIdx + 1);
      if (unitAdded.size() <= static_cast<size_t>(groupIdx))
        unitAdded.resize(static_cast<size_t>(groupIdx) + 1, false);
      if (!unitAdded[static_cast<size_t>(groupIdx)])
      {
        unitAdded[static_cast<size_t>(groupIdx)] = true;
        AddUnit(controller, unit, kRootUnitId, param->GetGroup());
        ++units;
      }
    }
    parameters.addParameter(new IPlugVST3Parameter(param, i == mBypassParamIndex, MapParamId(i), unit));
  }

  if (!midiIn) return;
  const UnitID ccUnit = ++units;
  AddUnit(controller, ccUnit, kRootUnitId, "MIDI CCs");
  char channelName[32];
  std::snprintf(channelName, sizeof channelName, "CH%i", 1);
  const UnitID channelUnit = ++units;
  AddUnit(controller, channelUnit, ccUnit, channelName);
  for (int n = 0; n < kNumMidiCCParams; ++n)
  {
    const char* title = n < 128 ? kControllerNames[n] : n == 128 ? "Channel Aftertouch" : "Pitch Bend";
    String128 wide;
    WidenAscii(title, wide, 128);
    parameters.addParameter(wide, STR16(""), 0, n == 129 ? 0.5 : 0.0, 0,
                            static_cast<int32>(kMidiCCParamBase + n), channelUnit);
  }
}

tresult IPlugVST3ControllerBase::ReadChannelContext(IAttributeList* list)
{
  using namespace Steinberg::Vst::ChannelContext;
  if (!list) return kResultFalse;
  ReadChannelText(list, kChannelNameLengthKey, kChannelNameKey, mChannelName);
  ReadChannelText(list, kChannelUIDLengthKey, kChannelUIDKey, mChannelUID);
  int64 value = 0;
  if (list->getInt(kChannelIndexKey, value) == kResultTrue) mChannelIndex = static_cast<int32_t>(value);
  if (list->getInt(kChannelColorKey, value) == kResultTrue)
    mChannelColour = static_cast<uint32_t>(value & 0xFFFFFFFF);
  if (list->getInt(kChannelIndexNamespaceOrderKey, value) == kResultTrue)
    mChannelNamespaceIndex = static_cast<int32_t>(value);
  ReadChannelText(list, kChannelIndexNamespaceLengthKey, kChannelIndexNamespaceKey, mChannelNamespace);
  list->getInt(kChannelPluginLocationKey, value);
  return kResultOk;
}

void IPlugVST3ControllerBase::GetTrackColour(int& r, int& g, int& b) const
{
  r = static_cast<int>((mChannelColour >> 16) & 0xFF);
  g = static_cast<int>((mChannelColour >> 8) & 0xFF);
  b = static_cast<int>(mChannelColour & 0xFF);
}

} // namespace iplug
