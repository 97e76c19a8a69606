// Compressed work files come from users and the online gallery: converting any
// bytes must fail cleanly or give a container that reads back.
#include <cstdint>
#include <cstdlib>

#include "picture/WorkFile.h"
#include "platform/CompoundFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto container = ConvertWorkFile({data, size});
  if (!container) return 0;
  auto opened = TCompoundFileReader::FromMemory(std::move(*container));
  if (!opened || !(*opened)->HasStream("ListFile.txt")) std::abort();
  const auto& reader = *opened;
  for (const auto& line : SplitWorkHeader(*reader->ReadStream("ListFile.txt"))) ParseLayerRecordLine(line);
  return 0;
}
