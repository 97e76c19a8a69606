#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include "MainStateFixture.h"
#include "editor/BackgroundMusic.h"
#include "editor/MainDesign.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormMain.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "editor/forms/FormMontage.h"
#include "picture/Layer.h"
#include "platform/IniFile.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/InterfaceInfo.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/Image.h"
#include "support/TestPaths.h"

namespace {

void Mouse(QWidget* widget, QEvent::Type type, QPoint p) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(p), QPointF(widget->mapToGlobal(p)), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

void Key(QWidget* widget, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
  QKeyEvent event(type, key, modifiers);
  QApplication::sendEvent(widget, &event);
}

// The window loads its default skins from the installation folder of the build.
struct TInstalledSkins {
  std::vector<std::string> messages;
  TInterface Interface;
  TUseInterface UseInterface{Interface};
  TInstalledSkins() {
    SetProgramFolders(BuildDir() / "Tressary");
    Interface.Dir = "Intfaces\\";
    Interface.ResolutionIndex = 2;  // the 1024-768 folder
    SetMessagePresenter([this](TMessageBoxKind, const std::string& text) { messages.push_back(text); });
  }
  ~TInstalledSkins() {
    SetMessagePresenter(nullptr);
    SetProgramFolders({});
  }
};

class FormMainTest : public ::testing::Test {
 protected:
  FormMainTest() : form(settings, templates, desk) {
    desk.state = &form.State();
    form.show();
  }
  bool Shown(std::string_view name) const { return form.Control(name)->isVisibleTo(&form); }

  TMainSettings settings;
  TInstalledSkins skins;
  FakeMainDesk desk;
  TTemplateBase templates;
  TFormMain form{settings, templates};
};

}  // namespace

TEST_F(FormMainTest, TheMusicStartsOnlyOnceTheWindowIsOnScreen) {
  // The sound device's probe and the player's library must not hold up the
  // window's first picture: shown, but not yet on screen, nothing has started.
  EXPECT_FALSE(form.Music().OnEntryChanged);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(form.Music().OnEntryChanged); }, 2000));
}

TEST_F(FormMainTest, EveryDesignedControlExistsByNameAtItsPlace) {
  for (const TControlDesign& d : MainWindowDesign()) {
    QWidget* control = form.findChild<QWidget*>(QString::fromUtf8(d.Name.data(), int(d.Name.size())));
    ASSERT_NE(control, nullptr) << d.Name;
    EXPECT_EQ(control->geometry(), QRect(d.Left, d.Top, d.Width, d.Height)) << d.Name;
  }
  EXPECT_EQ(form.Slider("SliderHue")->Max(), 200);
  EXPECT_EQ(form.Slider("SliderScale")->Max(), 200);
  // Every default picture was found and the window took its skin's size.
  EXPECT_TRUE(skins.messages.empty()) << skins.messages.front();
  EXPECT_FALSE(qobject_cast<TImage*>(form.Control("ImageSlidersLayer"))->Picture().Empty());
  EXPECT_EQ(form.size(), QSize(kMainWidth, kMainHeight));
}

TEST_F(FormMainTest, ControlsFollowTheModeAndTheLayers) {
  EXPECT_FALSE(form.Button("ButtonLayerUndo")->isEnabled());  // nothing to take back, as made
  form.State().SetControls();
  EXPECT_FALSE(Shown("PanelLayerTools"));
  EXPECT_FALSE(Shown("PanelDesktopTools"));
  EXPECT_FALSE(form.Button("ButtonLayerUndo")->isEnabled());

  desk.Add();
  desk.Select(0);
  form.State().ModeButtonClick("ButtonColoration");
  EXPECT_TRUE(Shown("PanelLayerTools"));
  EXPECT_TRUE(Shown("SliderRedColor"));
  EXPECT_FALSE(Shown("SliderBrightness"));  // it shares the red slider's place
  EXPECT_TRUE(form.Button("ButtonColoration")->Pressed());

  form.State().ModeButtonClick("ButtonAppearance");
  EXPECT_FALSE(Shown("SliderRedColor"));
  EXPECT_TRUE(Shown("SliderBrightness"));
  EXPECT_FALSE(form.Button("ButtonColoration")->Pressed());

  desk.Select(-1);
  form.State().SetControls();
  EXPECT_FALSE(form.Slider("SliderOpacity")->isEnabled());
  EXPECT_EQ(form.Slider("SliderOpacity")->Resource().Index(), 1);
}

TEST_F(FormMainTest, TheToolPanelsDecodeWhatOnlyTheyDrawWhenFirstShown) {
  const auto empty = [&](std::string_view name) { return qobject_cast<TImage*>(form.Control(name))->Picture().Empty(); };
  const std::string_view layerPanel[] = {"PanelLayerTools", "ImageSkinColoration", "ImagePalette"};
  const std::string_view deskPanel[] = {"PanelDesktopTools", "ImageDesktopToolsButtons"};
  // An empty desk shows neither panel; the buttons and sliders beside the desk share their sheets.
  for (std::string_view name : layerPanel) EXPECT_TRUE(empty(name)) << name;
  for (std::string_view name : deskPanel) EXPECT_TRUE(empty(name)) << name;
  for (std::string_view name : {"ImageSlidersLayer", "ImageLayerToolsButtons"}) EXPECT_FALSE(empty(name)) << name;

  desk.Add();
  desk.Select(0);
  form.State().ModeButtonClick("ButtonColoration");
  ASSERT_TRUE(Shown("PanelLayerTools"));
  ASSERT_TRUE(Shown("PanelDesktopTools"));
  for (std::string_view name : layerPanel) EXPECT_FALSE(empty(name)) << name;
  for (std::string_view name : deskPanel) EXPECT_FALSE(empty(name)) << name;
  EXPECT_TRUE(skins.messages.empty()) << skins.messages.front();
}

TEST_F(FormMainTest, LoadingTheSlidersRunsNoChangeHandler) {
  TLayer& layer = desk.Add();
  layer.SetBlue(20);
  desk.Select(0);
  const std::size_t changes = desk.changes.size();
  form.State().ShowLayerValues(layer, nullptr);
  EXPECT_EQ(form.Slider("SliderBlueColor")->Value(), 20);
  EXPECT_EQ(desk.changes.size(), changes);
  EXPECT_TRUE(layer.History().empty());
}

TEST_F(FormMainTest, ADragOfAValueSliderIsOneUndoStep) {
  TLayer& layer = desk.Add();
  desk.Select(0);
  form.State().ModeButtonClick("ButtonAppearance");
  TGraphicSlider* slider = form.Slider("SliderOpacity");
  ASSERT_TRUE(slider->isVisibleTo(&form));
  Mouse(slider, QEvent::MouseButtonPress, {40, 10});
  Mouse(slider, QEvent::MouseMove, {80, 10});
  Mouse(slider, QEvent::MouseMove, {120, 10});
  Mouse(slider, QEvent::MouseButtonRelease, {120, 10});
  EXPECT_NE(layer.Opacity(), 100);
  EXPECT_EQ(layer.Opacity(), slider->Value());
  EXPECT_EQ(layer.History().size(), 1u);
  EXPECT_FALSE(desk.undoPending);
}

TEST_F(FormMainTest, CtrlArrowKeysOnTheWindowMoveTheSelectedLayer) {
  TLayer& layer = desk.Add();
  desk.Select(0);
  Key(&form, QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier);
  Key(&form, QEvent::KeyPress, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(layer.Left, 1);
  EXPECT_EQ(layer.Top, 10);
}

// The program's own pairing: the window makes its desk window, and the desk's
// selection reaches the label and the sliders through the state.
TEST(FormMainWithDesk, SelectingALayerLoadsItsValuesAndShowsTheDesk) {
  TInstalledSkins skins;
  TMainSettings settings;
  TTemplateBase templates;
  TFormMain form(settings, templates);
  form.show();
  TMontageDesk& desk = form.DeskWindow()->Desk();
  EXPECT_FALSE(form.DeskWindow()->isVisible());
  auto layer = std::make_unique<TLayer>(desk, TBitmap32(20, 10, Color32(10, 20, 30)), TNewLayer{"Fringe"});
  layer->SetSaturation(140);
  TLayer& placed = *layer;
  desk.InsertLayer(std::move(layer));
  form.State().Saved.Work = true;
  desk.SelectLayer(0);
  EXPECT_TRUE(form.DeskWindow()->isVisible());
  EXPECT_EQ(qobject_cast<QLabel*>(form.Control("LabelActiveLayerName"))->text(), "Fringe");
  EXPECT_EQ(form.Slider("SliderSaturation")->Value(), 140);
  EXPECT_TRUE(placed.History().empty());
  EXPECT_TRUE(form.State().Saved.Work);  // selecting changes nothing
  ASSERT_NE(form.AdjustHost(), nullptr);
}

// The kinds of the template types are known once the main window exists, so
// that a work opened at start tells its hand layers from its face layers.
TEST(FormMainWithDesk, TemplateKindsAreKnownBeforeAnyTemplateClick) {
  TInstalledSkins skins;
  TMainSettings settings;
  settings.Ini = TIniFile::FromText("[TEMPLATE TYPES]\nType1=1;HairW;Hair;40;F;\n"
                                    "Type7=7;Nails;Nails;20;N;\nType8=8;Dress;Dress;20;B;\n");
  {
    TTemplateBase templates;
    TFormMain form(settings, templates);
    TMontageDesk& desk = form.DeskWindow()->Desk();
    for (int type : {7, 8}) {
      auto layer = std::make_unique<TLayer>(desk, TBitmap32(4, 4, Color32(1, 2, 3)));
      layer->TypeId = type;
      desk.InsertLayer(std::move(layer));
    }
    for (int i = 0; i < 2; ++i)
      EXPECT_EQ(LayerKindLetter(form.State(), desk.Layer(i)), desk.Layer(i).TypeId == 7 ? "N" : "B")
          << desk.Layer(i).TypeId;
  }
}

// The interface is the program's run's: windows made after the main window went
// (the last messages) still draw with it.
TEST(FormMainWithDesk, TheInterfaceOutlivesTheMainWindow) {
  TInstalledSkins skins;
  skins.Interface.Info.LoadLines({"SECTION FormMain TFormMain", "PaletteBtnRows = 3;", "END"});
  TMainSettings settings;
  {
    TTemplateBase templates;
    TFormMain form(settings, templates);
  }
  EXPECT_EQ(&InterfaceInUse(), &skins.Interface);
  EXPECT_EQ(GetInterfaceInt("FormMain.PaletteBtnRows"), 3);
}

TEST_F(FormMainTest, AClickOnTheWindowShowsItsTip) {
  std::vector<std::string> tips;
  ShellHooks().ShowTip = [&tips](const std::string& page) { tips.push_back(page); };
  Mouse(&form, QEvent::MouseButtonPress, {3, 3});
  Mouse(&form, QEvent::MouseButtonRelease, {3, 3});
  ShellHooks().ShowTip = nullptr;
  EXPECT_EQ(tips, std::vector<std::string>{"FormMain"});
}

TEST_F(FormMainTest, PaletteSlotsTintTheSelectedLayerAndScrollByRows) {
  TLayer& layer = desk.Add();
  desk.Select(0);
  form.State().SetDeskMode(dmColoration);
  const TPalette& palette = form.Palette();
  // The shipped first palette has more colours than the six slots.
  ASSERT_GT(palette.Colors.size(), 6u);
  const std::vector<TGraphicButton*>& cells = form.PaletteSlots();
  ASSERT_EQ(cells.size(), 6u);
  EXPECT_TRUE(Shown("SliderPaletteColor"));
  EXPECT_TRUE(cells[5]->isVisibleTo(&form));
  EXPECT_EQ(qobject_cast<QLabel*>(form.Control("LabelPaletteName"))->text().toStdString(), palette.PaletteName);

  // The window shows each slot in its colour, edge to edge.
  const QImage shown = form.grab().toImage();
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const int c = palette.Colors[i].Color;
    const QRect r = cells[i]->rect();
    for (const QPoint at : {QPoint(1, 1), r.center(), r.bottomRight() - QPoint(1, 1)})
      EXPECT_EQ(shown.pixelColor(cells[i]->mapTo(&form, at)), QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF))
          << "slot " << i;
  }
  Mouse(cells[1], QEvent::MouseButtonPress, {4, 4});
  Mouse(cells[1], QEvent::MouseButtonRelease, {4, 4});
  EXPECT_EQ(layer.Color(), palette.Colors[1].Color);
  EXPECT_EQ(cells[1]->toolTip().toStdString(), palette.Colors[1].Name);

  form.Button("ButtonPaletteColorNext")->OnClick();  // one row further
  EXPECT_EQ(form.Slider("SliderPaletteColor")->Value(), 1);
  EXPECT_EQ(int(cells[0]->Color()), palette.Colors[3].Color);
  form.Button("ButtonPalettePrev")->OnClick();  // wraps to the last palette
  EXPECT_EQ(palette.CurrentPaletteNo, palette.PaletteCount);
  EXPECT_EQ(palette.PaletteFirstColor, 0);
  // Leaving the palette modes hides the slots.
  form.State().SetDeskMode(dmErase);
  EXPECT_FALSE(cells[0]->isVisibleTo(&form));
  EXPECT_FALSE(Shown("ImagePalette"));
}
