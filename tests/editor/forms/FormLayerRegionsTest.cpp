// The layer-regions window, the region editor run modally over the desk, and the
// save window writing a region or the whole layer into the template browser.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "editor/MontageDesk.h"
#include "editor/TemplateBase.h"
#include "editor/Questionnaires.h"
#include "editor/forms/FormLayerRegionEdit.h"
#include "editor/forms/FormLayerRegions.h"
#include "editor/forms/FormLayerSave.h"
#include "editor/forms/FormMain.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/PortraitScroll.h"
#include "picture/Layer.h"
#include "picture/PsdFile.h"
#include "platform/qt/MessageBoxes.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/SkinnedForm.h"
#include "support/ShippedTexts.h"
#include "support/TestPaths.h"
#include "support/qt/MadeAfterMainDrag.h"
#include "support/qt/MessageAnswer.h"

namespace {

// Runs `action` once the window named `name` is up in its modal loop: shown, and
// the other windows disabled (its skins load while it is already visible). A
// window that does not come up in time fails the test, and every modal loop then
// running is ended, so that the test fails instead of waiting for ever.
void WhenShown(const char* name, std::function<void(QWidget&)> action) {
  auto* poll = new QTimer(qApp);
  auto waited = std::make_shared<QElapsedTimer>();
  waited->start();
  QObject::connect(poll, &QTimer::timeout, [name, action, poll, waited] {
    if (waited->isValid()) {
      auto* window = qobject_cast<TSkinnedForm*>(FindScreenForm(name));
      if (window && window->isVisible() && !window->DisabledForms.empty()) {
        poll->stop();
        poll->deleteLater();
        action(*window);
        return;
      }
      if (waited->elapsed() < 20000) return;
      ADD_FAILURE() << name << " did not come up as a modal window";
      waited->invalidate();
    }
    if (TSkinnedForm* modal = InnermostSkinnedModal()) {
      modal->ModalResult = 2;
      modal->close();
    } else {
      poll->stop();
      poll->deleteLater();
    }
  });
  poll->start(10);
}

class FormLayerRegionsTest : public ::testing::Test {
 protected:
  FormLayerRegionsTest() {
    SetProgramFolders(exe.Path());
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});  // no skins here
    settings.Ini =
        TIniFile::FromText("[TEMPLATE TYPES]\nType3=3;Hair\\Mine;Hairstyles;20;F;\nType4=4;Beards;Beards;20;F;\n");
    WriteTestFile(exe / "PartBase.txt", "3;0;0;Other.psd;Other;\n");
    main = std::make_unique<TFormMain>(settings, templates);
    main->show();
    regions = std::make_unique<TFormLayerRegions>(settings);
    regions->MainWindow = main.get();
    editor = std::make_unique<TFormLayerRegionEdit>();
    // Left half light red, right half dark blue, each pixel nudged a little.
    TBitmap32 picture(40, 30);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        picture.SetPixel(x, y, x < 20 ? Color32(220 - (x + y) % 5, 90, 80) : Color32(20, 30, 160 + (x * y) % 7));
    auto owned = std::make_unique<TLayer>(Desk(), picture, TNewLayer{"Curls"});
    layer = owned.get();
    layer->TypeId = 3;
    layer->Left = 130;
    layer->Top = 70;
    Desk().InsertLayer(std::move(owned));
    Desk().SelectLayer(0);
    Desk().Points.Face = {100, 50};
  }
  ~FormLayerRegionsTest() override {
    editor.reset();
    regions.reset();
    main.reset();
    SetMessagePresenter(nullptr);
    SetProgramFolders({});
  }
  TMontageDesk& Desk() { return main->DeskWindow()->Desk(); }
  std::string Region(int region) const {
    std::string out;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) out += layer->Mask.PixelInRegion(y, x, region) ? '1' : '0';
    return out;
  }
  static std::string LeftHalf() {
    std::string out;
    for (int y = 0; y < 30; ++y) out += std::string(20, '1') + std::string(20, '0');
    return out;
  }

  TMainSettings settings;
  TempFolder exe;
  TTemplateBase templates;
  std::unique_ptr<TFormMain> main;
  std::unique_ptr<TFormLayerRegions> regions;
  std::unique_ptr<TFormLayerRegionEdit> editor;
  TLayer* layer = nullptr;
};

}  // namespace

TEST_F(FormLayerRegionsTest, TheEditorRunsModallyOverTheDeskAndOkKeepsWhatCancelRestores) {
  regions->show();
  ASSERT_EQ(regions->ListBox->count(), kRegionItemCount);
  EXPECT_EQ(regions->Layer(), layer);
  EXPECT_TRUE(regions->ButtonEditRegion->isVisibleTo(regions.get()));
  regions->ListBoxClick(1);
  EXPECT_EQ(layer->Mask.GetRegionIndex(), 1);
  EXPECT_EQ(regions->SelectedItem(), 1);

  int keysReachingMain = 0;
  const auto mainKeys = ShellHooks().MainKeyDown;
  ShellHooks().MainKeyDown = [&](int&, int) { ++keysReachingMain; };
  bool deskUsable = true;
  WhenShown("FormLayerRegionEdit", [&](QWidget&) {
    // Nothing on the desk or the main window can take the layer away meanwhile.
    deskUsable = main->isEnabled() || main->DeskWindow()->isEnabled();
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(editor.get(), &del);
    editor->PicturePress({3, 4}, Qt::LeftButton, Qt::NoModifier);
    editor->ButtonOK->OnClick();
  });
  regions->ButtonEditRegionClick();
  ShellHooks().MainKeyDown = mainKeys;
  EXPECT_FALSE(deskUsable);
  EXPECT_EQ(keysReachingMain, 0);
  EXPECT_TRUE(main->isEnabled());
  EXPECT_EQ(Desk().LayerCount(), 1);
  EXPECT_EQ(Region(1), LeftHalf());
  EXPECT_EQ(main->State().LastChange(), ckPixels);
  EXPECT_NE(regions->Thumbnails()[1], TBitmap32(kRegionItemHeight, kRegionItemHeight, 0xFFFFFFFF));

  // Cancel after clearing and a lasso: the region is as OK left it.
  WhenShown("FormLayerRegionEdit", [&](QWidget&) {
    editor->ButtonClear->OnClick();
    editor->ButtonLasso->OnClick();
    editor->PicturePress({25, 2}, Qt::LeftButton, Qt::NoModifier);
    editor->PictureMove({38, 2});
    editor->PictureMove({38, 28});
    editor->PictureRelease();
    editor->ButtonCancel->OnClick();
  });
  regions->ButtonEditRegionClick();
  EXPECT_EQ(Region(1), LeftHalf());
  // A tolerance typed out of range goes back to the slider's.
  editor->EditTolerance->setText("250");
  editor->CommitEdit(editor->EditTolerance);
  EXPECT_EQ(editor->EditTolerance->text(), "30");
  editor->EditGridRows->setText("9");
  editor->CommitEdit(editor->EditGridRows);
  EXPECT_EQ(editor->Editor().GridRows(), 9);
}

TEST_F(FormLayerRegionsTest, RegionAndLayerSavesAppearInTheBrowserOfTheirType) {
  TQuestionnaires questionnaires;
  TFormTemplates browser{settings, templates, questionnaires};
  ASSERT_TRUE(browser.OpenForType(3, {2, 4}, "Hair", tkFace));
  ASSERT_EQ(browser.Shown().size(), 1u);
  for (int y = 0; y < 30; ++y)
    for (int x = 20; x < 40; ++x) layer->Mask.Map().At(x, y) |= 0x02;  // region 2: the right half
  layer->SetRed(60);  // a recolouring the region's template does not take
  regions->show();
  regions->ListBoxClick(2);

  WhenShown("FormLayerSave", [](QWidget& window) {
    auto& save = static_cast<TFormLayerSave&>(window);
    EXPECT_TRUE(save.IsRegion());
    EXPECT_EQ(save.ComboBoxTemplateType->currentIndex(), 0);  // the layer's type
    save.EditTemplateName->setText("Blue;\ntips");
    save.ButtonOKClick();
  });
  regions->ButtonSaveRegionClick();
  ASSERT_EQ(browser.Shown().size(), 2u);
  const TPartInfoRecord& saved = templates.List[std::size_t(browser.Shown()[1])];
  EXPECT_EQ(saved.Name, "Bluetips");
  // The 20 x 30 half with a margin of 30 / 4 = 7, at 3 from the half's corner.
  TBitmap32 picture;
  ASSERT_TRUE(LoadPsdPicture(ResolvePath(exe.Path(), saved.FileName), picture));
  EXPECT_EQ(picture.Width(), 27);
  EXPECT_EQ(picture.Height(), 37);
  EXPECT_EQ(picture.Pixel(3, 3), layer->Picture.Pixel(20, 0));
  ASSERT_NE(layer->RenderedPicture().Pixel(20, 0), layer->Picture.Pixel(20, 0));
  EXPECT_EQ(saved.X, 130 - 100 + 20 - 3);
  EXPECT_EQ(saved.Y, 70 - 50 + 0 - 3);

  // An empty region says so in a box and saves nothing.
  regions->ListBoxClick(5);
  std::string said;
  AnswerNextMessage(said);
  regions->ButtonSaveRegionClick();
  EXPECT_EQ(said, "The region is empty.");
  EXPECT_EQ(ReadTextLines(exe / "PartBase.txt")->size(), 2u);

  // The main window's save button saves the whole layer with its regions.
  TGraphicButton* save = main->Button("ButtonLayerSave");
  ASSERT_TRUE(save->OnClick);
  WhenShown("FormLayerSave", [](QWidget& window) {
    auto& form = static_cast<TFormLayerSave&>(window);
    EXPECT_FALSE(form.IsRegion());
    EXPECT_EQ(form.EditTemplateName->text(), "Curls");
    form.ButtonOKClick();
  });
  save->OnClick();
  ASSERT_EQ(browser.Shown().size(), 3u);
  const TPartInfoRecord& whole = templates.List[std::size_t(browser.Shown()[2])];
  EXPECT_EQ(whole.X, 30);
  EXPECT_EQ(whole.Y, 20);
  EXPECT_TRUE(fs::exists(ResolvePath(exe.Path(), ChangeFileExt(whole.FileName, ".msk"))));
  browser.close();
}

// The list shows each region's own pixels in its thumbnail; a region without
// pixels shows white.
TEST_F(FormLayerRegionsTest, ARegionsThumbnailShowsItsPixels) {
  for (int y = 0; y < 30; ++y)
    for (int x = 20; x < 40; ++x) layer->Mask.Map().At(x, y) |= 0x02;  // region 2: the dark blue half
  regions->show();
  ASSERT_EQ(regions->ListBox->count(), kRegionItemCount);
  regions->ListBox->resize(regions->ListBox->width(), 4 * kRegionItemHeight);  // items 0 to 2 in sight
  const QImage shown = regions->ListBox->viewport()->grab().toImage();
  auto thumbnail = [&](int item) {
    const QRect rect = regions->ListBox->visualItemRect(regions->ListBox->item(item));
    const int side = rect.height() - 4;
    int blue = 0, white = 0;
    for (int y = rect.top() + 2; y < rect.top() + 2 + side; ++y)
      for (int x = rect.left() + 5; x < rect.left() + 5 + side; ++x) {
        const QColor c = shown.pixelColor(x * shown.width() / regions->ListBox->viewport()->width(),
                                          y * shown.height() / regions->ListBox->viewport()->height());
        blue += c.blue() > 120 && c.red() < 80 && c.green() < 80;
        white += c == Qt::white;
      }
    return std::pair{blue, white};
  };
  const auto [regionBlue, regionWhite] = thumbnail(2);
  EXPECT_GT(regionBlue, 200) << "the right half of a 46-pixel thumbnail is blue";
  EXPECT_GT(regionWhite, 200) << "the left half, not in the region, stays white";
  const auto [emptyBlue, emptyWhite] = thumbnail(1);
  EXPECT_EQ(emptyBlue, 0);
  EXPECT_GT(emptyWhite, 46 * 46 * 9 / 10);
}

// A tolerance typed and then confirmed by a Shift-click is the new seed's: the
// last seed's set keeps its size. The mouse coming back onto the picture
// forgets the last seed, so that Shift and the slider then change nothing.
TEST(RegionEditorWindow, ATypedToleranceServesOnlyTheNextSeed) {
  SetProgramFolders({});
  SetMessagePresenter([](TMessageBoxKind, const std::string&) {});  // no skins here
  TBitmap32 ramp(100, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 100; ++x) ramp.SetPixel(x, y, Color32(std::uint8_t(2 * x), std::uint8_t(2 * x), std::uint8_t(2 * x)));
  TMask mask;
  mask.SetBitmap(&ramp);
  mask.SetRegionIndex(1);
  auto members = [&mask] {
    std::string out;
    for (int x = 0; x < 100; ++x) out += mask.PixelInRegion(0, x, 1) ? '1' : '0';
    return out;
  };
  {
    TFormLayerRegionEdit form;
    form.show();
    form.StartRegionEdit(mask);
    form.PicturePress({10, 0}, Qt::LeftButton, Qt::NoModifier);  // 20 +- 30
    EXPECT_EQ(members(), std::string(26, '1') + std::string(74, '0'));
    QTest::keyPress(&form, Qt::Key_Shift, Qt::ShiftModifier);  // held for the click
    form.EditTolerance->setText("60");
    form.PicturePress({90, 0}, Qt::LeftButton, Qt::ShiftModifier);  // 180 +- 60
    EXPECT_EQ(members(), std::string(26, '1') + std::string(34, '0') + std::string(40, '1'));
    EXPECT_EQ(form.Editor().Tolerance(), 60);

    // Shift still held: the slider grows the last seed's set...
    form.SliderTolerance->SetValue(70);
    EXPECT_EQ(members(), std::string(26, '1') + std::string(29, '0') + std::string(45, '1'));
    // ...until the mouse leaves and comes back onto the picture.
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(form.ScrollBox, &enter);
    EXPECT_EQ(form.Editor().SeedPoint(), TRegionEditor::kNoSeed);
    form.SliderTolerance->SetValue(90);
    EXPECT_EQ(members(), std::string(26, '1') + std::string(29, '0') + std::string(45, '1'));
    QTest::keyRelease(&form, Qt::Key_Shift, Qt::NoModifier);
    form.Editor().Finish(true);
  }
  SetMessagePresenter(nullptr);
  SetProgramFolders({});
}

// The editor opens in the middle of the screen, wherever the main window has
// been dragged before the editor's first use made it.
TEST(RegionEditorWindow, MadeAfterTheMainWindowWasDraggedItOpensInTheMiddleOfTheScreen) {
  SetProgramFolders({});
  const std::optional<QPoint> off = CentreOffAfterMainDrag(RegisterFormLayerRegionEdit, "FormLayerRegionEdit");
  ASSERT_TRUE(off);
  EXPECT_LE(off->manhattanLength(), 1) << off->x() << "," << off->y();
}

TEST_F(FormLayerRegionsTest, EditWithTheWholeLayerAndSaveWithNoTypeSayWhatIsMissing) {
  TTestTexts texts(ShippedTermins());
  regions->show();
  regions->ListBoxClick(0);
  std::string said;
  AnswerNextMessage(said);
  regions->ButtonEditRegionClick();
  EXPECT_EQ(said, "Choose one of the regions in the list: the whole layer is not edited as a region.");
  EXPECT_FALSE(editor->isVisible());

  layer->TypeId = 9;  // of no listed type: the save starts with none chosen
  std::string asked;
  bool stillOpen = false;
  WhenShown("FormLayerSave", [&](QWidget& window) {
    auto& save = static_cast<TFormLayerSave&>(window);
    EXPECT_EQ(save.ComboBoxTemplateType->currentIndex(), -1);
    AnswerNextMessage(asked);
    save.ButtonOKClick();
    stillOpen = save.isVisible();
    save.close();
  });
  main->Button("ButtonLayerSave")->OnClick();
  EXPECT_EQ(asked, "Choose the type of the template first.");
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(ReadTextLines(exe / "PartBase.txt")->size(), 1u);
}
