// The program's windows made on first use, after a work was opened: each leaves
// the work as a window made at start-up did. The work's reference points, layers,
// selection and undo stay, and saving it writes the same header.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <array>
#include <ostream>

#include "app/Program.h"
#include "editor/CatalogIndex.h"
#include "editor/TemplatePlacement.h"
#include "editor/forms/TemplateButtons.h"
#include "editor/MainShell.h"
#include "editor/MontageDesk.h"
#include "editor/forms/FormAdjust.h"
#include "editor/forms/FormCatalog.h"
#include "editor/forms/FormLayerRegionEdit.h"
#include "editor/forms/FormLayerRegions.h"
#include "editor/forms/FormLayers.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMask.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormPreview.h"
#include "editor/forms/FormQueries.h"
#include "editor/forms/FormSetup.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/FormVideo.h"
#include "editor/forms/TemplateButtons.h"
#include "editor/forms/MainShellForm.h"
#include "exchange/forms/FormCamera.h"
#include "exchange/forms/FormEmail.h"
#include "exchange/forms/FormLoadSave.h"
#include "exchange/forms/FormPrint.h"
#include "exchange/forms/FormShopList.h"
#include "exchange/forms/ProgramWorkFiles.h"
#include "online/forms/FormInetModes.h"
#include "picture/Layer.h"
#include "picture/PsdFile.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/StandingWindows.h"
#include "shell/forms/FormHelp.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/FormTips.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/StandingForms.h"
#include "support/TestPaths.h"
#include "support/TestTexts.h"

namespace {

// What of the work a window must not touch.
struct TWorkState {
  TPoint Face, Body;
  std::vector<std::array<int, 5>> Markers;
  std::vector<std::string> LayerIds;
  int Selected = -1;
  std::vector<std::size_t> Undo;
  std::vector<std::string> Header;
  bool operator==(const TWorkState&) const = default;
};

void PrintTo(const TWorkState& s, std::ostream* os) {
  *os << "face " << s.Face.X << "," << s.Face.Y << " body " << s.Body.X << "," << s.Body.Y << " markers";
  for (const auto& m : s.Markers) *os << " " << m[0] << "," << m[1] << "," << m[2] << "," << m[3] << "," << m[4];
  *os << " layers " << s.LayerIds.size() << " selected " << s.Selected << " undo";
  for (std::size_t n : s.Undo) *os << " " << n;
  *os << " header";
  for (const std::string& line : s.Header) *os << "\n  " << line;
}

class LateWindows : public ::testing::Test {
 protected:
  TInterface interface_;
  TUseInterface useInterface_{interface_};
  TTestTexts texts_;  // the program's texts, loaded below as the start-up loads them
  void SetUp() override {
    SetProgramFolders(BuildDir() / "Tressary");
    interface_.Dir = "Intfaces\\";
    // The shipped settings, in a copy the windows may write.
    fs::copy_file(BuildDir() / "Tressary" / "Tressary.ini", dir_ / "Tressary.ini");
    settings_.Ini = TIniFile((dir_ / "Tressary.ini").string(), false);
    LoadInterface(interface_, settings_.Ini, 1024, 768, nullptr);
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    // As the start-up: the main window made, every other one registered only.
    ClearStandingForms();
    ReadMainWindowData(settings_, texts_.Texts);
    RegisterProgramWindows(settings_, templates_);
    main_ = qobject_cast<TFormMain*>(CreateStandingForms());
    ASSERT_NE(main_, nullptr);
    ConnectProgramWindows(*main_, settings_, catalog_);
    ports_ = MakeWorkPorts(*main_);
    files_ = std::make_unique<TWorkFiles>(Desk(), *ports_);
  }
  void TearDown() override {
    files_.reset();
    ports_.reset();
    std::vector<QPointer<QWidget>> forms;
    for (QWidget* form : ScreenForms()) forms.emplace_back(form);
    for (const QPointer<QWidget>& form : forms) delete form.data();
    ClearStandingForms();
    SetMessagePresenter(nullptr);
    // What the registrations left holding this test's settings.
    SetCatalogPresenter(nullptr);
    ShellHooks().PlayVideoClip = nullptr;
    ShellHooks().ShowTip = nullptr;
    ShellHooks().ShowWelcomeTip = nullptr;
    SetProgramFolders({});
  }

  TMontageDesk& Desk() { return main_->DeskWindow()->Desk(); }

  // A work with a portrait, a hand and a body layer and their points, saved and
  // opened again onto the cleared desk, as a user opens one.
  void OpenWork() {
    TMontageDesk& desk = Desk();
    auto add = [&](const char* caption, TColor32 colour) -> TLayer& {
      auto layer = std::make_unique<TLayer>(desk, TBitmap32(40, 30, colour), TNewLayer{caption});
      TLayer& made = *layer;
      desk.InsertLayer(std::move(layer));
      return made;
    };
    desk.SetPortraitLayer(&add("Portrait", Color32(200, 150, 120)));
    desk.SetHandLayer(&add("Hand", Color32(180, 120, 100)));
    desk.SetBodyLayer(&add("Body", Color32(90, 60, 140)));
    desk.Points.Face = {300, 320};
    desk.Points.Body = {410, 512};
    for (int i = 0; i < kHandMarkerCount; ++i) {
      THandMarker& marker = desk.Points.HandMarkers[std::size_t(i)];
      marker.X = 100 + 10 * i;
      marker.Y = 200 - 5 * i;
      marker.Width = 12;
      marker.Length = 20;
      marker.Angle = 15 * i - 30;
    }
    const fs::path file = dir_ / "look.tsc";
    ASSERT_TRUE(files_->SaveWork(file));
    desk.ClearLayers();
    desk.Points = TWorkPoints{};
    ASSERT_TRUE(files_->LoadWorkFromFile(file));
    // A step to undo on the selected layer.
    desk.SelectLayer(1);
    TLayer& selected = desk.Layer(1);
    selected.SaveUndo(lhkMove, false);
    selected.MoveBy(3, 4);
  }

  // `picture`, as a Photoshop file, opened through the Files window.
  void BringInPicture(const TBitmap32& picture) {
    auto* loadSave = StandingForm<TFormLoadSave>("FormLoadSave");
    ASSERT_NE(loadSave, nullptr);
    ASSERT_TRUE(SavePsdFile(picture, dir_ / "photo.psd"));
    QFileDialog* dialog = loadSave->ImageOpenDialog();
    QTimer::singleShot(0, qApp, [dialog, file = dir_ / "photo.psd"] {
      dialog->selectFile(QString::fromStdString(file.string()));
      static_cast<QDialog*>(dialog)->accept();
    });
    loadSave->ButtonLoadImageClick();
  }

  TWorkState State() {
    TWorkState state;
    TMontageDesk& desk = Desk();
    state.Face = desk.Points.Face;
    state.Body = desk.Points.Body;
    for (const THandMarker& m : desk.Points.HandMarkers) state.Markers.push_back({m.X, m.Y, m.Width, m.Length, m.Angle});
    for (int i = 0; i < desk.LayerCount(); ++i) {
      state.LayerIds.push_back(desk.Layer(i).Id);
      state.Undo.push_back(desk.Layer(i).History().size());
    }
    state.Selected = desk.SelectedIndex();
    if (const auto bytes = files_->WorkFileBytes(false))
      if (const auto stored = ReadCompressedWork(*bytes)) state.Header = stored->Lines;
    return state;
  }

  TMainSettings settings_;
  TempFolder dir_;
  TProgramTemplates templates_;
  TCatalogIndex catalog_;
  TFormMain* main_ = nullptr;
  std::unique_ptr<IWorkPorts> ports_;
  std::unique_ptr<TWorkFiles> files_;
};

}  // namespace

TEST_F(LateWindows, EachWindowMadeAfterAWorkWasOpenedLeavesTheWorkWhole) {
  OpenWork();
  const TWorkState before = State();
  ASSERT_EQ(before.Face, (TPoint{300, 320}));
  ASSERT_EQ(before.Markers[4][0], 140);
  ASSERT_EQ(before.LayerIds.size(), 3u);
  ASSERT_FALSE(before.Header.empty());

  // A picture brought in through the Files window makes the fitting window, and
  // the user cancels it.
  BringInPicture(TBitmap32(60, 80, Color32(10, 100, 200)));
  ASSERT_NE(FormAdjust, nullptr);
  ASSERT_TRUE(FormAdjust->isVisible());
  // It shows the work's nail markers, turned as the work has them.
  for (int i = 0; i < kHandMarkerCount; ++i)
    EXPECT_EQ(FormAdjust->Model().Markers()[std::size_t(i)].ViewAngle, 15 * i - 30) << i;
  FormAdjust->ButtonCancel->OnClick();
  EXPECT_FALSE(FormAdjust->isVisible());
  EXPECT_EQ(State(), before) << "after the fitting window";

  // The template browser and the ready solutions, opened from the main window's
  // strip, place by the work's points: no "not adjusted" for the face or hand.
  TTemplateButtons* strip = main_->TemplateButtons();
  ASSERT_NE(strip, nullptr);
  for (const char* name : {"ButtonTemplateHairW", "ButtonTemplateModels"}) {
    auto* button = main_->findChild<TGraphicButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    strip->ButtonTemplateClick(button);
  }
  for (QWidget* window : {static_cast<QWidget*>(strip->Browser.data()), static_cast<QWidget*>(strip->Models.data())})
    ASSERT_NE(window, nullptr);
  for (const ITemplateDesk* desk : {strip->Browser->Desk, strip->Models->Desk}) {
    ASSERT_NE(desk, nullptr);
    EXPECT_EQ(desk->Points().Face, before.Face);
    EXPECT_EQ(MissingReference(tkFace, desk->Points()), std::nullopt);
    EXPECT_EQ(MissingReference(tkHand, desk->Points()), std::nullopt);
  }
  strip->Browser->close();
  strip->Models->close();
  EXPECT_EQ(State(), before) << "after the template windows";

  // Every other window, made, shown and closed; the desk's own window is the main
  // window's part, and the shared work's window is made for each call.
  // A question a window asks as it shows (print: save first?) is answered no.
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [] {
    if (FormMessage && FormMessage->isVisible()) FormMessage->close();
  });
  answer.start(10);
  int made = 0;
  for (std::string_view name : StandingWindowOrder) {
    if (name == StandingWindowOrder.front() || !HasStandingForm(name)) continue;
    QWidget* form = StandingForm(name);
    ASSERT_NE(form, nullptr) << name;
    EXPECT_EQ(State(), before) << "after making " << name;
    form->show();
    form->close();
    EXPECT_EQ(State(), before) << "after showing " << name;
    ++made;
  }
  EXPECT_GE(made, 17);
}

// The picture is handed to the adjust window as it is made, and its OK lands on
// the open work with the picture's own alpha.
TEST_F(LateWindows, TheAdjustWindowMadeForAPictureAfterAWorkWasOpenedAddsItToThatWork) {
  OpenWork();
  ASSERT_EQ(FormAdjust, nullptr);
  BringInPicture(TBitmap32(60, 80, Color32(10, 100, 200, 128)));
  ASSERT_NE(FormAdjust, nullptr);
  ASSERT_TRUE(FormAdjust->isVisible());
  EXPECT_EQ(FormAdjust->Source().Picture.Height(), 80);
  // Yes to the portrait, no to clearing the work and to deleting its old portrait.
  QTimer answer;
  int asked = 0;
  QObject::connect(&answer, &QTimer::timeout, [&asked] {
    if (FormMessage && FormMessage->isVisible())
      (asked++ == 0 ? FormMessage->ButtonYes : FormMessage->ButtonNo)->OnClick();
  });
  answer.start(10);
  FormAdjust->ButtonOKClick();
  answer.stop();
  EXPECT_GE(asked, 2);
  EXPECT_FALSE(FormAdjust->isVisible());
  TMontageDesk& desk = Desk();
  ASSERT_EQ(desk.LayerCount(), 4);
  const TLayer* portrait = desk.PortraitLayer();
  ASSERT_NE(portrait, nullptr);
  EXPECT_EQ(portrait->Caption, "Portrait");
  const TBitmap32& picture = portrait->Picture;
  EXPECT_NEAR(AlphaOf(picture.Pixel(picture.Width() / 2, picture.Height() / 2)), 128, 2);
  EXPECT_FALSE(main_->State().Saved.Work);
  EXPECT_FALSE(main_->State().Saved.Image);
}

// The picture name the work files keep is the one the Files window, made later,
// suggests for the picture.
TEST_F(LateWindows, TheFilesWindowMadeAfterAWorkWasOpenedSuggestsTheWorksNameForItsPicture) {
  OpenWork();
  Desk().ClearLayers();
  TWorkFiles* files = ProgramWorkFiles();
  ASSERT_NE(files, nullptr);
  ASSERT_TRUE(files->LoadWorkFromFile(dir_ / "look.tsc"));
  auto* loadSave = StandingForm<TFormLoadSave>("FormLoadSave");
  ASSERT_NE(loadSave, nullptr);
  QFileDialog* dialog = loadSave->ImageSaveDialog();
  std::string suggested;
  QTimer::singleShot(0, qApp, [dialog, &suggested] {
    if (!dialog->selectedFiles().isEmpty())
      suggested = QFileInfo(dialog->selectedFiles().front()).completeBaseName().toStdString();
    dialog->reject();
  });
  loadSave->ButtonSaveImageClick();
  EXPECT_EQ(suggested, "look");
}

// The print window, made after the work changed, asks to save its picture first
// by the main state's flag, and no more once the picture is saved.
TEST_F(LateWindows, ThePrintWindowMadeAfterAChangeAsksToSaveThePictureFirst) {
  OpenWork();
  main_->State().SetChanged(ckPixels);
  int asked = 0;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&asked] {
    if (FormMessage && FormMessage->isVisible()) ++asked, FormMessage->ButtonNo->OnClick();
  });
  answer.start(10);
  auto* print = StandingForm<TFormPrint>("FormPrint");
  ASSERT_NE(print, nullptr);
  auto showOnce = [print] {
    print->show();
    QTest::qWait(100);
    print->close();
  };
  showOnce();
  EXPECT_EQ(asked, 1);
  main_->State().Saved.Image = true;
  showOnce();
  EXPECT_EQ(asked, 1);
}

TEST_F(LateWindows, AStartWithTipsOnShowsTheWelcomePage) {
  // As the start-up goes on after showing the main window: the welcome tip, then
  // the message loop, where the main window's activation arrives.
  settings_.ShowTips = true;
  ASSERT_TRUE(ShellHooks().ShowWelcomeTip);
  ShellHooks().ShowWelcomeTip();
  ASSERT_NE(FormTips, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() != nullptr; }, 2000));
  QTest::qWait(50);
  EXPECT_TRUE(FormTips->isVisible());
  EXPECT_EQ(FormTips->HTMLViewer->CurrentFile().filename(), "Welcome.htm");
  // Later activations bring their windows' tips as ever.
  auto* layers = StandingForm<TFormLayers>("FormLayers");
  ASSERT_NE(layers, nullptr);
  layers->show();
  layers->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(layers, 2000));
  EXPECT_EQ(FormTips->HTMLViewer->CurrentFile().filename(), "FormLayers.htm");
}

// A template laid from the browser the strip made on its first click, over a
// work already open; then the questionnaire window, made for the first time:
// its answers filter that same browser, which kept its type and list.
TEST_F(LateWindows, TheQuestionnaireWindowMadeAfterATemplateWasLaidFiltersThatBrowser) {
  OpenWork();
  TTemplateButtons* strip = main_->TemplateButtons();
  ASSERT_NE(strip, nullptr);
  const auto hair = std::find_if(strip->Buttons.begin(), strip->Buttons.end(),
                                 [](const TGraphicButton* b) { return b->Tag() == 1; });
  ASSERT_NE(hair, strip->Buttons.end());
  ASSERT_EQ(FindScreenForm("FormTemplates"), nullptr);
  strip->ButtonTemplateClick(*hair);
  auto* browser = qobject_cast<TFormTemplates*>(FindScreenForm("FormTemplates"));
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(browser->isVisible());
  const std::size_t all = browser->Shown().size();
  ASSERT_GE(all, 2u);
  const int layers = Desk().LayerCount();
  const TRect cell = browser->Grid().Cell(0, 1);
  browser->ResImageMouseUp(cell.Left + cell.Width() / 2, cell.Top + cell.Height() / 2);
  ASSERT_EQ(Desk().LayerCount(), layers + 1) << "the template is on the desk";

  ASSERT_EQ(FindScreenForm("FormQueries"), nullptr);
  auto* queries = StandingForm<TFormQueries>("FormQueries");
  ASSERT_NE(queries, nullptr);
  queries->show();
  ASSERT_EQ(queries->Mode, TFormQueries::qmFilter);
  const auto& controls = queries->HTMLViewer->Form().Controls();
  const auto longHair = std::find_if(controls.begin(), controls.end(),
                                     [](const THtmlControl& c) { return c.Name == "length" && c.Value == "long"; });
  ASSERT_NE(longHair, controls.end());
  emit queries->HTMLViewer->anchorClicked(QUrl("form:" + QString::number(longHair - controls.begin())));
  queries->ButtonSetTemplatesFilter->OnClick();
  EXPECT_TRUE(browser->ButtonSetTemplatesFilter->Pressed());
  EXPECT_LT(browser->Shown().size(), all) << "the browser shows only the long styles";
  EXPECT_GT(browser->Shown().size(), 0u);
  for (int i : browser->Shown()) EXPECT_EQ(browser->Templates().List[std::size_t(i)].PartType, 1);
}
