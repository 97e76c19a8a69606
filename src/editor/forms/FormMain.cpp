#include "editor/forms/FormMain.h"

#include "editor/MainShell.h"

#include <QApplication>
#include <QColorDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolTip>

#include "editor/CatalogIndex.h"
#include "editor/DeskAdjustHost.h"
#include "editor/BackgroundMusic.h"
#include "editor/DeskTemplateHost.h"
#include "platform/Memory.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/FirstExpose.h"
#include "editor/MainDesign.h"
#include "editor/forms/FormAdjust.h"
#include "editor/forms/FormBaldHead.h"
#include "editor/forms/BusyCursor.h"
#include "editor/forms/FormColorCalibration.h"
#include "editor/forms/FormLayerSave.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormSetup.h"
#include "editor/forms/MainShellForm.h"
#include "editor/TemplateBase.h"
#include "editor/forms/MusicPlayer.h"
#include "editor/forms/TemplateButtons.h"
#include "shell/InterfaceInfo.h"
#include "shell/ProgramCursors.h"
#include "shell/Termins.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/Image.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/SoundHint.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

namespace {

// A label that answers a left click (the palette's name links to its page).
class TClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> OnClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && OnClick) OnClick();
  }
};

// Designed ranges and start values of the sliders (minimum, maximum, value).
struct TSliderStart {
  std::string_view Name;
  int Min, Max, Value;
};
constexpr TSliderStart kSliderStarts[] = {
    {"SliderRedColor", 0, 100, 50},     {"SliderGreenColor", 0, 100, 50},    {"SliderBlueColor", 0, 100, 50},
    {"SliderHue", 0, 200, 100},         {"SliderSaturation", 0, 200, 100},   {"SliderBrightness", 0, 200, 100},
    {"SliderContrast", 0, 200, 100},    {"SliderOpacity", 0, 100, 100},      {"SliderModifierSize", 2, 100, 50},
    {"SliderModifierPower", 0, 100, 50}, {"SliderBrushSize", 2, 100, 50},    {"SliderBrushPower", 0, 100, 50},
    {"SliderEraserSize", 2, 100, 50},   {"SliderEraserPower", 0, 100, 50},   {"SliderScale", 25, 200, 100},
};


// A wanted control shows only when it does something: a button whose window is
// not built yet has no click handler and stays hidden.
bool Usable(const TControlDecision& decision, const QWidget& control) {
  if (!decision.Wanted) return false;
  if (auto* slider = qobject_cast<const TGraphicSlider*>(&control)) return bool(slider->OnChange);
  if (auto* button = qobject_cast<const TGraphicButton*>(&control)) return bool(button->OnClick);
  return true;
}

}  // namespace

void SetSliderEnabled(TGraphicSlider& slider, bool enabled) {
  slider.setEnabled(enabled);
  slider.Resource().SetIndex(enabled ? 0 : 1);
}

void SetButtonEnabled(TGraphicButton& button, bool enabled) {
  button.setEnabled(enabled);
  button.Resource().SetIndex(enabled ? 0 : 3);
}

TFormMain::TFormMain(TMainSettings& settings, TTemplateBase& templates, QWidget* parent)
    : TSkinnedForm("FormMain", parent),
      settings_(settings),
      templates_(templates),
      state_(*this, InterfaceDeskGeometry(), templates, settings.Content) {
  deskWindow_ = new TFormMontage(state_, this);
  deskTools_ = std::make_unique<TMainDeskTools>(state_);
  deskWindow_->UseMouseTools(*deskTools_);
  state_.AttachDesk(deskWindow_->Desk());
  adjustHost_ = std::make_unique<TDeskAdjustHost>(deskWindow_->Desk(), state_);
  // A new special layer leaves the neutral mode for colouring.
  adjustHost_->BeforeNewLayer = [this] {
    if (state_.DeskMode() == dmNone) state_.SetDeskMode(dmColoration);
  };
  templateHost_ = std::make_unique<TDeskTemplateHost>(deskWindow_->Desk(), state_);
  templateHost_->GetDeskMode = [this] { return int(state_.DeskMode()); };
  templateHost_->ChangeDeskMode = [this](int mode) { state_.SetDeskMode(mode); };
  Init();
  templateButtons_->Desk = templateHost_.get();
  // The desk shows only once there are layers.
  deskWindow_->hide();
}

TFormMain::TFormMain(TMainSettings& settings, TTemplateBase& templates, IMainDesk& desk, QWidget* parent)
    : TSkinnedForm("FormMain", parent),
      settings_(settings),
      templates_(templates),
      state_(*this, InterfaceDeskGeometry(), templates, settings.Content) {
  state_.AttachDesk(desk);
  Init();
}

IAdjustHost* TFormMain::AdjustHost() const { return adjustHost_.get(); }

void TFormMain::Init() {
  resize(kMainWidth, kMainHeight);
  musicPlayer_ = std::make_unique<TQtMusicPlayer>();
  music_ = std::make_unique<TBackgroundMusic>(*musicPlayer_, settings_.PlayMusic);
  PauseMusicWithTheApplication();
  BuildControls();
  templateButtons_ = new TTemplateButtons(*this, settings_, templates_);
  templateButtons_->Build();
  // The interface file may move, size and recolour any control.
  ApplyInterface(this);
  BuildPaletteSlots();
  // A work opened before any template click needs the kinds of its layers.
  templates_.LoadTypes(settings_.Ini);
  LoadSkins();
  WireControls();
  SetButtonEnabled(*Button("ButtonLayerUndo"), false);  // nothing to take back before the first layer
  palette_.Read(ResolvePath(fs::path(InstallationFolder()), "PalData.txt"));
  OnKeyDown = [this](int& key, int shift) { state_.KeyDown(key, shift); };
  OnKeyUp = [this](int& key, int shift) { state_.KeyUp(key, shift); };
  ShellHooks().MainKeyDown = [this](int& key, int shift) { state_.KeyDown(key, shift); };
  ShellHooks().MainKeyUp = [this](int& key, int shift) { state_.KeyUp(key, shift); };
  Skins = {"FormMain.Skin", "FormMain.psd", {}, {}};
  // Centred on the backdrop's screen, from the start: a window first placed where
  // it is shown leaves a window manager nothing to race when it maps it.
  auto centre = [this] {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->geometry();
      move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
  };
  centre();
  OnShow = [this, centre] {
    centre();
    state_.ShowScrollRanges();
    // The sound device's probe and the player's library wait for the window to be on screen.
    AfterFirstExpose(*this, [this] { StartMusic(); });
  };
}

void TFormMain::StartMusic() {
  musicPlayer_->Drive(*music_);
  music_->OnEntryChanged = [](TMusicFileInfo& entry) {
    if (FormSetup && FormSetup->isVisible()) FormSetup->SetCheckBoxItemState(entry);
  };
  music_->OnMusicSwitched = [this](bool on) {
    // Hint sounds wait for the music, which pauses while they speak.
    TSoundHint* hint = TSoundHint::Current();
    if (!hint) return;
    hint->SoundAfter = on;
    if (on) hint->BgPlayer = &musicPlayer_->Media();
  };
  // Without a sound device nothing plays, so the MP3 probe would only cost time.
  const bool mp3 = musicPlayer_->SoundDeviceAvailable() && TestMp3Playback(*musicPlayer_, fs::path(InstallationFolder()));
  music_->BuildPlayList(settings_.Ini, MusicFolder(settings_.MusicDir, settings_.Content), mp3);
}

void TFormMain::PauseMusicWithTheApplication() {
  // The handlers outlive a main window made for a test: they check it is there.
  QPointer<TFormMain> self(this);
  MainApplicationEvents().Activated.push_back([self] {
    if (self) self->music_->Activated();
  });
  MainApplicationEvents().Deactivated.push_back([self] {
    if (self) self->music_->Deactivated();
  });
}

TFormMain::~TFormMain() {
  ShellHooks().MainKeyDown = nullptr;
  ShellHooks().MainKeyUp = nullptr;
}

QWidget* TFormMain::Control(std::string_view name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

TGraphicButton* TFormMain::Button(std::string_view name) const { return qobject_cast<TGraphicButton*>(Control(name)); }

TGraphicSlider* TFormMain::Slider(std::string_view name) const { return qobject_cast<TGraphicSlider*>(Control(name)); }

void TFormMain::BuildControls() {
  // The sheets first: buttons take them as they are made.
  for (const TSkinPicture& picture : MainSkinPictures()) {
    if (FindMainDesign(picture.Image)) continue;  // a designed picture control
    auto* sheet = new TImage(this);
    sheet->setObjectName(QString::fromUtf8(picture.Image.data(), int(picture.Image.size())));
    sheet->hide();
    controls_.emplace(std::string(picture.Image), sheet);
  }
  for (const TControlDesign& design : MainWindowDesign()) BuildControl(design);
  for (std::string_view panel : {"PanelLayerTools", "PanelDesktopTools"}) Control(panel)->setProperty("Tag", 1);
}

void TFormMain::BuildControl(const TControlDesign& design) {
  QWidget* parent = design.Parent.empty() ? static_cast<QWidget*>(this) : Control(design.Parent);
  QWidget* control = nullptr;
  switch (design.Kind) {
    // A panel shows its own skin, so the buttons on it blend over that.
    case TDesignKind::Panel:
    case TDesignKind::Image: control = new TImage(parent); break;
    case TDesignKind::Label: {
      auto* label = new TClickLabel(parent);
      label->setAlignment(Qt::AlignCenter);
      label->setStyleSheet("color: #e8f2f4; font-weight: bold;");
      control = label;
      break;
    }
    case TDesignKind::Button: {
      auto* button = new TGraphicButton(parent);
      SetUpFrames(*button, design);
      control = button;
      break;
    }
    case TDesignKind::Slider: {
      auto* slider = new TGraphicSlider(parent);
      SetUpFrames(*slider, design);
      control = slider;
      break;
    }
  }
  control->setObjectName(QString::fromUtf8(design.Name.data(), int(design.Name.size())));
  control->setGeometry(design.Left, design.Top, design.Width, design.Height);
  controls_.emplace(std::string(design.Name), control);
}

void TFormMain::SetUpFrames(TGraphicButton& button, const TControlDesign& design) {
  button.SetCaption(QString());
  if (design.Sheet.empty()) return;
  auto* sheet = qobject_cast<TImage*>(Control(design.Sheet));
  int top = 0;
  for (const TSheetPlace& row : SheetLayout(design.Sheet))
    if (row.Control == &design) top = row.Top;
  TGraphicResource& frames = button.Resource();
  frames.SetImage(sheet);
  frames.SetTop(top);
  frames.SetWidth(design.Width);
  frames.SetHeight(design.Height);
  button.SetActiveAlpha(1);
  auto* slider = qobject_cast<TGraphicSlider*>(&button);
  if (!slider) {
    frames.SetCols(kButtonFrames);
    frames.AutoEnter = 2;
    return;
  }
  frames.SetCols(kSliderFrames);
  frames.AutoPressed = -1;
  // The thumb: its two frames follow the track's.
  const TPoint thumbSize = ThumbSize(design);
  auto* thumb = new TGraphicButton(this);
  thumb->setObjectName(QString::fromUtf8(design.Name.data(), int(design.Name.size())) + "Thumb");
  thumb->resize(thumbSize.X, thumbSize.Y);
  thumb->Resource().SetImage(sheet);
  thumb->Resource().SetLeft(kSliderFrames * design.Width);
  thumb->Resource().SetTop(top);
  thumb->Resource().SetWidth(thumbSize.X);
  thumb->Resource().SetHeight(thumbSize.Y);
  thumb->Resource().SetCols(2);
  thumb->SetTransparency(0);
  slider->SetSlideButton(thumb);
}

void TFormMain::LoadSkins() {
  // The tool panels stay hidden while the desk is empty: what only they draw is
  // decoded when each first shows, so a start with an empty desk never holds it.
  for (const TSkinPicture& picture : MainSkinPictures())
    if (SkinPanel(picture).empty()) LoadSkin(picture);
  // The pictures were decoded whole to be packed.
  ReleaseFreedMemory();
  for (std::string_view name : {"PanelLayerTools", "PanelDesktopTools"}) Control(name)->installEventFilter(this);
}

void TFormMain::LoadSkin(const TSkinPicture& picture) {
  auto* image = qobject_cast<TImage*>(Control(picture.Image));
  if (!image) return;
  TBitmap32 bitmap;
  LoadSkinBitmap(bitmap, picture.Key, picture.DefaultFile, true);
  image->SetPackedPicture(bitmap);
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show) {
    watched->removeEventFilter(this);
    const std::string panel = watched->objectName().toStdString();
    for (const TSkinPicture& picture : MainSkinPictures())
      if (SkinPanel(picture) == panel) LoadSkin(picture);
    ReleaseFreedMemory();
  }
  return TSkinnedForm::eventFilter(watched, event);
}

void TFormMain::WireControls() {
  for (const TSliderStart& s : kSliderStarts)
    if (TGraphicSlider* slider = Slider(s.Name)) slider->SetAllValues(s.Min, s.Max, s.Value);
  Slider("SliderScale")->SetMax(state_.ScaleSliderMax());
  for (auto& [name, control] : controls_) {
    const TMainHint hint = MainHintKey(name);
    control->setToolTip(TermText(hint.Key, hint.Default));
  }
  WireValueSliders();
  WireToolAndViewSliders();
  WireButtons();
  WirePalette();
  // Nothing is shown for an empty desk until the first layer arrives.
  for (std::string_view panel : {"PanelLayerTools", "PanelDesktopTools"}) Control(panel)->hide();
}

void TFormMain::WireValueSliders() {
  for (int i = 0; i < kValueSliderCount; ++i) {
    TGraphicSlider* slider = Slider(ValueSliderNames[i]);
    const auto which = static_cast<TValueSlider>(i);
    slider->OnChange = [this, slider, which] { state_.ValueSliderChanged(which, slider->Value()); };
    slider->OnMouseDown = [this](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { state_.ValueSliderPressed(); };
    slider->OnMouseUp = [this](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { state_.ValueSliderReleased(); };
    SliderHintOnHover(*slider, ValueSliderNames[i]);
  }
}

void TFormMain::WireToolAndViewSliders() {
  for (int i = 0; i < kToolSliderCount; ++i) {
    TGraphicSlider* slider = Slider(ToolSliderNames[i]);
    const auto which = static_cast<TToolSlider>(i);
    slider->OnChange = [this, slider, which] { state_.ToolSliderChanged(which, slider->Value()); };
    state_.ToolSliderChanged(which, slider->Value());
    SliderHintOnHover(*slider, ToolSliderNames[i]);
  }
  TGraphicSlider* scale = Slider("SliderScale");
  scale->OnChange = [this, scale] { state_.SetDeskScale(scale->Value() / 100.0); };
  SliderHintOnHover(*scale, "SliderScale");
  TGraphicSlider* h = Slider("SliderHPos");
  TGraphicSlider* v = Slider("SliderVPos");
  h->OnChange = [this, h] { state_.ScrollDesk(h->Value(), state_.DeskGeometry().DeskViewTop); };
  v->OnChange = [this, v] { state_.ScrollDesk(state_.DeskGeometry().DeskViewLeft, v->Value()); };
}

void TFormMain::SliderHintOnHover(TGraphicSlider& slider, std::string_view name) {
  const std::string key = std::string(name) + "Hint";
  TGraphicSlider* target = &slider;
  slider.OnMouseMove = [target, key, name](Qt::KeyboardModifiers, int, int) {
    target->setToolTip(QString::fromStdString(SliderHint(name, GetTerm(key, ProgramTexts(), ""), target->Value())));
  };
}

void TFormMain::WireButtons() {
  for (const TModeButton& mode : ModeButtons) {
    const std::string_view name = mode.Name;
    Button(name)->OnClick = [this, name] { state_.ModeButtonClick(name); };
  }
  const std::pair<std::string_view, void (TMainState::*)()> actions[] = {
      {"ButtonLayerMoveTop", &TMainState::LayerMoveTopClick},
      {"ButtonLayerMoveBottom", &TMainState::LayerMoveBottomClick},
      {"ButtonLayerDelete", &TMainState::LayerDeleteClick},
      {"ButtonLayerShow", &TMainState::LayerShowHideClick},
      {"ButtonLayerHide", &TMainState::LayerShowHideClick},
      {"ButtonLayerUndo", &TMainState::LayerUndoClick},
      {"ButtonLayerReset", &TMainState::LayerResetClick},
      {"ButtonLayerFlipHorizontal", &TMainState::LayerFlipClick},
      {"ButtonLayerCopyState", &TMainState::LayerCopyStateClick},
      {"ButtonLayerPasteState", &TMainState::LayerPasteStateClick},
      {"ButtonClearWork", &TMainState::ClearWorkClick},
      {"ButtonCentering", &TMainState::CentreDesk},
  };
  for (const auto& [name, action] : actions) {
    auto handler = action;
    Button(name)->OnClick = [this, handler] { (state_.*handler)(); };
  }
  Button("ButtonLayerFlipHorizontal")->SetTag(1);
  Button("ButtonBaldHead")->OnClick = [this] { EditPortrait(lhkBaldHead); };
  Button("ButtonColorCalibration")->OnClick = [this] { EditPortrait(lhkCalibration); };
  // The save window works on the desk's active layer: without a desk it has none.
  if (deskWindow_)
    Button("ButtonLayerSave")->OnClick = [this] { SaveAsTemplate(deskWindow_->Desk(), settings_, templates_, nullptr); };
  Button("ButtonOriginalSize")->OnClick = [this] {
    Slider("SliderScale")->SetValue(100);
    state_.SetDeskScale(1.0);
  };
}

void TFormMain::BuildPaletteSlots() {
  const TPaletteSlotDesign design = PaletteSlotDesign();
  const int rows = GetInterfaceInt("FormMain.PaletteBtnRows");
  const int cols = GetInterfaceInt("FormMain.PaletteBtnCols");
  paletteRows_ = rows > 0 && rows <= 10 ? rows : design.Rows;
  paletteCols_ = cols > 0 && cols <= 10 ? cols : design.Cols;
  const int count = paletteRows_ * paletteCols_;
  std::vector<TPalettePlace> places = PalettePlaces(GetInterfaceValue("FormMain.PaletteBtnShowPos"), count);
  if (places.empty()) {
    // The designed places serve only the designed grid.
    paletteRows_ = design.Rows;
    paletteCols_ = design.Cols;
    places = PalettePlaces(design.ShowPos, design.Rows * design.Cols);
  }
  QWidget* panel = Control("PanelLayerTools");
  for (int i = 0; i < paletteRows_ * paletteCols_; ++i) {
    auto* slot = new TGraphicButton(panel);
    slot->setObjectName(QStringLiteral("PaletteButtonColor%1").arg(i + 1));
    slot->setGeometry(places[std::size_t(i)].X, places[std::size_t(i)].Y, design.Width, design.Height);
    slot->SetCaption(QString());
    // A face of one colour and no sheet shows only when it is drawn opaque.
    slot->SetTransparency(0);
    SetProgramCursor(*slot, crPipette);
    slot->hide();
    slot->OnMouseUp = [this, slot](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
      if (!slot->rect().contains(x, y)) return;
      if (button == Qt::RightButton) {
        const std::uint32_t c = slot->Color();
        const QColor chosen = QColorDialog::getColor(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF), this);
        PickColor(chosen.isValid() ? std::optional<int>(chosen.red() | chosen.green() << 8 | chosen.blue() << 16)
                                   : std::nullopt);
        return;
      }
      const TPaletteColor* colour = palette_.Find(int(slot->Color()));
      PickColor(colour ? std::optional<int>(colour->Color) : std::nullopt);
    };
    paletteSlots_.push_back(slot);
    controls_.emplace(slot->objectName().toStdString(), slot);
  }
}

void TFormMain::WirePalette() {
  const fs::path file = ResolvePath(fs::path(InstallationFolder()), "PalData.txt");
  Button("ButtonPalettePrev")->OnClick = [this, file] {
    palette_.Prev(file);
    RefreshPalette();
  };
  Button("ButtonPaletteNext")->OnClick = [this, file] {
    palette_.Next(file);
    RefreshPalette();
  };
  TGraphicSlider* slider = Slider("SliderPaletteColor");
  slider->OnChange = [this, slider] {
    palette_.PaletteFirstColor = PaletteFirstColorAt(slider->Value(), paletteCols_);
    RefreshPalette();
  };
  Button("ButtonPaletteColorPrev")->OnClick = [slider] { slider->SetValue(std::max(slider->Min(), slider->Value() - 1)); };
  Button("ButtonPaletteColorNext")->OnClick = [slider] { slider->SetValue(std::min(slider->Max(), slider->Value() + 1)); };
  Button("ButtonCurrentBrushColor")->OnClick = [this] {
    if (state_.DeskMode() != dmPaint) return;
    const QColor start(state_.BrushColorRed, state_.BrushColorGreen, state_.BrushColorBlue);
    const QColor chosen = QColorDialog::getColor(start, this);
    if (chosen.isValid()) PickColor(chosen.red() | chosen.green() << 8 | chosen.blue() << 16);
  };
}

void TFormMain::PickColor(std::optional<int> color) {
  if (color) state_.PaletteColorPicked(*color);
}

void TFormMain::EditPortrait(TLayerHistoryKind kind) {
  TLayer* portrait = deskWindow_ ? deskWindow_->Desk().PortraitLayer() : nullptr;
  if (!portrait || portrait->Picture.Empty()) {
    ShowMessageBox("MessagePortraitIsEmpty", mbkOKCancel, false, "There is no portrait on the desk yet.");
    return;
  }
  std::optional<TBitmap32> edited = kind == lhkBaldHead
                                        ? EditBaldHead(portrait->Picture, deskWindow_->Desk().Points.Face, {portrait->Left, portrait->Top})
                                        : CalibratePortrait(portrait->Picture, settings_);
  if (!edited) return;
  bool changed = false;
  {
    TBusyCursor busy;
    changed = state_.PortraitEdited(*portrait, kind, std::move(*edited));
  }
  if (!changed)
    ShowMessageBox("MessagePortraitNotChanged", mbkOKCancel, false,
                   "The portrait was left as it was: the edited picture has another size.");
}

void TFormMain::SetSliderValueQuietly(TGraphicSlider& slider, int min, int max, int value) {
  auto handler = std::move(slider.OnChange);
  slider.OnChange = nullptr;
  slider.SetAllValues(min, max, value);
  slider.OnChange = std::move(handler);
}

void TFormMain::ShowValueSliders(const TColorValues& values) {
  for (int i = 0; i < kValueSliderCount; ++i) {
    TGraphicSlider* slider = Slider(ValueSliderNames[i]);
    SetSliderValueQuietly(*slider, slider->Min(), slider->Max(), ValueOf(values, static_cast<TValueSlider>(i)));
  }
}

void TFormMain::ShowLayerLabel(const std::string& text) {
  auto* label = qobject_cast<QLabel*>(Control("LabelActiveLayerName"));
  label->setText(QString::fromStdString(text));
  label->repaint();
}

void TFormMain::ShowScrollSliders(const TSliderRange& horizontal, const TSliderRange& vertical) {
  SetSliderValueQuietly(*Slider("SliderHPos"), horizontal.Min, horizontal.Max, horizontal.Value);
  SetSliderValueQuietly(*Slider("SliderVPos"), vertical.Min, vertical.Max, vertical.Value);
}

void TFormMain::FillControlsInput(TControlsInput& input) const {
  input.FlipTag = Button("ButtonLayerFlipHorizontal")->Tag();
  input.PaletteSliderTag = paletteScrolls_ ? 1 : 0;
  input.LayerToolsTag = Control("PanelLayerTools")->property("Tag").toInt();
  input.DesktopToolsTag = Control("PanelDesktopTools")->property("Tag").toInt();
  for (const TModeButton& mode : ModeButtons) {
    const std::string image = "ImageSkin" + std::string(mode.Name.substr(std::string_view("Button").size()));
    if (auto* skin = qobject_cast<TImage*>(Control(image))) input.ModeSkinPresent[mode.Mode] = skin->HasPicture();
  }
}

void TFormMain::ApplyControls(const TControlsPlan& plan) {
  if (deskWindow_) deskWindow_->setVisible(plan.DeskVisible);
  if (!plan.LayerToolsVisible) Control("PanelLayerTools")->hide();
  if (!plan.DesktopToolsVisible) Control("PanelDesktopTools")->hide();
  // Undo stands outside the panels: an empty desk has nothing to take back either.
  SetButtonEnabled(*Button("ButtonLayerUndo"), plan.UndoEnabled);
  if (!plan.HasLayers) return;
  for (std::size_t i = 0; i < ModeButtons.size(); ++i) Button(ModeButtons[i].Name)->SetPressed(plan.ModePressed[i]);
  // Hide before showing: controls that share a place never appear together.
  for (const TControlDecision& d : plan.Panel)
    if (QWidget* control = Control(d.Name); control && !Usable(d, *control) && !control->isHidden()) control->hide();
  for (const TControlDecision& d : plan.Panel) {
    QWidget* control = Control(d.Name);
    if (!control || !Usable(d, *control)) continue;
    if (auto* slider = qobject_cast<TGraphicSlider*>(control))
      SetSliderEnabled(*slider, d.Enabled);
    else if (auto* button = qobject_cast<TGraphicButton*>(control))
      SetButtonEnabled(*button, d.Enabled);
    if (control->isHidden()) control->show();
  }
  for (TGraphicButton* slot : paletteSlots_) slot->setVisible(plan.PaletteActive && slot->Tag() == 1);
  if (TGraphicButton* brush = Button("ButtonCurrentBrushColor"); brush && !brush->isHidden()) {
    // The face colour in the class library's 0x00BBGGRR encoding.
    const std::uint32_t colour = std::uint32_t(state_.BrushColorBlue) << 16 |
                                 std::uint32_t(state_.BrushColorGreen) << 8 | std::uint32_t(state_.BrushColorRed);
    brush->SetColor(plan.BrushColorShown ? colour : 0x1FFFFFFF);
    SetProgramCursor(*brush, plan.BrushColorShown ? crPipette : crDefault);
  }
  if (plan.LayerToolsVisible) Control("PanelLayerTools")->show();
  if (plan.DesktopToolsVisible) Control("PanelDesktopTools")->show();
}

void TFormMain::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) ShowTip("FormMain");
  TSkinnedForm::mouseReleaseEvent(event);
}

void TFormMain::ShowTip(std::string_view page) {
  if (ShellHooks().ShowTip) ShellHooks().ShowTip(std::string(page));
}

void TFormMain::RefreshPalette() {
  const TPaletteSlots shown = ::PaletteSlots(palette_, paletteRows_, paletteCols_);
  paletteScrolls_ = shown.Scrolls;
  TGraphicSlider* slider = Slider("SliderPaletteColor");
  slider->SetTag(shown.Scrolls ? 1 : 0);
  if (shown.Scrolls) SetSliderValueQuietly(*slider, 0, shown.SliderMax, shown.SliderValue);
  for (std::size_t i = 0; i < paletteSlots_.size(); ++i) {
    TGraphicButton* slot = paletteSlots_[i];
    const int index = shown.Slot[i];
    slot->SetTag(index >= 0 ? 1 : 0);
    if (index < 0) continue;
    const TPaletteColor& colour = palette_.Colors[std::size_t(index)];
    slot->SetColor(std::uint32_t(colour.Color));
    slot->setToolTip(QString::fromStdString(colour.Name));
  }
  auto* label = qobject_cast<QLabel*>(Control("LabelPaletteName"));
  const QString name = QString::fromStdString(palette_.PaletteName);
  // A name wider than the label shows its start, and whole as the hint.
  const bool wide = label->fontMetrics().horizontalAdvance(name) > label->width();
  label->setAlignment(wide ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
  label->setToolTip(wide ? name : QString());
  label->setText(name);
  const std::string page = OfferedCatalogPage('P', palette_.PaletteName);
  label->setCursor(page.empty() ? Qt::ArrowCursor : ProgramCursor(crHandInfo));
  if (auto* link = dynamic_cast<TClickLabel*>(label)) link->OnClick = [page] { ShowCatalogPage(page); };
  state_.SetControls();
}

void TFormMain::ProcessMessages() { QCoreApplication::processEvents(); }

int TFormMain::AskYesNo(const std::string& text) { return ShowMessageBox(text, mbkYesNo, true); }

void RegisterMainWindow(TMainSettings& settings, TTemplateBase& templates) {
  RegisterStandingForm("FormMain",
                       [&settings, &templates](QWidget* owner) { return new TFormMain(settings, templates, owner); });
}

void TFormMain::MinimizeApplication() { showMinimized(); }
