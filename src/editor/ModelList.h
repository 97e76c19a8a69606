#pragma once
// Ready solutions: the model types of the settings, the models of "Models.txt"
// grouped by type, and laying a model's parts over the portrait at the face point.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"

class ITemplateDesk;

// One value of the "MODEL TYPES" section: the key models name and the text shown.
struct TModelType {
  std::string Key;
  std::string Text;
};
// From the section's "name=value" lines; a value without a key is left out.
std::vector<TModelType> ParseModelTypes(const std::vector<std::string>& lines);

// "[name;extra;picture;hint;type]": nullopt for fewer than five fields.
struct TModelHeader {
  std::string Name;  // its catalogue page of kind "M"
  std::string Extra;
  std::string Picture;
  std::string Hint;
  std::string Type;
};
std::optional<TModelHeader> ParseModelListHeader(std::string_view line);

// "kind;x;y;file;caption;level": an offset from the face point, the element file,
// the layer's caption and stacking level. nullopt for an empty line, one starting
// with "*", fewer than five ";" or an offset or level that is not a number.
struct TModelPart {
  std::string Kind;
  int X = 0;
  int Y = 0;
  std::string File;
  std::string Caption;
  int Level = 0;
};
std::optional<TModelPart> ParseMaskRecord(std::string_view line);

struct TModel {
  TModelHeader Header;
  std::vector<TModelPart> Parts;
};
// The models of the types that share one text, in file order.
struct TModelGroup {
  std::string Text;
  std::vector<TModel> Models;
};
// Models of a type that is not listed, and models without a valid part, are left
// out; types without models give no group.
std::vector<TModelGroup> GroupModels(const std::vector<TModelType>& types, const std::vector<std::string>& lines);

// A part's file in the first of `folders` that has it. Names that would leave the
// folder (absolute, a drive, "..") are refused.
std::optional<std::filesystem::path> FindModelFile(const std::vector<std::string>& folders, std::string_view name);

// Lays one part: a new layer of template type 0 with the part's caption and level,
// its corner at the face point plus the part's offset. Returns its index, or -1
// when its file is missing or does not load.
int ApplyModelPart(ITemplateDesk& desk, const TModelPart& part, const std::vector<std::string>& folders,
                   TPoint facePoint);
// Lays every part of the model (after deleting the type-0 layers when `replace`);
// the last layer made is selected and the layers list rebuilt. Returns its index
// or -1. A single part is applied as a model of that part.
int ApplyModel(ITemplateDesk& desk, const TModel& model, const std::vector<std::string>& folders, TPoint facePoint,
               bool replace);
