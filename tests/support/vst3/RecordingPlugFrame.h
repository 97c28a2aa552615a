#pragma once

// The host window around an editor view: records the view's resize requests and, like hosts do, may
// ask the view about its size from inside one.

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
    Steinberg::ViewRect size;
    Steinberg::ViewRect sizeSeenInside; // what getSize answered during the request
  };

  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override
  {
    Request request{view, newSize ? *newSize : Steinberg::ViewRect{}, {}};
    if (view) view->getSize(&request.sizeSeenInside);
    requests.push_back(request);
    return Steinberg::kResultTrue;
  }

  std::vector<Request> requests;
};

} // namespace quorvel::test
