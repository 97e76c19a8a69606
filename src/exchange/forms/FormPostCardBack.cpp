#include "exchange/forms/FormPostCardBack.h"

#include "editor/MainShell.h"
#include "editor/PortraitToolDesign.h"
#include "exchange/LoadSaveController.h"
#include "exchange/forms/OpenPictureDialog.h"
#include "platform/qt/FileDialogFilters.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/ColorFace.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace d = portrait_tool;

namespace {
constexpr int kWidth = 240;
constexpr int kHeight = 250;
}  // namespace

TFormPostCardBack::TFormPostCardBack(ICardBackgroundHost& host, const TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormPostCardBack", parent), host_(host), settings_(settings) {
  resize(kWidth, kHeight);
  PlaceFromFrame({200, 140});
  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, kWidth, d::kCaptionHeight);
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, d::kSheetExitTop, {kWidth - 30, 0, 20, 19});
  TakeMainWindowLooks(*ButtonExit);
  ButtonExit->OnClick = [this] { close(); };

  // Buttons take the sheet's frame size: a wider one would show the next frame.
  auto button = [this](const char* name, const char* caption, int left, int top) {
    TGraphicButton* b =
        NewSheetButton(this, name, ImageButtons, d::kSheetButtonTop, {left, top, d::kButtonWidth, d::kButtonHeight});
    b->SetCaption(TermText((std::string("FormPostCardBack") + name + "Caption").c_str(), caption));
    return b;
  };
  constexpr int kLeft = 12, kRightColumn = kWidth - 12 - d::kButtonWidth;
  ButtonSetColor = button("ButtonSetColor", "Colour", kLeft, 34);
  ButtonBackgroundColor =
      new TColorFace(this, "ButtonBackgroundColor", QRect(kRightColumn, 34, d::kButtonWidth, d::kButtonHeight));
  ButtonBackgroundColor->SetColor(Color32(255, 255, 255));
  SetProgramCursor(*ButtonBackgroundColor, crPipette);
  ButtonLoadImage = button("ButtonLoadImage", "Picture...", kLeft, 76);
  ButtonStretch = button("ButtonStretch", "Stretch", kRightColumn, 76);
  ButtonTile = button("ButtonTile", "Tile", kRightColumn, 112);
  ButtonCenter = button("ButtonCenter", "Centre", kRightColumn, 148);
  ButtonStretch->SetTag(kPlaceStretch);
  ButtonTile->SetTag(kPlaceTile);
  ButtonCenter->SetTag(kPlaceCenter);
  ButtonSetColor->SetPressed(true);
  ButtonCenter->SetPressed(true);

  ButtonLoadImage->OnClick = [this] { ButtonLoadImageClick(); };
  ButtonSetColor->OnClick = [this] { ButtonSetColorClick(); };
  ButtonBackgroundColor->OnClick = [this] { ButtonBackgroundColorClick(); };
  for (TGraphicButton* b : {ButtonStretch, ButtonTile, ButtonCenter})
    b->OnClick = [this, b] { PlacementClick(b->Tag()); };

  OpenPictureDialog = new TPelmoOpenPictureDialog(this);
  OpenPictureDialog->setObjectName("OpenPictureDialog");
  OpenPictureDialog->setNameFilters(QtNameFilterList(ImageOpenFilters()));
  OpenPictureDialog->setDirectory(QString::fromStdString(DataFolderPath(settings_.LoadImageDir).string()));

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormPostCardBackCaption", "Background");

  Skins = {"FormPostCardBack.Skin", "FormPcbg.psd", "FormPostCardBackButtons", "ButPcbg.psd"};
}

TFormPostCardBack::~TFormPostCardBack() = default;

TColor32 TFormPostCardBack::BackgroundColor() const { return ButtonBackgroundColor->Color(); }
void TFormPostCardBack::SetBackgroundColor(TColor32 color) { ButtonBackgroundColor->SetColor(color); }

void TFormPostCardBack::ButtonLoadImageClick() {
  if (OpenPictureDialog->exec() != QDialog::Accepted || OpenPictureDialog->selectedFiles().isEmpty()) return;
  const std::filesystem::path file = OpenPictureDialog->selectedFiles().front().toStdString();
  OpenPictureDialog->setDirectory(QString::fromStdString(file.parent_path().string()));
  if (!host_.LoadBackgroundImage(file, placement_)) return;
  host_.SetColorBackground(false);
  host_.BackgroundChanged();
  ButtonLoadImage->SetPressed(true);
  ButtonSetColor->SetPressed(false);
}

void TFormPostCardBack::ButtonSetColorClick() {
  host_.SetColorBackground(true);
  host_.BackgroundChanged();
  ButtonSetColor->SetPressed(true);
  ButtonLoadImage->SetPressed(false);
}

void TFormPostCardBack::ButtonBackgroundColorClick() {
  if (const auto chosen = ChooseColor(this, BackgroundColor())) {
    SetBackgroundColor(*chosen);
    host_.BackgroundChanged();
  }
}

void TFormPostCardBack::PlacementClick(int placement) {
  placement_ = placement;
  for (TGraphicButton* b : {ButtonStretch, ButtonTile, ButtonCenter}) b->SetPressed(b->Tag() == placement);
  host_.BackgroundChanged();
}
