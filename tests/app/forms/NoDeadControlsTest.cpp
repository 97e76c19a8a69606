// The program's own windows as a user meets them. Every control a user can meet
// on the main window and the load-and-save window does something: walked through
// the desk's modes and states, each control on screen must be in the table below
// with its handler bound, and a control that opens a window shows only once that
// window exists. A window built later adds its rows (or its "Needs") here. And
// the controls of the windows a new user walks through lie in their skin's well,
// and those of the smaller windows stand wholly on one ground of their skin.
#include <gtest/gtest.h>

#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QWindow>
#include <cmath>
#include <optional>
#include <set>
#include <string>

#include "editor/CatalogIndex.h"
#include "editor/MainShell.h"
#include "editor/Questionnaires.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormAdjust.h"
#include "editor/forms/FormBaldHead.h"
#include "editor/forms/FormCatalog.h"
#include "editor/forms/FormColorCalibration.h"
#include "editor/forms/FormLayerRegionEdit.h"
#include "editor/forms/FormLayerRegions.h"
#include "editor/forms/FormLayers.h"
#include "editor/forms/FormLayerSave.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/MainWindowLinks.h"
#include "editor/forms/FormMask.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormPreview.h"
#include "editor/forms/FormQueries.h"
#include "editor/forms/FormSetup.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/FormVideo.h"
#include "editor/forms/MainShellForm.h"
#include "exchange/forms/FormCamera.h"
#include "exchange/forms/FormEmail.h"
#include "exchange/forms/FormLoadSave.h"
#include "exchange/forms/FormPostCard.h"
#include "exchange/forms/FormPostCardBack.h"
#include "exchange/forms/FormPostCardText.h"
#include "exchange/forms/FormPrint.h"
#include "exchange/forms/FormShopList.h"
#include "exchange/forms/ProgramWorkFiles.h"
#include "app/Program.h"
#include "online/forms/FormDownloadElements.h"
#include "online/forms/FormFromGallery.h"
#include "online/forms/FormInetModes.h"
#include "online/forms/FormInetReg.h"
#include "online/forms/FormPassword.h"
#include "online/forms/FormPublisherMessages.h"
#include "online/forms/FormToGallery.h"
#include "picture/Layer.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "platform/IniFile.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/FormHelp.h"
#include "shell/forms/FormTips.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/ShellForms.h"
#include "support/FakeWorkPicture.h"
#include "support/TestPaths.h"
#include "support/TestTexts.h"

namespace {

// A palette slot acts on the button's release (the right button included).
enum class TUse { Click, Slide, Release };

struct TControlRow {
  std::string_view Window;
  std::string_view Control;  // a name, or a prefix ending in "*"
  TUse Use;
  // The window the control needs besides the main window's openers (whose
  // windows come from MainOpeners); empty: none.
  std::string_view Needs = {};
};

constexpr TControlRow kControls[] = {
    // The main window: frame, modes, tools, openers and links.
    {"FormMain", "ButtonMinimize", TUse::Click},
    {"FormMain", "ButtonExit", TUse::Click},
    {"FormMain", "ButtonExitMain", TUse::Click},
    {"FormMain", "ButtonColoration", TUse::Click},
    {"FormMain", "ButtonAppearance", TUse::Click},
    {"FormMain", "ButtonModifier", TUse::Click},
    {"FormMain", "ButtonBrush", TUse::Click},
    {"FormMain", "ButtonEraser", TUse::Click},
    {"FormMain", "ButtonActions", TUse::Click},
    {"FormMain", "ButtonLayerList", TUse::Click},
    {"FormMain", "ButtonClearWork", TUse::Click},
    {"FormMain", "ButtonColorCalibration", TUse::Click},
    {"FormMain", "ButtonLayerUndo", TUse::Click},
    {"FormMain", "ButtonLoadSave", TUse::Click},
    {"FormMain", "ButtonPrint", TUse::Click},
    {"FormMain", "ButtonPreview", TUse::Click},
    {"FormMain", "ButtonCurrentBrushColor", TUse::Click},
    {"FormMain", "ButtonLayerMoveTop", TUse::Click},
    {"FormMain", "ButtonLayerMoveBottom", TUse::Click},
    {"FormMain", "ButtonLayerDelete", TUse::Click},
    {"FormMain", "ButtonLayerShow", TUse::Click},
    {"FormMain", "ButtonLayerHide", TUse::Click},
    {"FormMain", "ButtonLayerRegions", TUse::Click},
    {"FormMain", "ButtonLayerCopyState", TUse::Click},
    {"FormMain", "ButtonLayerPasteState", TUse::Click},
    {"FormMain", "ButtonLayerReset", TUse::Click},
    {"FormMain", "ButtonLayerSave", TUse::Click},
    {"FormMain", "ButtonLayerFlipHorizontal", TUse::Click},
    {"FormMain", "ButtonBaldHead", TUse::Click},
    {"FormMain", "ButtonHelp", TUse::Click},
    {"FormMain", "ButtonShopping", TUse::Click},
    {"FormMain", "ButtonQueries", TUse::Click},
    {"FormMain", "ButtonCatalog", TUse::Click},
    {"FormMain", "ButtonOriginalSize", TUse::Click},
    {"FormMain", "ButtonCentering", TUse::Click},
    {"FormMain", "ButtonLogoVYN", TUse::Click},
    {"FormMain", "ButtonSubscribe", TUse::Click},
    {"FormMain", "ButtonMoreGames", TUse::Click},
    {"FormMain", "ButtonTellaFriend", TUse::Click},
    {"FormMain", "ButtonSetup", TUse::Click},
    {"FormMain", "ButtonPalettePrev", TUse::Click},
    {"FormMain", "ButtonPaletteNext", TUse::Click},
    {"FormMain", "ButtonPaletteColorPrev", TUse::Click},
    {"FormMain", "ButtonPaletteColorNext", TUse::Click},
    {"FormMain", "PaletteButtonColor*", TUse::Release},
    {"FormMain", "ButtonTemplate*", TUse::Click},  // the strip and its scroll buttons
    {"FormMain", "Slider*", TUse::Slide},
    // The load-and-save window.
    {"FormLoadSave", "ButtonExit", TUse::Click},
    {"FormLoadSave", "ButtonLoadImage", TUse::Click},
    {"FormLoadSave", "ButtonLoadClipboard", TUse::Click},
    {"FormLoadSave", "ButtonLoadCamera", TUse::Click, "FormCamera"},
    {"FormLoadSave", "ButtonLoadTwain", TUse::Click},
    {"FormLoadSave", "ButtonSaveImage", TUse::Click},
    {"FormLoadSave", "ButtonSaveClipboard", TUse::Click},
    {"FormLoadSave", "ButtonLoadWork", TUse::Click},
    {"FormLoadSave", "ButtonSaveWork", TUse::Click},
    {"FormLoadSave", "ButtonSendImage", TUse::Click, "FormEmail"},
    {"FormLoadSave", "ButtonSendWork", TUse::Click, "FormEmail"},
    // The help and tips windows.
    {"FormHelp", "ButtonMinimize", TUse::Click},
    {"FormHelp", "ButtonExit", TUse::Click},
    {"FormHelp", "ButtonContents", TUse::Click},
    {"FormHelp", "ButtonStepBack", TUse::Click},
    {"FormHelp", "ButtonPrint", TUse::Click},
    {"FormHelp", "ButtonTips", TUse::Click},
    {"FormHelp", "ButtonAbout", TUse::Click},
    {"FormTips", "ButtonMinimize", TUse::Click},
    {"FormTips", "ButtonExit", TUse::Click},
    {"FormTips", "ButtonBack", TUse::Click},
    // The post-card composer and its editors (opened by the online hub).
    {"FormPostCard", "ButtonExit", TUse::Click},
    {"FormPostCard", "ButtonAddText", TUse::Click, "FormPostCardText"},
    {"FormPostCard", "ButtonSave", TUse::Click},
    {"FormPostCard", "ButtonPrint", TUse::Click},
    {"FormPostCard", "ButtonSend", TUse::Click, "FormEmail"},
    {"FormPostCardText", "ButtonExit", TUse::Click},
    {"FormPostCardText", "ButtonOK", TUse::Click},
    {"FormPostCardText", "ButtonCancel", TUse::Click},
    {"FormPostCardText", "SpeedButton*", TUse::Click},
    {"FormPostCardText", "Slider*", TUse::Slide},
    {"FormPostCardBack", "ButtonExit", TUse::Click},
    {"FormPostCardBack", "ButtonLoadImage", TUse::Click},
    {"FormPostCardBack", "ButtonSetColor", TUse::Click},
    {"FormPostCardBack", "ButtonStretch", TUse::Click},
    {"FormPostCardBack", "ButtonTile", TUse::Click},
    {"FormPostCardBack", "ButtonCenter", TUse::Click},
    // The online hub: each service's window is made for its call.
    {"FormMain", "ButtonInternet", TUse::Click},
    {"FormMain", "ButtonMessages", TUse::Click},
    {"FormInetModes", "ButtonExit", TUse::Click},
    {"FormInetModes", "ButtonOpenSite", TUse::Click},
    {"FormInetModes", "ButtonDownloadElements", TUse::Click},
    {"FormInetModes", "ButtonDownloadGallery", TUse::Click},
    {"FormInetModes", "ButtonUploadGallery", TUse::Click},
    {"FormInetModes", "ButtonChat", TUse::Click},
    {"FormInetModes", "ButtonPostcard", TUse::Click},
    {"FormInetModes", "ButtonPublisherMessages", TUse::Click},
    // The questionnaires, in both modes.
    {"FormQueries", "ButtonMinimize", TUse::Click},
    {"FormQueries", "ButtonExit", TUse::Click},
    {"FormQueries", "ButtonFilterMode", TUse::Click},
    {"FormQueries", "ButtonQuizMode", TUse::Click},
    {"FormQueries", "ButtonSetTemplatesFilter", TUse::Click},
    {"FormQueries", "ButtonResetHTMLControls", TUse::Click},
    {"FormQueries", "ButtonViewQuizResult", TUse::Click},
    {"FormQueries", "ButtonPrintQuizResult", TUse::Click},
    // The catalogue.
    {"FormCatalog", "ButtonMinimize", TUse::Click},
    {"FormCatalog", "ButtonExit", TUse::Click},
    {"FormCatalog", "ButtonContents", TUse::Click},
    {"FormCatalog", "ButtonStepBack", TUse::Click},
    {"FormCatalog", "ButtonPrint", TUse::Click},
    // The video players.
    {"FormVideoClip", "ButtonExit", TUse::Click},
    {"FormVideoClip", "ButtonPlay", TUse::Click},
    {"FormVideoClip", "ButtonStop", TUse::Click},
    {"FormVideoClip", "ButtonPause", TUse::Click},
    {"FormVideoClip", "ButtonBack", TUse::Click},
    {"FormVideoClip", "ButtonStep", TUse::Click},
    {"FormVideoClip", "ButtonMaximize", TUse::Click},
    {"FormVideo", "ButtonExit", TUse::Click},
    {"FormVideo", "ButtonPlay", TUse::Click},
    {"FormVideo", "ButtonStop", TUse::Click},
    {"FormVideo", "ButtonPause", TUse::Click},
    {"FormVideo", "ButtonBack", TUse::Click},
    {"FormVideo", "ButtonStep", TUse::Click},
    // The layer-regions window.
    {"FormLayerRegions", "ButtonMinimize", TUse::Click},
    {"FormLayerRegions", "ButtonExit", TUse::Click},
    {"FormLayerRegions", "ButtonEditRegion", TUse::Click, "FormLayerRegionEdit"},
    {"FormLayerRegions", "ButtonSaveRegion", TUse::Click},
};

const TControlRow* RowOf(std::string_view window, std::string_view control) {
  for (const TControlRow& row : kControls) {
    if (row.Window != window) continue;
    if (row.Control == control) return &row;
    if (row.Control.ends_with('*') && control.starts_with(row.Control.substr(0, row.Control.size() - 1))) return &row;
  }
  return nullptr;
}

class ProgramWindows : public ::testing::Test {
 protected:
  TInterface interface_;
  TUseInterface useInterface_{interface_};
  TTestTexts texts_;  // the program's texts, loaded below as the start-up loads them
  void SetUp() override {
    SetProgramFolders(BuildDir() / "Tressary");
    interface_.Dir = "Intfaces\\";
    interface_.ResolutionIndex = 2;  // the 1024-768 folder
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    // The program's windows, made and wired as the start-up makes them.
    ReadMainWindowData(settings_, texts_.Texts);
    main_ = new TFormMain(settings_, templates_);
    new TFormHelp(settings_);
    new TFormTips(settings_);
    new TFormAdjust(*main_->AdjustHost());
    new TFormPreview();
    new TFormLayers();
    new TFormLayerRegions(settings_);
    new TFormLayerRegionEdit();
    new TFormMask(settings_);
    new TFormLoadSave(settings_);
    new TFormPrint(settings_);
    new TFormCamera();
    new TFormEmail(settings_);
    new TFormSetup(settings_);
    RegisterFormInetModes(settings_);
    new TFormInetModes(settings_);
    new TFormQueries(settings_, questionnaires_);
    ConnectMainWindow(*main_);
    ConnectFormLoadSave(*main_);
    ConnectFormCamera();
    ConnectOnlineServices(*main_);
    ConnectFormShopList(*main_);
    RegisterFormCatalog(settings_, catalog_);
    InstallProgramMainShell(*main_);
  }
  void TearDown() override {
    std::vector<QPointer<QWidget>> forms;
    for (QWidget* form : ScreenForms()) forms.emplace_back(form);
    for (const QPointer<QWidget>& form : forms) delete form.data();
    SetMessagePresenter(nullptr);
    SetCatalogPresenter(nullptr);
    SetProgramFolders({});
  }

  // Checks every control of `window` on screen now; `state` names the state.
  void CheckWindow(QWidget& window, const std::string& state) {
    const std::string name = window.objectName().toStdString();
    std::set<const QWidget*> thumbs;
    for (auto* slider : window.findChildren<TGraphicSlider*>()) thumbs.insert(slider->SlideButton());
    for (auto* control : window.findChildren<TGraphicButton*>()) {
      if (!control->isVisibleTo(&window) || thumbs.contains(control)) continue;
      const std::string control_name = control->objectName().toStdString();
      const std::string where = name + "." + control_name + " (" + state + ")";
      const TControlRow* row = RowOf(name, control_name);
      if (!row) {
        ADD_FAILURE() << where << " is on screen but not in the table";
        continue;
      }
      seen_.insert(name + "." + control_name);
      auto* slider = qobject_cast<TGraphicSlider*>(control);
      if (row->Use == TUse::Slide) {
        EXPECT_TRUE(slider && slider->OnChange) << where << " slides to nothing";
      } else if (row->Use == TUse::Release) {
        EXPECT_TRUE(control->OnMouseUp) << where << " does nothing when released";
      } else {
        EXPECT_TRUE(control->OnClick) << where << " does nothing when clicked";
      }
      std::string_view needs = row->Needs;
      const TOpener* opener = name == "FormMain" ? FindOpener(control_name) : nullptr;
      if (opener) needs = opener->Window;
      if (opener && opener->CreatedForCall) {
        EXPECT_TRUE(CallWindow(needs)) << where << " opens " << needs << ", not built";
      } else if (!needs.empty()) {
        EXPECT_NE(FindScreenForm(needs), nullptr) << where << " opens " << needs << ", not made";
      }
    }
  }
  void CheckMain(const std::string& state) { CheckWindow(*main_, state); }

  // Each control on `form` lies in the well of its skin: the skin's pixels just
  // inside the control's corners are the well's dark, not the title strip's, the
  // frame's or outside the window. The caption's own buttons stand on the strip.
  static void CheckInsideWell(TSkinnedForm& form) {
    const std::string name = form.objectName().toStdString();
    ASSERT_TRUE(form.isVisible()) << name;
    ASSERT_TRUE(form.SkinBitmap && !form.SkinBitmap->Empty()) << name << " shows without its skin";
    const TBitmap32& skin = *form.SkinBitmap;
    auto inWell = [&skin](int x, int y) {
      if (x < 0 || y < 0 || x >= skin.Width() || y >= skin.Height()) return false;
      const TColor32 c = skin.Pixel(x, y);
      return RedOf(c) + GreenOf(c) + BlueOf(c) < 100;
    };
    int checked = 0;
    for (QWidget* control : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const std::string control_name = control->objectName().toStdString();
      if (!control->isVisibleTo(&form) || qobject_cast<TCaptionBar*>(control) || control_name == "ButtonExit" ||
          control_name == "ButtonMinimize")
        continue;
      const QRect r = control->geometry().adjusted(2, 2, -2, -2);
      for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
        EXPECT_TRUE(inWell(corner.x(), corner.y()))
            << name << "." << control_name << " leaves the well at (" << corner.x() << ", " << corner.y() << ")";
      ++checked;
    }
    EXPECT_GT(checked, 2) << name;
  }

  // A picture button narrower than its sheet's frame shows only the frame's left part.
  static void CheckWholeFrame(const std::string& window, const TGraphicButton& button) {
    if (!button.Resource().Sheet()) return;
    EXPECT_GE(button.width(), button.Resource().Width())
        << window << "." << button.objectName().toStdString() << " cuts its frame";
  }

  // Each control on `form` stands wholly on one ground of its skin, with a margin:
  // in the well (its dark inner panel) or on the frame around it, never across
  // the well's edge, and never outside the window's shape. The caption's own
  // buttons stand wholly inside the shape, clear of its rounded corners.
  static void CheckOnItsGround(TSkinnedForm& form) {
    const std::string name = form.objectName().toStdString();
    ASSERT_TRUE(form.isVisible()) << name;
    ASSERT_TRUE(form.SkinBitmap && !form.SkinBitmap->Empty()) << name << " shows without its skin";
    const TBitmap32& skin = *form.SkinBitmap;
    const QRegion shape = form.mask().isEmpty() ? QRegion(form.rect()) : form.mask();
    enum TGround { Outside, Well, Frame };
    auto groundAt = [&](QPoint at) {
      if (!shape.contains(at) || at.x() >= skin.Width() || at.y() >= skin.Height()) return Outside;
      const TColor32 c = skin.Pixel(at.x(), at.y());
      return RedOf(c) + GreenOf(c) + BlueOf(c) < 100 ? Well : Frame;
    };
    // The ground under every pixel of `r`'s outline: one, or the first point of another.
    auto judge = [&](const std::string& control, const QRect& r) {
      std::optional<TGround> first;
      for (int x = r.left(); x <= r.right(); ++x)
        for (int y = r.top(); y <= r.bottom(); y += (x == r.left() || x == r.right()) ? 1 : std::max(1, r.height() - 1)) {
          const TGround ground = groundAt({x, y});
          if (ground == Outside)
            return ADD_FAILURE() << name << "." << control << " leaves the window's shape at (" << x << ", " << y << ")";
          if (!first) first = ground;
          if (ground != *first)
            return ADD_FAILURE() << name << "." << control << " crosses the edge of the skin's well at (" << x << ", " << y << ")";
        }
    };
    int checked = 0;
    for (QWidget* control : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (!control->isVisibleTo(&form)) continue;
      const std::string control_name = control->objectName().toStdString();
      if (auto* bar = qobject_cast<TCaptionBar*>(control)) {
        for (TGraphicButton* button : bar->findChildren<TGraphicButton*>(Qt::FindDirectChildrenOnly)) {
          if (!button->isVisibleTo(&form)) continue;
          const std::string button_name = button->objectName().toStdString();
          judge(control_name + "." + button_name, QRect(button->mapTo(&form, QPoint(0, 0)), button->size()));
          // The close and minimise buttons take the main window's own frames.
          if (button_name != "ButtonExit" && button_name != "ButtonMinimize") CheckWholeFrame(name, *button);
        }
        continue;
      }
      judge(control_name, control->geometry().adjusted(-1, -1, 1, 1));
      // A picture button smaller than its sheet's frame shows only part of it.
      if (auto* button = qobject_cast<TGraphicButton*>(control)) CheckWholeFrame(name, *button);
      ++checked;
    }
    EXPECT_GT(checked, 1) << name;
  }

  TMainSettings settings_;
  TTemplateBase templates_;
  TQuestionnaires questionnaires_;
  TCatalogIndex catalog_;
  TFormMain* main_ = nullptr;
  std::set<std::string> seen_;
};

}  // namespace

TEST_F(ProgramWindows, EveryControlOnScreenDoesSomethingInEveryModeAndState) {
  TMontageDesk& desk = main_->DeskWindow()->Desk();
  CheckMain("empty desk");

  auto add = [&desk](const char* caption) {
    auto layer = std::make_unique<TLayer>(desk, TBitmap32(30, 20, Color32(120, 80, 40)), TNewLayer{caption});
    TLayer& placed = *layer;
    desk.InsertLayer(std::move(layer));
    return &placed;
  };
  TLayer* portrait = add("Portrait");
  desk.SetPortraitLayer(portrait);
  TLayer* hair = add("Hair");
  for (int mode = dmNone; mode < kDeskModeCount; ++mode) {
    main_->State().SetDeskMode(mode);
    desk.SelectLayer(desk.IndexOfLayer(hair));
    CheckMain("mode " + std::to_string(mode) + ", hair selected");
    hair->SetVisible(false);
    main_->State().SetControls();
    CheckMain("mode " + std::to_string(mode) + ", hair hidden");
    hair->SetVisible(true);
    desk.SelectLayer(desk.IndexOfLayer(portrait));
    CheckMain("mode " + std::to_string(mode) + ", portrait selected");
    desk.SelectLayer(-1);
    CheckMain("mode " + std::to_string(mode) + ", nothing selected");
  }

  ASSERT_NE(FormLoadSave, nullptr);
  FormLoadSave->show();
  CheckWindow(*FormLoadSave, "shown");
  FormLoadSave->close();
  for (QWidget* window : std::initializer_list<QWidget*>{FormHelp, FormTips, FindScreenForm("FormInetModes")}) {
    ASSERT_NE(window, nullptr);
    window->show();
    CheckWindow(*window, "shown");
    window->close();
  }
  ASSERT_NE(FormQueries, nullptr);
  FormQueries->show();
  CheckWindow(*FormQueries, "filter mode");
  FormQueries->SetMode(TFormQueries::qmQuiz);
  CheckWindow(*FormQueries, "quiz mode");
  FormQueries->ShowQuizResult(true);
  CheckWindow(*FormQueries, "quiz result");
  FormQueries->ShowQuizResult(false);
  FormQueries->close();
  ShowCatalogPage("Index");
  ASSERT_NE(FormCatalog, nullptr);
  CheckWindow(*FormCatalog, "shown");
  FormCatalog->close();
  TFormVideoClip clip;
  TFormVideo videos;
  for (TVideoWindow* player : std::initializer_list<TVideoWindow*>{&clip, &videos}) {
    player->show();
    CheckWindow(*player, "shown");
    // Playing puts Stop where Play was.
    player->ButtonStop->show();
    player->ButtonPlay->hide();
    CheckWindow(*player, "playing");
    player->close();
  }

  FakeWork work;
  work.picture = TBitmap32(60, 60, Color32(200, 40, 40));
  TFormPostCard card(work, settings_);
  card.show();
  CheckWindow(card, "shown");
  card.TextEditor->show();
  CheckWindow(*card.TextEditor, "shown");
  card.TextEditor->close();
  card.BackEditor->show();
  CheckWindow(*card.BackEditor, "shown");
  card.BackEditor->close();
  card.close();

  desk.SelectLayer(desk.IndexOfLayer(hair));
  ASSERT_NE(FormLayerRegions, nullptr);
  FormLayerRegions->show();
  CheckWindow(*FormLayerRegions, "hair shown");
  FormLayerRegions->close();

  // The walk met the controls of every kind of state, so it checked something.
  for (const char* name : {"FormMain.ButtonLayerDelete", "FormMain.SliderOpacity", "FormMain.SliderBrushSize",
                           "FormMain.ButtonCurrentBrushColor", "FormMain.ButtonLoadSave", "FormMain.ButtonExitMain",
                           "FormMain.ButtonTemplatePrev", "FormMain.ButtonBaldHead",
                           "FormMain.ButtonColorCalibration", "FormMain.ButtonLayerList", "FormMain.ButtonPreview",
                           "FormMain.ButtonHelp", "FormHelp.ButtonPrint", "FormTips.ButtonBack",
                           "FormMain.ButtonSetup", "FormMain.ButtonPaletteNext", "FormMain.ButtonPaletteColorNext",
                           "FormMain.PaletteButtonColor6", "FormMain.ButtonShopping",
                           "FormMain.ButtonQueries", "FormQueries.ButtonPrintQuizResult",
                           "FormQueries.ButtonSetTemplatesFilter",
                           "FormMain.ButtonCatalog", "FormCatalog.ButtonPrint",
                           "FormMain.ButtonLayerRegions", "FormMain.ButtonLayerSave", "FormLayerRegions.ButtonSaveRegion",
                           "FormLoadSave.ButtonLoadImage", "FormLoadSave.ButtonSendWork", "FormPostCard.ButtonSend",
                           "FormPostCardText.SliderTextRotation", "FormPostCardBack.ButtonTile",
                           "FormMain.ButtonInternet", "FormMain.ButtonMessages", "FormInetModes.ButtonChat",
                           "FormInetModes.ButtonPostcard",
                           "FormVideoClip.ButtonMaximize", "FormVideoClip.ButtonStop", "FormVideo.ButtonStep"})
    EXPECT_TRUE(seen_.contains(name)) << name << " never showed";
}

TEST_F(ProgramWindows, TheControlsOfTheFilesPrintFitTemplateAndVideoWindowsLieInTheirWells) {
  FormLoadSave->show();
  CheckInsideWell(*FormLoadSave);
  FormLoadSave->close();
  FormPrint->show();
  CheckInsideWell(*FormPrint);
  FormPrint->close();
  FormAdjust->show();
  CheckInsideWell(*FormAdjust);
  FormAdjust->close();
  auto* models = qobject_cast<TSkinnedForm*>(FindScreenForm("FormMask"));
  ASSERT_NE(models, nullptr);
  models->show();
  CheckInsideWell(*models);
  models->close();
  auto* browser = new TFormTemplates(settings_, templates_, questionnaires_);
  ASSERT_TRUE(browser->OpenForType(1, {2, 4}, "Hairstyles for women", tkFace));
  CheckInsideWell(*browser);
  browser->ButtonNail[0]->show();  // the nail buttons take the same row for hands
  CheckInsideWell(*browser);
  browser->close();
  TFormShopList shops(BuildDir() / "Tressary", {}, settings_);
  shops.show();
  CheckInsideWell(shops);
  shops.close();
  TFormVideoClip clip;
  clip.show();
  CheckInsideWell(clip);
  clip.close();
  TFormVideo videos;
  videos.show();
  CheckInsideWell(videos);
  videos.close();
}

TEST_F(ProgramWindows, TheControlsOfTheSmallerWindowsStandOnOneGroundOfTheirSkins) {
  std::vector<std::unique_ptr<TSkinnedForm>> windows;
  windows.push_back(std::make_unique<TFormColorCalibration>(TBitmap32(200, 150, Color32(210, 180, 160)), settings_));
  windows.push_back(std::make_unique<TFormInetReg>(settings_));
  windows.push_back(std::make_unique<TFormToGallery>(settings_));
  windows.push_back(std::make_unique<TFormPostCardText>());
  windows.push_back(std::make_unique<TFormLayerRegionEdit>());
  windows.push_back(std::make_unique<TFormPublisherMessages>(settings_));
  TMontageDesk& desk = main_->DeskWindow()->Desk();
  auto layer = std::make_unique<TLayer>(desk, TBitmap32(30, 20, Color32(120, 80, 40)), TNewLayer{"Hair"});
  TLayer* hair = layer.get();
  desk.InsertLayer(std::move(layer));
  windows.push_back(std::make_unique<TFormLayerSave>(desk, hair, settings_, templates_));
  FakeWork work;
  work.picture = TBitmap32(60, 60, Color32(200, 40, 40));
  TFormPostCard card(work, settings_);
  windows.push_back(std::make_unique<TFormPostCardBack>(card, settings_));
  for (const auto& window : windows) {
    window->show();
    CheckOnItsGround(*window);
    window->close();
  }
  auto* hub = static_cast<TSkinnedForm*>(FindScreenForm("FormInetModes"));
  ASSERT_NE(hub, nullptr);
  hub->show();
  CheckOnItsGround(*hub);
  hub->close();
}

// Clicks the middle of `button` as the pointer does: through its window, so that
// whatever lies there (the button, or the caption bar under it) gets the press.
static void ClickThroughWindow(QWidget* button) {
  QWidget* window = button->window();
  QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, button->mapTo(window, button->rect().center()));
}

TEST_F(ProgramWindows, TheOnlineWindowsCloseByTheirCaptionButtonAndTheHubHoldsItsButtons) {
  TempFolder temp;
  settings_.Ini = TIniFile(temp / "Tressary.ini");
  settings_.Ini.WriteString("Publisher Links", "PublisherLinks", "https://publisher.example.com/");
  auto* hub = static_cast<TSkinnedForm*>(FindScreenForm("FormInetModes"));
  ASSERT_NE(hub, nullptr);
  hub->show();
  int buttons = 0;
  for (auto* button : hub->findChildren<TGraphicButton*>(Qt::FindDirectChildrenOnly)) buttons += button->isVisible();
  EXPECT_EQ(buttons, 7) << "the site button shows too";
  CheckInsideWell(*hub);
  hub->close();

  // Made, as in the program, while a modal window (the hub) disables the main
  // window whose close button they copy.
  main_->setEnabled(false);
  TFormInetReg registration(settings_, main_);
  registration.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&registration));
  ClickThroughWindow(registration.ButtonExit);
  EXPECT_FALSE(registration.isVisible()) << "the registration's close button";

  TFormPassword prompt(main_);
  prompt.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&prompt));
  QTest::keyClicks(prompt.EditPassword, "typed");
  ClickThroughWindow(prompt.ButtonExit);
  EXPECT_FALSE(prompt.isVisible()) << "the password prompt's close button";
  EXPECT_EQ(prompt.ModalResult, 2);
}

TEST_F(ProgramWindows, TheButtonStripsOfThePageWindowsTakeWholeFramesOfTheirSheets) {
  // A strip button's faces are its sheet's three frames side by side, each as
  // wide as the button: a sheet of another width shows a pressed button shifted
  // by the difference, half of its neighbour frame beside it.
  ShowCatalogPage("Index");
  ASSERT_NE(FormCatalog, nullptr);
  FormHelp->show();
  FormTips->show();
  FormQueries->show();
  int checked = 0;
  for (QWidget* window : std::initializer_list<QWidget*>{FormHelp, FormTips, FormQueries, FormCatalog}) {
    for (auto* button : window->findChildren<TGraphicButton*>()) {
      const TBitmap32* sheet = button->Resource().Sheet();
      if (!sheet || button->parentWidget() != window) continue;  // not the caption bar's
      EXPECT_EQ(sheet->Width(), 3 * button->width())
          << window->objectName().toStdString() << "." << button->objectName().toStdString();
      ++checked;
    }
    window->close();
  }
  EXPECT_GE(checked, 12);
}

// The contrast ratio of two colours as screen readers of text judge it (1 to 21).
static double ContrastRatio(QColor a, QColor b) {
  auto luminance = [](QColor c) {
    auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(ProgramWindows, TheEmailWindowsLabelsReadClearlyOnItsSkin) {
  auto* email = qobject_cast<TFormEmail*>(FindScreenForm("FormEmail"));
  ASSERT_NE(email, nullptr);
  email->show();
  const QImage shot = email->grab().toImage();
  int checked = 0;
  for (QLabel* label : {email->LabelEmailAddress, email->LabelName, email->LabelFromName, email->LabelSubject,
                        email->LabelLetter}) {
    ASSERT_FALSE(label->text().isEmpty());
    // The ground is the skin's colour left of the label; the text, its pixel that stands out most.
    const QRect area = label->geometry();
    const QColor ground = shot.pixelColor(area.left() - 2, area.center().y());
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) best = std::max(best, ContrastRatio(shot.pixelColor(x, y), ground));
    EXPECT_GE(best, 7.0) << label->objectName().toStdString() << " on " << ground.name().toStdString();
    ++checked;
  }
  email->close();
  EXPECT_EQ(checked, 5);
}

TEST_F(ProgramWindows, ThePreviewButtonsOfTheOnlineWindowsSayOnTheirFacesWhatEachDoes) {
  TFormDownloadElements download{settings_};
  TFormFromGallery gallery(settings_);
  download.show();  // the sheets load as a window shows
  gallery.show();
  // The caption shows: the face differs from the same button's face without it, and holds it whole.
  auto showsCaption = [](TGraphicButton* button) {
    const QString caption = button->Caption();
    const QImage with = button->grab().toImage();
    button->SetCaption("");
    const QImage without = button->grab().toImage();
    button->SetCaption(caption);
    int differ = 0;
    for (int y = 0; y < with.height(); ++y)
      for (int x = 0; x < with.width(); ++x) differ += with.pixel(x, y) != without.pixel(x, y);
    EXPECT_LE(button->fontMetrics().horizontalAdvance(caption), button->width() - 8)
        << button->objectName().toStdString() << " cuts \"" << caption.toStdString() << "\"";
    return differ >= 20;
  };
  EXPECT_TRUE(showsCaption(download.ButtonElementsPreview)) << "the download window's previews button";
  EXPECT_TRUE(showsCaption(gallery.ButtonElementsPreview));
  EXPECT_TRUE(showsCaption(gallery.ButtonDownloadPreview));
  EXPECT_NE(gallery.ButtonElementsPreview->Caption(), gallery.ButtonDownloadPreview->Caption())
      << "two neighbouring buttons that do different things";
}

TEST_F(ProgramWindows, TheBaldHeadEditorOpensOverTheMainWindow) {
  main_->move(30, 25);
  TFormBaldHead editor(TBitmap32(120, 160, Color32(200, 170, 150)), {60, 70}, {0, 0}, main_);
  EXPECT_EQ(editor.pos(), main_->pos());
  // The main window dragged partly off the screen: the editor stays whole on it.
  const QRect screen = main_->screen()->availableGeometry();
  main_->move(screen.right() - 100, screen.bottom() - 100);
  TFormBaldHead dragged(TBitmap32(120, 160, Color32(200, 170, 150)), {60, 70}, {0, 0}, main_);
  EXPECT_TRUE(screen.contains(dragged.geometry())) << "on a screen larger than the editor";
}

TEST_F(ProgramWindows, TheCalibrationAndSettingsCaptionsShowTheirWholeTextAndTheColourItsColour) {
  TFormColorCalibration calibration(TBitmap32(200, 150, Color32(210, 180, 160)), settings_);
  calibration.show();
  FormSetup->show();
  int checked = 0;
  for (QWidget* window : std::initializer_list<QWidget*>{&calibration, FormSetup}) {
    for (auto* label : window->findChildren<QLabel*>()) {
      if (!label->isVisibleTo(window) || label->text().isEmpty() || label->wordWrap() || !label->pixmap().isNull())
        continue;
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width())
          << window->objectName().toStdString() << "." << label->objectName().toStdString() << " cuts \""
          << label->text().toStdString() << "\"";
      ++checked;
    }
  }
  const QImage settings = FormSetup->grab().toImage();
  const QWidget* colour = FormSetup->ButtonCurrentCalibrationColor;
  EXPECT_EQ(settings.pixelColor(colour->geometry().center()), QColor(settings_.CalibrationRed, settings_.CalibrationGreen, settings_.CalibrationBlue));
  FormSetup->close();
  EXPECT_GE(checked, 6);
}
