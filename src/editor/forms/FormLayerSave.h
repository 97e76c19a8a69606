#pragma once
// The save window: the active layer, or one region of it, becomes a user
// template of the chosen type (editor/TemplateSave does the writing). Made for
// each save and run modally.
#include <string>

#include "editor/LayerRegions.h"
#include "editor/TemplateSave.h"
#include "shell/forms/SkinnedForm.h"

class QComboBox;
class QLabel;
class QLineEdit;
class TCaptionBar;
class TGraphicButton;
class TLayer;
class TMontageDesk;
class TMyImage;
struct TMainSettings;

class TFormLayerSave : public TSkinnedForm {
  Q_OBJECT

 public:
  // `layer` is the desk's active layer (null: the window closes at once); the
  // template types are read from `settings` into `templates`.
  TFormLayerSave(TMontageDesk& desk, TLayer* layer, const TMainSettings& settings, TTemplateBase& templates,
                 QWidget* parent = nullptr);
  ~TFormLayerSave() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QLabel* LabelTemplateType;
  QComboBox* ComboBoxTemplateType;
  QLabel* LabelTemplateName;
  QLineEdit* EditTemplateName;
  TGraphicButton* ButtonOK;
  TGraphicButton* ButtonCancel;
  TMyImage* ImageButtons;

  // A region save: the cut region replaces the whole layer.
  void SetRegion(TRegionCut cut);
  bool IsRegion() const { return isRegion_; }
  void ButtonOKClick();
  // The template saved last (empty before).
  const std::string& SavedFileName() const { return savedFile_; }

 private:
  void FillTypes();

  TMontageDesk& desk_;
  TLayer* layer_;
  const TMainSettings& settings_;
  TTemplateBase& templates_;
  bool isRegion_ = false;
  TRegionCut region_;
  std::string savedFile_;
};

// Saves the desk's active layer (`region` null) or a region of it as a template,
// through the save window run modally.
void SaveAsTemplate(TMontageDesk& desk, const TMainSettings& settings, TTemplateBase& templates,
                    const TRegionCut* region);
