#pragma once
// The streams of a work being loaded (the uncompressed work container). The layer
// reads its picture ("<id>.bmp") and its mask ("<id>.msk") through this; the work
// file code implements it over the container, tests over memory.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "picture/Bitmap32.h"
#include "picture/Mask.h"

class ILayerStorage {
 public:
  virtual ~ILayerStorage() = default;
  // The whole stream of that name, found ignoring case; nullopt when there is no
  // such stream or it cannot be read.
  virtual std::optional<std::vector<std::uint8_t>> ReadStream(std::string_view name) = 0;
  // The picture of layer `id` when the storage holds it decoded already (handed
  // over, not copied); nullopt sends the layer to its "<id>.bmp" stream.
  virtual std::optional<TBitmap32> TakePicture(std::string_view) { return std::nullopt; }
  // Likewise the mask of layer `id`, decoded for its picture; nullopt sends the
  // layer to its "<id>.msk" stream.
  virtual std::optional<TMaskStreamContent> TakeMask(std::string_view) { return std::nullopt; }
};
