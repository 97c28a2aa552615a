#pragma once

namespace quorvel
{

constexpr int kEngineMaxBlock = 512; // frames per internal chunk
constexpr int kEngineLatency = 61;   // frames, base rate

} // namespace quorvel
