#pragma once

// The one place that decides which host adapter the effect stands on. Each deliverable compiles the
// effect class with one of these defined (see quorvel_effect_library in this folder's CMakeLists.txt);
// the effect itself only ever names QuorvelBase and QuorvelInstanceInfo.

#if defined(QUORVEL_API_VST3)
#include "framework/vst3/IPlugVST3.h"
namespace quorvel
{
using QuorvelBase = iplug::IPlugVST3;
using QuorvelInstanceInfo = iplug::InstanceInfo;
} // namespace quorvel
#elif defined(QUORVEL_API_APP)
#include "framework/app/IPlugAPP.h"
namespace quorvel
{
using QuorvelBase = iplug::IPlugAPP;
using QuorvelInstanceInfo = iplug::InstanceInfo;
} // namespace quorvel
#elif defined(QUORVEL_BASE_HEADER)
// An adapter named by the target that builds the effect: its header defines QuorvelBase and
// QuorvelInstanceInfo.
#include QUORVEL_BASE_HEADER
#else
#error "Build the effect through quorvel_effect_library, which chooses its host adapter"
#endif
