#pragma once
// A work file read whole, checked and its layer pictures decoded before the desk
// is touched: a failure of any kind, memory included, leaves the desk's work as it
// was. The pictures of a compressed work are decoded straight from their packed
// streams and the masks straight into their maps, layers in parallel on the task
// pool.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "picture/Bitmap32.h"
#include "picture/LayerStorage.h"
#include "platform/ByteSource.h"
#include "platform/FileResult.h"

class TLoadedWork : public ILayerStorage {
 public:
  // The work of a compressed file (`compressed`) or of a container, the bytes of
  // `file`. Empty or Damaged (with the reader's finding) when it is not a readable
  // work; TooLarge when it lists more than kMaxWorkLayers layers or its layer
  // pictures hold more than kMaxWorkPixels together (known from their heads,
  // before anything is decoded); CannotRead (ENOMEM) without the memory to decode
  // them. A picture that is missing or does not decode is left out, and
  // PictureProblem says why.
  static TFileResult<std::unique_ptr<TLoadedWork>> Read(std::vector<std::uint8_t> bytes, bool compressed,
                                                        const fs::path& file = {});
  // The same from a file: a container is read where it lies, never whole; a file
  // that cannot be opened or read is CannotRead.
  static TFileResult<std::unique_ptr<TLoadedWork>> ReadFile(const fs::path& file, bool compressed);

  // Every header line, in file order.
  const std::vector<std::string>& Lines() const { return lines_; }
  // Why the picture of layer `id` cannot be had ("layer <id>: " and the cause, in
  // words for a user); empty when it can.
  std::string PictureProblem(std::string_view id) const;

  // A mask stream ("<id>.msk") or, for a container, any stream.
  std::optional<std::vector<std::uint8_t>> ReadStream(std::string_view name) override;
  // The decoded picture of layer `id`, handed over once.
  std::optional<TBitmap32> TakePicture(std::string_view id) override;
  // The decoded mask of layer `id`, after its picture was taken; a layer listed
  // again later gets the same maps, shared.
  std::optional<TMaskStreamContent> TakeMask(std::string_view id) override;

 private:
  static TFileResult<std::unique_ptr<TLoadedWork>> Read(std::vector<std::uint8_t> bytes,
                                                        std::unique_ptr<TByteSource> source, bool compressed,
                                                        const fs::path& file);

  std::vector<std::string> lines_;
  std::map<std::string, std::vector<std::uint8_t>, std::less<>> streams_;  // upper-case name -> bytes
  std::map<std::string, TBitmap32, std::less<>> pictures_;                 // upper-case id -> picture
  std::map<std::string, TMaskStreamContent, std::less<>> masks_;           // upper-case id -> mask
  std::map<std::string, int, std::less<>> uses_;                           // container lines per id
  std::map<std::string, std::string, std::less<>> problems_;               // upper-case id -> why no picture
};
