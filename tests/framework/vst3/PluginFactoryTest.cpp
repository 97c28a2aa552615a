#include "framework/vst3/PluginFactory.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

using namespace Steinberg;

namespace
{
// A minimal class for the factory to create: counts live objects, answers IComponent only.
int gLiveObjects = 0;

class Counted : public FUnknown
{
public:
  Counted() { ++gLiveObjects; }
  virtual ~Counted() { --gLiveObjects; }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
  {
    if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, Vst::IComponent::iid))
    {
      addRef();
      *obj = this;
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return ++refs; }
  uint32 PLUGIN_API release() override
  {
    if (--refs == 0)
    {
      delete this;
      return 0;
    }
    return refs;
  }
  uint32 refs = 1;
};

FUnknown* CreateCounted(void*)
{
  return new Counted;
}
FUnknown* CreateNothing(void*)
{
  return nullptr;
}
FUnknown* CreateThrowing(void*)
{
  throw std::bad_alloc();
}
void* gSeenContext = nullptr;
FUnknown* CreateRecordingContext(void* context)
{
  gSeenContext = context;
  return new Counted;
}

const TUID kClassA = INLINE_UID(0x11111111, 0x22222222, 0x33333333, 0x44444444);
const TUID kClassB = INLINE_UID(0x55555555, 0x66666666, 0x77777777, 0x88888888);
const TUID kClassC = INLINE_UID(0x99999999, 0xAAAAAAAA, 0xBBBBBBBB, 0xCCCCCCCC);
const TUID kClassD = INLINE_UID(0x01010101, 0x02020202, 0x03030303, 0x04040404);

PClassInfo2 Describe(const TUID cid, const char* name)
{
  return PClassInfo2(cid, PClassInfo::kManyInstances, "Audio Module Class", name, 2, "Fx|Distortion", "",
                     "1.0.0", "VST 3.8.1");
}

std::u16string Text(const char16* s)
{
  return std::u16string(reinterpret_cast<const char16_t*>(s));
}
} // namespace

TEST(PluginFactory, DescribesVendorAndClassesInBothTextForms)
{
  auto* factory =
      new CPluginFactory(PFactoryInfo("Maker", "https://maker.example", "help@maker.example", 16));
  PClassInfo2 a = Describe(kClassA, "First");
  EXPECT_TRUE(factory->registerClass(&a, CreateCounted));
  EXPECT_FALSE(factory->registerClass(&a, CreateCounted)) << "a class ID is registered once";
  PClassInfo2 b = Describe(kClassB, "Second");
  EXPECT_FALSE(factory->registerClass(&b, nullptr)) << "a class without create function is useless";
  EXPECT_TRUE(factory->registerClass(&b, CreateCounted));
  EXPECT_EQ(factory->countClasses(), 2);
  EXPECT_TRUE(factory->isClassRegistered(FUID::fromTUID(kClassB)));
  EXPECT_FALSE(factory->isClassRegistered(FUID::fromTUID(kClassC)));

  PFactoryInfo info;
  ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Maker");
  EXPECT_STREQ(info.email, "help@maker.example");
  EXPECT_EQ(info.flags & PFactoryInfo::kUnicode, PFactoryInfo::kUnicode);

  PClassInfo plain;
  ASSERT_EQ(factory->getClassInfo(1, &plain), kResultOk);
  EXPECT_EQ(std::memcmp(plain.cid, kClassB, sizeof(TUID)), 0);
  EXPECT_STREQ(plain.name, "Second");
  EXPECT_STREQ(plain.category, "Audio Module Class");

  PClassInfo2 two;
  ASSERT_EQ(factory->getClassInfo2(0, &two), kResultOk);
  EXPECT_STREQ(two.subCategories, "Fx|Distortion");
  EXPECT_STREQ(two.sdkVersion, "VST 3.8.1");
  EXPECT_EQ(two.classFlags, 2u);
  EXPECT_EQ(two.cardinality, PClassInfo::kManyInstances);

  PClassInfoW wide;
  ASSERT_EQ(factory->getClassInfoUnicode(0, &wide), kResultOk);
  EXPECT_EQ(Text(wide.name), u"First");
  EXPECT_EQ(Text(wide.version), u"1.0.0");
  EXPECT_EQ(Text(wide.vendor), u"");
  EXPECT_STREQ(wide.subCategories, "Fx|Distortion");

  for (int32 index : {-1, 2, 1000})
  {
    EXPECT_EQ(factory->getClassInfo(index, &plain), kInvalidArgument);
    EXPECT_EQ(factory->getClassInfo2(index, &two), kInvalidArgument);
    EXPECT_EQ(factory->getClassInfoUnicode(index, &wide), kInvalidArgument);
  }
  EXPECT_EQ(factory->getClassInfo2(0, nullptr), kInvalidArgument);
  EXPECT_EQ(factory->getFactoryInfo(nullptr), kInvalidArgument);
  factory->release();
}

TEST(PluginFactory, CutsAndTerminatesTextsThatFillTheirFields)
{
  auto* factory = new CPluginFactory(PFactoryInfo());
  // Every text field completely filled: no terminator inside the record.
  PClassInfo2 full;
  std::memcpy(full.cid, kClassA, sizeof(TUID));
  std::memset(full.category, 'c', sizeof full.category);
  std::memset(full.name, 'n', sizeof full.name);
  std::memset(full.subCategories, 's', sizeof full.subCategories);
  std::memset(full.vendor, 'v', sizeof full.vendor);
  std::memset(full.version, '1', sizeof full.version);
  std::memset(full.sdkVersion, 'k', sizeof full.sdkVersion);
  ASSERT_TRUE(factory->registerClass(&full, CreateCounted));

  PClassInfo2 two;
  ASSERT_EQ(factory->getClassInfo2(0, &two), kResultOk);
  EXPECT_EQ(std::string(two.name), std::string(63, 'n'));
  EXPECT_EQ(std::string(two.subCategories), std::string(127, 's'));
  EXPECT_EQ(std::string(two.category), std::string(31, 'c'));

  PClassInfoW wide;
  ASSERT_EQ(factory->getClassInfoUnicode(0, &wide), kResultOk);
  EXPECT_EQ(Text(wide.name), std::u16string(63, u'n'));
  EXPECT_EQ(Text(wide.sdkVersion), std::u16string(63, u'k'));
  EXPECT_EQ(wide.category[31], 0);

  // A UTF-16 description keeps its units in the UTF-16 form and marks what 8 bits cannot hold.
  PClassInfoW w;
  std::memcpy(w.cid, kClassB, sizeof(TUID));
  const char16_t name[] = u"Q\u00e9\u4e2d";
  std::memcpy(w.name, name, sizeof name);
  ASSERT_TRUE(factory->registerClass(&w, CreateCounted));
  ASSERT_EQ(factory->getClassInfoUnicode(1, &wide), kResultOk);
  EXPECT_EQ(Text(wide.name), u"Q\u00e9\u4e2d");
  ASSERT_EQ(factory->getClassInfo2(1, &two), kResultOk);
  EXPECT_EQ(std::string(two.name), std::string("Q\xe9?"));
  factory->release();
}

TEST(PluginFactory, CreatesInstancesByClassAndInterface)
{
  auto* factory = new CPluginFactory(PFactoryInfo());
  PClassInfo2 a = Describe(kClassA, "A");
  PClassInfo2 b = Describe(kClassB, "B");
  PClassInfo2 c = Describe(kClassC, "C");
  int context = 7;
  ASSERT_TRUE(factory->registerClass(&a, CreateRecordingContext, &context));
  ASSERT_TRUE(factory->registerClass(&b, CreateNothing));
  ASSERT_TRUE(factory->registerClass(&c, CreateThrowing));
  PClassInfo plainD(kClassD, PClassInfo::kManyInstances, "Audio Module Class", "D");
  ASSERT_TRUE(factory->registerClass(&plainD, CreateCounted));

  void* obj = nullptr;
  ASSERT_EQ(factory->createInstance(kClassA, Vst::IComponent::iid, &obj), kResultOk);
  ASSERT_NE(obj, nullptr);
  EXPECT_EQ(gSeenContext, &context);
  EXPECT_EQ(gLiveObjects, 1);
  EXPECT_EQ(static_cast<FUnknown*>(obj)->release(), 0u) << "the caller holds the only reference";
  EXPECT_EQ(gLiveObjects, 0);

  // An interface the class does not have: nothing handed out, nothing leaked.
  obj = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->createInstance(kClassA, Vst::IAudioProcessor::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
  EXPECT_EQ(gLiveObjects, 0);

  obj = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->createInstance(kClassB, FUnknown::iid, &obj), kOutOfMemory);
  EXPECT_EQ(obj, nullptr);
  EXPECT_EQ(factory->createInstance(kClassC, FUnknown::iid, &obj), kOutOfMemory) << "no exception may escape";
  EXPECT_EQ(obj, nullptr);
  const TUID unknown = INLINE_UID(1, 2, 3, 4);
  EXPECT_EQ(factory->createInstance(unknown, FUnknown::iid, &obj), kNoInterface);
  EXPECT_EQ(factory->createInstance(nullptr, FUnknown::iid, &obj), kInvalidArgument);
  EXPECT_EQ(factory->createInstance(kClassA, FUnknown::iid, nullptr), kInvalidArgument);

  ASSERT_EQ(factory->createInstance(kClassD, FUnknown::iid, &obj), kResultOk);
  static_cast<FUnknown*>(obj)->release();
  EXPECT_EQ(gLiveObjects, 0);
  factory->release();
}

TEST(PluginFactory, ClearsTheModulePointerWhenDestroyed)
{
  auto* factory = new CPluginFactory(PFactoryInfo());
  gPluginFactory = factory;
  void* obj = nullptr;
  for (const FUID& id : {IPluginFactory::iid, IPluginFactory2::iid, IPluginFactory3::iid, FUnknown::iid})
  {
    ASSERT_EQ(factory->queryInterface(id.toTUID(), &obj), kResultOk);
    EXPECT_EQ(static_cast<FUnknown*>(obj), static_cast<FUnknown*>(static_cast<IPluginFactory*>(factory)));
    static_cast<FUnknown*>(obj)->release();
  }
  EXPECT_EQ(factory->queryInterface(Vst::IComponent::iid, &obj), kNoInterface);
  EXPECT_EQ(factory->addRef(), 2u);
  EXPECT_EQ(factory->release(), 1u);
  EXPECT_EQ(gPluginFactory, factory);
  EXPECT_EQ(factory->release(), 0u);
  EXPECT_EQ(gPluginFactory, nullptr);

  // Another factory's destruction leaves the module's pointer alone.
  auto* current = new CPluginFactory(PFactoryInfo());
  gPluginFactory = current;
  (new CPluginFactory(PFactoryInfo()))->release();
  EXPECT_EQ(gPluginFactory, current);
  current->release();
  EXPECT_EQ(gPluginFactory, nullptr);
}
