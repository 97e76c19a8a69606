#pragma once
// What the montage desk needs from the main window and the windows around it,
// besides the part every layer needs (which the desk passes on to it). The main
// window implements it.
#include <optional>
#include <string>
#include <vector>

#include "picture/LayerHost.h"
#include "platform/Geometry.h"
#include "shell/DeskGeometry.h"

class TLayer;
class TMask;

class IDeskOwner : public IEditingHost {
 public:
  // The canvas and window sizes, the scale and the view the desk shows.
  virtual const TDeskGeometry& DeskGeometry() const = 0;
  // Refreshes the enabled state of the undo and layer controls.
  virtual void SetControls() = 0;
  // The sliders show `layer`'s own values, or with `mask` its current region's.
  virtual void ShowLayerValues(const TLayer& layer, const TMask* mask) = 0;
  // The layer label of the main window.
  virtual void ShowLayerLabel(const std::string& text) = 0;
  // The word before a region number in labels ("Region").
  virtual std::string RegionWord() const = 0;

  // What new layers are made of: the letter of the template type with that
  // number (nullopt when none has it); the content folders (hard disk, disc,
  // installation) taken out of a layer's source file.
  virtual std::optional<std::string> TemplateTypeLetter(int typeId) const = 0;
  virtual std::vector<std::string> ContentFolders() const = 0;

  // A yes/no question in the program's message box; 6 means yes.
  virtual int AskYesNo(const std::string& text) = 0;

  // The layers list window, each only when it is visible: the whole list again;
  // the selection moved to `index` (-1 none) with its buttons; the layer at
  // `index` changed its visibility (buttons, and that layer shown).
  virtual void RefreshLayerList() = 0;
  virtual void LayerListSelect(int index) = 0;
  virtual void LayerListVisibilityChanged(int index) = 0;
  // The look of `layer` changed: its thumbnail follows.
  virtual void LayerListLookChanged(const TLayer& layer) = 0;
  // The layer-regions window, when visible, shows `layer` (nullptr: none).
  virtual void RegionsShowLayer(TLayer* layer) = 0;
  // The portrait preview window, when visible, is emptied.
  virtual void ClearPortraitPreview() = 0;
  // The catalogue: whether it has a page for a kind and an element file, and
  // showing that page.
  virtual bool HasCatalogPage(const std::string& kind, const std::string& sourceFile) const = 0;
  virtual void ShowCatalogPage(const std::string& kind, const std::string& sourceFile) = 0;
};

// What a layer shows, as the owner's label, sliders, controls and layers list: the
// label is the caption, with the current region's word and number when one is
// chosen; the sliders show that region's values, else the layer's.
void ShowLayer(IDeskOwner& owner, const TLayer& layer, TLayerShown what);
// The layer's kind letter by its template type.
std::string LayerKindLetter(const IDeskOwner& owner, const TLayer& layer);

// What the desk needs from its window: showing repainted pixels, whether the
// window is on screen, the hourglass, letting pending window messages run, the
// popup menu and the cursor.
class IDeskView {
 public:
  virtual ~IDeskView() = default;
  // The window shows `rect` of the desk's screen bitmap again.
  virtual void ShowRect(const TRect& rect) = 0;
  virtual bool IsShown() const = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  virtual void ProcessMessages() = 0;
  // Opens the layer popup menu (for PopupLayerIndex) at a desk-window point.
  virtual void OpenPopup(TPoint windowPoint) = 0;
  // The desk window's mouse cursor (the program's cursor numbers, 0 the default).
  virtual void SetDeskCursor(int cursor) = 0;
};
