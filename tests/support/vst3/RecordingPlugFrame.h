#pragma once

// The host window around an editor view: records resize requests and, as hosts do, asks the view for its
// size from inside each one.

#include "tests/support/vst3/HostObject.h"

#include "pluginterfaces/gui/iplugview.h"

#include <vector>

namespace quorvel::test
{

class RecordingPlugFrame : public HostObject<Steinberg::IPlugFrame>
{
public:
  struct Request
  {
    Steinberg::IPlugView* view;
    Steinberg::ViewRect size, sizeSeenInside;
  };

  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override
  {
    requests.push_back({view, *newSize, {}});
    view->getSize(&requests.back().sizeSeenInside);
    return Steinberg::kResultTrue;
  }

  std::vector<Request> requests;
};

} // namespace quorvel::test
