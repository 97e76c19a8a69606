#include "editor/AdjustController.h"

#include "shell/Termins.h"

namespace {

const char* ConfirmKey(TAdjustKind kind) {
  switch (kind) {
    case kAdjustFace: return "ConfirmAdjustFace";
    case kAdjustHand: return "ConfirmAdjustHand";
    default: return "ConfirmAdjustBody";
  }
}

}  // namespace

std::string AdjustedLayerCaption(TAdjustKind kind) {
  const char* key = kind == kAdjustFace ? "PortraitLayerName" : kind == kAdjustHand ? "HandLayerName" : "BodyLayerName";
  const char* word = kind == kAdjustFace ? "Portrait" : kind == kAdjustHand ? "Hand" : "Body";
  std::string caption = GetTerm(key, ProgramTexts(), "");
  return caption.empty() ? word : caption;
}

TAdjustController::TAdjustController(TAdjustModel& model, TEyeDetector* detector, IAdjustHost& host)
    : model_(model), detector_(detector), host_(host) {}

void TAdjustController::Show(const TBitmap32& source) {
  std::optional<TEyeAnswer> eyes;
  if (!source.Empty() && detector_) eyes = detector_->Detect(source);
  noFaceFound_ = !model_.Show(source.Width(), source.Height(), eyes) && model_.Fit().has_value();
  fittedView_ = MakeFittedView(source, model_.Fit(), model_.ViewWidth(), model_.ViewHeight());
}

bool TAdjustController::Ok(const TBitmap32& source, bool sourceHasAlpha, int canvasWidth, int canvasHeight) {
  if (source.Empty()) return false;
  const TAdjustKind kind = model_.AdjustKind;
  if (!host_.AskYesNo(ConfirmKey(kind))) return false;
  if (host_.DeskHasLayers() && host_.AskYesNo("ConfirmClearPrevWork")) host_.ClearDesk();

  auto outcome = model_.Finish(source, sourceHasAlpha, canvasWidth, canvasHeight);
  if (!outcome) return false;
  if (kind == kAdjustFace) {
    host_.OfferPortraitLayerDelete();
    host_.Points().Face = outcome->FacePoint;
  } else if (kind != kAdjustHand) {
    host_.Points().Body = outcome->BodyPoint;
  }
  // The hand's markers were written into the model's marker array by Finish.
  host_.AddAdjustedLayer(kind, std::move(outcome->Bitmap), sourceHasAlpha, outcome->LayerOrigin,
                         AdjustedLayerCaption(kind));
  return true;
}

void TAdjustController::Close() {
  fittedView_ = TBitmap32();
  if (detector_) detector_->RemoveFiles();
}
