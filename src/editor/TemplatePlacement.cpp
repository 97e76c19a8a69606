#include "editor/TemplatePlacement.h"

#include <algorithm>
#include <cmath>

#include "editor/DeskMode.h"
#include "picture/BitmapRoutines.h"
#include "picture/Layer.h"
#include "platform/Numeric.h"

TPoint PlaceTemplate(std::string_view letter, TPoint placement, int width, int height) {
  if (letter == "B") return {placement.X - width / 2, placement.Y - height / 2};
  return placement;
}

std::optional<TPoint> HandTemplateSize(const THandMarker& marker, TPoint percent, int width, int height) {
  if (marker.Width <= 0 || marker.Length <= 0 || width <= 0 || height <= 0) return std::nullopt;
  if (percent.X == 0 && percent.Y == 0) return TPoint{marker.Width, std::max(1, RoundInt(marker.Length * 0.75))};
  const int w = RoundInt(marker.Width * percent.X / 100.0);
  const int h = RoundInt(marker.Length * 0.75 * percent.Y / 100.0);
  if (w <= 0 || h <= 0) return std::nullopt;
  const double scale = std::min(double(h) / height, double(w) / width);
  if (scale == 1.0) return TPoint{width, height};
  return TPoint{std::max(1, RoundInt(width * scale)), std::max(1, RoundInt(height * scale))};
}

TPoint HandTemplateOrigin(const THandMarker& marker, int width, int height) {
  return {marker.X - RoundInt(width * 0.5), marker.Y - RoundInt(height * 2.0 / 3.0)};
}

TFileResult<TLayer*> LoadTemplateLayer(ITemplateDesk& desk, const std::vector<TPartTypeRecord>& types,
                                       const std::string& fileName, TPoint placement, int handIndex) {
  const bool hand = handIndex >= 1 && handIndex <= kHandMarkerCount;
  const THandMarker* marker = hand ? &desk.Points().HandMarkers[std::size_t(handIndex - 1)] : nullptr;

  desk.SelectLayer(-1);
  TFileResult<std::unique_ptr<TLayer>> created = desk.CreateLayer(fileName);
  if (!created) return created.Error();
  std::unique_ptr<TLayer> layer = *std::move(created);
  const TPartTypeRecord* type = FindTemplateType(layer->TypeId, types);
  layer->TypeLetter = type ? type->Letters : std::string();
  layer->SetLevel(type ? type->Level : 0);

  if (!marker || layer->TypeLetter != "N") {
    const TPoint origin = PlaceTemplate(layer->TypeLetter, placement, layer->Picture.Width(), layer->Picture.Height());
    layer->Left = origin.X;
    layer->Top = origin.Y;
    layer->Render(desk.DeskGeometry().ViewFrame());
  } else {
    const std::optional<TPoint> size =
        HandTemplateSize(*marker, placement, layer->Picture.Width(), layer->Picture.Height());
    if (!size) return static_cast<TLayer*>(nullptr);
    if (size->X != layer->Picture.Width() || size->Y != layer->Picture.Height()) {
      layer->SetEditMode(emResize);
      layer->Picture.SetSize(size->X, size->Y);
      StretchDrawNearest(layer->Picture, Bounds(0, 0, size->X, size->Y), layer->BasePicture);
      layer->RebindMask();
    }
    const TPoint origin = HandTemplateOrigin(*marker, size->X, size->Y);
    layer->Left = origin.X;
    layer->Top = origin.Y;
    layer->Render(desk.DeskGeometry().ViewFrame());
    if (marker->Angle != 0) layer->SetAngle(marker->Angle);
  }

  if (desk.DeskMode() == dmNone) desk.SetDeskMode(dmColoration);
  TLayer* placed = layer.get();
  const int index = desk.InsertLayer(std::move(layer));
  desk.SetChanged(ckLayerAdded);
  if (placed->ViewRendering().State != rsNothing) desk.ComposeRect(placed->ViewRect());
  desk.SelectLayer(index);
  desk.RefreshLayerList();
  return placed;
}

std::optional<std::string_view> MissingReference(TTemplateKind kind, const TWorkPoints& points) {
  const THandMarkers& markers = points.HandMarkers;
  if (kind == tkFace && (points.Face.X == -1 || points.Face.Y == -1)) return kMessageFaceIsNotAdjusted;
  if (kind == tkHand &&
      std::all_of(markers.begin(), markers.end(), [](const THandMarker& m) { return m.X == -1 && m.Y == -1; }))
    return kMessageHandIsNotAdjusted;
  return std::nullopt;
}

TFileResult<std::optional<std::string_view>> ApplyTemplate(ITemplateDesk& desk,
                                                           const std::vector<TPartTypeRecord>& types,
                                                           const TPartInfoRecord& entry, const std::string& path,
                                                           const TApplyChoice& choice) {
  using TMessage = std::optional<std::string_view>;
  const TWorkPoints& points = desk.Points();
  desk.SetNewLayer(entry.PartType, entry.Name);
  TPoint placement{entry.X, entry.Y};
  switch (choice.Kind) {
    case tkFace:
      placement = {points.Face.X + entry.X, points.Face.Y + entry.Y};
      break;
    case tkHand: {
      // The entry's point is the share of the nail the template takes.
      bool made = false;
      for (int i = 1; i <= kHandMarkerCount; ++i) {
        const THandMarker& marker = points.HandMarkers[std::size_t(i - 1)];
        if (choice.Nails[std::size_t(i - 1)] && marker.X >= 0 && marker.Y >= 0) {
          // Each layer takes the type and caption afresh: creating one resets them.
          desk.SetNewLayer(entry.PartType, entry.Name);
          const TFileResult<TLayer*> placed = LoadTemplateLayer(desk, types, path, placement, i);
          if (!placed) return placed.Error();
          if (*placed) made = true;
        }
      }
      return made ? TMessage() : TMessage(kMessageNailsNotSelected);
    }
    case tkBody: {
      const TDeskGeometry& g = desk.DeskGeometry();
      placement = {g.DeskViewLeft + g.DeskViewWidth / 2, g.DeskViewTop + g.DeskViewHeight / 2};
      break;
    }
    case tkModel: {
      // From the canvas centre.
      const TDeskGeometry& g = desk.DeskGeometry();
      placement = {g.DesktopTableWidth / 2 + entry.X, g.DesktopTableHeight / 2 + entry.Y};
      break;
    }
  }
  if (choice.ReplaceSameType) desk.DeleteLayersOfType(entry.PartType);
  const TFileResult<TLayer*> placed = LoadTemplateLayer(desk, types, path, placement, 0);
  if (!placed) return placed.Error();
  return TMessage();
}
