// The effect itself on the standalone host, driven by fake devices: what the program plays.

#include "effect/deliverables/Quorvel.h"
#include "framework/app/StandaloneHost.h"
#include "tests/support/app/FakeDevices.h"
#include "tests/support/app/TempFolder.h"
#include "tests/support/core/AllocationCounter.h"
#include "tests/support/core/TrappingFloatExceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace iplug;
using namespace iplug::test;

namespace
{

constexpr double kRate = 48000.0;

// A stereo signal loud enough to drive the saturation: two tones and a slow sweep.
double Signal(uint32_t channel, uint64_t frame)
{
  const double t = static_cast<double>(frame) / kRate;
  return 0.6 * std::sin(2.0 * std::numbers::pi * (110.0 + 40.0 * channel) * t) +
         0.3 * std::sin(2.0 * std::numbers::pi * 1760.0 * t * t);
}

struct EffectRig
{
  EffectRig() : folder("effect")
  {
    devices.audioDevices = {{"Box", 2, 2, true, true}};
    options.devices = &devices;
    options.appDataFolder = folder.Path();
    options.productFolder = "Quorvel";
    options.showError = [](const char*, const char*) {};
    options.createPlugin = [this](StandaloneHost& host)
    {
      effect = quorvel::CreatePluginInstance(InstanceInfo{&host});
      return effect;
    };
    host = std::make_unique<StandaloneHost>(options);
    EXPECT_TRUE(host->InitStandaloneHost());
  }

  TempFolder folder;
  FakeDeviceProvider devices;
  StandaloneHostOptions options;
  quorvel::Quorvel* effect = nullptr;
  std::unique_ptr<StandaloneHost> host;
};

// What the effect makes of the whole signal processed in 512-frame blocks, with the host's
// opening fade-in of n frames applied to input and output.
std::vector<double> ReferenceRun(const std::vector<double>& input, uint32_t total, uint32_t n)
{
  quorvel::Quorvel reference(InstanceInfo{});
  reference.ActivateForHost();
  reference.PrepareForStream(kRate);
  std::vector<double> in = input, out(2 * total, 0.0);
  for (uint32_t c = 0; c < 2; c++)
    for (uint32_t j = 0; j < n; j++)
      in[c * total + j] *= static_cast<double>(j) / n;
  for (uint32_t start = 0; start < total; start += 512)
  {
    const int frames = static_cast<int>(std::min<uint32_t>(512, total - start));
    double* inputs[] = {&in[start], &in[total + start]};
    double* outputs[] = {&out[start], &out[total + start]};
    reference.RunBlock(inputs, outputs, frames);
  }
  for (uint32_t c = 0; c < 2; c++)
    for (uint32_t j = 0; j < n; j++)
      out[c * total + j] *= static_cast<double>(j) / n;
  return out;
}

} // namespace

TEST(QuorvelStandaloneTest, EveryCallbackSizeMatchesAReferenceRunOfTheEffect)
{
  for (const uint32_t n : {96u, 256u, 512u, 1000u, 1024u})
  {
    SCOPED_TRACE(n);
    EffectRig rig;
    ASSERT_NE(rig.effect, nullptr);
    ASSERT_TRUE(rig.host->OpenAudioStream(0, 0, static_cast<uint32_t>(kRate), n));
    const uint32_t callbacks = (12000 + n - 1) / n, total = callbacks * n;
    std::vector<double> whole(2 * total), produced(2 * total);
    for (uint32_t c = 0; c < 2; c++)
      for (uint32_t j = 0; j < total; j++)
        whole[c * total + j] = Signal(c, j);

    std::vector<double> in(2 * n), out(2 * n);
    for (uint32_t k = 0; k < callbacks; k++)
    {
      for (uint32_t c = 0; c < 2; c++)
        std::copy_n(&whole[c * total + k * n], n, &in[c * n]);
      rig.devices.audio->Pump(in, out, n);
      for (uint32_t c = 0; c < 2; c++)
        std::copy_n(&out[c * n], n, &produced[c * total + k * n]);
    }

    const std::vector<double> expected = ReferenceRun(whole, total, n);
    double energy = 0.0;
    for (size_t i = 0; i < expected.size(); i++)
    {
      ASSERT_NEAR(produced[i], expected[i], 1e-6) << "sample " << i % total << " of channel " << i / total;
      energy += produced[i] * produced[i];
    }
    // The effect made sound: the comparison is not between two silences.
    EXPECT_GT(energy / expected.size(), 1e-3);
  }
}

TEST(QuorvelStandaloneTest, TheEffectsAudioPathAllocatesNothing)
{
  EffectRig rig;
  ASSERT_TRUE(rig.host->OpenAudioStream(0, 0, static_cast<uint32_t>(kRate), 1000));
  std::vector<double> in(2000), out(2000);
  for (uint32_t j = 0; j < 1000; j++)
    in[j] = in[1000 + j] = Signal(0, j);
  rig.devices.audio->Pump(in, out, 1000); // first buffer, faded in
  quorvel::test::StartCountingAllocations();
  for (int k = 0; k < 8; k++)
    rig.devices.audio->Pump(in, out, 1000);
  EXPECT_EQ(quorvel::test::StopCountingAllocations(), 0);
}

// An audio thread trapping invalid operation, division by zero and overflow: preparation and
// callbacks with silence, audio, hostile samples and every parameter at both ends raise none of them,
// give finite output and leave the thread's control word as it was.
TEST(QuorvelStandaloneTest, TrappingAudioThreadSeesNoFloatException)
{
  using quorvel::test::TrappingFloatExceptions;
  if (!TrappingFloatExceptions::kAvailable) GTEST_SKIP() << "no SSE control word";
  constexpr uint32_t n = 600;
  EffectRig rig;
  TrappingFloatExceptions traps;
  ASSERT_TRUE(rig.host->OpenAudioStream(0, 0, static_cast<uint32_t>(kRate), n));
  std::vector<double> in(2 * n, 0.0), out;
  for (int step = 0; step < 3 + 2 * rig.effect->NParams(); step++)
  {
    if (step >= 3) rig.effect->GetParam((step - 3) / 2)->SetNormalized(step % 2);
    for (uint32_t j = 0; step > 0 && j < 2 * n; j++)
      in[j] = step > 1 && j % 5 == 0 ? quorvel::test::kHostileSamples[j / 5 % 6]
                                     : Signal(j / n, step * n + j % n);
    rig.devices.audio->Pump(in, out, n);
    ASSERT_TRUE(traps.HostWordInPlace()) << step;
    for (size_t i = 0; i < out.size(); i++)
      ASSERT_TRUE(std::isfinite(out[i])) << step << " sample " << i;
  }
}
