#include "editor/DeskAdjustHost.h"

#include <memory>

#include "editor/DeskMode.h"
#include "editor/LayerList.h"
#include "editor/MontageDesk.h"
#include "picture/Layer.h"
#include "shell/Termins.h"

namespace {
constexpr int kAnswerYes = 6;
}

TDeskAdjustHost::TDeskAdjustHost(TMontageDesk& desk, IDeskOwner& owner) : desk_(desk), owner_(owner) {}

TWorkPoints& TDeskAdjustHost::Points() { return desk_.Points; }

bool TDeskAdjustHost::AskYesNo(std::string_view key) {
  return owner_.AskYesNo(GetTerm(key, ProgramTexts(), key)) == kAnswerYes;
}

bool TDeskAdjustHost::DeskHasLayers() const { return desk_.LayerCount() > 0; }

void TDeskAdjustHost::ClearDesk() {
  desk_.ClearLayers();
}

void TDeskAdjustHost::OfferPortraitLayerDelete() {
  if (const TLayer* portrait = desk_.PortraitLayer()) desk_.DeleteLayer(desk_.IndexOfLayer(portrait));
}

void TDeskAdjustHost::AddAdjustedLayer(TAdjustKind kind, TBitmap32 picture, bool hasAlpha, TPoint origin,
                                       const std::string& caption) {
  auto layer = std::make_unique<TLayer>(desk_, picture, TNewLayer{caption, hasAlpha});
  layer->Left = origin.X;
  layer->Top = origin.Y;
  layer->SetLevel(0);
  TLayer* added = layer.get();
  // A kept old special layer stays on the desk as an ordinary one.
  if (kind == kAdjustFace) {
    desk_.SetPortraitLayer(added);
    desk_.PortraitBitmap = picture;
  }
  else if (kind == kAdjustHand)
    desk_.SetHandLayer(added);
  else
    desk_.SetBodyLayer(added);
  if (BeforeNewLayer) BeforeNewLayer();
  desk_.SelectLayer(-1);
  added->Render(desk_.DeskFrame());
  const int index = desk_.InsertLayer(std::move(layer));
  owner_.SetChanged(ckNewWork);
  desk_.RefreshRect(added->ViewRect());
  desk_.SelectLayer(index);
  owner_.RefreshLayerList();
  if (kind == kAdjustFace && LayerWindowLinks().ShowPortrait) LayerWindowLinks().ShowPortrait();
}
