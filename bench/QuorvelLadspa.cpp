// The engine as a LADSPA module, so that the peer comparison can time it through the same host as
// the other saturators: one stereo plug-in per model, kernel path and steady or cross-fading use at
// default settings, and a trivial stereo gain whose cost is the host's own, subtracted from every
// figure. The wrapper only forwards the host's calls: nothing is copied or converted on the way.

#include "bench/LadspaAbi.h"
#include "effect/engine/QuorvelEngineHolder.h"

#include <cstdio>
#include <new>

namespace
{

using quorvel::EngineParams;
using quorvel::KernelPath;
using quorvel::QuorvelEngineHolder;

constexpr unsigned long kFirstId = 0x51560000; // private range, never published
constexpr int kModels = 6;
constexpr int kVariants = kModels * 4; // model x {baseline, wide} x {steady, cross-fading}
constexpr int kGain = kVariants;
constexpr const char* kModelLabels[kModels] = {"tube", "transformer", "tape", "germanium", "silicon", "diode"};
// A model change every 1536 frames (32 ms at 48 kHz), before the 40 ms fade ends: two models run
// all the time, as in EngineBench's cross-fade case.
constexpr unsigned long kFadeBlock = 512;
constexpr int kBlocksPerChange = 3;

struct Variant
{
  int model = 0;
  KernelPath path = KernelPath::kBaseline;
  bool fading = false;
};

constexpr Variant VariantOf(int i)
{
  return {i / 4, (i / 2) % 2 ? KernelPath::kWide : KernelPath::kBaseline, i % 2 == 1};
}

struct Labels
{
  char label[kVariants + 1][40] = {};
  char name[kVariants + 1][64] = {};
};

const Labels& GetLabels()
{
  static const Labels labels = []
  {
    Labels l;
    for (int i = 0; i < kVariants; ++i)
    {
      const Variant v = VariantOf(i);
      const char* path = v.path == KernelPath::kWide ? "wide" : "base";
      std::snprintf(l.label[i], sizeof l.label[i], "quorvel_%s_%s%s", kModelLabels[v.model], path,
                    v.fading ? "_fade" : "");
      std::snprintf(l.name[i], sizeof l.name[i], "Quorvel %s (%s%s)", kModelLabels[v.model], path,
                    v.fading ? ", cross-fading" : "");
    }
    std::snprintf(l.label[kGain], sizeof l.label[kGain], "quorvel_gain");
    std::snprintf(l.name[kGain], sizeof l.name[kGain], "Quorvel unity gain (host cost)");
    return l;
  }();
  return labels;
}

constexpr int kPorts[4] = {kLadspaPortInput | kLadspaPortAudio, kLadspaPortInput | kLadspaPortAudio,
                           kLadspaPortOutput | kLadspaPortAudio, kLadspaPortOutput | kLadspaPortAudio};
constexpr const char* kPortNames[4] = {"in.l", "in.r", "out.l", "out.r"};
constexpr LadspaPortRangeHint kHints[4] = {};

struct Instance
{
  int variant = 0; // kGain: the gain
  unsigned long rate = 48000;
  QuorvelEngineHolder* holder = nullptr;
  EngineParams params;
  unsigned long block = 0; // 512-frame blocks run so far (cross-fading variants)
  LadspaData* ports[4] = {};
};

LadspaHandle Instantiate(const LadspaDescriptor* d, unsigned long rate)
{
  auto* in = new (std::nothrow) Instance;
  if (!in) return nullptr;
  in->variant = static_cast<int>(d->uniqueId - kFirstId);
  in->rate = rate;
  // The gain builds and prepares an engine too (the shared shaper tables, the engine's memory), so
  // that this one-off cost, which a host pays when it loads the plug-in and not while audio runs,
  // is part of the subtracted host figure.
  in->holder = new (std::nothrow) QuorvelEngineHolder;
  if (!in->holder)
  {
    delete in;
    return nullptr;
  }
  return in;
}

void ConnectPort(LadspaHandle h, unsigned long port, LadspaData* where)
{
  if (port < 4) static_cast<Instance*>(h)->ports[port] = where;
}

void Activate(LadspaHandle h)
{
  auto* in = static_cast<Instance*>(h);
  const Variant v = VariantOf(in->variant < kVariants ? in->variant : 0);
  in->params = EngineParams{};
  in->params[EngineParams::kModel] = static_cast<float>(v.model);
  in->block = 0;
  in->holder->CopyParams(in->params);
  in->holder->Prepare(static_cast<double>(in->rate), 2, v.path);
}

// Steady variants: one engine call per host call, as a plug-in host makes it. Cross-fading ones:
// the calls a host with 512-frame buffers makes while automating the model.
void Run(LadspaHandle h, unsigned long n)
{
  auto* in = static_cast<Instance*>(h);
  if (in->variant == kGain)
  {
    for (int c = 0; c < 2; ++c)
      for (unsigned long i = 0; i < n; ++i)
        in->ports[2 + c][i] = in->ports[c][i];
    return;
  }
  const Variant v = VariantOf(in->variant);
  if (!v.fading)
  {
    const float* ins[2] = {in->ports[0], in->ports[1]};
    float* outs[2] = {in->ports[2], in->ports[3]};
    in->holder->Process(ins, outs, static_cast<int>(n), false);
    return;
  }
  for (unsigned long at = 0; at < n; at += kFadeBlock)
  {
    if (in->block % kBlocksPerChange == 0)
    {
      const bool other = (in->block / kBlocksPerChange) % 2 != 0;
      in->params[EngineParams::kModel] = static_cast<float>(other ? (v.model + 1) % kModels : v.model);
      in->holder->CopyParams(in->params);
    }
    const unsigned long count = n - at < kFadeBlock ? n - at : kFadeBlock;
    const float* ins[2] = {in->ports[0] + at, in->ports[1] + at};
    float* outs[2] = {in->ports[2] + at, in->ports[3] + at};
    in->holder->Process(ins, outs, static_cast<int>(count), false);
    ++in->block;
  }
}

void Cleanup(LadspaHandle h)
{
  auto* in = static_cast<Instance*>(h);
  delete in->holder;
  delete in;
}

LadspaDescriptor MakeDescriptor(int i)
{
  LadspaDescriptor d{};
  d.uniqueId = kFirstId + static_cast<unsigned long>(i);
  d.label = GetLabels().label[i];
  d.name = GetLabels().name[i];
  d.maker = "KELDRIMAX";
  d.copyright = "None";
  d.portCount = 4;
  d.portDescriptors = kPorts;
  d.portNames = kPortNames;
  d.portRangeHints = kHints;
  d.instantiate = Instantiate;
  d.connectPort = ConnectPort;
  d.activate = Activate;
  d.run = Run;
  d.cleanup = Cleanup;
  return d;
}

const LadspaDescriptor* Descriptors()
{
  static const auto table = []
  {
    struct Table
    {
      LadspaDescriptor d[kVariants + 1];
    } t;
    for (int i = 0; i <= kVariants; ++i)
      t.d[i] = MakeDescriptor(i);
    return t;
  }();
  return table.d;
}

} // namespace

extern "C" __attribute__((visibility("default"))) const LadspaDescriptor*
ladspa_descriptor(unsigned long index)
{
  return index <= static_cast<unsigned long>(kVariants) ? &Descriptors()[index] : nullptr;
}
