#pragma once

namespace quorvel
{

constexpr int kEngineMaxBlock = 512;   // frames per internal chunk
constexpr int kEngineLatency = 61;     // frames, base rate
constexpr int kEngineOversampling = 4; // the shaping stages run at this multiple of the base rate

} // namespace quorvel
