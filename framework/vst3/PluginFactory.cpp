#include "framework/vst3/PluginFactory.h"

#include <cstring>
#include <new>
#include <type_traits>

namespace Steinberg
{

namespace
{
// Fixed-size text fields: copy up to the terminator, cut to fit, always terminate and zero the rest.
// Bytes widen to the code unit of the same value; UTF-16 units beyond 8 bits read as '?'.
template <class To, class From> void CopyField(To* dst, const From* src, size_t size)
{
  size_t i = 0;
  for (; src && i + 1 < size && src[i] != 0; ++i)
  {
    const auto unit = static_cast<std::make_unsigned_t<From>>(src[i]);
    dst[i] = sizeof(To) < sizeof(From) && unit > 0xFF ? To('?') : static_cast<To>(unit);
  }
  for (; i < size; ++i)
    dst[i] = 0;
}

template <size_t N, class To, class From> void CopyField(To (&dst)[N], const From* src)
{
  CopyField(dst, src, N);
}

// The nine fields of a class record, between any two of its text forms; fields of the same
// text width keep every unit.
template <class To, class From> void CopyClassRecord(To& to, const From& from)
{
  std::memcpy(to.cid, from.cid, sizeof(TUID));
  to.cardinality = from.cardinality;
  CopyField(to.category, from.category);
  CopyField(to.name, from.name);
  to.classFlags = from.classFlags;
  CopyField(to.subCategories, from.subCategories);
  CopyField(to.vendor, from.vendor);
  CopyField(to.version, from.version);
  CopyField(to.sdkVersion, from.sdkVersion);
}
} // namespace

CPluginFactory* gPluginFactory = nullptr;

CPluginFactory::CPluginFactory(const PFactoryInfo& info) : factoryInfo(info) {}

CPluginFactory::~CPluginFactory()
{
  if (gPluginFactory == this) gPluginFactory = nullptr;
  if (hostContext) hostContext->release();
}

bool CPluginFactory::addEntry(const ClassEntry& entry)
{
  if (!entry.create || isClassRegistered(FUID::fromTUID(entry.info8.cid))) return false;
  try
  {
    classes.push_back(entry);
  }
  catch (...)
  {
    return false;
  }
  return true;
}

bool CPluginFactory::registerClass(const PClassInfo* info, CreateFunction create, void* context)
{
  if (!info) return false;
  PClassInfo2 info2(info->cid, info->cardinality, info->category, info->name, 0, nullptr, nullptr, nullptr,
                    nullptr);
  return registerClass(&info2, create, context);
}

bool CPluginFactory::registerClass(const PClassInfo2* info, CreateFunction create, void* context)
{
  if (!info) return false;
  ClassEntry entry;
  // Copied field by field so that a description without terminators cannot run past its fields.
  CopyClassRecord(entry.info8, *info);
  CopyClassRecord(entry.info16, entry.info8);
  entry.create = create;
  entry.context = context;
  return addEntry(entry);
}

bool CPluginFactory::registerClass(const PClassInfoW* info, CreateFunction create, void* context)
{
  if (!info) return false;
  ClassEntry entry;
  CopyClassRecord(entry.info8, *info);
  // Copied directly rather than narrowed and widened, so that the UTF-16 form keeps every unit.
  CopyClassRecord(entry.info16, *info);
  entry.create = create;
  entry.context = context;
  return addEntry(entry);
}

bool CPluginFactory::isClassRegistered(const FUID& cid) const
{
  for (const ClassEntry& entry : classes)
    if (FUID::fromTUID(entry.info8.cid) == cid) return true;
  return false;
}

void CPluginFactory::removeAllClasses()
{
  classes.clear();
}

const CPluginFactory::ClassEntry* CPluginFactory::entryAt(int32 index) const
{
  if (index < 0 || index >= static_cast<int32>(classes.size())) return nullptr;
  return &classes[static_cast<size_t>(index)];
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info)
{
  if (!info) return kInvalidArgument;
  *info = factoryInfo;
  return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses()
{
  return static_cast<int32>(classes.size());
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info)
{
  const ClassEntry* entry = entryAt(index);
  if (!info || !entry) return kInvalidArgument;
  const PClassInfo2& a = entry->info8;
  *info = PClassInfo(a.cid, a.cardinality, a.category, a.name);
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info)
{
  const ClassEntry* entry = entryAt(index);
  if (!info || !entry) return kInvalidArgument;
  *info = entry->info8;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info)
{
  const ClassEntry* entry = entryAt(index);
  if (!info || !entry) return kInvalidArgument;
  *info = entry->info16;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString iid, void** obj)
{
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !iid) return kInvalidArgument;
  for (const ClassEntry& entry : classes)
  {
    if (std::memcmp(entry.info8.cid, cid, sizeof(TUID)) != 0) continue;
    // The create function runs plug-in constructors: nothing they throw may reach the host.
    FUnknown* instance = nullptr;
    try
    {
      instance = entry.create(entry.context);
    }
    catch (...)
    {
      instance = nullptr;
    }
    if (!instance) return kOutOfMemory;
    // The instance arrives with one reference; the query adds the caller's, the release drops ours.
    tresult result = instance->queryInterface(iid, obj);
    instance->release();
    if (result != kResultOk) *obj = nullptr;
    return result == kResultOk ? kResultOk : kNoInterface;
  }
  return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown* context)
{
  if (context) context->addRef();
  if (hostContext) hostContext->release();
  hostContext = context;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID iid, void** obj)
{
  if (!obj) return kInvalidArgument;
  QUERY_INTERFACE(iid, obj, IPluginFactory::iid, IPluginFactory)
  QUERY_INTERFACE(iid, obj, IPluginFactory2::iid, IPluginFactory2)
  QUERY_INTERFACE(iid, obj, IPluginFactory3::iid, IPluginFactory3)
  QUERY_INTERFACE(iid, obj, FUnknown::iid, IPluginFactory)
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef()
{
  return ++refCount;
}

uint32 PLUGIN_API CPluginFactory::release()
{
  uint32 left = --refCount;
  if (left == 0) delete this;
  return left;
}

} // namespace Steinberg
