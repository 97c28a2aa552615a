#include "tests/support/vst3/HostStream.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;

namespace quorvel::test
{

tresult PLUGIN_API HostStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
  const int call = readCalls++;
  if (numBytesRead) *numBytesRead = 0;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  int64_t available = static_cast<int64_t>(data.size()) - position;
  if (available <= 0) return endResult;
  int64_t count = std::min<int64_t>(numBytes, available);
  if (readChunk > 0) count = std::min<int64_t>(count, readChunk);
  std::memcpy(buffer, data.data() + position, static_cast<size_t>(count));
  position += count;
  if (numBytesRead) *numBytesRead = static_cast<int32>(count);
  return failingReadsFrom >= 0 && call >= failingReadsFrom ? kInternalError : readResult;
}

tresult PLUGIN_API HostStream::write(void* buffer, int32 numBytes, int32* numBytesWritten)
{
  const size_t call = static_cast<size_t>(writeCalls++);
  if (numBytesWritten) *numBytesWritten = 0;
  if (writeResult != kResultOk) return writeResult;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  int32 count = numBytes;
  if (call < writePlan.size())
    count = std::min(count, writePlan[call]);
  else if (writeChunk > 0)
    count = std::min(count, writeChunk);
  if (count > 0)
  {
    if (data.size() < static_cast<size_t>(position + count))
      data.resize(static_cast<size_t>(position + count));
    std::memcpy(data.data() + position, buffer, static_cast<size_t>(count));
    position += count;
  }
  if (numBytesWritten) *numBytesWritten = count;
  return kResultOk;
}

tresult PLUGIN_API HostStream::seek(int64 pos, int32 mode, int64* result)
{
  if (seekResult != kResultOk) return seekResult;
  int64_t base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? position : static_cast<int64_t>(data.size());
  if (mode < kIBSeekSet || mode > kIBSeekEnd || base + pos < 0) return kInvalidArgument;
  position = base + pos;
  if (result) *result = position;
  return kResultOk;
}

tresult PLUGIN_API HostStream::tell(int64* pos)
{
  if (!pos) return kInvalidArgument;
  *pos = position;
  return kResultOk;
}

} // namespace quorvel::test
