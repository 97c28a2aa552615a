// The engine as a LADSPA module, so that the peer comparison can time it through the same host as
// the other saturators: one stereo plug-in per model at default settings, and a trivial stereo gain
// whose cost is the host's own, subtracted from every figure.

#include "bench/LadspaAbi.h"
#include "effect/engine/QuorvelEngineHolder.h"

#include <new>

namespace
{

using quorvel::EngineParams;
using quorvel::QuorvelEngineHolder;

constexpr unsigned long kFirstId = 0x51560000; // private range, never published
constexpr int kModels = 6;
constexpr const char* kLabels[kModels + 1] = {"quorvel_tube",      "quorvel_transformer", "quorvel_tape",
                                              "quorvel_germanium", "quorvel_silicon",     "quorvel_diode",
                                              "quorvel_gain"};
constexpr const char* kNames[kModels + 1] = {"Quorvel Tube",
                                             "Quorvel Transformer",
                                             "Quorvel Tape",
                                             "Quorvel Germanium Fuzz",
                                             "Quorvel Silicon Fuzz",
                                             "Quorvel Diode Clip",
                                             "Quorvel unity gain (host cost)"};
constexpr int kPorts[4] = {kLadspaPortInput | kLadspaPortAudio, kLadspaPortInput | kLadspaPortAudio,
                           kLadspaPortOutput | kLadspaPortAudio, kLadspaPortOutput | kLadspaPortAudio};
constexpr const char* kPortNames[4] = {"in.l", "in.r", "out.l", "out.r"};
constexpr LadspaPortRangeHint kHints[4] = {};

struct Instance
{
  int model = 0; // kModels: the gain
  unsigned long rate = 48000;
  QuorvelEngineHolder* holder = nullptr;
  LadspaData* ports[4] = {};
};

LadspaHandle Instantiate(const LadspaDescriptor* d, unsigned long rate)
{
  auto* in = new (std::nothrow) Instance;
  if (!in) return nullptr;
  in->model = static_cast<int>(d->uniqueId - kFirstId);
  in->rate = rate;
  if (in->model < kModels)
  {
    in->holder = new (std::nothrow) QuorvelEngineHolder;
    if (!in->holder)
    {
      delete in;
      return nullptr;
    }
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
  if (!in->holder) return;
  EngineParams p;
  p[EngineParams::kModel] = static_cast<float>(in->model);
  in->holder->CopyParams(p);
  in->holder->Prepare(static_cast<double>(in->rate), 2);
}

void Run(LadspaHandle h, unsigned long n)
{
  auto* in = static_cast<Instance*>(h);
  if (!in->holder)
  {
    for (int c = 0; c < 2; ++c)
      for (unsigned long i = 0; i < n; ++i)
        in->ports[2 + c][i] = in->ports[c][i];
    return;
  }
  const float* ins[2] = {in->ports[0], in->ports[1]};
  float* outs[2] = {in->ports[2], in->ports[3]};
  in->holder->Process(ins, outs, static_cast<int>(n), false);
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
  d.label = kLabels[i];
  d.name = kNames[i];
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

const LadspaDescriptor kDescriptors[kModels + 1] = {MakeDescriptor(0), MakeDescriptor(1), MakeDescriptor(2),
                                                    MakeDescriptor(3), MakeDescriptor(4), MakeDescriptor(5),
                                                    MakeDescriptor(6)};

} // namespace

extern "C" __attribute__((visibility("default"))) const LadspaDescriptor*
ladspa_descriptor(unsigned long index)
{
  return index <= kModels ? &kDescriptors[index] : nullptr;
}
