#pragma once
// The layer-regions window: the no-region item and regions 1 to 8 of the desk's
// active layer, each with a thumbnail. A click makes the item the layer's
// current region (the main window's sliders then recolour it), the editor
// builds the region, and a region can be saved as a template. The thumbnails
// and the region cut are editor/LayerRegions' work.
#include <array>
#include <string>

#include "editor/LayerRegions.h"
#include "shell/forms/SkinnedForm.h"

class TCaptionBar;
class TGraphicButton;
class TLayer;
class TMyImage;
class TMyListBox;
class TFormMain;
class TMontageDesk;
struct TMainSettings;

class TFormLayerRegions : public TSkinnedForm {
  Q_OBJECT

 public:
  // A region is saved as a template of the types in `settings`.
  explicit TFormLayerRegions(const TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormLayerRegions() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonMinimize;
  TGraphicButton* ButtonExit;
  TMyListBox* ListBox;
  TGraphicButton* ButtonEditRegion;
  TGraphicButton* ButtonSaveRegion;
  TMyImage* ImageButtons;

  // The main window whose desk is shown, handed in as the window is made
  // (ConnectMainWindow); null: none.
  TFormMain* MainWindow = nullptr;

  // Shows the regions of `layer` (a layer of the desk), or nothing for null.
  void SetLayer(TLayer* layer);
  TLayer* Layer() const { return layer_; }
  // After the editor's OK.
  void RegionsChanged();
  void RefreshRegionThumbnails();
  const std::array<TBitmap32, kRegionItemCount>& Thumbnails() const { return thumbnails_; }
  int SelectedItem() const { return selectedItem_; }

  void ListBoxClick(int item);
  void ButtonEditRegionClick();
  void ButtonSaveRegionClick();

 private:
  TFormMain* Main() const;
  TMontageDesk* Desk() const;
  // The shown layer while it is still on the desk.
  TLayer* LiveLayer() const;

  const TMainSettings& settings_;
  TLayer* layer_ = nullptr;
  int selectedItem_ = 0;
  std::array<TBitmap32, kRegionItemCount> thumbnails_;
  std::string itemRegionCaption_;
  std::string itemNoRegionCaption_;
};

// The standing regions window (null before it is created).
extern TFormLayerRegions* FormLayerRegions;
void RegisterFormLayerRegions(TMainSettings& settings);
