// libFuzzer entry: any bytes, any face, through the reader and a blob, under the address and
// undefined-behaviour sanitizers. Built with clang beside the gcc trees (see CMakeLists.txt).

#include "framework/graphics/FontBlob.h"
#include "framework/graphics/FontTableReader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 1 || size > (1u << 20)) return 0;
  const int32_t face = data[0] % 4;
  const auto n = static_cast<int32_t>(size - 1);
  const iplug::igraphics::FontTableReader reader(data + 1, n, face);
  if (reader.HasRequiredTables())
  {
    // The names must be UTF-8 text ending where their length says.
    const char* family = reader.GetFamilyName().Get();
    if (std::strlen(family) != static_cast<size_t>(reader.GetFamilyName().GetLength())) __builtin_trap();
  }
  iplug::igraphics::FontTableReader::CountFontFaces(data + 1, n);
  iplug::igraphics::FontBlob blob;
  blob.AssignBytes(data + 1, n, face);
  const iplug::igraphics::FontBlob copy(blob);
  copy.GetReader().ReadFontName(2);
  return 0;
}
