#include "editor/TemplateSave.h"

#include <cerrno>

#include "picture/Layer.h"
#include "picture/PsdFile.h"
#include "platform/FileIO.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

std::string CleanTemplateName(std::string_view name) {
  std::string clean;
  for (char c : name)
    if (c != ';' && c != '\r' && c != '\n') clean += c;
  return Trim(clean);
}

TPoint FaceOffset(TPoint origin, TPoint facePoint) {
  return {facePoint.X == -1 ? 0 : origin.X - facePoint.X, facePoint.Y == -1 ? 0 : origin.Y - facePoint.Y};
}

TPoint TemplateOffsets(const std::string& letters, TPoint offsetToFace) {
  if (letters == "B") return {0, 0};
  if (letters == "N") return {100, 100};
  return offsetToFace;
}

std::string TemplateLine(int typeNo, TPoint offsets, const std::string& fileName, const std::string& name) {
  return std::to_string(typeNo) + ";" + std::to_string(offsets.X) + ";" + std::to_string(offsets.Y) + ";" +
         fileName + ";" + name + ";?UsCr=Y;";
}

TTemplateToSave LayerTemplate(const TLayer& layer, TPoint facePoint) {
  TTemplateToSave entry;
  entry.Picture = layer.RenderedPicture();
  // The map the picture was rendered with: the template's regions match it cell for cell.
  TMask regions;
  regions.SetBitmap(&layer.Picture, layer.Mask.GetMap());
  if (!regions.GetUsedRegions().empty()) entry.MaskFile = regions.FileBytes();
  entry.OffsetToFace = FaceOffset({layer.Left, layer.Top}, facePoint);
  return entry;
}

TTemplateSaveResult SaveTemplate(const std::filesystem::path& exePath, const TPartTypeRecord& type,
                                 std::string_view name, const TTemplateToSave& entry,
                                 const std::function<std::string()>& newId) {
  TTemplateSaveResult result;
  const std::string clean = CleanTemplateName(name);
  if (clean.empty() || entry.Picture.Empty()) {
    result.Fault = TTemplateSaveFault::NoName;
    return result;
  }
  result.Folder = (exePath / "").string() + WithTrailingBackslash(type.Folder);
  const fs::path folder = ProgramFileForWriting(exePath, WithTrailingBackslash(type.Folder));
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) {
    result.Fault = TTemplateSaveFault::NoFolder;
    result.Failure = FileError(TFileFault::CannotWrite, folder, ec ? ec.value() : ENOTDIR);
    return result;
  }
  std::string id;
  do id = newId();
  while (fs::exists(folder / (id + ".psd"), ec) || fs::exists(folder / (id + ".msk"), ec));
  result.FileName = id + ".psd";
  const fs::path picture = folder / result.FileName, mask = folder / (id + ".msk");
  if (TFileResult<> saved = SavePsdFile(entry.Picture, picture); !saved) {
    result.Fault = TTemplateSaveFault::PictureFailed;
    result.Failure = saved.Error();
    return result;
  }
  // A mask that cannot be written leaves a template without regions.
  if (!entry.MaskFile.empty()) (void)WriteFileAtomic(mask, entry.MaskFile);
  const std::string line =
      TemplateLine(type.TypeNo, TemplateOffsets(type.Letters, entry.OffsetToFace), result.FileName, clean);
  const fs::path list = ProgramFileForWriting(exePath, "PartBase.txt");
  if (TFileResult<> appended = AppendTextLine(list, line); !appended) {
    result.Failure = appended.Error();
    // A picture no list names would only be found by the next id drawn.
    fs::remove(picture, ec);
    fs::remove(mask, ec);
    result.Fault = TTemplateSaveFault::ListFailed;
    result.Detail = TextFileMessage(appended.Error(), "PartBase.txt");
    return result;
  }
  return result;
}
