#pragma once
// The template browser "FormTemplates": the templates of one type as a grid of
// previews; a click lays the chosen one on the desk against the reference point
// of its kind. The tables, the grid geometry and the placement are Qt-free
// (editor/TemplateBase.h, TemplateGrid.h, TemplatePlacement.h); this window
// paints the grid and wires the mouse, keys and buttons to them.
#include <functional>
#include <string>
#include <vector>

#include "editor/TemplateBase.h"
#include "editor/TemplateGrid.h"
#include "editor/TemplatePlacement.h"
#include "shell/forms/SkinnedForm.h"

class QLabel;
class TCaptionBar;
class TGraphicButton;
class TGraphicSlider;
class TMyImage;
struct TMainSettings;
struct TQuestionnaires;

class TFormTemplates : public TSkinnedForm {
  Q_OBJECT

 public:
  // Reads the template types of the settings ini into `templates`; filters by the
  // answers of `questionnaires`. Both outlive it.
  TFormTemplates(const TMainSettings& settings, TTemplateBase& templates, TQuestionnaires& questionnaires,
                 QWidget* parent = nullptr);
  ~TFormTemplates() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonMinimize;
  TGraphicButton* ButtonExit;
  TMyImage* ResImage;
  QLabel* LabelPartsName;
  QLabel* LabelNumPartsShow;
  QLabel* LabelNumPartsTotal;
  TGraphicButton* ButtonSetTemplatesFilter;
  std::array<TGraphicButton*, kHandMarkerCount> ButtonNail{};
  TGraphicButton* ButtonReplaceSameType;
  TGraphicSlider* SliderScrollPreview;
  TGraphicButton* SliderScrollPreviewButton;
  TGraphicButton* ButtonPreviewScrollUp;
  TGraphicButton* ButtonPreviewScrollDown;
  TMyImage* ImageVideoInfoEtalon;
  TMyImage* ImageCatalogInfoEtalon;
  TMyImage* Image3DTemplateEtalon;
  TMyImage* ImageEmptyPreview;
  TMyImage* ImageButtons;

  TTemplateKind TemplateKind = tkFace;
  bool ScrollByPage = false;
  std::string NotFoundText;

  // Where templates go (set by the main window; without one a click does nothing).
  ITemplateDesk* Desk = nullptr;
  // Shows a message: a UI-text key, or with `literal` the text itself.
  std::function<void(const std::string& keyOrText, bool literal)> ShowMessage;
  // Plays a template's video; nothing happens without a player.
  std::function<void(const std::string& file)> PlayVideo;
  // The window was closed: the main window releases its template button.
  std::function<void()> OnClosed;

  // The opener: the type, its grid, the caption and the kind. A shown window is
  // refreshed in place (reloading PartBase.txt when it changed); a hidden one
  // loads the tables and shows. False when the tables cannot be read (the reason
  // was shown).
  bool OpenForType(int type, TPoint grid, const std::string& caption, TTemplateKind kind);
  // "TEMPLATE TYPES" and PartBase.txt; false (and the message shown) when the
  // catalogue cannot be read.
  bool LoadTables();
  // Reloads PartBase.txt, showing why when it cannot be read; false then.
  bool LoadPartBaseTold();
  void RefreshTemplateList(bool resetScroll);
  // Paints the grid from the shown entry `firstIndex` (0-based).
  void DrawTemplatePreviews(int firstIndex);
  // After a layer was saved as a template.
  void ReloadPartBase();

  // The tables it shows.
  const TTemplateBase& Templates() const { return templates_; }
  // The shown entries (indices into Templates().List) and the type's total.
  const std::vector<int>& Shown() const { return shown_; }
  // The video and catalogue icons on the grid now.
  const std::vector<QWidget*>& Icons() const { return icons_; }
  int TotalCount() const { return total_; }
  const TTemplateGrid& Grid() const { return grid_; }
  const TBitmap32& GridBitmap() const { return gridBitmap_; }
  int FirstRow() const;

  // The grid's mouse: hover and the click that applies.
  void ResImageMouseMove(int x, int y);
  void ResImageMouseUp(int x, int y);
  // One row (or a page with ScrollByPage) up or down.
  void ScrollPreview(bool down);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  const TMainSettings& settings_;
  TTemplateBase& templates_;
  TQuestionnaires& questionnaires_;
  int filterListener_ = -1;  // in questionnaires_.Filter
  void BuildControls();
  void PlaceCounter();
  void ApplyEntry(const TPartInfoRecord& entry);
  void Message(const std::string& keyOrText, bool literal);
  void ClearIcons();
  // A copy of a hidden pattern icon on the grid, clicked through `onClick`.
  TMyImage* AddIcon(const TMyImage& etalon, int cursor, std::function<void()> onClick);
  void KeyUp(int& key, int shift);

  TTemplateGrid grid_;
  std::vector<int> shown_;
  int total_ = 0;
  TBitmap32 gridBitmap_;
  std::vector<QWidget*> icons_;
  TPoint hovered_{0, 0};  // (row, column), 1-based; (0, 0) none
};

// The standing browser (null before it is created).
extern TFormTemplates* FormTemplates;
void RegisterFormTemplates(TMainSettings& settings, TTemplateBase& templates, TQuestionnaires& questionnaires);
