#pragma once
// Ready solutions: the models of one model type as thumbnails; a click shows a
// model's parts, a double click lays the whole model over the portrait, a click on
// a part lays that part alone. Ctrl held replaces the face parts on the desk.
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "editor/ModelList.h"
#include "shell/forms/SkinnedForm.h"

class QComboBox;
class QScrollArea;
class ITemplateDesk;
class TCaptionBar;
class TGraphicButton;
class TMyImage;
struct TMainSettings;

// A clickable thumbnail; it records whether Ctrl was held on its press.
class TModelThumb : public QWidget {
  Q_OBJECT
 public:
  TModelThumb(const TBitmap32& picture, QWidget* parent);
  std::function<void(bool ctrl)> OnClick;
  std::function<void(bool ctrl)> OnDblClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  TBitmap32 picture_;
  bool ctrl_ = false;
  bool doubleClicked_ = false;
};

class TFormMask : public TSkinnedForm {
  Q_OBJECT

 public:
  // Lists the model types of the settings ini.
  explicit TFormMask(const TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormMask() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonMinimize;
  TGraphicButton* ButtonExit;
  QComboBox* ComboBox;
  QScrollArea* ScrollBoxMasks;
  QScrollArea* ScrollBoxParts;
  TMyImage* ImageButtons;

  // Where the parts go (the main window's template host); nothing without one.
  ITemplateDesk* Desk = nullptr;
  // The message box (tests record instead).
  std::function<void(const std::string& key)> ShowMessage;
  // The template button that opened the window is released here.
  std::function<void()> OnClosed;

  const std::vector<TModelGroup>& Groups() const { return groups_; }
  int CurrentGroup() const { return group_; }
  int CurrentModel() const { return model_; }
  std::vector<TModelThumb*> ModelThumbs() const { return modelThumbs_; }
  std::vector<TModelThumb*> PartThumbs() const { return partThumbs_; }

  void ComboBoxChange(int index);
  void ShowModelParts(int model);
  // Returns the index of the last layer made, -1 for none.
  int ApplyModelClick(int model, bool ctrl);
  int ApplyPartClick(int part, bool ctrl);

 private:
  const TMainSettings& settings_;
  void Reload();
  void ClearThumbs(std::vector<TModelThumb*>& thumbs);
  bool FaceIsSet();
  int Apply(const TModel& model, bool ctrl);

  std::vector<TModelGroup> groups_;
  int group_ = -1;
  int model_ = -1;
  std::vector<TModelThumb*> modelThumbs_;
  std::vector<TModelThumb*> partThumbs_;
};

// The standing ready-solutions window (null before it is created).
extern TFormMask* FormMask;
void RegisterFormMask(TMainSettings& settings);
