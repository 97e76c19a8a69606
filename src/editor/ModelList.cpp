#include "editor/ModelList.h"

#include <algorithm>
#include <memory>

#include "editor/TemplatePlacement.h"
#include "picture/Layer.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace {

// Cuts `count` fields, each ended by ";", off the front of `text`; the rest
// stays in `text`. False when a ";" is missing.
bool CutFields(std::string_view& text, int count, std::vector<std::string>& fields) {
  for (int i = 0; i < count; ++i) {
    const std::size_t end = text.find(';');
    if (end == std::string_view::npos) return false;
    fields.push_back(Trim(text.substr(0, end)));
    text.remove_prefix(end + 1);
  }
  return true;
}

bool IsHeaderLine(std::string_view line) { return line.size() > 1 && line.front() == '[' && line.back() == ']'; }

bool IsSkipped(std::string_view line) { return line.size() <= 1 || line.front() == '#'; }

}  // namespace

std::vector<TModelType> ParseModelTypes(const std::vector<std::string>& values) {
  std::vector<TModelType> types;
  for (const std::string& line : values) {
    // The key names are the download's own; only the value counts.
    const std::size_t equals = line.find('=');
    const std::string_view value = equals == std::string::npos ? std::string_view() : std::string_view(line).substr(equals + 1);
    TModelType type{Field(value, 1), Field(value, 2)};
    if (!type.Key.empty()) types.push_back(std::move(type));
  }
  return types;
}

std::optional<TModelHeader> ParseModelListHeader(std::string_view line) {
  const std::string trimmed = Trim(line);
  if (!IsHeaderLine(trimmed)) return std::nullopt;
  const std::string inner = trimmed.substr(1, trimmed.size() - 2) + ";";
  std::string_view rest = inner;
  std::vector<std::string> f;
  if (!CutFields(rest, 5, f)) return std::nullopt;
  return TModelHeader{f[0], f[1], f[2], f[3], f[4]};
}

std::optional<TModelPart> ParseMaskRecord(std::string_view line) {
  const std::string trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == '*') return std::nullopt;
  std::string_view rest = trimmed;
  std::vector<std::string> f;
  if (!CutFields(rest, 5, f)) return std::nullopt;
  const std::size_t end = rest.find(';');
  const std::string level = Trim(rest.substr(0, end));
  const std::optional<int> x = ParseInt(f[1]), y = ParseInt(f[2]), z = ParseInt(level);
  if (!x || !y || !z) return std::nullopt;
  return TModelPart{f[0], *x, *y, f[3], f[4], *z};
}

std::vector<TModelGroup> GroupModels(const std::vector<TModelType>& types, const std::vector<std::string>& lines) {
  std::vector<std::vector<TModel>> byType(types.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::optional<TModelHeader> header = ParseModelListHeader(lines[i]);
    if (!header) continue;
    TModel model{*header, {}};
    std::size_t next = i + 1;
    for (; next < lines.size(); ++next) {
      const std::string line = Trim(lines[next]);
      if (!line.empty() && line.front() == '[') break;
      if (IsSkipped(line)) continue;
      if (auto part = ParseMaskRecord(line)) model.Parts.push_back(std::move(*part));
    }
    i = next - 1;
    std::size_t type = 0;
    while (type < types.size() && types[type].Key != header->Type) ++type;
    if (type == types.size() || model.Parts.empty()) continue;
    byType[type].push_back(std::move(model));
  }
  std::vector<TModelGroup> groups;
  for (std::size_t t = 0; t < types.size(); ++t) {
    if (byType[t].empty()) continue;
    auto same = std::find_if(groups.begin(), groups.end(), [&](const TModelGroup& g) { return g.Text == types[t].Text; });
    if (same == groups.end()) same = groups.insert(groups.end(), TModelGroup{types[t].Text, {}});
    for (TModel& model : byType[t]) same->Models.push_back(std::move(model));
  }
  return groups;
}

std::optional<std::filesystem::path> FindModelFile(const std::vector<std::string>& folders, std::string_view name) {
  if (!SafeRelativePath(name)) return std::nullopt;
  for (const std::string& folder : folders) {
    const std::filesystem::path path = ResolvePath(folder, name);
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) return path;
  }
  return std::nullopt;
}

int ApplyModelPart(ITemplateDesk& desk, const TModelPart& part, const std::vector<std::string>& folders,
                   TPoint facePoint) {
  const std::optional<std::filesystem::path> file = FindModelFile(folders, part.File);
  if (!file) return -1;
  desk.SetNewLayer(0, part.Caption);
  desk.SelectLayer(-1);
  TFileResult<std::unique_ptr<TLayer>> created = desk.CreateLayer(file->string());
  // A damaged part is left out, like a missing one.
  if (!created || !*created || (*created)->Picture.Empty()) return -1;
  std::unique_ptr<TLayer> layer = *std::move(created);
  layer->Left = facePoint.X + part.X;
  layer->Top = facePoint.Y + part.Y;
  layer->SetLevel(part.Level);
  layer->Render(desk.DeskGeometry().ViewFrame());
  desk.SetChanged(ckLayerAdded);
  TLayer* placed = layer.get();
  const int index = desk.InsertLayer(std::move(layer));
  if (placed->ViewRendering().State != rsNothing) desk.ComposeRect(placed->ViewRect());
  return index;
}

int ApplyModel(ITemplateDesk& desk, const TModel& model, const std::vector<std::string>& folders, TPoint facePoint,
               bool replace) {
  if (replace) desk.DeleteLayersOfType(0);
  int last = -1;
  for (const TModelPart& part : model.Parts) {
    const int index = ApplyModelPart(desk, part, folders, facePoint);
    if (index >= 0) last = index;
  }
  if (last >= 0) desk.SelectLayer(last);
  desk.RefreshLayerList();
  return last;
}
