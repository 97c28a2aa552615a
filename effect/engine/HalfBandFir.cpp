#include "effect/engine/HalfBandFir.h"

namespace quorvel
{

namespace
{
constexpr float kU1Half[] = {
    -1.44136429e-05f, 2.56071653e-05f, -4.75897468e-05f, 8.1180362e-05f,  -0.000130350774f, 0.000199900125f,
    -0.000295527861f, 0.000423903402f, -0.000592734839f, 0.000810843427f, -0.0010882538f,   0.00143631513f,
    -0.00186787825f,  0.00239756447f,  -0.00304217986f,  0.00382135832f,  -0.00475856382f,  0.00588266179f,
    -0.00723040663f,  0.00885046832f,  -0.0108101126f,   0.0132067157f,   -0.0161885954f,   0.0199951734f,
    -0.0250410084f,   0.0321118683f,   -0.0428969041f,   0.0617977567f,   -0.104973629f,    0.317925066f};
constexpr float kU2Half[] = {9.49577006e-05f, -0.000306506961f, 0.000764389348f, -0.00161964225f,
                             0.00307889702f,  -0.00541209802f,  0.00897830352f,  -0.0142925894f,
                             0.0222049579f,   -0.0344183631f,   0.0552896447f,   -0.100874059f,
                             0.316512108f};
constexpr float kD1Half[] = {0.000421459379f, -0.00144656817f, 0.00369779812f, -0.0079422025f, 0.0153112393f,
                             -0.0277348291f,  0.0496726185f,   -0.0971128643f, 0.315133333f};
constexpr float kD2Half[] = {-0.000103024773f, 0.000185793877f, -0.000345915789f, 0.000588640338f,
                             -0.00094019057f,  0.00143147656f,  -0.00209866604f,  0.00298417709f,
                             -0.00413847296f,  0.00562330987f,  -0.0075176158f,   0.00992821995f,
                             -0.0130099896f,   0.0170054175f,   -0.0223282557f,   0.0297594052f,
                             -0.0409790613f,   0.0603758991f,   -0.104091369f,    0.317587584f};
} // namespace

constinit const HalfBandTable<119> kHalfBandU1 = MakeHalfBand<119>(kU1Half);
constinit const HalfBandTable<51> kHalfBandU2 = MakeHalfBand<51>(kU2Half);
constinit const HalfBandTable<35> kHalfBandD1 = MakeHalfBand<35>(kD1Half);
constinit const HalfBandTable<79> kHalfBandD2 = MakeHalfBand<79>(kD2Half);

void HalfBandFir::Reset()
{
  for (float& s : history)
    s = 0.f;
  index = 0;
}

} // namespace quorvel
