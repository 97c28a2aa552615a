#pragma once

#include "framework/core/PointerList.h"
#include "framework/core/StateChunk.h"
#include "framework/core/TextBuffer.h"
#include "framework/plugin/EditorDelegateBase.h"

#include <cstdint>

namespace iplug
{
// Which plug-in API the object is built for.
enum ApiType : int32_t
{
  kAPIVST3 = 1,
  kAPIAPP = 5, // standalone program
};

// Identifies a host by name (see IPlugAPIBase::IdentifyHost).
using HostId = int32_t;
constexpr HostId kHostUninit = -1; // not yet told
constexpr HostId kHostUnknown = 0; // told, but the name matched nothing
constexpr HostId kHostStandalone = 24;

constexpr int kMaxPresetName = 255;

// One preset: a name and the state chunk that restores it.
struct IPresetSlot
{
  bool initialized = false;
  char name[kMaxPresetName + 1] = "empty";
  StateChunk chunk;
};

// The plug-in's identity, its host's identity, its presets and the default state form
// (every parameter value as an 8-byte float, no header).
class IPluginBase : public EditorDelegateBase
{
public:
  IPluginBase(int nParams, int nPresets);
  ~IPluginBase() override;

  // The adapter asks the host to re-read names, ranges and flags of the parameters.
  virtual void NotifyParamDetailsChanged() {}

  // The plug-in's whole state; plug-ins with a state format of their own override both.
  virtual bool SerializeState(StateChunk& chunk) const { return SerializeParams(chunk); }
  // Returns the position after the state, or a negative position when it could not be read.
  virtual int UnserializeState(const StateChunk& chunk, int startPos)
  {
    return UnserializeParams(chunk, startPos);
  }

  // Appends every parameter value in index order; false when the chunk could not grow.
  bool SerializeParams(StateChunk& chunk) const;
  // Reads one value per parameter from startPos on (applying each through Constrain) and then
  // notifies every parameter with "Preset". A short chunk keeps the values already read and
  // gives -1; so does a start position outside the chunk, which reads nothing.
  int UnserializeParams(const StateChunk& chunk, int startPos);

  // Fills the first preset slot not yet used; when all are used the preset is dropped.
  // Fills the first free slot with a copy of the chunk; false when no slot is free or the
  // copy could not be made (the slot then stays free).
  bool AddPresetFromChunk(const char* name, const StateChunk& chunk);
  int NPresets() const { return mPresets.GetCount(); }
  const char* GetPresetName(int idx) const;
  const StateChunk* GetPresetChunk(int idx) const;
  bool IsPresetInitialized(int idx) const;

  // The raw version word, or as a decimal major * 10000 + minor * 100 + patch.
  int GetPluginVersion(bool decimal) const;
  const char* GetPluginName() const { return mPluginName.Get(); }
  const char* GetProductName() const { return mProductName.Get(); }
  const char* GetMakerName() const { return mMakerName.Get(); }
  int GetUniqueID() const { return mUniqueID; }
  int GetMakerID() const { return mMakerID; }
  const char* GetHostName() const { return mHostName.Get(); }
  HostId GetHost() const { return mHost; }
  int GetHostVersion() const { return mHostVersion; }
  ApiType GetAPI() const { return mAPI; }
  bool HasEditor() const { return mHasEditor; }
  bool HostCanResizeEditor() const { return mHostResizeEditor; }

  // Distinct non-empty parameter group names, in first-seen order; filled by adapters that export groups.
  int NParamGroups() const { return mParamGroups.GetCount(); }
  const char* GetParamGroupName(int idx) const;
  // Adds the group name unless it is empty or already listed; returns its index, or -1 for an empty name.
  int AddParamGroup(const char* name);

protected:
  bool mReserved = true;
  TextBuffer mPluginName;
  TextBuffer mProductName;
  TextBuffer mMakerName;
  int32_t mUniqueID = 0;
  int32_t mMakerID = 0;
  int32_t mVersion = 0;
  int32_t mHostVersion = 0;
  HostId mHost = kHostUninit;
  TextBuffer mHostName;
  ApiType mAPI = kAPIAPP;
  TextBuffer mExtraText1;
  TextBuffer mExtraText2;
  bool mHasEditor = false;
  bool mHostResizeEditor = false;

private:
  PointerList<const char> mParamGroups; // names point into the parameters, not owned
  PointerList<IPresetSlot> mPresets;
};
} // namespace iplug
