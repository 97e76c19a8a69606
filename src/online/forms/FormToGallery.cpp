#include "online/forms/FormToGallery.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <ctime>

#include "online/TransferContext.h"
#include "online/forms/OnlineControls.h"
#include "online/forms/OnlineMessages.h"
#include "picture/BitmapRoutines.h"
#include "picture/forms/BitmapImage.h"
#include "platform/IniFile.h"
#include "platform/KeyCodes.h"
#include "shell/MainSettings.h"
#include "shell/ProductInfo.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace {

// Rows of the button sheet ("FormToGalleryButtons"): send, stop, plain.
constexpr int kSendRowTop = 0;
constexpr int kStopRowTop = 30;
constexpr int kPlainRowTop = 60;
constexpr int kPreviewSide = 96;

struct TAttributeBox {
  const char* Name;
  const char* Section;
  const char* LabelKey;
  const char* Default;
};
constexpr TAttributeBox kBoxes[6] = {
    {"ComboBoxSex", "T Sex", "LabelSexCaption", "Sex"},
    {"ComboBoxAge", "T Age", "LabelAgeCaption", "Age"},
    {"ComboBoxSkinColor", "T Skin Color", "LabelSkinColorCaption", "Skin colour"},
    {"ComboBoxHairColor", "T Hair Color", "LabelHairColorCaption", "Hair colour"},
    {"ComboBoxEyesColor", "T Eyes Color", "LabelEyesColorCaption", "Eyes colour"},
    {"ComboBoxWorkKind", "T Portrait Type", "LabelWorkKindCaption", "Work kind"},
};

TGraphicButton* PlainButton(QWidget* parent, const char* name, TMyImage* sheet, QRect bounds, const QString& caption) {
  TGraphicButton* button = NewSheetButton(parent, name, sheet, kPlainRowTop, bounds);
  button->SetCaption(caption);
  return button;
}

// What a typed text may hold: no record or line delimiters, so what the user
// sees is what is sent.
QValidator* FieldValidator(QObject* parent) {
  return new QRegularExpressionValidator(QRegularExpression("[^;>\\r\\n]*"), parent);
}

}  // namespace

TFormToGallery::TFormToGallery(const TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormToGallery", parent), settings_(settings) {
  BuildOnlineFrame(*this, {420, 370, QPoint(90, 50), 398}, ImageButtons, CaptionBar, ButtonExit);

  LabelWorkName = NewOnlineLabel(this, "LabelWorkName", {20, 30, 130, 22});
  EditWorkName = new QLineEdit(this);
  EditWorkName->setObjectName("EditWorkName");
  EditWorkName->setGeometry(160, 30, 240, 24);
  EditWorkName->setValidator(FieldValidator(EditWorkName));
  for (int i = 0; i < 6; ++i) {
    const int top = 62 + i * 30;
    QLabel* label = NewOnlineLabel(this, kBoxes[i].LabelKey, {20, top, 130, 22});
    label->setText(TermText(kBoxes[i].LabelKey, kBoxes[i].Default));
    auto* box = new QComboBox(this);
    box->setObjectName(kBoxes[i].Name);
    box->setGeometry(160, top, 240, 24);
    // Each choice travels as one hexadecimal digit: a list holds at most 16.
    for (const std::string& line : settings_.Ini.ReadSectionValues(kBoxes[i].Section)) {
      if (box->count() == 16) break;
      const std::size_t eq = line.find('=');
      box->addItem(QString::fromStdString(eq == std::string::npos ? line : line.substr(eq + 1)));
    }
    connect(box, &QComboBox::currentIndexChanged, this, [this] { UpdateSendState(); });
    ComboBoxes.push_back(box);
  }
  ImagePreview = NewOnlineLabel(this, "ImagePreview", {20, 246, kPreviewSide, kPreviewSide});
  ButtonSendAsJpeg =
      PlainButton(this, "ButtonSendAsJpeg", ImageButtons, {126, 246, 90, 30}, TermText("FormToGalleryJpeg", "Picture"));
  ButtonSendAsJpeg->OnClick = [this] { SetAsWork(false); };
  ButtonSendAsWork =
      PlainButton(this, "ButtonSendAsWork", ImageButtons, {222, 246, 90, 30}, TermText("FormToGalleryWork", "Work"));
  ButtonSendAsWork->OnClick = [this] { SetAsWork(true); };
  ButtonSendAsPublic = PlainButton(this, "ButtonSendAsPublic", ImageButtons, {126, 282, 90, 30},
                                   TermText("FormToGalleryPublic", "Public"));
  ButtonSendAsPublic->OnClick = [this] { SetPrivate(false); };
  ButtonSendAsPrivate = PlainButton(this, "ButtonSendAsPrivate", ImageButtons, {222, 282, 90, 30},
                                    TermText("FormToGalleryPrivate", "Private"));
  ButtonSendAsPrivate->OnClick = [this] { SetPrivate(true); };
  LabelPassword = NewOnlineLabel(this, "LabelPassword", {318, 246, 90, 18});
  EditPassword = new QLineEdit(this);
  EditPassword->setObjectName("EditPassword");
  EditPassword->setGeometry(318, 284, 82, 24);
  EditPassword->setEchoMode(QLineEdit::Password);
  EditPassword->setValidator(FieldValidator(EditPassword));
  ProgressBar = NewProgressBar(this, "ProgressBar", {126, 336, 174, 12});
  ButtonStartDownload = NewSheetButton(this, "ButtonStartDownload", ImageButtons, kSendRowTop, {310, 326, 90, 30});
  ButtonStartDownload->OnClick = [this] { ButtonSendClick(); };
  ButtonStopDownload = NewSheetButton(this, "ButtonStopDownload", ImageButtons, kStopRowTop, {310, 326, 90, 30});
  ButtonStopDownload->OnClick = [this] { ButtonStopClick(); };
  Timer1 = NewProgressTimer(this, ProgressBar);

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName", ""));
  CaptionBar->Caption = TermText("FormToGalleryCaption", "Send to the gallery");
  LabelWorkName->setText(TermText("LabelWorkNameCaption", "Work name"));
  LabelPassword->setText(TermText("LabelPasswordCaption", "Password"));
  ButtonStartDownload->setToolTip(TermText("FormToGalleryButtonSendToGalleryHint", ""));
  ButtonStopDownload->setToolTip(TermText("FormToGalleryButtonStopSendingHint", ""));
  servers_ = ReadOnlineServers(settings_.Ini);
  context_ = std::make_unique<TTransferContext>(ETransferUse::GalleryUpload, owner_);

  connect(EditWorkName, &QLineEdit::textChanged, this, [this] { UpdateSendState(); });
  connect(EditPassword, &QLineEdit::textChanged, this, [this] { UpdateSendState(); });

  Skins = {"FormToGallery.Skin", "FormToGl.psd", "FormToGalleryButtons", "ButINet.psd"};
  OnShow = [this] {
    if (uploading_) return;
    for (QComboBox* box : ComboBoxes) box->setCurrentIndex(box->count() > 0 ? 0 : -1);
    SetAsWork(false);
    SetPrivate(false);
    EditWorkName->clear();
    const TBitmap32 picture = ExportPicture ? ExportPicture() : TBitmap32();
    ImagePreview->clear();
    if (!picture.Empty())
      ImagePreview->setPixmap(QPixmap::fromImage(
          ImageView(ThumbnailCanvas(picture, kPreviewSide, Color32(255, 255, 255), kPreviewSide)).copy()));
    ProgressBar->setValue(0);
    ButtonStopDownload->hide();
    UpdateSendState();
  };
  OnCloseQuery = [this](bool& canClose) {
    if (!uploading_) return;
    canClose = false;
    ShowOnlineMessage("MessageWaitUntilUploadFinished");
  };
  OnKeyDown = [this](int& key, int shift) {
    // Alt+F4 would close the window under a running upload.
    if (uploading_ && key == VK_F1 + 3 && (shift & ssAlt)) key = 0;
  };
  OnClose = [this] {
    ImagePreview->clear();
  };
}

TFormToGallery::~TFormToGallery() {
  if (context_) context_->Stop();
}

TGalleryUploadInput TFormToGallery::Input() const {
  TGalleryUploadInput input;
  input.Name = EditWorkName->text().toStdString();
  for (std::size_t i = 0; i < ComboBoxes.size(); ++i) input.Attributes[i] = ComboBoxes[i]->currentIndex();
  input.AsWork = asWork_;
  input.Private = private_;
  input.Password = EditPassword->text().toStdString();
  return input;
}

void TFormToGallery::UpdateSendState() {
  if (uploading_) return;
  ButtonStartDownload->setVisible(UploadComplete(Input()));
}

void TFormToGallery::SetAsWork(bool asWork) {
  asWork_ = asWork;
  ButtonSendAsWork->SetPressed(asWork);
  ButtonSendAsJpeg->SetPressed(!asWork);
}

void TFormToGallery::SetPrivate(bool isPrivate) {
  private_ = isPrivate;
  ButtonSendAsPrivate->SetPressed(isPrivate);
  ButtonSendAsPublic->SetPressed(!isPrivate);
  if (!isPrivate) EditPassword->clear();
  EditPassword->setVisible(isPrivate);
  LabelPassword->setVisible(isPrivate);
  UpdateSendState();
}

void TFormToGallery::ButtonSendClick() {
  if (uploading_ || !UploadComplete(Input())) return;
  if (IsConnectionError(context_->AttemptConnect())) return;
  uploading_ = true;
  ProgressBar->setValue(0);
  ButtonStartDownload->hide();
  ButtonStopDownload->show();
  Timer1->start();
  QPointer<TFormToGallery> self(this);
  const std::time_t now = std::time(nullptr);
  std::tm today{};
  localtime_r(&now, &today);
  EUploadResult result = EUploadResult::Failed;
  const std::optional<TUploadFiles> files =
      MakeUploadFiles(ExportPicture ? ExportPicture() : TBitmap32(), asWork_, CompressedWork);
  const std::optional<TGallaryOut> record =
      files ? BuildUploadRecord(Input(), settings_.Ini, ProductInfo.Version, files->Thumbnail.size(), files->Full.size(),
                                today.tm_year + 1900, today.tm_mon + 1, today.tm_mday)
            : std::nullopt;
  if (record) result = SendToGallery(*context_, GalleryUploadUrl(servers_), BuildUploadBody(*record, files->Thumbnail, files->Full));
  if (!self) return;
  EndUpload();
  if (result == EUploadResult::Sent) {
    ShowOnlineMessage("MessageSendSuccess");
    ModalResult = 1;
    close();
  } else if (result != EUploadResult::NoNetwork) {
    ShowOnlineMessage("MessageNoAccessToServer");
  }
}

void TFormToGallery::ButtonStopClick() {
  if (uploading_) context_->Stop();
}

void TFormToGallery::EndUpload() {
  uploading_ = false;
  Timer1->stop();
  ProgressBar->setValue(0);
  ButtonStopDownload->hide();
  UpdateSendState();
}
