#pragma once
// The adjust window's desk for tests: records the questions (answering yes but
// for the keys in No) and the layers handed over, and keeps the points.
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "editor/AdjustController.h"

class FakeAdjustHost : public IAdjustHost {
 public:
  TWorkPoints points;
  std::set<std::string, std::less<>> No;  // keys answered "no"
  std::vector<std::string> Asked;
  bool HasLayers = false;
  int Cleared = 0;
  int PortraitOffers = 0;
  std::vector<TAdjustKind> Added;
  TBitmap32 LastPicture;
  bool LastHasAlpha = false;
  TPoint LastOrigin;
  std::string LastCaption;

  TWorkPoints& Points() override { return points; }
  bool AskYesNo(std::string_view key) override {
    Asked.emplace_back(key);
    return !No.contains(key);
  }
  bool DeskHasLayers() const override { return HasLayers; }
  void ClearDesk() override { ++Cleared; }
  void OfferPortraitLayerDelete() override { ++PortraitOffers; }
  void AddAdjustedLayer(TAdjustKind kind, TBitmap32 picture, bool hasAlpha, TPoint origin,
                        const std::string& caption) override {
    Added.push_back(kind);
    LastPicture = std::move(picture);
    LastHasAlpha = hasAlpha;
    LastOrigin = origin;
    LastCaption = caption;
  }
};
