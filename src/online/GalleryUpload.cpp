#include "online/GalleryUpload.h"

#include "online/TransferContext.h"
#include "picture/BitmapRoutines.h"
#include "picture/Jpeg.h"
#include "picture/PictureFiles.h"
#include "platform/IniFile.h"
#include "platform/Text.h"

bool UploadComplete(const TGalleryUploadInput& input) {
  if (Trim(CleanUploadField(input.Name)).empty()) return false;
  for (int value : input.Attributes)
    if (value < 0 || value > 15) return false;
  return !input.Private || !CleanUploadField(input.Password).empty();
}

std::string CleanUploadField(std::string_view text) {
  std::string clean;
  for (char c : text)
    if (c != '>' && c != ';' && c != '\r' && c != '\n') clean += c;
  return clean;
}

std::optional<TGallaryOut> BuildUploadRecord(const TGalleryUploadInput& input, const TIniFile& ini,
                                             std::string_view version, std::size_t thumbnailBytes,
                                             std::size_t fullBytes, int year, int month, int day) {
  std::array<std::uint8_t, 6> values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (input.Attributes[i] < 0 || input.Attributes[i] > 15) return std::nullopt;
    values[i] = static_cast<std::uint8_t>(input.Attributes[i]);
  }
  TGallaryOut record;
  record.UserNumber = Trim(CleanUploadField(ini.ReadString("Registration", "Serial", "")));
  record.Kind = input.AsWork ? "1" : "0";
  record.Attributes = *FormatAttributeDigits(values);
  record.Password = input.Private ? CleanUploadField(input.Password) : std::string();
  record.Name = Trim(CleanUploadField(input.Name));
  record.ProductVersion = CleanUploadField(version);
  record.PreviewSize = std::to_string(thumbnailBytes);
  record.FullSize = std::to_string(fullBytes);
  record.AuthorName = CleanUploadField(ini.ReadString("Registration", "FirstName", "") + " " +
                                       ini.ReadString("Registration", "SecondName", ""));
  record.Date = FormatRecordDate(year, month, day);
  return record;
}

std::string BuildUploadBody(const TGallaryOut& record, std::span<const std::uint8_t> thumbnail,
                            std::span<const std::uint8_t> full) {
  std::string body = "Fname<" + JoinRecordFields(record.ToFields()) + ">";
  body.reserve(body.size() + thumbnail.size() + full.size());
  body.append(reinterpret_cast<const char*>(thumbnail.data()), thumbnail.size());
  body.append(reinterpret_cast<const char*>(full.data()), full.size());
  return body;
}

std::optional<TUploadFiles> MakeUploadFiles(const TBitmap32& exportPicture, bool asWork,
                                            const TWorkBytesSource& compressedWork) {
  if (exportPicture.Empty()) return std::nullopt;
  const TColor32 white = Color32(255, 255, 255);
  const std::optional<TJpegImage> thumbnail =
      MakeThumbnail(exportPicture, kGalleryThumbnailSize, white, kGalleryThumbnailSize);
  if (!thumbnail || thumbnail->Empty()) return std::nullopt;
  TUploadFiles files;
  files.Thumbnail = thumbnail->Bytes();
  if (asWork) {
    if (!compressedWork) return std::nullopt;
    TFileResult<std::vector<std::uint8_t>> work = compressedWork();
    if (!work || work->empty()) return std::nullopt;
    files.Full = std::move(*work);
  } else {
    // Pixels outside every layer are white with alpha 0: the picture is seen on white.
    const TBitmap32 flat = ThumbnailCanvas(exportPicture, exportPicture.Width(), white, exportPicture.Height());
    files.Full = EncodeJpeg(flat, kPackedPictureQuality);
    if (files.Full.empty()) return std::nullopt;
  }
  return files;
}

EUploadResult SendToGallery(TTransferContext& context, std::string_view url, std::string body) {
  if (IsConnectionError(context.AttemptConnect())) return EUploadResult::NoNetwork;
  context.CloseConnection();
  TTransferRequest request;
  request.url = std::string(url);
  request.body = std::move(body);
  if (context.Run(std::move(request))) return EUploadResult::Sent;
  return context.Stopped() ? EUploadResult::Stopped : EUploadResult::Failed;
}
