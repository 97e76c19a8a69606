// The main window's state as the desk's owner: what the desk and its layers ask of
// the main window and of the program-wide editing state.
#include "editor/CatalogIndex.h"
#include "editor/LayerList.h"
#include "editor/MainState.h"
#include "editor/TemplateBase.h"
#include "editor/TemplateGrid.h"
#include "shell/Termins.h"

std::string TMainState::RegionWord() const { return GetTerm("FormLayerRegionsItemRegionCaption", ProgramTexts(), "Region "); }

void TMainState::ShowLayerLabel(const std::string& text) { view_.ShowLayerLabel(text); }

// The template types' letters come with the templates, the content folders with the settings.
std::optional<std::string> TMainState::TemplateTypeLetter(int typeId) const {
  if (const TPartTypeRecord* type = FindTemplateType(typeId, templates_.Types)) return type->Letters;
  return std::nullopt;
}
std::vector<std::string> TMainState::ContentFolders() const { return TemplateApplyFolders(content_); }

int TMainState::AskYesNo(const std::string& text) { return view_.AskYesNo(text); }

// The layers list, the portrait preview and the layer-regions window are reached
// through their links, which they set while they exist; the catalogue through its
// presenter.
void TMainState::RefreshLayerList() {
  if (LayerWindowLinks().RefreshLayerList) LayerWindowLinks().RefreshLayerList();
}
void TMainState::LayerListSelect(int index) {
  if (LayerWindowLinks().LayerListSelect) LayerWindowLinks().LayerListSelect(index);
}
void TMainState::LayerListVisibilityChanged(int index) {
  if (LayerWindowLinks().LayerListVisibilityChanged) LayerWindowLinks().LayerListVisibilityChanged(index);
}
void TMainState::LayerListLookChanged(const TLayer& layer) {
  if (LayerWindowLinks().LayerListLookChanged) LayerWindowLinks().LayerListLookChanged(layer);
}
void TMainState::RegionsShowLayer(TLayer* layer) {
  if (LayerWindowLinks().RegionsShowLayer) LayerWindowLinks().RegionsShowLayer(layer);
}
void TMainState::ClearPortraitPreview() {
  if (LayerWindowLinks().ClearPortraitPreview) LayerWindowLinks().ClearPortraitPreview();
}
bool TMainState::HasCatalogPage(const std::string& kind, const std::string& sourceFile) const {
  return !kind.empty() && !OfferedCatalogPage(kind.front(), sourceFile).empty();
}
void TMainState::ShowCatalogPage(const std::string& kind, const std::string& sourceFile) {
  if (!kind.empty()) ::ShowCatalogPage(OfferedCatalogPage(kind.front(), sourceFile));
}
