#include "editor/forms/FormPreview.h"

#include <QPainter>

#include "editor/LayerList.h"
#include "editor/MontageDesk.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "picture/forms/BitmapImage.h"
#include "platform/Text.h"
#include "shell/InterfaceInfo.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormPreview* FormPreview = nullptr;

namespace {

constexpr int kWidth = 280;
constexpr int kHeight = 320;
constexpr int kCaptionHeight = 20;
constexpr int kMargin = 5;

class TPreviewImage : public QWidget {
 public:
  TPreviewImage(const TBitmap32& bitmap, QWidget* parent) : QWidget(parent), bitmap_(bitmap) {
    setObjectName("ResImage");
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (bitmap_.Empty()) painter.fillRect(rect(), Qt::white);
    else painter.drawImage(0, 0, ImageView(bitmap_));
  }

 private:
  const TBitmap32& bitmap_;
};

}  // namespace

TFormPreview::TFormPreview(QWidget* parent) : TSkinnedForm("FormPreview", parent) {
  FormPreview = this;
  resize(kWidth, kHeight);
  PlaceFromFrame({524, 130});
  LockResImage = UpperAscii(GetInterfaceValue("FormPreview.LockResImage")) == "TRUE";

  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, kWidth, kCaptionHeight);
  // At the caption bar's right end: the window is narrower than the main window's
  // designed 315 pixels.
  ButtonMinimize = NewSheetButton(CaptionBar, "ButtonMinimize", ImageButtons, 0, {kWidth - 45, 0, 20, 19});
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, 0, {kWidth - 25, 0, 20, 19});
  TakeMainWindowLooks(*ButtonMinimize);
  TakeMainWindowLooks(*ButtonExit);
  ButtonMinimize->OnClick = [this] { showMinimized(); };
  ButtonExit->OnClick = [this] { close(); };
  ResImage = new TPreviewImage(bitmap_, this);
  ResImage->setGeometry(kMargin, kCaptionHeight + kMargin, kWidth - 2 * kMargin, kHeight - kCaptionHeight - 2 * kMargin);

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormPreviewCaption", "Initial Portrait");

  Skins = {"FormPreview.Skin", "FormPreview.psd", {}, {}};
  OnShow = [this] {
    if (!LockResImage)
      ResImage->setGeometry(kMargin, CaptionBar->height() + kMargin, width() - 2 * kMargin,
                            height() - CaptionBar->height() - 2 * kMargin);
    if (TFormMain* main = Main())
      if (TGraphicButton* opener = main->Button("ButtonPreview")) opener->SetPressed(true);
    ShowCurrentPortrait();
  };
  OnClose = [this] {
    if (TFormMain* main = Main())
      if (TGraphicButton* opener = main->Button("ButtonPreview")) opener->SetPressed(false);
  };
  LayerWindowLinks().ShowPortrait = [this] {
    if (isVisible()) ShowCurrentPortrait();
  };
  LayerWindowLinks().ClearPortraitPreview = [this] {
    if (isVisible()) ShowPortrait(nullptr);
  };
}

TFormPreview::~TFormPreview() {
  if (FormPreview == this) {
    FormPreview = nullptr;
    LayerWindowLinks().ShowPortrait = nullptr;
    LayerWindowLinks().ClearPortraitPreview = nullptr;
  }
}

TFormMain* TFormPreview::Main() const { return MainWindow; }

void TFormPreview::ShowCurrentPortrait() {
  TFormMain* main = Main();
  const bool portrait = main && main->DeskWindow() && main->DeskWindow()->Desk().HasPortraitLayer();
  ShowPortrait(portrait ? &main->DeskWindow()->Desk().PortraitBitmap : nullptr);
}

void TFormPreview::ShowPortrait(const TBitmap32* picture) {
  bitmap_ = PortraitPreview(picture, ResImage->width(), ResImage->height());
  ResImage->update();
}

void RegisterFormPreview() {
  RegisterStandingForm("FormPreview", [](QWidget* owner) { return new TFormPreview(owner); });
}
