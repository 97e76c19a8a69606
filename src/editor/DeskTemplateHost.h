#pragma once
// Template placement on the montage desk: the desk's layer stack and selection,
// the main window's change notification, layers list and desk mode.
#include <functional>
#include <memory>
#include <string>

#include "editor/DeskOwner.h"
#include "editor/TemplatePlacement.h"

class TMontageDesk;

class TDeskTemplateHost : public ITemplateDesk {
 public:
  TDeskTemplateHost(TMontageDesk& desk, IDeskOwner& owner);

  // The main window's desk mode.
  std::function<int()> GetDeskMode;
  std::function<void(int)> ChangeDeskMode;

  void SetNewLayer(int type, const std::string& caption) override;
  const TDeskGeometry& DeskGeometry() const override { return owner_.DeskGeometry(); }
  TFileResult<std::unique_ptr<TLayer>> CreateLayer(const std::string& fileName) override;
  void SelectLayer(int index) override;
  int InsertLayer(std::unique_ptr<TLayer> layer) override;
  void DeleteLayersOfType(int typeId) override;
  int DeskMode() const override;
  void SetDeskMode(int mode) override;
  void SetChanged(TChangeKind code) override;
  void ComposeRect(const TRect& rect) override;
  void RefreshLayerList() override;
  const TWorkPoints& Points() const override;

 private:
  TMontageDesk& desk_;
  IDeskOwner& owner_;
  int type_ = -1;
  std::string caption_;
};
