#pragma once
// The adjust window's OK on the montage desk: the questions through the desk's
// owner, clearing the work, the old portrait layer offered for deletion, and the
// new special layer put in its slot and on the desk.
#include <functional>

#include "editor/AdjustController.h"
#include "editor/DeskOwner.h"

class TMontageDesk;

class TDeskAdjustHost : public IAdjustHost {
 public:
  TDeskAdjustHost(TMontageDesk& desk, IDeskOwner& owner);

  // The main window's own part before the new layer goes on the desk (its tool
  // mode); may be empty.
  std::function<void()> BeforeNewLayer;

  TWorkPoints& Points() override;
  bool AskYesNo(std::string_view key) override;
  bool DeskHasLayers() const override;
  void ClearDesk() override;
  void OfferPortraitLayerDelete() override;
  void AddAdjustedLayer(TAdjustKind kind, TBitmap32 picture, bool hasAlpha, TPoint origin,
                        const std::string& caption) override;

 private:
  TMontageDesk& desk_;
  IDeskOwner& owner_;
};
