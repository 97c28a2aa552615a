#pragma once

// The recording adapter as the effect's base: named by the test target that builds the effect
// (quorvel_effect_library ... BASE_HEADER).

#include "tests/support/plugin/PluginTestAdapter.h"

namespace quorvel
{
using QuorvelBase = test::PluginTestAdapter;
using QuorvelInstanceInfo = test::PluginTestAdapter::InstanceInfo;
} // namespace quorvel
