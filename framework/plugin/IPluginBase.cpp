#include "framework/plugin/IPluginBase.h"

#include "framework/core/TraceHook.h"

#include <cstdio>
#include <cstring>

namespace iplug
{
IPluginBase::IPluginBase(int nParams, int nPresets) : EditorDelegateBase(nParams)
{
  for (int i = 0; i < nPresets; ++i)
  {
    auto* slot = new IPresetSlot;
    std::snprintf(slot->name, sizeof(slot->name), "%s", "empty");
    if (!mPresets.Add(slot)) delete slot;
  }
}

IPluginBase::~IPluginBase()
{
  mPresets.DeleteAll();
  mParamGroups.DeleteAll(false);
}

bool IPluginBase::SerializeParams(StateChunk& chunk) const
{
  const int n = NParams();
  for (int i = 0; i < n; ++i)
  {
    const IParam* param = GetParam(i);
    const double v = param->Value();
    TraceHook(__FUNCTION__, __LINE__, "%d %s %f", i, param->GetName(), v);
    if (chunk.Put(v) < 0) return false;
  }
  return true;
}

int IPluginBase::UnserializeParams(const StateChunk& chunk, int startPos)
{
  int pos = startPos;
  if (pos < 0 || pos > chunk.GetSize()) pos = -1;

  const int n = NParams();
  for (int i = 0; i < n && pos >= 0; ++i)
  {
    double v = 0.0;
    pos = chunk.Get(v, pos);
    if (pos < 0) break;
    IParam* param = GetParam(i);
    param->Set(v);
    TraceHook(__FUNCTION__, __LINE__, "%d %s %f", i, param->GetName(), param->Value());
  }

  // Also after a failed read: whatever was applied must reach the plug-in and the editor.
  NotifyAllParams(kPresetRecall);
  return pos;
}

bool IPluginBase::AddPresetFromChunk(const char* name, const StateChunk& chunk)
{
  const int n = NPresets();
  for (int i = 0; i < n; ++i)
  {
    IPresetSlot* slot = mPresets.Get(i);
    if (slot->initialized) continue;
    slot->chunk.Clear();
    if (chunk.GetSize() > 0 && slot->chunk.PutBytes(chunk.GetData(), chunk.GetSize()) != chunk.GetSize())
    {
      // A named preset without its state would recall nothing: the slot stays free.
      slot->chunk.Clear();
      return false;
    }
    std::snprintf(slot->name, sizeof(slot->name), "%s", name ? name : "");
    slot->initialized = true;
    return true;
  }
  return false;
}

const char* IPluginBase::GetPresetName(int idx) const
{
  const IPresetSlot* slot = mPresets.Get(idx);
  return slot ? slot->name : "";
}

const StateChunk* IPluginBase::GetPresetChunk(int idx) const
{
  const IPresetSlot* slot = mPresets.Get(idx);
  return slot ? &slot->chunk : nullptr;
}

bool IPluginBase::IsPresetInitialized(int idx) const
{
  const IPresetSlot* slot = mPresets.Get(idx);
  return slot && slot->initialized;
}

int IPluginBase::GetPluginVersion(bool decimal) const
{
  if (!decimal) return mVersion;
  const int major = (mVersion >> 16) & 0xffff;
  const int minor = (mVersion >> 8) & 0xff;
  const int patch = mVersion & 0xff;
  return major * 10000 + minor * 100 + patch;
}

const char* IPluginBase::GetParamGroupName(int idx) const
{
  const char* name = mParamGroups.Get(idx);
  return name ? name : "";
}

int IPluginBase::AddParamGroup(const char* name)
{
  if (!name || !name[0]) return -1;
  const int n = NParamGroups();
  for (int i = 0; i < n; ++i)
    if (std::strcmp(mParamGroups.Get(i), name) == 0) return i;
  return mParamGroups.Add(name) ? n : -1;
}
} // namespace iplug
