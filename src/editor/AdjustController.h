#pragma once
// The adjust window's showing and OK, without Qt: the fitted view, the eye
// detector, the confirmations and the hand-over of the new special layer.
#include <string>
#include <string_view>

#include "editor/AdjustModel.h"
#include "editor/EyeDetector.h"

// What the adjust window needs from the message box and the desk.
class IAdjustHost {
 public:
  virtual ~IAdjustHost() = default;
  // The desk's reference points: OK records the face or body point there, and the
  // model's markers are its hand markers.
  virtual TWorkPoints& Points() = 0;
  // The yes/no box with the UI text of `key`; true for yes.
  virtual bool AskYesNo(std::string_view key) = 0;
  virtual bool DeskHasLayers() const = 0;
  // Removes every layer of the desk.
  virtual void ClearDesk() = 0;
  // When the desk has a portrait layer, offers it to the desk's confirmed delete; on
  // a "no" it stays as an ordinary layer.
  virtual void OfferPortraitLayerDelete() = 0;
  // Makes the new portrait, hand or body layer (type -1, level 0) from `picture`
  // (whose alpha is its own when `hasAlpha`) at `origin` on the canvas, puts it in
  // the desk's slot of that kind and on the desk, and reports the new work.
  virtual void AddAdjustedLayer(TAdjustKind kind, TBitmap32 picture, bool hasAlpha, TPoint origin,
                                const std::string& caption) = 0;
};

class TAdjustController {
 public:
  // `detector` may be null (no detector: the lines keep their places). The model's
  // marker array should be the host's Points().HandMarkers.
  TAdjustController(TAdjustModel& model, TEyeDetector* detector, IAdjustHost& host);

  // Every showing, also of a window already visible: rebuilds the fitted view from
  // `source` and asks the detector for the eyes. An empty source gets a white view
  // and no detector run.
  void Show(const TBitmap32& source);
  const TBitmap32& FittedView() const { return fittedView_; }
  // Whether the last showing of a picture found no face to put the lines on.
  bool NoFaceFound() const { return noFaceFound_; }

  // OK. True when the new layer was handed to the desk and the window should close;
  // false when the source is empty or the user declined.
  bool Ok(const TBitmap32& source, bool sourceHasAlpha, int canvasWidth, int canvasHeight);

  // Closing: frees the fitted view and deletes the detector's exchange files.
  void Close();

 private:
  TAdjustModel& model_;
  TEyeDetector* detector_;
  IAdjustHost& host_;
  TBitmap32 fittedView_;
  bool noFaceFound_ = false;
};

// The caption of a new special layer: the UI text, or the English word when the
// text table has none.
std::string AdjustedLayerCaption(TAdjustKind kind);
