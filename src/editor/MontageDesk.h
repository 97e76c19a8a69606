#pragma once
// The montage desk: the work being composed. It owns the stack of layers (index 0
// on top), the selection and the portrait, hand and body slots; composites the
// visible layers into the desk window, the scroll cache and the export picture;
// finds the layer under a point; and decides the layer popup menu. It is the
// layers' host; what it tells the main window goes through IDeskOwner, what it
// shows through IDeskView (the desk window, or nothing in tests).
#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "editor/DeskOwner.h"
#include "editor/DeskToolHost.h"
#include "editor/MainPorts.h"
#include "editor/WorkPoints.h"
#include "picture/Bitmap32.h"
#include "picture/Layer.h"
#include "picture/LayerHost.h"
#include "platform/Geometry.h"

// Where a composite goes.
enum class TDeskTarget {
  Desk,    // DeskBitmap: the desk window at DeskScale
  View,    // ViewBitmap: the scroll cache, renderings shifted by ViewOrigin
  Export,  // ExportBitmap: full resolution, alpha accumulated
};

struct TCompositeLayer;

// Which items of the layer popup menu are visible.
struct TDeskPopupItems {
  bool Show = false;
  bool Hide = false;
  bool MoveTop = false;
  bool MoveBottom = false;
  bool Delete = false;
  bool ShowCatalog = false;
  bool operator==(const TDeskPopupItems&) const = default;
};

enum class TDeskPopupAction { Show, Hide, MoveTop, MoveBottom, Delete, ShowCatalog };

class TMontageDesk : public ILayerHost, public IMainDesk, public IDeskToolHost {
 public:
  static constexpr TColor32 kFrameDark = 0xFF000000;
  static constexpr TColor32 kFrameLight = 0xFF9F9F9F;

  explicit TMontageDesk(IDeskOwner& owner);
  ~TMontageDesk() override;
  TMontageDesk(const TMontageDesk&) = delete;
  TMontageDesk& operator=(const TMontageDesk&) = delete;

  // The desk window (nullptr: none). Not owned.
  void SetView(IDeskView* view) { view_ = view; }

  // --- the layer stack ---
  int LayerCount() const override { return int(layers_.size()); }
  TLayer& Layer(int index) override { return *layers_.at(std::size_t(index)); }
  const TLayer& Layer(int index) const { return *layers_.at(std::size_t(index)); }
  int IndexOfLayer(const TLayer* layer) const override;
  // Takes the layer; inserts at `index` when 0 <= index < count, otherwise before
  // the first layer whose Level is <= the new one's (or at the end). Returns the
  // index used.
  int InsertLayer(std::unique_ptr<TLayer> layer, int index = -1);
  // Index -1 deselects; an index outside the list is ignored.
  void SelectLayer(int index) override;
  int SelectedIndex() const override { return selected_; }
  TLayer* SelectedLayer() override;
  void MoveLayer(int from, int to) override;
  // Asks first; nothing happens unless the answer is yes.
  void DeleteLayer(int index) override;
  // Deletes every layer but the three special ones whose kind letter equals
  // `letter` (ignoring case; a blank letter matches nothing) or whose TypeId
  // equals `typeId` (>= 0). No question is asked.
  void DeleteLayersByKind(const std::string& letter, int typeId, bool reselect) override;
  void ToggleLayerVisibility(int index) override;
  void ClearLayers();

  TLayer* PortraitLayer() const { return portrait_; }
  bool HasPortraitLayer() const override { return portrait_ != nullptr; }
  TLayer* HandLayer() const { return hand_; }
  TLayer* BodyLayer() const { return body_; }
  void SetPortraitLayer(TLayer* layer) { portrait_ = layer; }
  void SetHandLayer(TLayer* layer) { hand_ = layer; }
  void SetBodyLayer(TLayer* layer) { body_ = layer; }
  // Where the adjust window put the face, the body and the nails; clearing the
  // layers keeps them (a new adjusting or an opened work sets them).
  TWorkPoints Points;
  // The portrait layer's picture as the adjusting or the opened work made it: the
  // portrait preview shows it while the desk has a portrait layer.
  TBitmap32 PortraitBitmap;

  // Ids compare ignoring letter case; -1 when absent.
  int IndexOfLayerId(const std::string& id) const;
  // Eight random decimal digits that no layer uses. The generator is seeded once,
  // from the clock, unless SeedLayerIds chose the seed.
  void SeedLayerIds(std::uint32_t seed) { idRandom_.seed(seed); }

  // --- geometry ---
  // A desk-window point as a canvas point.
  TPoint DeskToCanvas(TPoint point) const override;
  // The owner's.
  const TDeskGeometry& DeskGeometry() const override;

  // --- compositing and painting ---
  // Composites `rect` into the target (desk-window pixels for Desk and View).
  void CompositeRect(const TRect& rect, TDeskTarget target = TDeskTarget::Desk);
  // CompositeRect into the desk bitmap, then the screen pixels of `rect`.
  void RefreshRect(const TRect& rect) override;
  void RefreshAll();
  // Brings `rect` of the screen bitmap up to date: from the scroll cache when there
  // is one, otherwise freshly composited; then the selection frame; then tells the
  // window. A layer's repaint request lands here.
  void PaintRect(const TRect& rect) override;
  // The scroll cache of all visible layers' renderings; emptied when there is
  // nothing to show or building it fails.
  void RebuildViewBitmap() override;
  void DropViewBitmap();
  bool HasViewBitmap() const override { return !viewBitmap_.Empty(); }
  void ClearViewBitmap() override { DropViewBitmap(); }
  // Moves the cache with the layers for the view origin (left, top).
  void PlaceViewBitmap(int viewLeft, int viewTop) override;
  void RepaintDesk() override { PaintRect(WindowRect()); }
  void RecomposeDesk() override { RefreshAll(); }
  // Renders the visible layers at full resolution into ExportBitmap over their
  // bounding box within the canvas, which ExportBox then gives (empty with no
  // visible layer).
  void RenderExportBitmap();
  const TRect& ExportBox() const { return exportBox_; }

  const TBitmap32& DeskBitmap() const override { return deskBitmap_; }
  // What the desk window shows: the desk bitmap with the selection frame.
  const TBitmap32& ScreenBitmap() const { return screenBitmap_; }
  const TBitmap32& ViewBitmap() const { return viewBitmap_; }
  const TBitmap32& ExportBitmap() const { return exportBitmap_; }
  // The export picture, leaving the slot empty: the caller owns it.
  TBitmap32 TakeExportBitmap() { return std::exchange(exportBitmap_, TBitmap32()); }
  TPoint ViewOrigin = {0, 0};        // desk-window position of the cache's top-left pixel
  TPoint ViewCanvasOrigin = {0, 0};  // (Left of the leftmost, Top of the topmost layer)

  // --- hit test ---
  // The layer under canvas point (x, y); see the desk's rules for Ctrl and cycling.
  int LayerAt(int x, int y, bool ctrl, bool cycle) override;

  // --- popup menu ---
  int PopupLayerIndex = -1;
  void OpenLayerPopup(int layerIndex, TPoint windowPoint) override {
    PopupLayerIndex = layerIndex;
    if (view_) view_->OpenPopup(windowPoint);
  }
  TDeskPopupItems PopupItems() const;
  void PopupCommand(TDeskPopupAction action);

  // --- the warp tool's field ---
  std::vector<TWarpCell>& WarpField() override { return warpField_; }
  void SetWarpFieldAllocated(bool allocated) override;
  void ClearWarpField() override;

  void SetDeskCursor(int cursor) override {
    if (view_) view_->SetDeskCursor(cursor);
  }

  // Flags of the desk's event handlers.
  bool Deleting = false;
  bool InMouseMove = false;
  bool DeskBusy() const override { return busy_; }
  void SetUndoPending(bool pending) override { undoPending_ = pending; }
  bool UndoPending() const { return undoPending_; }
  TDeskToolFlags& ToolFlags() override { return toolFlags_; }

  // --- ILayerHost: the main window's part goes to the owner ---
  void SetChanged(TChangeKind code) override { owner_.SetChanged(code); }
  void LayerShown(const TLayer& layer, TLayerShown what) override;
  // IDeskToolHost: a stroke refreshes the controls.
  void SetControls() override { owner_.SetControls(); }
  bool TakeUndoPending() override { return std::exchange(undoPending_, false); }
  void InvalidateDesk(const TRect& rect) override {
    if (DeskVisible()) PaintRect(rect);
  }
  bool LayerIdExists(const std::string& id) const override { return IndexOfLayerId(id) >= 0; }
  std::string NewLayerId() override;

  bool DeskVisible() const override { return view_ && view_->IsShown(); }
  bool IsSelectedLayer(const TLayer& layer) const;
  // Desk-window position of a canvas offset from the view's top-left.
  TPoint ImageToDesk(TPoint offset) const;
  // What the layers render for: the desk's scale, window and view; the export
  // picture's scale 1, size and source rectangle.
  TViewFrame DeskFrame() const;
  TViewFrame ExportFrame() const;

 private:
  TRect WindowRect() const;
  void EnsureDeskBitmaps();
  void PaintPixels(TRect rect, bool compose);
  // The selection frame over `rect` of the screen bitmap, and the view shows it.
  void ShowPixels(const TRect& rect);
  void DrawSelectionFrame(const TRect& clip);
  // The visible layers as the compositor takes them for `target`.
  std::vector<TCompositeLayer> CompositeParts(TDeskTarget target) const;
  void RecomposeAfterDelete(const TRect& area);
  void ForgetSpecial(const TLayer* layer);
  void RemoveLayer(int index);
  void Busy(bool busy);
  void ProcessMessages();

  IDeskOwner& owner_;
  IDeskView* view_ = nullptr;
  std::vector<std::unique_ptr<TLayer>> layers_;
  int selected_ = -1;
  TLayer* portrait_ = nullptr;
  TLayer* hand_ = nullptr;
  TLayer* body_ = nullptr;
  TBitmap32 deskBitmap_;
  TBitmap32 screenBitmap_;
  TBitmap32 viewBitmap_;
  TBitmap32 exportBitmap_;
  TRect exportBox_;
  std::mt19937 idRandom_;
  std::vector<std::uint8_t> hits_;
  std::vector<TWarpCell> warpField_;
  bool busy_ = false;
  bool undoPending_ = false;
  TDeskToolFlags toolFlags_;
};
