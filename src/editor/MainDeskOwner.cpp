// The main window's state as the desk's owner: what the desk and its layers ask of
// the main window and of the program-wide editing state.
#include "editor/EditorGlobals.h"
#include "editor/MainState.h"
#include "editor/SourcePicture.h"
#include "editor/TemplateBase.h"
#include "editor/TemplateGrid.h"
#include "shell/ShellGlobals.h"
#include "shell/Termins.h"

std::string TMainState::RegionWord() const { return GetTerm("FormLayerRegionsItemRegionCaption", Termins, "Region "); }

void TMainState::ShowLayerLabel(const std::string& text) { view_.ShowLayerLabel(text); }

int TMainState::NewLayerType() const { return ::NewLayerType; }
void TMainState::SetNewLayerType(int type) { ::NewLayerType = type; }
std::string TMainState::NewLayerCaption() const { return ::NewLayerCaption; }
bool TMainState::SourceHasAlpha() const { return ::SourceHasAlpha; }

bool TMainState::TakeUndoPending() {
  const bool pending = UndoPending;
  UndoPending = false;
  return pending;
}

// The template types' letters and the content folders come with the templates.
std::optional<std::string> TMainState::TemplateTypeLetter(int typeId) const {
  if (const TPartTypeRecord* type = FindTemplateType(typeId)) return type->Letters;
  return std::nullopt;
}
std::vector<std::string> TMainState::ContentFolders() const { return TemplateApplyFolders(); }

int TMainState::AskYesNo(const std::string& text) { return view_.AskYesNo(text); }

// Each of these reaches a window only when it is visible; the program has no
// layers list, layer-regions, portrait preview or catalogue window to reach.
void TMainState::RefreshLayerList() {}
void TMainState::LayerListSelect(int) {}
void TMainState::LayerListVisibilityChanged(int) {}
void TMainState::RegionsShowLayer(TLayer*) {}
void TMainState::ClearPortraitPreview() {}
bool TMainState::HasCatalogPage(const std::string&, const std::string&) const { return false; }
void TMainState::ShowCatalogPage(const std::string&, const std::string&) {}
