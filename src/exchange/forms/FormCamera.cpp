#include "exchange/forms/FormCamera.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>

#include "exchange/LoadSaveController.h"
#include "exchange/forms/FormLoadSave.h"
#include "picture/forms/BitmapImage.h"
#include "platform/qt/MediaPlayer.h"
#include "shell/InterfaceInfo.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormCamera* FormCamera = nullptr;

namespace {

constexpr int kClientWidth = 340;
constexpr int kClientHeight = 228;
constexpr int kButtonWidth = 72;
constexpr int kButtonHeight = 28;

// The preview's place when the interface does not give one.
constexpr int kCaptureX = 88;
constexpr int kCaptureY = 59;

int InterfaceIntOr(std::string_view key, int fallback) {
  const int value = GetInterfaceInt(key);
  return value == kNoInterfaceInt ? fallback : value;
}

// A choice among `items` in a small dialog; nullopt when cancelled.
std::optional<int> ChooseItem(QWidget* parent, const QString& label, QStringList items, int current) {
  // Two inputs of one model share a name: number the repeats so each stays choosable.
  for (int i = 0; i < items.size(); ++i)
    if (items.indexOf(items[i]) < i) items[i] += QString(" (%1)").arg(i + 1);
  QInputDialog dialog(parent);
  dialog.setObjectName("CameraChoice");
  dialog.setWindowTitle(TermText("ProductName"));
  dialog.setLabelText(label);
  dialog.setComboBoxItems(items);
  dialog.setComboBoxEditable(false);
  if (current >= 0 && current < items.size()) dialog.setTextValue(items[current]);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const int chosen = items.indexOf(dialog.textValue());
  return chosen < 0 ? std::nullopt : std::optional<int>(chosen);
}

}  // namespace

TCapturePreview::TCapturePreview(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void TCapturePreview::SetPicture(const TBitmap32& picture) {
  picture_ = picture;
  if (!picture_.Empty()) ++frames_;
  update();
}

void TCapturePreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (picture_.Empty())
    painter.fillRect(rect(), Qt::black);
  else
    painter.drawImage(rect(), ImageView(picture_));
}

class TFormCamera::TUi : public ICameraUi {
 public:
  explicit TUi(TFormCamera& form) : form_(form) {}

  void EnableButtons(const TCameraButtons& buttons) override {
    form_.ButtonVideoSource->setEnabled(buttons.Source);
    form_.ButtonVideoFormat->setEnabled(buttons.Format);
    form_.ButtonVideoDisplay->setEnabled(buttons.Display);
    form_.ButtonSnapshot->setEnabled(buttons.Snapshot);
  }
  void ShowPreview(const TBitmap32& frame) override { form_.CaptureWindow->SetPicture(frame); }
  std::optional<int> ChooseInput(const std::vector<std::string>& inputs, int current) override {
    QStringList items;
    for (const std::string& input : inputs) items << QString::fromStdString(input);
    return ChooseItem(&form_, TermText("FormCameraChooseSource", "Camera:"), items, current);
  }
  std::optional<int> ChooseFormat(const std::vector<TCaptureFormat>& formats, int current) override {
    QStringList items;
    for (const TCaptureFormat& f : formats) items << QString("%1 x %2").arg(f.Width).arg(f.Height);
    return ChooseItem(&form_, TermText("FormCameraChooseFormat", "Picture size:"), items, current);
  }
  void ShowDeviceError(int id, const std::string& text) override {
    QMessageBox box(QMessageBox::Warning, QString("Error# %1").arg(id), QString::fromStdString(text),
                    QMessageBox::Ok, &form_);
    box.exec();
  }
  void ShowMessage(std::string_view key) override {
    std::string_view text = CameraMessageDefault(key);
    ShowMessageBox(key, mbkOKCancel, false, text.empty() ? LoadSaveMessageDefault(key) : text);
  }
  void CloseWindow() override {
    form_.hide();
    form_.close();
    QCoreApplication::processEvents();
  }
  void HandOver(TBitmap32 snapshot) override {
    if (form_.OnSnapshot)
      form_.OnSnapshot(std::move(snapshot));
    else if (auto* loadSave = StandingForm<TFormLoadSave>("FormLoadSave"))
      loadSave->Actions().TakePicture(std::move(snapshot));
  }

 private:
  TFormCamera& form_;
};

TFormCamera::TFormCamera(QWidget* parent) : TSkinnedForm("FormCamera", parent), ui_(std::make_unique<TUi>(*this)) {
  FormCamera = this;
  resize(kClientWidth, kClientHeight);
  PlaceFromFrame({120, 85});

  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, kClientWidth, 20);
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, 0, {319, 0, 20, 19});
  TakeMainWindowLooks(*ButtonExit);
  ButtonExit->OnClick = [this] { ButtonExitClick(); };

  CaptureWindow = new TCapturePreview(this);
  CaptureWindow->setObjectName("CaptureWindow");
  CaptureWindow->setGeometry(kCaptureX, kCaptureY, kPreviewFormat.Width, kPreviewFormat.Height);

  // The default button sheet is plain: the buttons say what they are.
  int row = 0;
  auto button = [this, &row](const char* name, const char* caption, QPoint at, void (TFormCamera::*click)()) {
    TGraphicButton* b = NewSheetButton(this, name, ImageButtons, row++ * kButtonHeight,
                                       {at.x(), at.y(), kButtonWidth, kButtonHeight});
    b->SetCaption(TermText((std::string("FormCamera") + name + "Caption").c_str(), caption));
    b->OnClick = [this, click] { (this->*click)(); };
    return b;
  };
  ButtonVideoSource = button("ButtonVideoSource", "Camera", {8, 59}, &TFormCamera::ButtonVideoSourceClick);
  ButtonVideoFormat = button("ButtonVideoFormat", "Size", {8, 105}, &TFormCamera::ButtonVideoFormatClick);
  ButtonVideoDisplay = button("ButtonVideoDisplay", "Preview", {8, 151}, &TFormCamera::ButtonVideoDisplayClick);
  ButtonSnapshot = button("ButtonSnapshot", "Take", {260, 105}, &TFormCamera::ButtonSnapshotClick);

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormCameraCaption");
  ui_->EnableButtons({});

  Skins = {"FormCamera.Skin", "FormCamr.psd", "FormCameraButtons", "ButCamer.psd"};
  OnShow = [this] {
    Actions().FormShow();
  };
  OnClose = [this] {
    DisconnectCamera();
  };
}

TFormCamera::~TFormCamera() {
  actions_.reset();
  if (FormCamera == this) FormCamera = nullptr;
}

TCameraController& TFormCamera::Actions() {
  if (!Device) {
    // The multimedia library starts with the first use of the camera, not with the program.
    if (!ownDevice_) ownDevice_ = CreateCaptureDevice();
    Device = ownDevice_.get();
  }
  if (!actions_ || controllerDevice_ != Device) {
    actions_.reset();
    actions_ = std::make_unique<TCameraController>(*ui_, *Device);
    controllerDevice_ = Device;
  }
  return *actions_;
}

bool TFormCamera::ConnectCamera() {
  CaptureWindow->move(InterfaceIntOr("FormCamera.CapWinX", kCaptureX), InterfaceIntOr("FormCamera.CapWinY", kCaptureY));
  return Actions().ConnectCamera();
}

void TFormCamera::DisconnectCamera() {
  if (actions_) actions_->DisconnectCamera();
  CaptureWindow->SetPicture(TBitmap32());
}

void TFormCamera::ButtonExitClick() { close(); }
void TFormCamera::ButtonSnapshotClick() { Actions().ButtonSnapshotClick(); }
void TFormCamera::ButtonVideoSourceClick() { Actions().ButtonVideoSourceClick(); }
void TFormCamera::ButtonVideoFormatClick() { Actions().ButtonVideoFormatClick(); }
void TFormCamera::ButtonVideoDisplayClick() { Actions().ButtonVideoDisplayClick(); }

void RegisterFormCamera() {
  RegisterStandingForm("FormCamera", [](QWidget* owner) { return new TFormCamera(owner); });
}

void ConnectFormCamera() {
  if (!HasStandingForm("FormLoadSave") || !HasStandingForm("FormCamera")) return;
  LinkStandingForm<TFormLoadSave>("FormLoadSave", [](TFormLoadSave& form) {
    form.ConnectCamera = [] {
      auto* camera = StandingForm<TFormCamera>("FormCamera");
      return camera && camera->ConnectCamera();
    };
    form.RunCameraWindow = [] {
      if (auto* camera = StandingForm<TFormCamera>("FormCamera")) ShowSkinnedModal(*camera);
    };
  });
}
