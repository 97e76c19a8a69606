#include "editor/MontageDesk.h"

#include <algorithm>
#include <chrono>

#include "editor/DeskMode.h"
#include "platform/Numeric.h"
#include "platform/Text.h"
#include "shell/Termins.h"

namespace {

constexpr int kAnswerYes = 6;

std::uint32_t ClockSeed() {
  std::random_device device;
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return device() ^ std::uint32_t(ticks) ^ std::uint32_t(std::uint64_t(ticks) >> 32);
}

// Clears a flag when the scope ends, whichever way it ends.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void ShowLayer(IDeskOwner& owner, const TLayer& layer, TLayerShown what) {
  if (what == TLayerShown::History) {
    owner.SetControls();
    return;
  }
  if (what == TLayerShown::Look) {
    owner.LayerListLookChanged(layer);
    return;
  }
  const int region = layer.Mask.GetRegionIndex();
  if (what == TLayerShown::Selection || what == TLayerShown::Region)
    owner.ShowLayerLabel(region == 0 ? layer.Caption
                                     : layer.Caption + " (" + owner.RegionWord() + std::to_string(region) + ")");
  owner.ShowLayerValues(layer, region == 0 ? nullptr : &layer.Mask);
}

void TMontageDesk::LayerShown(const TLayer& layer, TLayerShown what) {
  if (what == TLayerShown::Region) {
    if (!DeskVisible() || !IsSelectedLayer(layer)) return;
    what = TLayerShown::Selection;
  }
  ShowLayer(owner_, layer, what);
}

std::string LayerKindLetter(const IDeskOwner& owner, const TLayer& layer) {
  return layer.GetKindLetter(layer.TypeId > 0 ? owner.TemplateTypeLetter(layer.TypeId) : std::nullopt);
}

// The desk's bitmaps come with its first picture: the desk stays hidden until
// there are layers.
TMontageDesk::TMontageDesk(IDeskOwner& owner) : owner_(owner), idRandom_(ClockSeed()) {}

TMontageDesk::~TMontageDesk() {
  portrait_ = hand_ = body_ = nullptr;
  layers_.clear();
}

// --- the layer stack ---

int TMontageDesk::IndexOfLayer(const TLayer* layer) const {
  for (std::size_t i = 0; i < layers_.size(); ++i)
    if (layers_[i].get() == layer) return int(i);
  return -1;
}

TLayer* TMontageDesk::SelectedLayer() { return selected_ >= 0 ? layers_[std::size_t(selected_)].get() : nullptr; }

bool TMontageDesk::IsSelectedLayer(const TLayer& layer) const {
  return selected_ >= 0 && layers_[std::size_t(selected_)].get() == &layer;
}

int TMontageDesk::InsertLayer(std::unique_ptr<TLayer> layer, int index) {
  if (index < 0 || index >= LayerCount()) {
    index = LayerCount();
    for (int i = 0; i < LayerCount(); ++i)
      if (layers_[std::size_t(i)]->Level() <= layer->Level()) {
        index = i;
        break;
      }
  }
  layer->SetDeskFrame(DeskFrame());
  layers_.insert(layers_.begin() + index, std::move(layer));
  // The selection stays on the same layer.
  if (selected_ >= index) ++selected_;
  DropViewBitmap();
  return index;
}

void TMontageDesk::SelectLayer(int index) {
  if (index == selected_ || index < -1 || index >= LayerCount()) return;
  if (selected_ >= 0 && layers_[std::size_t(selected_)]->ViewRendering().State != rsNothing) {
    const TRect old = layers_[std::size_t(selected_)]->ViewRect();
    selected_ = -1;
    PaintRect(old);  // without its frame
  }
  selected_ = index;
  if (index < 0) {
    owner_.ShowLayerLabel("");
  } else {
    TLayer& layer = *layers_[std::size_t(index)];
    layer.ShowAsSelected();
    if (layer.ViewRendering().State != rsNothing) PaintRect(layer.ViewRect());
  }
  owner_.SetControls();
  owner_.LayerListSelect(index);
  owner_.RegionsShowLayer(SelectedLayer());
}

void TMontageDesk::MoveLayer(int from, int to) {
  const int count = LayerCount();
  if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
  owner_.SetChanged(ckStackOrder);
  std::unique_ptr<TLayer> moving = std::move(layers_[std::size_t(from)]);
  layers_.erase(layers_.begin() + from);
  layers_.insert(layers_.begin() + to, std::move(moving));
  if (selected_ == from)
    selected_ = to;
  else if (from > selected_ && selected_ >= to)
    ++selected_;
  else if (from < selected_ && selected_ <= to)
    --selected_;
  DropViewBitmap();
  layers_[std::size_t(to)]->InvalidateOnDesk();
  owner_.RefreshLayerList();
  owner_.SetControls();
}

void TMontageDesk::DeleteLayer(int index) {
  if (index < 0 || index >= LayerCount() || Deleting) return;
  TFlagScope deleting(Deleting);
  const TLayer* layer = layers_[std::size_t(index)].get();
  const std::string question =
      GetTerm("ConfirmDeleteLayer", ProgramTexts(), "Delete the layer") + "\r\"" + layer->Caption + "\" ?";
  if (owner_.AskYesNo(question) != kAnswerYes) return;
  // The question runs the message loop: the layer may have moved or gone meanwhile.
  index = IndexOfLayer(layer);
  if (index < 0) return;
  owner_.SetChanged(ckLayerDeleted);
  const TRect area = layer->ViewRect();
  RemoveLayer(index);
  if (layers_.empty()) {
    selected_ = -1;
    owner_.RefreshLayerList();
    owner_.SetControls();
    // The regions window must not keep showing the layer just freed.
    owner_.RegionsShowLayer(nullptr);
  } else if (selected_ == index) {
    selected_ = -1;
    RecomposeAfterDelete(area);
    SelectLayer(index > 0 ? index - 1 : 0);
  } else {
    if (selected_ > index) --selected_;
    RecomposeAfterDelete(area);
  }
  ProcessMessages();
}

void TMontageDesk::RecomposeAfterDelete(const TRect& area) {
  if (!area.IsEmpty()) RefreshRect(area);
  owner_.RefreshLayerList();
}

void TMontageDesk::ForgetSpecial(const TLayer* layer) {
  if (portrait_ == layer) {
    portrait_ = nullptr;
    owner_.ClearPortraitPreview();
  }
  if (hand_ == layer) hand_ = nullptr;
  if (body_ == layer) body_ = nullptr;
}

void TMontageDesk::RemoveLayer(int index) {
  ForgetSpecial(layers_[std::size_t(index)].get());
  layers_.erase(layers_.begin() + index);
  DropViewBitmap();
}

void TMontageDesk::DeleteLayersByKind(const std::string& letter, int typeId, bool reselect) {
  Busy(true);
  const std::string kind = Trim(letter);
  bool deleted = false;
  for (int i = LayerCount() - 1; i >= 0; --i) {
    const TLayer& layer = *layers_[std::size_t(i)];
    if (&layer == portrait_ || &layer == hand_ || &layer == body_) continue;
    const bool byLetter = !kind.empty() && EqualsNoCase(kind, LayerKindLetter(owner_, layer));
    const bool byType = typeId >= 0 && typeId == layer.TypeId;
    if (!byLetter && !byType) continue;
    SelectLayer(-1);
    RemoveLayer(i);
    deleted = true;
  }
  if (deleted) {
    owner_.SetChanged(ckLayerDeleted);
    RefreshAll();
    owner_.RefreshLayerList();
    if (reselect && !layers_.empty()) SelectLayer(0);
  }
  Busy(false);
  ProcessMessages();
}

void TMontageDesk::ToggleLayerVisibility(int index) {
  if (index < 0 || index >= LayerCount()) return;
  TLayer& layer = *layers_[std::size_t(index)];
  DropViewBitmap();
  layer.SetVisible(!layer.Visible());
  owner_.LayerListVisibilityChanged(index);
  owner_.SetControls();
}

void TMontageDesk::ClearLayers() {
  Busy(true);
  SelectLayer(-1);
  portrait_ = hand_ = body_ = nullptr;
  layers_.clear();
  DropViewBitmap();
  RefreshAll();
  owner_.RefreshLayerList();
  owner_.ClearPortraitPreview();
  Busy(false);
  ProcessMessages();
}

int TMontageDesk::IndexOfLayerId(const std::string& id) const {
  for (std::size_t i = 0; i < layers_.size(); ++i)
    if (EqualsNoCase(layers_[i]->Id, id)) return int(i);
  return -1;
}

std::string TMontageDesk::NewLayerId() {
  std::uniform_int_distribution<int> digit(0, 9);
  for (;;) {
    std::string id(8, '0');
    for (char& c : id) c = char('0' + digit(idRandom_));
    if (!LayerIdExists(id)) return id;
  }
}

// --- geometry ---

const TDeskGeometry& TMontageDesk::DeskGeometry() const { return owner_.DeskGeometry(); }

TPoint TMontageDesk::ImageToDesk(TPoint offset) const {
  const double scale = DeskGeometry().DeskScale;
  return {RoundInt(offset.X / scale), RoundInt(offset.Y / scale)};
}

TPoint TMontageDesk::DeskToCanvas(TPoint point) const {
  const TDeskGeometry& g = DeskGeometry();
  return {RoundInt(point.X * g.DeskScale) + g.DeskViewLeft, RoundInt(point.Y * g.DeskScale) + g.DeskViewTop};
}

TViewFrame TMontageDesk::DeskFrame() const { return DeskGeometry().ViewFrame(); }

TViewFrame TMontageDesk::ExportFrame() const {
  return {1.0, exportBox_.Width(), exportBox_.Height(), exportBox_};
}

TRect TMontageDesk::WindowRect() const {
  return {0, 0, DeskGeometry().DesktopWindowWidth, DeskGeometry().DesktopWindowHeight};
}

// --- the warp field ---

void TMontageDesk::SetWarpFieldAllocated(bool allocated) {
  if (allocated) {
    warpField_.assign(std::size_t(kWarpFieldSide) * kWarpFieldSide, {});
  } else {
    warpField_.clear();
    warpField_.shrink_to_fit();
  }
}

void TMontageDesk::ClearWarpField() {
  TFlagScope busy(busy_);
  std::fill(warpField_.begin(), warpField_.end(), TWarpCell{});
}

void TMontageDesk::Busy(bool busy) {
  if (view_) view_->SetBusyCursor(busy);
}

void TMontageDesk::ProcessMessages() {
  if (view_) view_->ProcessMessages();
}
