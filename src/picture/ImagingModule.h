#pragma once
// The imaging library (GraphicsMagick and its codecs) behind the picture class:
// the module "imaging" (see platform/Module.h), loaded with the first picture
// that is not a Photoshop file.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/FileIO.h"
#include "platform/FileResult.h"

// How a read that did not fail ended.
enum class TPictureRead {
  kRead,     // every row written
  kStopped,  // `accept` or `target` said no
};

// A picture the module's readers cannot read: Damaged, with what they found.
// The path is the caller's to fill in; made in place, since the module links
// nothing of ours.
inline TFileError PictureDamaged(std::string finding) {
  return {TFileFault::Damaged, {}, 0, std::move(finding)};
}

class IImagingModule {
 public:
  // Asked with the size a file's head claims and the format the library found
  // ("JPEG"), before decoding: false stops the reading.
  using TAccept = std::function<bool(std::size_t width, std::size_t height, const std::string& format)>;
  // Where the rows of the decoded picture go (BGRA, top to bottom, packed);
  // nullptr stops the reading.
  using TTarget = std::function<std::uint8_t*(std::size_t width, std::size_t height)>;

  // The coder that reads files of the extension `upperExt` ("PCX"), "" when none does.
  virtual std::string ReadableCoder(const std::string& upperExt) = 0;
  // Reads the first frame of `bytes` (through `coder` unless it is empty) into
  // what `target` gives, or says it was stopped; PictureDamaged when the library
  // cannot read it.
  virtual TFileResult<TPictureRead> Read(std::span<const std::uint8_t> bytes, const std::string& coder,
                                         const TAccept& accept, const TTarget& target) = 0;
  // Writes `bgra` (width x height, packed rows, the alpha byte ignored) into `file`
  // at 24 bits in the picture class's file format `format` (a TLeadFileFormat but
  // Photoshop; JPEG at `quality`). PNG and TIFF go out row by row; false when the
  // library cannot write it or `file` refused.
  virtual bool Write(const std::uint8_t* bgra, int width, int height, int format, int quality,
                     TFileWriter& file) = 0;

 protected:
  ~IImagingModule() = default;
};

extern "C" [[gnu::weak]] IImagingModule* tressary_module_imaging();
