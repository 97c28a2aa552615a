// The effect's VST3 component state (VST3 build only): it replaces the adapter's default form with
// the 132-byte block state and the XML form (ComponentState.h).

#include "effect/deliverables/ComponentState.h"
#include "effect/deliverables/Quorvel.h"

using namespace Steinberg;

namespace quorvel
{

tresult Quorvel::getComponentStateForHost(IBStream* stream)
{
  if (!stream) return kResultFalse;
  iplug::StateChunk block;
  if (!SerializeState(block)) return kResultFalse;
  return WriteComponentState(stream, block);
}

tresult Quorvel::setComponentStateFromHost(IBStream* stream)
{
  if (!stream) return kResultFalse;
  try
  {
    iplug::StateChunk bytes;
    // Read and checked whole before anything is applied: a refused stream changes nothing.
    if (ReadComponentState(stream, bytes) != kResultOk) return kResultFalse;
    if (UnserializeState(bytes, 0) < 0) return kResultFalse;
    RefreshParameterObjects();
    SendAllParamsToEditor();
    return kResultOk;
  }
  catch (...)
  {
    return kResultFalse;
  }
}

} // namespace quorvel
