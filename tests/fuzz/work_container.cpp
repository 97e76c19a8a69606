// Uncompressed work containers come from users and the online gallery: any bytes
// must be read, listed and parsed without harm.
#include <cstdint>
#include <vector>

#include "picture/Bmp32.h"
#include "picture/WorkFile.h"
#include "platform/CompoundFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto opened = TCompoundFileReader::FromMemory(std::vector<std::uint8_t>(data, data + size));
  if (!opened) return 0;
  const auto& reader = *opened;
  for (const auto& name : reader->StreamNames()) {
    auto stream = reader->ReadStream(name, 1 << 24);
    if (!stream) continue;
    if (name == "ListFile.txt")
      for (const auto& line : SplitWorkHeader(*stream)) ParseLayerRecordLine(line);
    else
      DecodeBmp32(*stream);
  }
  return 0;
}
