// Lists the plug-ins of a LADSPA module: label, name and ports with their ranges. Used by the peer
// comparison to find the labels and control order of the saturators it runs.

#include "bench/LadspaAbi.h"

#include <cstdio>
#include <dlfcn.h>

int main(int argc, char** argv)
{
  if (argc < 2)
  {
    std::fprintf(stderr, "usage: %s module.so\n", argv[0]);
    return 2;
  }
  void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!module)
  {
    std::fprintf(stderr, "cannot load %s: %s\n", argv[1], dlerror());
    return 1;
  }
  auto entry = reinterpret_cast<LadspaDescriptorFunction>(dlsym(module, "ladspa_descriptor"));
  if (!entry)
  {
    std::fprintf(stderr, "%s has no ladspa_descriptor\n", argv[1]);
    return 1;
  }
  for (unsigned long i = 0;; ++i)
  {
    const LadspaDescriptor* d = entry(i);
    if (!d) break;
    std::printf("%lu %s \"%s\"\n", d->uniqueId, d->label, d->name);
    for (unsigned long p = 0; p < d->portCount; ++p)
    {
      const int pd = d->portDescriptors[p];
      const LadspaPortRangeHint& h = d->portRangeHints[p];
      std::printf("  %2lu %-7s %-6s %-24s", p, (pd & kLadspaPortInput) ? "input" : "output",
                  (pd & kLadspaPortAudio) ? "audio" : "control", d->portNames[p]);
      if (pd & kLadspaPortControl)
        std::printf(" [%g, %g]%s", h.lowerBound, h.upperBound,
                    (h.hintDescriptor & kLadspaHintInteger) ? " int" : "");
      std::printf("\n");
    }
  }
  return 0;
}
