#pragma once
// Saving a layer, or one region of it, as a user template: the picture as a
// Photoshop file with its mask beside it in the template type's folder, under a
// fresh id, and its line appended to "PartBase.txt".
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/TemplateBase.h"
#include "picture/Bitmap32.h"
#include "platform/FileResult.h"
#include "platform/Geometry.h"

class TLayer;

// The name as the template list can hold it: ";" and line breaks removed
// (they would split the line), blanks trimmed.
std::string CleanTemplateName(std::string_view name);

// A picture's top-left canvas point `origin` less the face point: 0 on an axis
// where the face is not fitted (-1).
TPoint FaceOffset(TPoint origin, TPoint facePoint);
// The offsets written for a type: "B" 0;0, "N" 100;100, any other kind the
// offset to the face point.
TPoint TemplateOffsets(const std::string& letters, TPoint offsetToFace);

// "TypeNo;X;Y;file;name;?UsCr=Y;".
std::string TemplateLine(int typeNo, TPoint offsets, const std::string& fileName, const std::string& name);

// What goes into the template.
struct TTemplateToSave {
  TBitmap32 Picture;
  std::vector<std::uint8_t> MaskFile;  // the ".msk" bytes; empty: no mask file
  TPoint OffsetToFace;                 // FaceOffset of the picture's top-left
};
// The whole layer as its template: its picture rendered at scale 1 with its
// colours, its mask when it has a region, its offset to the face point.
TTemplateToSave LayerTemplate(const TLayer& layer, TPoint facePoint);

enum class TTemplateSaveFault {
  None,
  NoName,         // nothing to save under (the window stays open, silently)
  NoFolder,       // the type's folder cannot be made
  PictureFailed,  // the Photoshop file cannot be written
  ListFailed,     // "PartBase.txt" cannot be written: the files are removed again
};
struct TTemplateSaveResult {
  TTemplateSaveFault Fault = TTemplateSaveFault::None;
  std::string FileName;  // id + ".psd"
  std::string Folder;    // the type's folder as shown in messages
  std::string Detail;    // the list's error message
  TFileError Failure;    // the file or folder that could not be written, and why
};

// Saves into exePath + the type's folder, drawing ids from `newId` until the
// picture's name is free, and appends the line to exePath's "PartBase.txt".
TTemplateSaveResult SaveTemplate(const std::filesystem::path& exePath, const TPartTypeRecord& type,
                                 std::string_view name, const TTemplateToSave& entry,
                                 const std::function<std::string()>& newId);
