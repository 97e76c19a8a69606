#include "editor/DeskTemplateHost.h"

#include "editor/MontageDesk.h"
#include "picture/Layer.h"

TDeskTemplateHost::TDeskTemplateHost(TMontageDesk& desk, IDeskOwner& owner) : desk_(desk), owner_(owner) {}

void TDeskTemplateHost::SetNewLayer(int type, const std::string& caption) {
  type_ = type;
  caption_ = caption;
}

TFileResult<std::unique_ptr<TLayer>> TDeskTemplateHost::CreateLayer(const std::string& fileName) {
  TFileResult<std::unique_ptr<TLayer>> layer = TLayer::CreateFromFile(desk_, fileName, owner_.ContentFolders());
  if (!layer) return layer;
  // The type and caption the browser chose.
  (*layer)->TypeId = type_;
  (*layer)->Caption = caption_;
  return layer;
}

void TDeskTemplateHost::SelectLayer(int index) { desk_.SelectLayer(index); }

int TDeskTemplateHost::InsertLayer(std::unique_ptr<TLayer> layer) { return desk_.InsertLayer(std::move(layer)); }

void TDeskTemplateHost::DeleteLayersOfType(int typeId) { desk_.DeleteLayersByKind("", typeId, false); }

int TDeskTemplateHost::DeskMode() const { return GetDeskMode ? GetDeskMode() : 0; }

void TDeskTemplateHost::SetDeskMode(int mode) {
  if (ChangeDeskMode) ChangeDeskMode(mode);
}

void TDeskTemplateHost::SetChanged(TChangeKind code) { owner_.SetChanged(code); }

void TDeskTemplateHost::ComposeRect(const TRect& rect) { desk_.CompositeRect(rect); }

void TDeskTemplateHost::RefreshLayerList() { owner_.RefreshLayerList(); }
const TWorkPoints& TDeskTemplateHost::Points() const { return desk_.Points; }
