#pragma once
// Laying a template on the desk: where a layer of each kind goes, the fitting of a
// nail template to its hand marker, LoadTemplateLayer, and what a click on a
// template in the browser does.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/WorkPoints.h"
#include "editor/TemplateBase.h"
#include "picture/ChangeKind.h"
#include "platform/FileResult.h"
#include "platform/Geometry.h"
#include "shell/DeskGeometry.h"

class TLayer;

// What placing a template needs of the desk and the main window. The desk window's
// owner implements it; tests fake it.
class ITemplateDesk {
 public:
  virtual ~ITemplateDesk() = default;
  // The template type and caption the next layer of CreateLayer takes.
  virtual void SetNewLayer(int type, const std::string& caption) = 0;
  // The desk's geometry: a body template goes to the middle of its view, a
  // canvas-centred one from the canvas centre.
  virtual const TDeskGeometry& DeskGeometry() const = 0;
  // Builds the layer of an element file, or gives its loader's error.
  virtual TFileResult<std::unique_ptr<TLayer>> CreateLayer(const std::string& fileName) = 0;
  // -1 clears the selection.
  virtual void SelectLayer(int index) = 0;
  // Inserts by level; returns the index used.
  virtual int InsertLayer(std::unique_ptr<TLayer> layer) = 0;
  // Deletes the layers of that template type, the portrait, hand and body kept.
  virtual void DeleteLayersOfType(int typeId) = 0;
  virtual int DeskMode() const = 0;
  virtual void SetDeskMode(int mode) = 0;
  virtual void SetChanged(TChangeKind code) = 0;
  // Composes a desk-window rectangle into the desk bitmap.
  virtual void ComposeRect(const TRect& rect) = 0;
  // The layers list window, when it is visible.
  virtual void RefreshLayerList() = 0;
  // The work's reference points: faces, nails and solutions are placed by them.
  virtual const TWorkPoints& Points() const = 0;
};

// The top-left corner of a layer of width x height placed at `placement`: body
// templates are centred on it (halves truncated), all others start there.
TPoint PlaceTemplate(std::string_view letter, TPoint placement, int width, int height);

// The size a nail template of width x height takes on `marker`. `percent` (x for
// the width, y for the length) fits it into that share of the nail, three quarters
// of the length usable, keeping its aspect; (0, 0) stretches it to the nail. A
// marker with no width or length is refused (nullopt).
std::optional<TPoint> HandTemplateSize(const THandMarker& marker, TPoint percent, int width, int height);
// Its top-left corner: centred across the marker, two thirds of it above.
TPoint HandTemplateOrigin(const THandMarker& marker, int width, int height);

// Places the template `fileName` by its type in `types`: hand index 1..5 fits it to that hand marker,
// `placement` being the share of the nail it takes (HandTemplateSize); any other
// value places it by its type's letter at `placement`. Returns the new layer
// (owned by the desk), or nullptr when the hand marker is refused; the picture
// loader's error for a file that cannot be read.
TFileResult<TLayer*> LoadTemplateLayer(ITemplateDesk& desk, const std::vector<TPartTypeRecord>& types,
                                       const std::string& fileName, TPoint placement, int handIndex);

// What a click on a template tells the user (a message key), or nothing.
inline constexpr std::string_view kMessageFaceIsNotAdjusted = "MessageFaceIsNotAdjusted";
inline constexpr std::string_view kMessageHandIsNotAdjusted = "MessageHandIsNotAdjusted";
inline constexpr std::string_view kMessageNailsNotSelected = "MessageNailsNotSelected";

// The reference point of the kind is missing: the face point, or every hand marker.
std::optional<std::string_view> MissingReference(TTemplateKind kind, const TWorkPoints& points);

struct TApplyChoice {
  TTemplateKind Kind = tkFace;
  std::array<bool, kHandMarkerCount> Nails{};  // the nail buttons pressed
  bool ReplaceSameType = false;
};

// Applies `entry` (found at `path`) by the browser's kind: sets the new layer's
// type and caption, places it against the kind's reference point (the face
// point, the hand markers, the middle of the desk's view, the canvas centre),
// deletes the layers of its type first when asked, and loads the layer(s). Gives
// the message to show, if any, or why the template's file cannot be read.
TFileResult<std::optional<std::string_view>> ApplyTemplate(ITemplateDesk& desk,
                                                           const std::vector<TPartTypeRecord>& types,
                                                           const TPartInfoRecord& entry, const std::string& path,
                                                           const TApplyChoice& choice);
