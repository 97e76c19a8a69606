#pragma once
// The settings window: the interface for the next start with its preview, music
// with its play list, hint sounds, tips, the calibration colour, the print
// margins and the mail server. Switches act at once; "Save" writes the settings.
#include <string>

#include "shell/InterfaceInfo.h"
#include "shell/forms/SkinnedForm.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QSpinBox;
class TBackgroundMusic;
class TCaptionBar;
class TGraphicButton;
class TMyImage;
struct TMainSettings;
struct TMusicFileInfo;

class TFormSetup : public TSkinnedForm {
  Q_OBJECT
 public:
  // Shows and edits `settings`, and writes them to the settings ini on OK.
  explicit TFormSetup(TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormSetup() override;

  // The main window's music (null: the music controls stay hidden).
  void SetMusic(TBackgroundMusic* music);
  // The play-list item of `entry` takes its check mark and enabled state.
  void SetCheckBoxItemState(const TMusicFileInfo& entry);

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  TMyImage* ImageButtons;
  QComboBox* ComboBoxInterfaceName;
  QLabel* ImageInterfacePreview;
  TGraphicButton* ButtonPlayMusic;
  TGraphicButton* ButtonSoundEffects;
  TGraphicButton* ButtonShowTips;
  QLabel* LabelCalibrationColor;
  TGraphicButton* ButtonCurrentCalibrationColor;
  TGraphicButton* ButtonDefaultCalibrationColor;
  QLabel* LabelCalibrationRed;
  QLabel* LabelCalibrationGreen;
  QLabel* LabelCalibrationBlue;
  QLabel* LabelPlayList;
  QListWidget* CheckListBoxMusicFiles;
  TGraphicButton* ButtonAddMusicFile;
  QLabel* LabelLeftRightMargins;
  QLineEdit* EditLeftRightMargins;
  QSpinBox* UpDown1;
  QLabel* LabelTopBottomMargins;
  QLineEdit* EditTopBottomMargins;
  QSpinBox* UpDown2;
  QLabel* LabelMailServer;
  QLineEdit* EditMailServer;
  QLabel* LabelMailPort;
  QLineEdit* EditMailPort;
  QLabel* LabelVersion;
  TGraphicButton* ButtonSaveSettings;
  TGraphicButton* ButtonOK;

  // The interface chosen in the combo: 0 the default, else entry index - 1.
  int SelectedInterface() const { return selectedIndex_; }
  const std::string& SelectedFolder() const { return selectedFolder_; }
  // Adds files to the play list as the add button does after its dialog.
  void AddMusicFiles(const QStringList& files);
  void ButtonSaveSettingsClick();
  // A drag over the play list's items or its drop there, as the list's view
  // passes them on: accepted only over an item, where the dragged entry goes.
  bool DropOnPlayList(class QDropEvent& event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TMainSettings& settings_;
  void BuildControls();
  void ApplyTexts();
  void Reload();
  void ShowCalibrationColor();
  void SetCalibrationColor(int red, int green, int blue);
  void ChooseInterface(int index);
  void DrawPreview();
  void RebuildPlayList();
  void SyncMusicButton();
  TMusicFileInfo* EntryOf(const QListWidgetItem* item) const;
  TMusicFileInfo* SelectedEntry() const;
  void DeleteSelectedEntry();

  TBackgroundMusic* music_ = nullptr;
  QString musicFolder_;  // where the music file dialog opens: the last folder chosen
  std::vector<TIntInfoRecord> interfaces_;  // as the settings listed them at the last Reload
  int selectedIndex_ = 0;
  std::string selectedFolder_ = "DEFAULT\\";
  bool rebuilding_ = false;
};

extern TFormSetup* FormSetup;
void RegisterFormSetup(TMainSettings& settings);
