#include "framework/core/Mutex.h"

#include <mutex>
#include <new>

namespace iplug
{
namespace
{
using Lock = std::recursive_mutex;
static_assert(sizeof(Lock) <= Mutex::kStorageSize, "grow Mutex::kStorageSize");
static_assert(alignof(Lock) <= Mutex::kStorageAlign, "raise Mutex::kStorageAlign");
} // namespace

Mutex::Mutex()
{
  new (mStorage) Lock();
}

Mutex::~Mutex()
{
  std::launder(reinterpret_cast<Lock*>(mStorage))->~Lock();
}

void Mutex::Enter()
{
  std::launder(reinterpret_cast<Lock*>(mStorage))->lock();
}

void Mutex::Leave()
{
  std::launder(reinterpret_cast<Lock*>(mStorage))->unlock();
}
} // namespace iplug
