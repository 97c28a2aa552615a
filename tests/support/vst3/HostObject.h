#pragma once

// Reference counting and interface lookup for the test host's own objects, so
// each fake only writes the interface methods it is about.

#include "pluginterfaces/base/funknown.h"

#include <atomic>

namespace quorvel::test
{

template <class... Interfaces> class HostObject : public Interfaces...
{
public:
  virtual ~HostObject() = default;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override
  {
    if (!obj) return Steinberg::kInvalidArgument;
    if (Steinberg::FUnknownPrivate::iidEqual(iid, Steinberg::FUnknown::iid))
      return Hand(static_cast<First*>(this), obj);
    Steinberg::tresult result = Steinberg::kNoInterface;
    ((result == Steinberg::kNoInterface && Steinberg::FUnknownPrivate::iidEqual(iid, Interfaces::iid)
          ? (result = Hand(static_cast<Interfaces*>(this), obj))
          : result),
     ...);
    if (result != Steinberg::kResultOk) *obj = nullptr;
    return result;
  }
  Steinberg::uint32 PLUGIN_API addRef() override { return ++refs; }
  Steinberg::uint32 PLUGIN_API release() override
  {
    const Steinberg::uint32 left = --refs;
    if (left == 0 && ownedByReferences) delete this;
    return left;
  }

  // Stack and member fakes are not deleted when their count falls to 0.
  bool ownedByReferences = false;
  std::atomic<Steinberg::uint32> refs{1};

private:
  template <class T, class...> struct FirstOf
  {
    using type = T;
  };
  using First = typename FirstOf<Interfaces...>::type;

  template <class I> Steinberg::tresult Hand(I* self, void** obj)
  {
    addRef();
    *obj = self;
    return Steinberg::kResultOk;
  }
};

} // namespace quorvel::test
