#pragma once

// A memory stream as hosts hand it to getState/setState, with the awkward habits
// real hosts have: reads delivered in short chunks, a stream that ends early,
// writes accepted piecemeal or refused, odd result codes.

#include "tests/support/vst3/HostObject.h"

#include "pluginterfaces/base/ibstream.h"

#include <cstdint>
#include <vector>

namespace quorvel::test
{

class HostStream : public HostObject<Steinberg::IBStream>
{
public:
  HostStream() = default;
  explicit HostStream(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                     Steinberg::int32* numBytesRead) override;
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) override;
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode,
                                     Steinberg::int64* result) override;
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;

  std::vector<uint8_t> data;
  int64_t position = 0;

  // At most this many bytes per read or write call (0: no limit).
  int32_t readChunk = 0;
  int32_t writeChunk = 0;
  // Planned write counts, one per call, used before writeChunk (e.g. {100, 32} or {0}).
  std::vector<int32_t> writePlan;
  // Result of every read call that delivers bytes, and of the one that finds the end.
  Steinberg::tresult readResult = Steinberg::kResultOk;
  Steinberg::tresult endResult = Steinberg::kResultOk;
  // From this read call on (counting from 0) reads still deliver bytes but answer kInternalError.
  int failingReadsFrom = -1;
  Steinberg::tresult seekResult = Steinberg::kResultOk;
  // Writes fail outright with this result when not kResultOk.
  Steinberg::tresult writeResult = Steinberg::kResultOk;

  int readCalls = 0;
  int writeCalls = 0;
};

} // namespace quorvel::test
