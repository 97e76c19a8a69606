#pragma once
// The main window: the tool modes, the value and tool sliders, the layer buttons,
// zoom and scroll around the montage desk, built from the design table and wired
// to the editing state (editor/MainState.h), which decides; this class shows.
#include <QPointer>
#include <map>
#include <memory>
#include <optional>
#include <vector>
#include <string>

#include "editor/MainDeskTools.h"
#include "editor/MainState.h"
#include "editor/Palette.h"
#include "shell/forms/SkinnedForm.h"

struct TSkinPicture;

class QLabel;
class TGraphicButton;
class TGraphicSlider;
class TImage;
class TFormMontage;
class TDeskAdjustHost;
class TDeskTemplateHost;
class TTemplateButtons;
class TBackgroundMusic;
class TQtMusicPlayer;
class IAdjustHost;
struct TControlDesign;
struct TMainSettings;
struct TTemplateBase;

class TFormMain : public TSkinnedForm, private IMainView {
  Q_OBJECT

 public:
  // The window with its desk window as a child, the desk owned by that window.
  // Its background music plays from the music folder of `settings` and turns
  // the settings' PlayMusic on and off. Its desk, template strip and layer save
  // work with `templates`, whose types it reads at once: a work opened before any
  // template click needs its layers' kinds. Both outlive the window.
  TFormMain(TMainSettings& settings, TTemplateBase& templates, QWidget* parent = nullptr);
  // The window over a desk made elsewhere, without a desk window; `desk` must
  // outlive the window.
  TFormMain(TMainSettings& settings, TTemplateBase& templates, IMainDesk& desk, QWidget* parent = nullptr);
  ~TFormMain() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 public:
  TMainState& State() { return state_; }
  // The settings it was made with: windows made later on its behalf take these.
  TMainSettings& Settings() const { return settings_; }
  // The template base it was made with, for the windows that work on its behalf.
  TTemplateBase& Templates() const { return templates_; }
  // The desk window, shown and hidden with the layers (a child; null without).
  TFormMontage* DeskWindow() const { return deskWindow_; }
  // What the adjust window's OK does on this window's desk (null without one).
  IAdjustHost* AdjustHost() const;
  // The palette shown, and its colour slots (row by row).
  const TPalette& Palette() const { return palette_; }
  const std::vector<TGraphicButton*>& PaletteSlots() const { return paletteSlots_; }
  // The background music and its player.
  TBackgroundMusic& Music() { return *music_; }
  TQtMusicPlayer& MusicPlayer() { return *musicPlayer_; }
  // The template strip under the desk (built from the interface).
  TTemplateButtons* TemplateButtons() const { return templateButtons_; }

  // Controls by their Name (null when the window has none of that name).
  TGraphicButton* Button(std::string_view name) const;
  TGraphicSlider* Slider(std::string_view name) const;
  QWidget* Control(std::string_view name) const;

  // The state's window side, public for the desk's owner and for tests.
  void ShowValueSliders(const TColorValues& values) override;
  void ShowLayerLabel(const std::string& text) override;

 private:
  TMainSettings& settings_;
  TTemplateBase& templates_;
  void Init();
  void BuildControls();
  void BuildControl(const TControlDesign& design);
  void SetUpFrames(TGraphicButton& button, const TControlDesign& design);
  void WireControls();
  void WireValueSliders();
  void WireToolAndViewSliders();
  void WireButtons();
  // The palette: its slots from the interface, its buttons and slider.
  void BuildPaletteSlots();
  void WirePalette();
  void StartMusic();
  void PauseMusicWithTheApplication();
  // A palette slot or the colour dialog gave a colour ($00BBGGRR).
  void PickColor(std::optional<int> color);
  // The bald-head editor or the colour calibration over the desk's portrait.
  void EditPortrait(TLayerHistoryKind kind);
  void LoadSkins();
  void LoadSkin(const TSkinPicture& picture);
  void SliderHintOnHover(TGraphicSlider& slider, std::string_view hintKey);
  void SetSliderValueQuietly(TGraphicSlider& slider, int min, int max, int value);

  // IMainView
  void ApplyControls(const TControlsPlan& plan) override;
  void FillControlsInput(TControlsInput& input) const override;
  void ShowScrollSliders(const TSliderRange& horizontal, const TSliderRange& vertical) override;
  void ShowTip(std::string_view page) override;
  void RefreshPalette() override;
  void ProcessMessages() override;
  int AskYesNo(const std::string& text) override;
  void MinimizeApplication() override;
  // A click on the window itself (not on a control) shows its tip.
  void mouseReleaseEvent(QMouseEvent* event) override;

  TMainState state_;
  std::map<std::string, QWidget*, std::less<>> controls_;
  TFormMontage* deskWindow_ = nullptr;
  std::unique_ptr<TMainDeskTools> deskTools_;
  std::unique_ptr<TDeskAdjustHost> adjustHost_;
  std::unique_ptr<TDeskTemplateHost> templateHost_;
  TTemplateButtons* templateButtons_ = nullptr;
  std::unique_ptr<TQtMusicPlayer> musicPlayer_;
  std::unique_ptr<TBackgroundMusic> music_;
  TPalette palette_;
  int paletteRows_ = 0, paletteCols_ = 0;
  std::vector<TGraphicButton*> paletteSlots_;
  bool paletteScrolls_ = false;
};

// Enabled controls show frame 0; a disabled slider frame 1, a disabled button 3.
void SetSliderEnabled(TGraphicSlider& slider, bool enabled);
void SetButtonEnabled(TGraphicButton& button, bool enabled);

// Makes the main window one of the standing windows the start-up creates, over
// `settings` and `templates` (which outlive it).
void RegisterMainWindow(TMainSettings& settings, TTemplateBase& templates);
