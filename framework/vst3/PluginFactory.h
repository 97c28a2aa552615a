#pragma once

// The class factory a module hands to its host: it describes the vendor and the
// registered classes (in 8-bit and UTF-16 form) and creates instances by class
// ID. Reference counted; the module keeps one process-wide pointer to it, which
// the factory clears when it is destroyed so that a host that scans, releases and
// loads again gets a fresh factory instead of a dangling one.

#include "pluginterfaces/base/ipluginbase.h"

#include <atomic>
#include <vector>

namespace Steinberg
{

class CPluginFactory : public IPluginFactory3
{
public:
  using CreateFunction = FUnknown* (*)(void* context);

  explicit CPluginFactory(const PFactoryInfo& info);
  virtual ~CPluginFactory();

  // Each returns false when the class is already registered or the entry cannot be stored.
  bool registerClass(const PClassInfo* info, CreateFunction create, void* context = nullptr);
  bool registerClass(const PClassInfo2* info, CreateFunction create, void* context = nullptr);
  bool registerClass(const PClassInfoW* info, CreateFunction create, void* context = nullptr);
  bool isClassRegistered(const FUID& cid) const;
  void removeAllClasses();

  // IPluginFactory
  tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) SMTG_OVERRIDE;
  int32 PLUGIN_API countClasses() SMTG_OVERRIDE;
  tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) SMTG_OVERRIDE;
  tresult PLUGIN_API createInstance(FIDString cid, FIDString iid, void** obj) SMTG_OVERRIDE;
  // IPluginFactory2
  tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) SMTG_OVERRIDE;
  // IPluginFactory3
  tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) SMTG_OVERRIDE;
  tresult PLUGIN_API setHostContext(FUnknown* context) SMTG_OVERRIDE;

  // FUnknown
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
  uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
  uint32 PLUGIN_API release() SMTG_OVERRIDE;

private:
  struct ClassEntry
  {
    PClassInfo2 info8;
    PClassInfoW info16;
    CreateFunction create = nullptr;
    void* context = nullptr;
  };
  bool addEntry(const ClassEntry& entry);
  const ClassEntry* entryAt(int32 index) const;

  std::atomic<uint32> refCount{1};
  PFactoryInfo factoryInfo;
  std::vector<ClassEntry> classes;
  FUnknown* hostContext = nullptr;
};

// The module's factory, null until the first request and again after the factory is destroyed.
extern CPluginFactory* gPluginFactory;

} // namespace Steinberg
