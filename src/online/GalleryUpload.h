#pragma once
// Sending the work on the desk to the gallery: the upload record, the 150 x 150
// thumbnail, the full file (a JPEG picture or a compressed work) and the one
// request body the upload script splits again: "Fname<" + record + ">" +
// thumbnail + full file, with no other framing.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "online/OnlineRecords.h"
#include "picture/Bitmap32.h"
#include "picture/WorkFile.h"

class TIniFile;
class TTransferContext;

// The side of the thumbnail square.
inline constexpr int kGalleryThumbnailSize = 150;

// What the user chose in the upload window.
struct TGalleryUploadInput {
  std::string Name;
  std::array<int, 6> Attributes{-1, -1, -1, -1, -1, -1};  // item indexes, -1 when none is chosen
  bool AsWork = false;   // the full file is a compressed work, else a JPEG picture
  bool Private = false;  // private works carry a password
  std::string Password;
};

// The send button shows only when the trimmed name is not empty, every list has
// a choice that fits one hexadecimal digit, and a private work has a password.
bool UploadComplete(const TGalleryUploadInput& input);

// A typed value as it can travel in the upload record: ">" (which ends the
// record in the body), ";" (which ends a field) and line breaks (which end a
// line of the works list) taken out.
std::string CleanUploadField(std::string_view text);

// The upload record: the account of the settings section "Registration", the
// cleaned and trimmed name, the attribute digits, the version, the two sizes and
// the date. nullopt when an attribute does not fit one digit.
std::optional<TGallaryOut> BuildUploadRecord(const TGalleryUploadInput& input, const TIniFile& ini,
                                             std::string_view version, std::size_t thumbnailBytes,
                                             std::size_t fullBytes, int year, int month, int day);

// "Fname<" + the joined record + ">" + every byte of the thumbnail + every byte
// of the full file.
std::string BuildUploadBody(const TGallaryOut& record, std::span<const std::uint8_t> thumbnail,
                            std::span<const std::uint8_t> full);

struct TUploadFiles {
  std::vector<std::uint8_t> Thumbnail;
  std::vector<std::uint8_t> Full;
};
// The thumbnail (the export picture fitted into 150 x 150 on white, a JPEG) and
// the full file (the export picture at its own size as a JPEG, or the compressed
// work); nullopt when the picture is empty or the work cannot be built.
std::optional<TUploadFiles> MakeUploadFiles(const TBitmap32& exportPicture, bool asWork,
                                            const TWorkBytesSource& compressedWork);

enum class EUploadResult { NoNetwork, Sent, Failed, Stopped };
// Posts `body` to the upload script (SendToGallery); Sent only on a 2xx reply
// that holds none of the script's failure words.
EUploadResult SendToGallery(TTransferContext& context, std::string_view url, std::string body);
