#include "exchange/WorkFiles.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>
#include <span>
#include <utility>

#include "editor/MontageDesk.h"
#include "picture/LoadedWork.h"
#include "picture/RowBands.h"
#include "platform/CompoundFile.h"
#include "platform/FileIO.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "shell/ProductInfo.h"
#include "shell/WriteFailure.h"

namespace {

constexpr int kYes = 6;

std::string BaseName(const fs::path& file) { return file.stem().string(); }

bool IsNil(const std::string& id) { return id.empty() || EqualsNoCase(id, "nil"); }

TLayer* FindLoaded(const std::vector<std::pair<std::string, TLayer*>>& loaded, const std::string& id) {
  if (IsNil(id)) return nullptr;
  for (const auto& [fileId, layer] : loaded)
    if (EqualsNoCase(fileId, id)) return layer;
  return nullptr;
}

// The layer of `record` made, put at the top of the desk and rendered. Whatever
// making, placing or rendering it throws (memory, above all) stops here and
// leaves that layer out, with the stream it was made of as the path.
TFileResult<TLayer*> PlaceStoredLayer(TMontageDesk& desk, TLoadedWork& work, const TLayerRecord& record) {
  try {
    TFileResult<std::unique_ptr<TLayer>> layer = TLayer::CreateFromStorage(desk, work, record);
    if (!layer) return layer.Error();
    TLayer* made = layer->get();
    desk.InsertLayer(*std::move(layer), 0);
    made->Render(desk.DeskFrame());
    return made;
  } catch (const std::exception& e) {
    const int system = dynamic_cast<const std::bad_alloc*>(&e) ? ENOMEM : 0;
    return FileError(TFileFault::CannotRead, record.Id + ".bmp", system, e.what());
  }
}

// Sets `target` from `field` unless it is `skip`; false when the field is not a
// number (the rest of the line is then ignored).
bool TakeNumber(const std::string& field, int skip, int& target) {
  auto value = ParseInt(field);
  if (!value) return false;
  if (*value != skip) target = *value;
  return true;
}
}  // namespace

TLayerRecord LayerRecordOf(const TLayer& layer) {
  TLayerRecord r;
  r.Id = layer.Id;
  r.Caption = layer.Caption;
  r.TypeId = layer.TypeId;
  r.Left = layer.Left;
  r.Top = layer.Top;
  r.Width = layer.Width();
  r.Height = layer.Height();
  r.Visible = layer.Visible();
  r.Values = layer.Values();
  r.Level = layer.Level();
  r.SourceFile = layer.SourceFile;
  return r;
}

TWorkFiles::TWorkFiles(TMontageDesk& desk, IWorkPorts& ports) : desk_(desk), ports_(ports) {}

TWorkHeader TWorkFiles::HeaderOfDesk() const {
  TWorkHeader h;
  h.Version = ProductInfo.NameAndVersion;
  auto idOf = [](const TLayer* layer) { return layer ? layer->Id : std::string(); };
  h.PortraitId = idOf(desk_.PortraitLayer());
  h.HandId = idOf(desk_.HandLayer());
  h.BodyId = idOf(desk_.BodyLayer());
  h.FacePoint = desk_.Points.Face;
  h.BodyPoint = desk_.Points.Body;
  for (int i = 0; i < kWorkMarkerCount; ++i) {
    const THandMarker& m = desk_.Points.HandMarkers[std::size_t(i)];
    h.Markers[std::size_t(i)] = {m.X, m.Y, m.Width, m.Length, m.Angle};
  }
  int selected = desk_.SelectedIndex();
  if (selected >= 0) h.ActiveId = desk_.Layer(selected).Id;
  for (int i = desk_.LayerCount() - 1; i >= 0; --i) h.Layers.push_back(LayerRecordOf(desk_.Layer(i)));
  return h;
}

bool TWorkFiles::CheckWorkToSave() {
  if (desk_.LayerCount() > 0) return true;
  ports_.ShowMessage("MessageWorkIsEmpty", "The work is empty", {});
  return false;
}

bool TWorkFiles::SaveWork(fs::path file) {
  if (!CheckWorkToSave()) return false;
  std::string ext = file.extension().string();
  bool container = EqualsNoCase(ext, UncompressedWorkExt);
  // Any name but the two work extensions would write a file nobody can open as a work.
  if (!container && !EqualsNoCase(ext, CompressedWorkExt)) file += CompressedWorkExt;
  LastWorkDir = file.parent_path();
  LastWorkFileName = LastImageFileName = BaseName(file);

  ports_.SetBusy(true);
  const TFileResult<std::vector<std::uint8_t>> bytes = WorkFileBytes(container, file);
  const TFileResult<> written = bytes ? WriteFileAtomic(file, *bytes) : TFileResult<>(bytes.Error());
  ports_.SetBusy(false);
  if (!written) {
    // A work that could not be built says what went wrong where it is known; a
    // failed write names the file and the system's reason.
    std::string detail = file.string();
    if (!bytes && !bytes.Error().Detail.empty()) detail = bytes.Error().Detail;
    else if (bytes) detail += "\r" + WriteFailureReason(written.Error().System);
    ports_.ShowMessage("MessageUnableSaveWork", "Unable to save work to file", detail);
    return false;
  }
  ports_.Saved().Work = true;
  return true;
}

TFileResult<std::vector<std::uint8_t>> TWorkFiles::WorkFileBytes(bool container, const fs::path& file) {
  TWorkHeader header = HeaderOfDesk();
  struct TMaskStreams {
    std::vector<const TMask*> Masks;
    std::vector<TWorkLayerData> Layers;
  } parts;
  for (int i = desk_.LayerCount() - 1; i >= 0; --i) {
    const TLayer& layer = desk_.Layer(i);
    parts.Masks.push_back(&layer.Mask);
    parts.Layers.push_back({&layer.Picture, {}});
  }
  // Every mask deflates on its own, on the task pool.
  RunTasks(
      static_cast<int>(parts.Layers.size()),
      [](const void* context, int i) {
        auto& p = *static_cast<TMaskStreams*>(const_cast<void*>(context));
        p.Masks[std::size_t(i)]->SaveToStream(p.Layers[std::size_t(i)].MaskStream);
      },
      &parts);
  const std::vector<TWorkLayerData>& layers = parts.Layers;
  desk_.RenderExportBitmap();
  if (!container) return BuildCompressedWork(header, layers, desk_.ExportBitmap());
  return BuildWorkContainer(header, layers, desk_.ExportBitmap(), file);
}

TFileResult<> TWorkFiles::LoadWorkFromFile(const fs::path& file) {
  ports_.ProcessMessages();
  // The message names the file and says why, in words a user can act on.
  auto fail = [this, &file](TFileError error) {
    ports_.ShowMessage("MessageUnableLoadWork", "Unable to load work from file",
                       file.filename().string() + ": " + error.Reason());
    return error;
  };
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return fail(FileError(TFileFault::NoSuchFile, file));
  // Read, check and decode the whole file before the desk is touched.
  TFileResult<std::unique_ptr<TLoadedWork>> read =
      TLoadedWork::ReadFile(file, EqualsNoCase(file.extension().string(), CompressedWorkExt));
  if (!read) return fail(read.Error());
  TLoadedWork& work = **read;
  // Which layers can be made is known before the desk is touched: a work none of
  // whose layers can be had is refused whole, with the cause of each.
  const std::vector<std::string>& lines = work.Lines();
  std::vector<TLayerRecord> records;
  std::string skipped;
  for (const std::string& line : lines) {
    if (!StartsWithNoCase(line, "LAYER=")) continue;
    std::optional<TLayerRecord> record = ParseLayerRecordLine(line);
    const std::string problem = record ? work.PictureProblem(record->Id) : line.substr(0, 60);
    if (problem.empty()) records.push_back(std::move(*record));
    else skipped += "\r" + problem;
  }
  if (records.empty() && !skipped.empty())
    return fail(FileError(TFileFault::Damaged, file, 0, "none of its layers can be read:" + skipped));

  ports_.SetChanged(ckWorkLoaded);
  LastWorkDir = file.parent_path();
  LastWorkFileName = LastImageFileName = BaseName(file);
  bool keep = true;
  if (desk_.LayerCount() > 0) {
    if (ports_.AskYesNo("ConfirmClearPrevWork", "Clear the present work first? (No keeps it and adds the opened work on top of it.)") == kYes) {
      desk_.ClearLayers();
      desk_.Points = TWorkPoints{};
    } else {
      keep = false;
    }
  }
  ports_.SetBusy(true);
  ports_.ShowDesk();

  std::string activeId;
  if (desk_.SelectedIndex() >= 0) activeId = desk_.Layer(desk_.SelectedIndex()).Id;
  std::vector<std::pair<std::string, TLayer*>> loaded;  // the file's id -> the layer made of it
  for (const TLayerRecord& record : records) {
    const TFileResult<TLayer*> placed = PlaceStoredLayer(desk_, work, record);
    if (placed) loaded.emplace_back(record.Id, *placed);
    else skipped += "\r" + placed.Error().Reason();
  }
  for (const std::string& line : lines) ApplyHeaderLine(line, loaded, activeId);

  desk_.RefreshAll();
  ports_.ProcessMessages();
  desk_.SelectLayer(activeId.empty() ? -1 : desk_.IndexOfLayerId(activeId));
  ports_.EnsureDeskMode();
  ports_.RefreshLayerList();
  ports_.SetBusy(false);
  ports_.Saved() = {keep, keep};
  ports_.ProcessMessages();

  TBitmap32 portrait;
  if (const TLayer* layer = desk_.PortraitLayer()) {
    portrait = layer->BasePicture;
  }
  ports_.SetPortraitBitmap(portrait);
  if (!skipped.empty()) ports_.ShowMessage("MessageLayersNotLoaded", "Some layers could not be loaded:", skipped);
  return {};
}

void TWorkFiles::ApplyHeaderLine(const std::string& line, const std::vector<std::pair<std::string, TLayer*>>& loaded,
                                 std::string& activeId) {
  std::size_t eq = line.find('=');
  if (eq == std::string::npos) return;
  std::string key = UpperAscii(line.substr(0, eq));
  std::vector<std::string> f = SplitFields(std::string_view(line).substr(eq + 1));
  auto field = [&f](std::size_t i) { return i < f.size() ? f[i] : std::string(); };
  if (key == "PORTRAIT" || key == "BODY") {
    TLayer* layer = FindLoaded(loaded, field(0));
    TPoint& point = key == "PORTRAIT" ? desk_.Points.Face : desk_.Points.Body;
    if (layer) (key == "PORTRAIT" ? desk_.SetPortraitLayer(layer) : desk_.SetBodyLayer(layer));
    TakeNumber(field(1), -1, point.X) && TakeNumber(field(2), -1, point.Y);
  } else if (key == "HAND") {
    if (TLayer* layer = FindLoaded(loaded, field(0))) desk_.SetHandLayer(layer);
    THandMarkers& markers = desk_.Points.HandMarkers;
    for (std::size_t m = 0; m < markers.size(); ++m) {
      THandMarker& marker = markers[m];
      std::size_t at = 1 + 5 * m;
      auto x = ParseInt(field(at));
      if (!x || *x == -1) return;  // -1 ends the markers; a bad number ends the line
      marker.X = *x;
      int angle = marker.ViewAngle;
      if (!TakeNumber(field(at + 1), -1, marker.Y) || !TakeNumber(field(at + 2), 0, marker.Width) ||
          !TakeNumber(field(at + 3), 0, marker.Length) || !TakeNumber(field(at + 4), INT32_MIN, angle))
        return;
      marker.ViewAngle = marker.Angle = angle;
    }
  } else if (key == "ACTIVELAYER") {
    if (TLayer* layer = FindLoaded(loaded, field(0))) activeId = layer->Id;
  }
}
