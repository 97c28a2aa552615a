#include "effect/engine/QuorvelEngine.h"

#include "effect/engine/ClampSample.h"
#include "effect/engine/FastMath.h"
#include "effect/engine/Lanes.h"
#include "effect/engine/ScopedFlushDenormals.h"
#include "effect/engine/ShaperTables.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quorvel
{

namespace
{
using namespace lanes;

constexpr double kTwoPi = 6.283185307179586;
constexpr float kDriveLimit = 32.f;
constexpr float kMatchMin = 0.125f;
constexpr float kMatchMax = 4.f;
constexpr float kDryPowerFloor = 1e-8f;
constexpr float kWetPowerFloor = 1e-9f;
constexpr float kCeilingThreshold = 0.7943282f; // -2 dBFS
constexpr float kCeilingKnee = 0.17172271f;
constexpr float kActivityScale = 1.5f;
constexpr double kMeterRelease = 0.3; // s

float OnePoleCoefficient(double hz, double rate)
{
  return static_cast<float>(std::exp(-kTwoPi * hz / rate));
}

inline float Clamp(float v, float lo, float hi)
{
  return std::max(std::min(v, hi), lo); // lower bound last: below-range values take it
}

inline float FiniteOrZero(float v)
{
  return std::isfinite(v) ? v : 0.f;
}

inline float DbToGain(float db)
{
  return std::pow(10.f, 0.05f * db);
}

inline float Switch(float v)
{
  return std::isfinite(v) && v >= 0.5f ? 1.f : 0.f;
}

inline float SoftCeiling(float v)
{
  const float a = std::fabs(v);
  if (a <= kCeilingThreshold) return v;
  const float c = kCeilingThreshold + kCeilingKnee * std::tanh((a - kCeilingThreshold) / kCeilingKnee);
  return v < 0.f ? -c : c;
}

// One-pole low-pass step s = (1 - c) u + c s with (1 - c) precomputed.
inline F4 OnePole(F4 oneMinusC, F4 c, F4 u, F4& s)
{
  s = oneMinusC * u + c * s;
  return s;
}

// Table lookups for four lanes at once; the same arithmetic as the scalar lookup.
inline F4 LookupLanes(const float* table, F4 u)
{
  u = Max(Min(u, Set(ShaperTables::kRange)), Set(-ShaperTables::kRange));
  const F4 p = (u + Set(ShaperTables::kRange)) * Set(ShaperTables::kPerUnit);
  alignas(16) float pf[4];
  StoreAligned(pf, p);
  alignas(16) float lo[4];
  alignas(16) float hi[4];
  alignas(16) float fi[4];
  for (int l = 0; l < 4; ++l)
  {
    int i = static_cast<int>(pf[l]);
    if (i > ShaperTables::kSize - 2) i = ShaperTables::kSize - 2;
    lo[l] = table[i];
    hi[l] = table[i + 1];
    fi[l] = static_cast<float>(i);
  }
  const F4 a = LoadAligned(lo);
  return a + (LoadAligned(hi) - a) * (p - LoadAligned(fi));
}

// Terms that depend only on the bias: computed once per chunk while the bias ramp is idle.
struct BiasTerms
{
  F4 b, tanhTransformer, tanhTape, germaniumC, tanhGermaniumC, siliconOff, tanhSiliconOff, kneeAtBias;
  F4 diodeOff, diodeAtOff;
};

BiasTerms MakeBiasTerms(float b, const ShaperTables& tables)
{
  BiasTerms t;
  t.b = Set(b);
  const float c = 0.38f * b - 0.16f;
  const float off = 0.35f * b + 0.04f;
  const F4 th = Tanh(Set(0.55f * b, 0.3f * b, c, off));
  t.tanhTransformer = Set(Lane(th, 0));
  t.tanhTape = Set(Lane(th, 1));
  t.germaniumC = Set(c);
  t.tanhGermaniumC = Set(Lane(th, 2));
  t.siliconOff = Set(off);
  t.tanhSiliconOff = Set(Lane(th, 3));
  t.kneeAtBias = Set(Lane(SiliconKnee(Set(0.16f * b)), 0));
  t.diodeOff = Set(0.35f * b);
  t.diodeAtOff = Set(LookupTable(tables.diode, 0.35f * b));
  return t;
}

struct LaneCoefficients
{
  F4 attack, release, oneMinusAttack, oneMinusRelease;
  F4 c20, c35, c3000, c12500, c15000;
  F4 m20, m35, m3000, m12500, m15000; // 1 - c
};

LaneCoefficients MakeLaneCoefficients(const ModelCoefficients& m)
{
  LaneCoefficients c;
  c.attack = Set(m.attack);
  c.release = Set(m.release);
  c.oneMinusAttack = Set(1.f - m.attack);
  c.oneMinusRelease = Set(1.f - m.release);
  c.c20 = Set(m.c20);
  c.c35 = Set(m.c35);
  c.c3000 = Set(m.c3000);
  c.c12500 = Set(m.c12500);
  c.c15000 = Set(m.c15000);
  c.m20 = Set(1.f - m.c20);
  c.m35 = Set(1.f - m.c35);
  c.m3000 = Set(1.f - m.c3000);
  c.m12500 = Set(1.f - m.c12500);
  c.m15000 = Set(1.f - m.c15000);
  return c;
}

// One oversampled sample of one model on every lane; s holds the model's six states.
#if defined(__GNUC__)
#define QUORVEL_INLINE inline __attribute__((always_inline))
#else
#define QUORVEL_INLINE inline
#endif

template <int Model>
QUORVEL_INLINE F4 ShapeLanes(F4 x, F4* s, F4 k, const BiasTerms& bt, const LaneCoefficients& co,
                             const ShaperTables& tables)
{
  const F4 one = Set(1.f);
  const F4 ax = Abs(x);
  const F4 rising = Greater(ax, s[0]);
  s[0] = Select(rising, co.oneMinusAttack, co.oneMinusRelease) * ax +
         Select(rising, co.attack, co.release) * s[0];
  const F4 q = Set(Model <= kModelTape ? 0.1f : 0.32f);
  const F4 h = one / (one + s[0] * k * q);
  const F4 b = bt.b;

  F4 v;
  if constexpr (Model == kModelTube)
  {
    const F4 off = Set(0.48f) * b - Min(Set(0.03f) * s[0], Set(0.25f)) * k;
    const F4 t = LookupLanes(tables.tube, JoinLow(h * x + off, off));
    v = (t - HighToLow(t)) * h;
  }
  else if constexpr (Model == kModelTransformer)
  {
    OnePole(co.m20, co.c20, Set(6.f) * x, s[1]);
    const F4 core = s[1] + Set(0.55f) * b + (Set(0.1f) + Set(0.18f) * k) * s[2];
    const F4 t = Tanh(JoinLow(core, Set(0.2f) * h * x));
    const F4 A = t - bt.tanhTransformer;
    OnePole(co.m15000, co.c15000, A, s[2]);
    const F4 g = Max(Min(one - Set(0.87f) * A * A, one), Set(0.1f));
    v = HighToLow(t) * Set(1.f / 0.2f) * (Set(0.15f) + Set(0.85f) * g);
  }
  else if constexpr (Model == kModelTape)
  {
    OnePole(co.m3000, co.c3000, x, s[4]);
    const F4 B = Set(0.18f) + Set(0.16f) * k;
    const F4 arg = Set(1.15f) * h * ((x - s[4]) * Set(0.32f) + x) + B * s[2] + Set(0.3f) * b;
    const F4 A = TanhLow(arg) - bt.tanhTape;
    OnePole(co.m15000, co.c15000, A, s[2]);
    OnePole(co.m12500, co.c12500, A, s[3]);
    v = h * (Set(0.88f) * s[3] + Set(0.12f) * A) / (B + Set(1.15f));
  }
  else if constexpr (Model == kModelGermanium)
  {
    const F4 off = Set(0.6f) * b + Set(0.22f) - Min(Set(0.055f) * s[0], Set(0.4f)) * k;
    const F4 t = Tanh(JoinLow(Set(1.45f) * h * x + off, off));
    const F4 A = (t - HighToLow(t)) * Set(1.f / 1.45f);
    OnePole(co.m35, co.c35, A, s[3]);
    const F4 D = Set(0.72f) + Set(0.28f) * h;
    v = (TanhLow(Set(3.1f) * (A - s[3]) / D + bt.germaniumC) - bt.tanhGermaniumC) * D * Set(1.f / 2.1f);
  }
  else if constexpr (Model == kModelSilicon)
  {
    const F4 A = (TanhLow(Set(2.8f) * h * x + bt.siliconOff) - bt.tanhSiliconOff) * Set(1.f / 2.8f);
    OnePole(co.m35, co.c35, A, s[3]);
    const F4 z = Set(5.8f) * (A - s[3]) + Set(0.16f) * b;
    v = Set(0.65f) * h * (SiliconKnee(z) - bt.kneeAtBias);
  }
  else
  {
    v = LookupLanes(tables.diode, h * x + bt.diodeOff) - bt.diodeAtOff;
  }
  return Sanitise(v, kSampleLimit);
}

// A ramp over one chunk: a per-sample array while it glides, one value while it rests.
struct RampView
{
  const float* p;
  int mask;
  float operator[](int j) const { return p[j & mask]; }
};

// One model at a steady weight over a whole chunk, split into passes so that only the truly
// recursive parts (the envelope, the filters, a tanh inside a feedback loop) run sample after
// sample; everything else is independent from sample to sample and overlaps freely.
struct ModelPass
{
  int total;
  const float* driven; // lanes, per oversampled sample
  float* wet;          // lanes out: shaped x weight x makeup
  float* h;            // lanes scratch
  float* s0;           // lanes scratch
  float* t1;           // lanes scratch
  float* t2;           // lanes scratch
  RampView dynamics;
  RampView drive;
  bool driveGliding;
  RampView weight;
  bool accumulate; // add to wet (a second model of a cross-fade) instead of writing it
  const BiasTerms& bias;
  const LaneCoefficients& co;
  const ShaperTables& tables;
  F4* s; // the model's six states
};

template <int Model> void RunModelPasses(const ModelPass& p)
{
  static_assert(Model != kModelTransformer && Model != kModelTape, "feedback models run fused");
  const F4 one = Set(1.f);
  const F4 b = p.bias.b;
  const LaneCoefficients& co = p.co;
  F4* s = p.s;
  auto at = [](const float* a, int j) { return LoadAligned(a + j * 4); };
  auto put = [](float* a, int j, F4 v) { StoreAligned(a + j * 4, v); };

  // Level envelope and sag factor (recursive only through the envelope).
  {
    const F4 q = Set(Model <= kModelTape ? 0.1f : 0.32f);
    F4 env = s[0];
    for (int j = 0; j < p.total; ++j)
    {
      const F4 ax = Abs(at(p.driven, j));
      const F4 rising = Greater(ax, env);
      env = Select(rising, co.oneMinusAttack, co.oneMinusRelease) * ax +
            Select(rising, co.attack, co.release) * env;
      put(p.s0, j, env);
      put(p.h, j, one / (one + env * Set(p.dynamics[j]) * q));
    }
    s[0] = env;
  }

  // Shaped samples into t1 (before weight and makeup).
  if constexpr (Model == kModelTube)
  {
    for (int j = 0; j < p.total; ++j)
    {
      const F4 x = at(p.driven, j), h = at(p.h, j);
      const F4 off = Set(0.48f) * b - Min(Set(0.03f) * at(p.s0, j), Set(0.25f)) * Set(p.dynamics[j]);
      const F4 t = LookupLanes(p.tables.tube, JoinLow(h * x + off, off));
      put(p.t1, j, (t - HighToLow(t)) * h);
    }
  }
  else if constexpr (Model == kModelDiode)
  {
    for (int j = 0; j < p.total; ++j)
      put(p.t1, j,
          LookupLanes(p.tables.diode, at(p.h, j) * at(p.driven, j) + p.bias.diodeOff) - p.bias.diodeAtOff);
  }
  else if constexpr (Model == kModelSilicon)
  {
    // Two samples per tanh: the channel pairs of samples j and j + 1 share the four lanes (a stretch
    // of a cross-fade may be odd; its last sample then pairs with itself).
    for (int j = 0; j < p.total; j += 2)
    {
      const int n = j + 1 < p.total ? j + 1 : j;
      const F4 arg0 = Set(2.8f) * at(p.h, j) * at(p.driven, j);
      const F4 arg1 = Set(2.8f) * at(p.h, n) * at(p.driven, n);
      const F4 A = (Tanh(JoinLow(arg0, arg1) + p.bias.siliconOff) - p.bias.tanhSiliconOff) * Set(1.f / 2.8f);
      put(p.t1, j, A);
      put(p.t1, n, HighToLow(A));
    }
    F4 s3 = s[3];
    for (int j = 0; j < p.total; ++j)
    {
      const F4 A = at(p.t1, j);
      OnePole(co.m35, co.c35, A, s3);
      put(p.t2, j, Set(5.8f) * (A - s3) + Set(0.16f) * b);
    }
    s[3] = s3;
    for (int j = 0; j < p.total; j += 2)
    {
      const int n = j + 1 < p.total ? j + 1 : j; // paired as above
      const F4 v = Set(0.65f) * JoinLow(at(p.h, j), at(p.h, n)) *
                   (SiliconKnee(JoinLow(at(p.t2, j), at(p.t2, n))) - p.bias.kneeAtBias);
      put(p.t1, j, v);
      put(p.t1, n, HighToLow(v));
    }
  }
  else if constexpr (Model == kModelGermanium)
  {
    for (int j = 0; j < p.total; ++j)
    {
      const F4 h = at(p.h, j);
      const F4 off =
          Set(0.6f) * b + Set(0.22f) - Min(Set(0.055f) * at(p.s0, j), Set(0.4f)) * Set(p.dynamics[j]);
      const F4 t = Tanh(JoinLow(Set(1.45f) * h * at(p.driven, j) + off, off));
      put(p.t1, j, (t - HighToLow(t)) * Set(1.f / 1.45f));
    }
    F4 s3 = s[3];
    for (int j = 0; j < p.total; ++j)
    {
      const F4 A = at(p.t1, j);
      OnePole(co.m35, co.c35, A, s3);
      const F4 D = Set(0.72f) + Set(0.28f) * at(p.h, j);
      put(p.t2, j, Set(3.1f) * (A - s3) / D + p.bias.germaniumC);
    }
    s[3] = s3;
    for (int j = 0; j < p.total; j += 2)
    {
      const int n = j + 1 < p.total ? j + 1 : j; // paired as in the silicon model
      const F4 D = Set(0.72f) + Set(0.28f) * JoinLow(at(p.h, j), at(p.h, n));
      const F4 v = (Tanh(JoinLow(at(p.t2, j), at(p.t2, n))) - p.bias.tanhGermaniumC) * D * Set(1.f / 2.1f);
      put(p.t1, j, v);
      put(p.t1, n, HighToLow(v));
    }
  }

  // Weight and makeup, as the mixing stage applies them.
  F4 makeup = Set(1.f / std::sqrt(p.drive[0]));
  for (int j = 0; j < p.total; ++j)
  {
    if (p.driveGliding) makeup = Set(1.f / std::sqrt(p.drive[j]));
    const F4 before = p.accumulate ? at(p.wet, j) : Zero();
    put(p.wet, j, before + Sanitise(at(p.t1, j), kSampleLimit) * Set(p.weight[j]) * makeup);
  }
}

// The next argument u + g s' of a tanh that feeds back through a one-pole s' = (1 - c)(t - t0) + c s,
// given this sample's tanh t: as (u + g (c s - (1 - c) t0)) + (g (1 - c)) t, everything but the last
// product and sum is known before t is, so each sample waits on the tanh and two operations only.
QUORVEL_INLINE F4 FeedbackArgument(F4 u, F4 g, F4 oneMinusC, F4 c, F4 s, F4 t0, F4 t)
{
  return (u + g * (c * s - oneMinusC * t0)) + (g * oneMinusC) * t;
}

// The feedback models (transformer, tape) over a chunk, fused sample by sample: their tanh feeds
// back through a one-pole, so that loop sets the pace. Everything that does not depend on the loop
// (envelope, sag, input filters) is worked out one sample ahead, and the tanh shares its four lanes
// with the transformer's output tanh, so the rest of the work hides in the loop's shadow.
template <int Model> void RunFeedbackFused(const ModelPass& p)
{
  static_assert(Model == kModelTransformer || Model == kModelTape, "feedback models only");
  const F4 one = Set(1.f);
  const F4 b = p.bias.b;
  const LaneCoefficients& co = p.co;
  F4* s = p.s;
  auto at = [](const float* a, int j) { return LoadAligned(a + j * 4); };
  constexpr bool kTransformer = Model == kModelTransformer;
  const F4 t0 = kTransformer ? p.bias.tanhTransformer : p.bias.tanhTape;
  const F4 q = Set(0.1f);

  F4 env = s[0], s1 = s[1], s2 = s[2], s3 = s[3], s4 = s[4];
  // Feedback gain of sample j (beta for the transformer, B for the tape).
  auto gain = [&](int j)
  {
    const F4 k = Set(p.dynamics[j]);
    return kTransformer ? Set(0.1f) + Set(0.18f) * k : Set(0.18f) + Set(0.16f) * k;
  };
  // Advances the envelope and the input filter by sample j; gives the sag and the part of the tanh
  // argument that does not feed back.
  auto front = [&](int j, F4& h)
  {
    const F4 x = at(p.driven, j);
    const F4 ax = Abs(x);
    const F4 rising = Greater(ax, env);
    env = Select(rising, co.oneMinusAttack, co.oneMinusRelease) * ax +
          Select(rising, co.attack, co.release) * env;
    h = one / (one + env * Set(p.dynamics[j]) * q);
    if constexpr (kTransformer)
    {
      OnePole(co.m20, co.c20, Set(6.f) * x, s1);
      return s1 + Set(0.55f) * b;
    }
    else
    {
      OnePole(co.m3000, co.c3000, x, s4);
      return Set(1.15f) * h * ((x - s4) * Set(0.32f) + x) + Set(0.3f) * b;
    }
  };

  F4 h;
  F4 arg = front(0, h) + gain(0) * s2;
  F4 makeup = Set(1.f / std::sqrt(p.drive[0]));
  for (int j = 0; j < p.total; ++j)
  {
    const F4 x = at(p.driven, j);
    const F4 hj = h;
    // The transformer's core argument is a low-passed level: mostly small.
    const F4 t = kTransformer ? TanhMostlySmall(JoinLow(arg, Set(0.2f) * hj * x)) : TanhLow(arg);
    const F4 A = t - t0;
    if (j + 1 < p.total)
      arg = FeedbackArgument(front(j + 1, h), gain(j + 1), co.m15000, co.c15000, s2, t0, t);
    OnePole(co.m15000, co.c15000, A, s2);
    F4 v;
    if constexpr (kTransformer)
    {
      const F4 g = Max(Min(one - Set(0.87f) * A * A, one), Set(0.1f));
      v = HighToLow(t) * Set(1.f / 0.2f) * (Set(0.15f) + Set(0.85f) * g);
    }
    else
    {
      OnePole(co.m12500, co.c12500, A, s3);
      v = hj * (Set(0.88f) * s3 + Set(0.12f) * A) / (gain(j) + Set(1.15f));
    }
    if (p.driveGliding) makeup = Set(1.f / std::sqrt(p.drive[j]));
    const F4 before = p.accumulate ? at(p.wet, j) : Zero();
    StoreAligned(p.wet + j * 4, before + Sanitise(v, kSampleLimit) * Set(p.weight[j]) * makeup);
  }
  s[0] = env;
  s[1] = s1;
  s[2] = s2;
  s[3] = s3;
  s[4] = s4;
}

RampView Shifted(RampView v, int by)
{
  return v.mask ? RampView{v.p + by, v.mask} : v;
}

void RunModelPassesAny(int model, const ModelPass& p)
{
  switch (model)
  {
  case kModelTube:
    RunModelPasses<kModelTube>(p);
    break;
  case kModelTransformer:
    RunFeedbackFused<kModelTransformer>(p);
    break;
  case kModelTape:
    RunFeedbackFused<kModelTape>(p);
    break;
  case kModelGermanium:
    RunModelPasses<kModelGermanium>(p);
    break;
  case kModelSilicon:
    RunModelPasses<kModelSilicon>(p);
    break;
  default:
    RunModelPasses<kModelDiode>(p);
    break;
  }
}

// The models by run-time index, for chunks where more than one may run.
F4 ShapeAny(int model, F4 x, F4* s, F4 k, const BiasTerms& bt, const LaneCoefficients& co,
            const ShaperTables& tables)
{
  switch (model)
  {
  case kModelTube:
    return ShapeLanes<kModelTube>(x, s, k, bt, co, tables);
  case kModelTransformer:
    return ShapeLanes<kModelTransformer>(x, s, k, bt, co, tables);
  case kModelTape:
    return ShapeLanes<kModelTape>(x, s, k, bt, co, tables);
  case kModelGermanium:
    return ShapeLanes<kModelGermanium>(x, s, k, bt, co, tables);
  case kModelSilicon:
    return ShapeLanes<kModelSilicon>(x, s, k, bt, co, tables);
  default:
    return ShapeLanes<kModelDiode>(x, s, k, bt, co, tables);
  }
}
} // namespace

QuorvelEngine::QuorvelEngine() : mTables(GetShaperTables()) {}

QuorvelEngine::ChannelState QuorvelEngine::GetChannelState(int c) const
{
  ChannelState s;
  s.toneLow = mLanes.toneLow[c];
  s.bassLow = mLanes.bassLow[c];
  s.lowCut = mLanes.lowCut[c];
  s.highCut = mLanes.highCut[c];
  s.dcIn = mLanes.dcIn[c];
  s.dcOut = mLanes.dcOut[c];
  for (int m = 0; m < kModelCount; ++m)
    for (int i = 0; i < 6; ++i)
      s.models[m].s[i] = mLanes.models[m][i][c];
  return s;
}

void QuorvelEngine::Prepare(double sampleRate, int channels)
{
  mFs = sampleRate;
  mFsOs = 4.0 * sampleRate;
  mChannels = channels < 2 ? 1 : 2;

  for (auto& f : mHalfBand)
    f.Reset();
  std::memset(mDryLine, 0, sizeof mDryLine);
  std::memset(mOsLanes, 0, sizeof mOsLanes);
  mLanes = LaneState{};

  mDryPower = mWetPower = 0.f;
  mMatchGain = 1.f;
  mInputHold = mOutputHold = mActivityHold = 0.f;

  const int osLength = static_cast<int>(std::floor(0.02 * mFsOs));
  const int baseLength = static_cast<int>(std::floor(0.02 * mFs));
  const int modelLength = static_cast<int>(std::floor(0.04 * mFsOs));
  for (int i = 0; i < kNumRamps; ++i)
    mRamps[i].Reset(i < kRampMix ? osLength : (i < kRampWeight0 ? baseLength : modelLength));

  mToneSplit = OnePoleCoefficient(900.0, mFsOs);
  mBassSplit = OnePoleCoefficient(120.0, mFsOs);
  mDcBlock = OnePoleCoefficient(8.0, mFsOs);
  mModelCoeffs.c20 = OnePoleCoefficient(20.0, mFsOs);
  mModelCoeffs.attack = static_cast<float>(std::exp(-1.0 / (0.003 * mFsOs)));
  mModelCoeffs.release = static_cast<float>(std::exp(-1.0 / (0.12 * mFsOs)));
  mModelCoeffs.c15000 = OnePoleCoefficient(15000.0, mFsOs);
  mModelCoeffs.c12500 = OnePoleCoefficient(12500.0, mFsOs);
  mModelCoeffs.c35 = OnePoleCoefficient(35.0, mFsOs);
  mModelCoeffs.c3000 = OnePoleCoefficient(3000.0, mFsOs);
  mPowerSmoothing = static_cast<float>(std::exp(-1.0 / (0.25 * mFs)));
  mGainSmoothing = static_cast<float>(std::exp(-1.0 / (0.15 * mFs)));

  UpdateTargets(true, false);
  mReady.store(true, std::memory_order_relaxed);
}

void QuorvelEngine::UpdateTargets(bool immediate, bool forceBypass)
{
  auto give = [&](int ramp, float v)
  {
    if (immediate)
      mRamps[ramp].Jump(v);
    else
      mRamps[ramp].SetTarget(v);
  };
  auto value = [&](int param) { return FiniteOrZero(mParams[param]); };
  auto cutoff = [&](float hz)
  { return static_cast<float>(std::exp(static_cast<double>(hz) * -kTwoPi / mFsOs)); };

  give(kRampDrive, DbToGain(Clamp(value(EngineParams::kDrive), 0.f, 36.f)));
  give(kRampInput, DbToGain(Clamp(value(EngineParams::kInputTrim), -24.f, 24.f)));
  const float tilt = Clamp(value(EngineParams::kTone) / 100.f, -1.f, 1.f);
  give(kRampToneLow, std::pow(10.f, -0.3f * tilt));
  give(kRampToneHigh, std::pow(10.f, 0.3f * tilt));
  give(kRampBias, Clamp(value(EngineParams::kBias) / 100.f, -1.f, 1.f));
  give(kRampDynamics, Clamp(value(EngineParams::kDynamics) / 100.f, 0.f, 1.f));
  give(kRampBass, Clamp(value(EngineParams::kBassProtect) / 100.f, 0.f, 1.f));
  give(kRampLowCut, cutoff(Clamp(value(EngineParams::kLowCut), 20.f, 300.f)));
  give(kRampHighCut, cutoff(Clamp(value(EngineParams::kHighCut), 2000.f, 20000.f)));
  give(kRampMix, Clamp(value(EngineParams::kWetMix) / 100.f, 0.f, 1.f));
  give(kRampOutput, DbToGain(Clamp(value(EngineParams::kOutputTrim), -24.f, 12.f)));
  give(kRampAutoGain, Switch(mParams[EngineParams::kAutoGain]));
  give(kRampCeiling, Switch(mParams[EngineParams::kSoftCeiling]));
  give(kRampBypass, forceBypass ? 1.f : Switch(mParams[EngineParams::kBypass]));
  const int model = static_cast<int>(std::floor(Clamp(value(EngineParams::kModel), 0.f, 5.f) + 0.5f));
  for (int m = 0; m < kModelCount; ++m)
    give(kRampWeight0 + m, m == model ? 1.f : 0.f);
}

void QuorvelEngine::Process(const float* const* inputs, float* const* outputs, int n, bool forceBypass)
{
  ScopedFlushDenormals flush;
  if (n < 0 || !outputs) return;
  if (!IsReady())
  {
    for (int c = 0; c < mChannels; ++c)
      if (outputs[c] && n > 0) std::fill(outputs[c], outputs[c] + n, 0.f);
    return;
  }

  UpdateTargets(false, forceBypass);
  MeterLevels peaks;
  for (int offset = 0; offset < n; offset += kMaxBlock)
    ProcessChunk(inputs, outputs, offset, std::min(kMaxBlock, n - offset), peaks);

  const float decay = static_cast<float>(std::exp(-static_cast<double>(n) / (kMeterRelease * mFs)));
  mInputHold = std::max(decay * mInputHold, peaks.inputPeak);
  mOutputHold = std::max(decay * mOutputHold, peaks.outputPeak);
  mActivityHold = std::max(decay * mActivityHold, peaks.activity);
}

void QuorvelEngine::ProcessChunk(const float* const* inputs, float* const* outputs, int offset, int count,
                                 MeterLevels& peaks)
{
  const int nc = mChannels;

  // Input, dry delay and upsampling; the four phases are gathered into lanes, one channel each.
  for (int c = 0; c < nc; ++c)
  {
    const float* in = inputs ? inputs[c] : nullptr;
    float* x = mDryLine[c] + kLatency;
    float peak = peaks.inputPeak;
    for (int i = 0; i < count; ++i)
    {
      const float v = in ? ClampSample(in[offset + i]) : 0.f;
      peak = std::max(peak, std::fabs(v));
      x[i] = v;
    }
    peaks.inputPeak = peak;
    mHalfBand[c].Upsample(x, count, mPhase[0], mPhase[1], mPhase[2], mPhase[3]);
    for (int i = 0; i < count; ++i)
      for (int k = 0; k < kOversampling; ++k)
        mOsLanes[(kOversampling * i + k) * kLanes + c] = mPhase[k][i];
  }

  peaks.activity = std::max(peaks.activity, ProcessOversampled(count));

  for (int c = 0; c < nc; ++c)
  {
    for (int i = 0; i < count; ++i)
      for (int k = 0; k < kOversampling; ++k)
        mPhase[k][i] = mOsLanes[(kOversampling * i + k) * kLanes + c];
    mHalfBand[c].Downsample(mPhase[0], mPhase[1], mPhase[2], mPhase[3], count, mWet[c]);
  }

  ProcessBaseRate(outputs, offset, count, peaks);

  for (int c = 0; c < nc; ++c)
    std::memmove(mDryLine[c], mDryLine[c] + count, sizeof(float) * kLatency);
}

float QuorvelEngine::ProcessOversampled(int count)
{
  // In steady state one model runs at full weight: that loop is compiled per model with its state
  // in registers. Cross-fades and any chunk with a model fading take the general loop.
  int single = -1;
  int running = 0;
  for (int m = 0; m < kModelCount; ++m)
  {
    const ParamRamp& w = mRamps[kRampWeight0 + m];
    if (!w.IsIdle() || w.current > kModelWeightThreshold)
    {
      ++running;
      single = w.IsIdle() ? m : -2;
    }
  }
  if (running != 1) single = -1;
  switch (single)
  {
  case kModelTube:
    return RunOversampled<kModelTube>(count);
  case kModelTransformer:
    return RunOversampled<kModelTransformer>(count);
  case kModelTape:
    return RunOversampled<kModelTape>(count);
  case kModelGermanium:
    return RunOversampled<kModelGermanium>(count);
  case kModelSilicon:
    return RunOversampled<kModelSilicon>(count);
  case kModelDiode:
    return RunOversampled<kModelDiode>(count);
  default:
    return RunOversampled<-1>(count);
  }
}

template <int Single> float QuorvelEngine::RunOversampled(int count)
{
  const int total = kOversampling * count;

  // Gliding ramps are unrolled into per-sample arrays once; resting ones read as constants. The
  // path then runs in three passes over the chunk (before, inside and after the models) so that
  // each pass has short dependency chains and the processor can overlap many samples.
  static constexpr int kOsRamps[] = {kRampDrive,       kRampInput,       kRampToneLow,     kRampToneHigh,
                                     kRampBias,        kRampDynamics,    kRampBass,        kRampLowCut,
                                     kRampHighCut,     kRampWeight0,     kRampWeight0 + 1, kRampWeight0 + 2,
                                     kRampWeight0 + 3, kRampWeight0 + 4, kRampWeight0 + 5};
  RampView ramp[kNumRamps] = {};
  float resting[kNumRamps];
  for (int slot = 0; slot < 15; ++slot)
  {
    const int r = kOsRamps[slot];
    ParamRamp& rp = mRamps[r];
    if (rp.IsIdle())
    {
      resting[r] = rp.current;
      ramp[r] = {&resting[r], 0};
    }
    else
    {
      float* buf = mRampValues[slot];
      for (int j = 0; j < total; ++j)
        buf[j] = rp.Advance();
      ramp[r] = {buf, ~0};
    }
  }
  const bool driveGliding = ramp[kRampDrive].mask != 0;
  const bool biasGliding = ramp[kRampBias].mask != 0;

  // Before the models: input gain, tone tilt, bass split, drive.
  {
    const F4 c900 = Set(mToneSplit), m900 = Set(1.f - mToneSplit);
    const F4 c120 = Set(mBassSplit), m120 = Set(1.f - mBassSplit);
    F4 toneLow = LoadAligned(mLanes.toneLow);
    F4 bassLow = LoadAligned(mLanes.bassLow);
    for (int j = 0; j < total; ++j)
    {
      const F4 x = LoadAligned(mOsLanes + j * kLanes) * Set(ramp[kRampInput][j]);
      const F4 lt = OnePole(m900, c900, x, toneLow);
      const F4 y = (x - lt) * Set(ramp[kRampToneHigh][j]) + Set(ramp[kRampToneLow][j]) * lt;
      const F4 lb = OnePole(m120, c120, y, bassLow);
      const F4 d = Max(Min((y - Set(ramp[kRampBass][j]) * lb) * Set(ramp[kRampDrive][j]), Set(kDriveLimit)),
                       Set(-kDriveLimit));
      StoreAligned(mDryOs + j * kLanes, y);
      StoreAligned(mBassOs + j * kLanes, lb);
      StoreAligned(mDriven + j * kLanes, d);
    }
    StoreAligned(mLanes.toneLow, toneLow);
    StoreAligned(mLanes.bassLow, bassLow);
  }

  // The models, mixed by weight.
  {
    BiasTerms bias = MakeBiasTerms(ramp[kRampBias][0], mTables);
    const LaneCoefficients co = MakeLaneCoefficients(mModelCoeffs);
    float makeup = 1.f / std::sqrt(ramp[kRampDrive][0]);
    if constexpr (Single >= 0)
    {
      F4 s[6];
      for (int q = 0; q < 6; ++q)
        s[q] = LoadAligned(mLanes.models[Single][q]);
      const F4 w = Set(ramp[kRampWeight0 + Single][0]);
      // With the bias at rest its terms come out of the loops: the feedback models run fused with
      // their loop shortened, the others in passes. A gliding bias runs every model fused.
      constexpr bool kFeedback = Single == kModelTransformer || Single == kModelTape;
      if (!biasGliding)
      {
        const ModelPass pass{total,
                             mDriven,
                             mWetOs,
                             mScratchH,
                             mScratchEnv,
                             mScratch1,
                             mScratch2,
                             ramp[kRampDynamics],
                             ramp[kRampDrive],
                             driveGliding,
                             ramp[kRampWeight0 + Single],
                             false,
                             bias,
                             co,
                             mTables,
                             s};
        if constexpr (kFeedback)
          RunFeedbackFused<Single>(pass);
        else
          RunModelPasses<Single>(pass);
      }
      else
        for (int j = 0; j < total; ++j)
        {
          if (driveGliding) makeup = 1.f / std::sqrt(ramp[kRampDrive][j]);
          if (biasGliding) bias = MakeBiasTerms(ramp[kRampBias][j], mTables);
          const F4 k = Set(ramp[kRampDynamics][j]);
          const F4 v = ShapeLanes<Single>(LoadAligned(mDriven + j * kLanes), s, k, bias, co, mTables);
          StoreAligned(mWetOs + j * kLanes, Zero() + v * w * Set(makeup));
        }
      for (int q = 0; q < 6; ++q)
        StoreAligned(mLanes.models[Single][q], s[q]);
      for (int m = 0; m < kModelCount; ++m)
        if (m != Single) std::memset(mLanes.models[m], 0, sizeof mLanes.models[m]);
    }
    else
    {
      // A cross-fade: each running model is on over one contiguous stretch of the chunk (its
      // weight ramp is monotone), so it can run in passes there and rest elsewhere.
      int lo[kModelCount], hi[kModelCount];
      bool ranged = !biasGliding;
      int feedbackModels = 0;
      for (int m = 0; m < kModelCount && ranged; ++m)
      {
        const RampView w = ramp[kRampWeight0 + m];
        lo[m] = total;
        hi[m] = 0;
        for (int j = 0; j < total; ++j)
          if (w[j] > kModelWeightThreshold)
          {
            lo[m] = std::min(lo[m], j);
            hi[m] = j + 1;
          }
        for (int j = lo[m]; j < hi[m] && ranged; ++j)
          ranged = w[j] > kModelWeightThreshold;
        if (lo[m] < hi[m] && (m == kModelTransformer || m == kModelTape)) ++feedbackModels;
      }
      // Two feedback models fade better fused: their two loops then overlap instead of queueing.
      ranged = ranged && feedbackModels < 2;
      if (ranged)
      {
        std::memset(mWetOs, 0, sizeof(float) * kLanes * static_cast<std::size_t>(total));
        for (int m = 0; m < kModelCount; ++m)
        {
          F4 s[6];
          for (int q = 0; q < 6; ++q)
            s[q] = lo[m] > 0 ? Zero() : LoadAligned(mLanes.models[m][q]); // fades in from rest
          if (lo[m] < hi[m])
          {
            const int at = lo[m] * kLanes;
            const ModelPass pass{hi[m] - lo[m],
                                 mDriven + at,
                                 mWetOs + at,
                                 mScratchH + at,
                                 mScratchEnv + at,
                                 mScratch1 + at,
                                 mScratch2 + at,
                                 Shifted(ramp[kRampDynamics], lo[m]),
                                 Shifted(ramp[kRampDrive], lo[m]),
                                 driveGliding,
                                 Shifted(ramp[kRampWeight0 + m], lo[m]),
                                 true,
                                 bias,
                                 co,
                                 mTables,
                                 s};
            RunModelPassesAny(m, pass);
          }
          for (int q = 0; q < 6; ++q)
            StoreAligned(mLanes.models[m][q], hi[m] < total ? Zero() : s[q]); // faded out: rests
        }
      }
      else
      {
        int models[kModelCount];
        int numModels = 0;
        for (int m = 0; m < kModelCount; ++m)
        {
          const ParamRamp& w = mRamps[kRampWeight0 + m];
          if (ramp[kRampWeight0 + m].mask != 0 || w.current > kModelWeightThreshold)
            models[numModels++] = m;
          else
            std::memset(mLanes.models[m], 0, sizeof mLanes.models[m]); // off: its state rests
        }
        for (int j = 0; j < total; ++j)
        {
          if (driveGliding) makeup = 1.f / std::sqrt(ramp[kRampDrive][j]);
          if (biasGliding) bias = MakeBiasTerms(ramp[kRampBias][j], mTables);
          const F4 k = Set(ramp[kRampDynamics][j]);
          const F4 d = LoadAligned(mDriven + j * kLanes);
          F4 acc = Zero();
          for (int i = 0; i < numModels; ++i)
          {
            const int m = models[i];
            const float w = ramp[kRampWeight0 + m][j];
            float(*state)[kLanes] = mLanes.models[m];
            if (w > kModelWeightThreshold)
            {
              F4 s[6];
              for (int q = 0; q < 6; ++q)
                s[q] = LoadAligned(state[q]);
              acc = acc + ShapeAny(m, d, s, k, bias, co, mTables) * Set(w) * Set(makeup);
              for (int q = 0; q < 6; ++q)
                StoreAligned(state[q], s[q]);
            }
            else
            {
              std::memset(state, 0, sizeof(float) * 6 * kLanes); // fades in again from rest
            }
          }
          StoreAligned(mWetOs + j * kLanes, acc);
        }
      }
    }
  }

  // After the models: protected bass, activity, wet low and high cut, DC blocker.
  F4 activity = Zero();
  {
    const F4 c8 = Set(mDcBlock);
    F4 lowCut = LoadAligned(mLanes.lowCut);
    F4 highCut = LoadAligned(mLanes.highCut);
    F4 dcIn = LoadAligned(mLanes.dcIn);
    F4 dcOut = LoadAligned(mLanes.dcOut);
    for (int j = 0; j < total; ++j)
    {
      const F4 acc =
          LoadAligned(mWetOs + j * kLanes) + Set(ramp[kRampBass][j]) * LoadAligned(mBassOs + j * kLanes);
      activity =
          Max(activity,
              Max(Min(Set(kActivityScale) * Abs(acc - LoadAligned(mDryOs + j * kLanes)), Set(1.f)), Zero()));
      const float lc = ramp[kRampLowCut][j];
      const float hc = ramp[kRampHighCut][j];
      const F4 low = OnePole(Set(1.f - lc), Set(lc), acc, lowCut);
      const F4 high = OnePole(Set(1.f - hc), Set(hc), acc - low, highCut);
      const F4 o = high - dcIn + c8 * dcOut;
      dcIn = high;
      dcOut = o;
      StoreAligned(mOsLanes + j * kLanes, Sanitise(o, kSampleLimit));
    }
    StoreAligned(mLanes.lowCut, lowCut);
    StoreAligned(mLanes.highCut, highCut);
    StoreAligned(mLanes.dcIn, dcIn);
    StoreAligned(mLanes.dcOut, dcOut);
  }

  // Lanes beyond the channel count carry scratch values of the paired tanh calls: not audio.
  float peak = Lane(activity, 0);
  if (mChannels > 1) peak = std::max(peak, Lane(activity, 1));
  return peak;
}

// One frame of the level follower: the smoothed dry and wet powers and the gain that matches them.
float QuorvelEngine::FollowLevels(int i, float invChannels, float m1, float m2)
{
  float pd = 0.f;
  float pw = 0.f;
  for (int c = 0; c < mChannels; ++c)
  {
    pd += mDryLine[c][i] * mDryLine[c][i];
    pw += mWet[c][i] * mWet[c][i];
  }
  mDryPower = (1.f - m1) * (pd * invChannels) + m1 * mDryPower;
  mWetPower = (1.f - m1) * (pw * invChannels) + m1 * mWetPower;
  float target = 1.f;
  if (mDryPower > kDryPowerFloor && mWetPower > kWetPowerFloor)
    target = Clamp(std::sqrt(mDryPower / mWetPower), kMatchMin, kMatchMax);
  mMatchGain = (1.f - m2) * target + m2 * mMatchGain;
  return mMatchGain;
}

void QuorvelEngine::ProcessBaseRate(float* const* outputs, int offset, int count, MeterLevels& peaks)
{
  const int nc = mChannels;
  const float m1 = mPowerSmoothing;
  const float m2 = mGainSmoothing;
  const float invChannels = 1.f / static_cast<float>(nc); // 1 or 0.5: exact
  float outPeak = peaks.outputPeak;

  // With every base-rate ramp at rest, the level matching runs first (it is the only recursion)
  // and the mix, ceiling and bypass then take four frames per instruction.
  bool resting = true;
  for (int r = kRampMix; r <= kRampBypass; ++r)
    resting = resting && mRamps[r].IsIdle();
  if (resting)
  {
    for (int i = 0; i < count; ++i)
    {
      mMatch[i] = FollowLevels(i, invChannels, m1, m2);
    }
    const F4 one = Set(1.f);
    const F4 autoGain = Set(mRamps[kRampAutoGain].current);
    const F4 mix = Set(mRamps[kRampMix].current);
    const F4 outGain = Set(mRamps[kRampOutput].current);
    const F4 ceiling = Set(mRamps[kRampCeiling].current);
    const F4 bypass = Set(mRamps[kRampBypass].current);
    const int count4 = count & ~3;
    for (int c = 0; c < nc; ++c)
    {
      float* dst = outputs[c] ? outputs[c] + offset : nullptr;
      F4 peak = Zero();
      for (int i = 0; i < count4; i += 4)
      {
        const F4 dry = Load(mDryLine[c] + i);
        const F4 match = one + (Load(mMatch + i) - one) * autoGain;
        const F4 v = (match * Load(mWet[c] + i) * mix + (one - mix) * dry) * outGain;
        F4 bent = v;
        if (AnyGreater(Abs(v), Set(kCeilingThreshold)))
        {
          alignas(16) float lanes[4];
          StoreAligned(lanes, v);
          for (float& l : lanes)
            l = SoftCeiling(l);
          bent = LoadAligned(lanes);
        }
        const F4 limited = v * (one - ceiling) + bent * ceiling;
        const F4 out = Sanitise(limited * (one - bypass) + bypass * dry, kSampleLimit);
        if (dst) Store(dst + i, out);
        peak = Max(peak, Abs(out));
      }
      for (int l = 0; l < 4; ++l)
        outPeak = std::max(outPeak, Lane(peak, l));
      for (int i = count4; i < count; ++i)
      {
        const float dry = mDryLine[c][i];
        const float match = 1.f + (mMatch[i] - 1.f) * Lane(autoGain, 0);
        const float m = Lane(mix, 0);
        float v = (match * mWet[c][i] * m + (1.f - m) * dry) * Lane(outGain, 0);
        v = v * (1.f - Lane(ceiling, 0)) + SoftCeiling(v) * Lane(ceiling, 0);
        const float out = ClampSample(v * (1.f - Lane(bypass, 0)) + Lane(bypass, 0) * dry);
        if (dst) dst[i] = out;
        outPeak = std::max(outPeak, std::fabs(out));
      }
    }
    peaks.outputPeak = outPeak;
    return;
  }

  for (int i = 0; i < count; ++i)
  {
    FollowLevels(i, invChannels, m1, m2);

    const float autoGain = mRamps[kRampAutoGain].Advance();
    const float mix = mRamps[kRampMix].Advance();
    const float outGain = mRamps[kRampOutput].Advance();
    const float ceiling = mRamps[kRampCeiling].Advance();
    const float bypass = mRamps[kRampBypass].Advance();
    const float match = 1.f + (mMatchGain - 1.f) * autoGain;

    for (int c = 0; c < nc; ++c)
    {
      const float dry = mDryLine[c][i];
      float v = (match * mWet[c][i] * mix + (1.f - mix) * dry) * outGain;
      // Blended so that each end of the ramp is exact: fully on gives the ceiling's own value, never
      // a rounding step above its limit.
      v = v * (1.f - ceiling) + SoftCeiling(v) * ceiling;
      const float out = ClampSample(v * (1.f - bypass) + bypass * dry);
      if (float* dst = outputs[c]) dst[offset + i] = out;
      outPeak = std::max(outPeak, std::fabs(out));
    }
  }
  peaks.outputPeak = outPeak;
}

} // namespace quorvel
