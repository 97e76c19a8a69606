#include "exchange/forms/FormLoadSave.h"
#include "editor/MainShell.h"
#include "exchange/forms/ProgramWorkFiles.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>

#include "editor/forms/FormAdjust.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/MainShellForm.h"
#include "editor/forms/MusicPlayer.h"
#include "exchange/DeskWorkPicture.h"
#include "exchange/forms/ClipboardPicture.h"
#include "exchange/forms/OpenPictureDialog.h"
#include "exchange/forms/WindowMailUi.h"
#include "exchange/forms/ScannerSourceDialog.h"
#include "platform/qt/FileDialogFilters.h"
#include "shell/ProductInfo.h"
#include "shell/Termins.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormLoadSave* FormLoadSave = nullptr;

namespace {

constexpr int kClientWidth = 286;
constexpr int kClientHeight = 300;
// The skin's well begins under the 30-pixel title strip; the headings and both
// columns of buttons sit inside it.
constexpr int kHeadingTop = 48;
constexpr int kFirstRowTop = 72;
constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 30;

constexpr int RowTop(int row) { return kFirstRowTop + row * (kButtonHeight + 6); }

// Every picture button takes the one row of three frames (normal, entered,
// pressed) of the window's button sheet.
TGraphicButton* SheetButton(QWidget* parent, const char* name, TMyImage* sheet, QRect bounds) {
  return NewSheetButton(parent, name, sheet, 0, bounds);
}

QFileDialog* FileDialog(QWidget* parent, const char* name, QFileDialog::AcceptMode mode) {
  auto* dialog = new QFileDialog(parent);
  dialog->setObjectName(name);
  dialog->setAcceptMode(mode);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  CloseCompletionWithDialog(*dialog);
  return dialog;
}

std::optional<fs::path> RunFileDialog(QFileDialog& dialog, const fs::path& folder,
                                      const std::vector<TFileFilter>& filters) {
  dialog.setNameFilters(QtNameFilterList(filters));
  if (dialog.acceptMode() == QFileDialog::AcceptSave) FollowFilterSuffix(dialog);
  if (!folder.empty()) dialog.setDirectory(QString::fromStdString(folder.string()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return fs::path(dialog.selectedFiles().front().toStdString());
}

}  // namespace

class TFormLoadSave::TUi : public ILoadSaveUi {
 public:
  explicit TUi(TFormLoadSave& form) : form_(form) {}

  std::optional<fs::path> ChooseImageToOpen(const fs::path& folder, const std::vector<TFileFilter>& filters) override {
    return RunFileDialog(*form_.ImageOpenDialog(), folder, filters);
  }
  std::optional<fs::path> ChooseImageToSave(const fs::path& folder, const std::string& fileName,
                                            const std::vector<TFileFilter>& filters) override {
    form_.ImageSaveDialog()->selectFile(QString::fromStdString(fileName));
    return RunFileDialog(*form_.ImageSaveDialog(), folder, filters);
  }
  std::optional<std::string> ChooseScanner(const std::vector<TScannerDevice>& devices) override {
    return form_.ScannerSourceDialog()->Choose(devices);
  }
  void CloseWindow() override {
    form_.hide();
    form_.close();
    QCoreApplication::processEvents();
  }
  void SetBusy(bool busy) override {
    if (busy)
      QApplication::setOverrideCursor(Qt::WaitCursor);
    else
      QApplication::restoreOverrideCursor();
  }
  void ShowMessage(std::string_view key) override {
    ShowMessageBox(key, mbkOKCancel, false, LoadSaveMessageDefault(key));
  }
  void ShowText(const std::string& text) override { ShowMessageBox(text, mbkOKCancel, true); }
  void ShowAdjustWindow(TSourcePicture picture) override { ShowFormAdjust(std::move(picture)); }
  std::optional<TBitmap32> ClipboardPicture() override { return ::ClipboardPicture(); }
  void SetClipboardPicture(const TBitmap32& picture) override { ::SetClipboardPicture(picture); }
  bool ConnectCamera() override { return form_.ConnectCamera && form_.ConnectCamera(); }
  void RunCameraWindow() override {
    if (form_.RunCameraWindow) form_.RunCameraWindow();
  }
  void ImageSavedNow() override {
    if (form_.Saved) form_.Saved->Image = true;
  }

 private:
  TFormLoadSave& form_;
};

// The work the window's Work names, empty without one.
class TFormLoadSave::TWork : public IWorkPicture {
 public:
  explicit TWork(TFormLoadSave& form) : form_(form) {}
  bool WorkIsEmpty() const override { return !form_.Work || form_.Work->WorkIsEmpty(); }
  TBitmap32 TakeExportPicture() override { return form_.Work ? form_.Work->TakeExportPicture() : TBitmap32(); }

 private:
  TFormLoadSave& form_;
};

TFormLoadSave::TFormLoadSave(const TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormLoadSave", parent),
      settings_(settings),
      ui_(std::make_unique<TUi>(*this)),
      work_(std::make_unique<TWork>(*this)),
      actions_(std::make_unique<TLoadSaveController>(*ui_, *work_, nullptr)),
      mailUi_(std::make_unique<TWindowMailUi>([this] { ui_->CloseWindow(); }, settings)) {
  CompressedWork = ProgramCompressedWork;
  // The source is looked up as each mail is sent: tests hand in their own.
  auto compressedWork = [this]() -> TFileResult<std::vector<std::uint8_t>> {
    if (!CompressedWork) return FileError(TFileFault::Empty, {});
    return CompressedWork();
  };
  mailer_ = std::make_unique<TWorkMailer>(*mailUi_, *work_, compressedWork, settings);
  FormLoadSave = this;
  resize(kClientWidth, kClientHeight);
  PlaceFromFrame({120, 85});

  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, kClientWidth, 20);
  ButtonExit = SheetButton(CaptionBar, "ButtonExit", ImageButtons, {253, 0, 20, 19});
  TakeMainWindowLooks(*ButtonExit);
  ButtonExit->OnClick = [this] { ButtonExitClick(); };

  auto heading = [this](const char* name, int left) {
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setGeometry(left, kHeadingTop, kButtonWidth, 18);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet("color: #e8f2f4; font-weight: bold;");
    return label;
  };
  LabelLoad = heading("LabelLoad", 16);
  LabelSave = heading("LabelSave", 150);

  // The default button sheet is plain: the buttons say what they are.
  auto button = [this](const char* name, const char* caption, int left, int row, void (TFormLoadSave::*click)()) {
    TGraphicButton* b = SheetButton(this, name, ImageButtons, {left, RowTop(row), kButtonWidth, kButtonHeight});
    b->SetCaption(TermText((std::string(name) + "Caption").c_str(), caption));
    b->OnClick = [this, click] { (this->*click)(); };
    return b;
  };
  ButtonLoadImage = button("ButtonLoadImage", "Picture file", 16, 0, &TFormLoadSave::ButtonLoadImageClick);
  ButtonLoadClipboard = button("ButtonLoadClipboard", "Clipboard", 16, 1, &TFormLoadSave::ButtonLoadClipboardClick);
  ButtonLoadCamera = button("ButtonLoadCamera", "Camera", 16, 2, &TFormLoadSave::ButtonLoadCameraClick);
  ButtonLoadTwain = button("ButtonLoadTwain", "Scanner", 16, 3, &TFormLoadSave::ButtonLoadTwainClick);
  ButtonSaveImage = button("ButtonSaveImage", "Picture file", 150, 0, &TFormLoadSave::ButtonSaveImageClick);
  ButtonSaveClipboard = button("ButtonSaveClipboard", "Clipboard", 150, 1, &TFormLoadSave::ButtonSaveClipboardClick);
  ButtonLoadWork = button("ButtonLoadWork", "Work file", 16, 4, &TFormLoadSave::ButtonLoadWorkClick);
  ButtonSaveWork = SheetButton(this, "ButtonSaveWork", ImageButtons, {150, RowTop(2), kButtonWidth, kButtonHeight});
  ButtonSaveWork->SetCaption(TermText("ButtonSaveWorkCaption", "Work file"));
  ButtonSaveWork->OnClick = [this] { ButtonSaveWorkClick(); };
  ButtonSendImage = button("ButtonSendImage", "Mail picture", 150, 3, &TFormLoadSave::ButtonSendImageClick);
  ButtonSendWork = button("ButtonSendWork", "Mail work", 150, 4, &TFormLoadSave::ButtonSendWorkClick);


  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormLoadSaveCaption");
  LabelLoad->setText(TermText("LabelLoadCaption"));
  LabelSave->setText(TermText("LabelSaveCaption"));
  HintPrefix = "";

  // The dialogs start in the program's picture folders; each then keeps the folder
  // of the file last chosen in it.
  actions_->ImageOpenFolder = DataFolderPath(settings_.LoadImageDir);
  actions_->ImageSaveFolder = DataFolderPath(settings_.SaveImageDir);

  Skins = {"FormLoadSave.Skin", "FormLoSa.psd", "FormLoadSaveButtons", "ButLoSa.psd"};
  OnShow = [this] {
    SetFrameButtonPressed(*this, "ButtonLoadSave", true);
    ButtonLoadCamera->setVisible(ConnectCamera && RunCameraWindow);
  };
  OnClose = [this] {
    SetFrameButtonPressed(*this, "ButtonLoadSave", false);
  };
}

TFormLoadSave::~TFormLoadSave() {
  if (FormLoadSave == this) FormLoadSave = nullptr;
}

TPelmoOpenPictureDialog* TFormLoadSave::ImageOpenDialog() {
  if (!imageOpenDialog_) {
    imageOpenDialog_ = new TPelmoOpenPictureDialog(this);
    imageOpenDialog_->setObjectName("ImageOpenDialog");
  }
  return imageOpenDialog_;
}

TPelmoOpenPictureDialog* TFormLoadSave::WorkOpenDialog() {
  if (!workOpenDialog_) {
    workOpenDialog_ = new TPelmoOpenPictureDialog(this);
    workOpenDialog_->setObjectName("WorkOpenDialog");
  }
  return workOpenDialog_;
}

QFileDialog* TFormLoadSave::ImageSaveDialog() {
  if (!imageSaveDialog_) imageSaveDialog_ = FileDialog(this, "ImageSaveDialog", QFileDialog::AcceptSave);
  return imageSaveDialog_;
}

TScannerSourceDialog* TFormLoadSave::ScannerSourceDialog() {
  if (!scannerSourceDialog_) scannerSourceDialog_ = new TScannerSourceDialog(this);
  return scannerSourceDialog_;
}

void TFormLoadSave::ButtonLoadImageClick() { actions_->LoadImage(); }
void TFormLoadSave::ButtonLoadClipboardClick() { actions_->LoadClipboard(); }
void TFormLoadSave::ButtonLoadCameraClick() { actions_->LoadCamera(); }

void TFormLoadSave::ButtonLoadTwainClick() {
  // The scanner library starts at the first scan, not with the program.
  if (!Scanner) {
    ownScanner_ = OpenSaneScanner();
    Scanner = ownScanner_.get();
  }
  actions_->SetScanner(Scanner);
  actions_->LoadScanner();
}

void TFormLoadSave::ButtonSaveImageClick() { actions_->SaveImage(); }
void TFormLoadSave::ButtonSaveClipboardClick() { actions_->SaveClipboard(); }
void TFormLoadSave::ButtonSendImageClick() { mailer_->SendImage(); }
void TFormLoadSave::ButtonSendWorkClick() { mailer_->SendWork(); }
void TFormLoadSave::ButtonExitClick() { close(); }

namespace {
std::string WorkOpenFilter(const TMainSettings& settings) {
  const std::string c = CompressedWorkExt, u = UncompressedWorkExt;
  return settings.AllSavedWorksFilterName + " (*" + c + ", *" + u + ")|*" + c + ";*" + u + "|" +
         settings.CompressedWorkFilterName + " (*" + c + ")|*" + c + "|" + settings.UncompressedWorkFilterName + " (*" +
         u + ")|*" + u + "|";
}

std::string WorkSaveFilter(const TMainSettings& settings) {
  const std::string c = CompressedWorkExt, u = UncompressedWorkExt;
  return settings.CompressedWorkFilterName + " (*" + c + ")|*" + c + "|" + settings.UncompressedWorkFilterName + " (*" +
         u + ")|*" + u + "|";
}

// Until a work was opened or saved, the dialogs start in their settings' folders.
fs::path WorkFolder(const TWorkFiles& files, const std::string& dataFolder) {
  return files.LastWorkDir.empty() ? DataFolderPath(dataFolder) : files.LastWorkDir;
}
}  // namespace

void TFormLoadSave::ButtonLoadWorkClick() {
  TWorkFiles* files = ProgramWorkFiles();
  if (!files) return;
  const std::optional<fs::path> chosen = RunFileDialog(*WorkOpenDialog(), WorkFolder(*files, settings_.LoadWorkDir),
                                                       ParseWindowsFilter(WorkOpenFilter(settings_)));
  if (!chosen) return;
  const fs::path file = *chosen;
  files->LastWorkDir = file.parent_path();
  hide();
  close();
  QCoreApplication::processEvents();
  files->LoadWorkFromFile(file);
}

bool TFormLoadSave::ButtonSaveWorkClick() {
  TWorkFiles* files = ProgramWorkFiles();
  if (!files || !files->CheckWorkToSave()) return false;
  QFileDialog dialog(this);
  CloseCompletionWithDialog(dialog);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(QtNameFilterList(WorkSaveFilter(settings_)));
  FollowFilterSuffix(dialog);
  dialog.setDirectory(QString::fromStdString(WorkFolder(*files, settings_.SaveWorkDir).string()));
  dialog.selectFile(QString::fromStdString(files->LastWorkFileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  if (isVisible()) {
    hide();
    close();
  }
  QCoreApplication::processEvents();
  return files->SaveWork(dialog.selectedFiles().front().toStdString());
}

void RegisterFormLoadSave(TMainSettings& settings) {
  RegisterStandingForm("FormLoadSave", [&settings](QWidget* owner) { return new TFormLoadSave(settings, owner); });
}

void ConnectFormLoadSave(TFormMain& main) {
  if (!HasStandingForm("FormLoadSave")) return;
  LinkStandingForm<TFormLoadSave>("FormLoadSave", [main = QPointer<TFormMain>(&main)](TFormLoadSave& form) {
    if (TFormMontage* deskWindow = main ? main->DeskWindow() : nullptr) {
      form.deskWork_ = std::make_unique<TDeskWorkPicture>(deskWindow->Desk());
      form.Work = form.deskWork_.get();
    }
    form.Saved = main ? &main->State().Saved : nullptr;
    TWorkFiles* files = ProgramWorkFiles();
    form.Actions().PictureName = files ? &files->LastImageFileName : nullptr;
  });
  if (TGraphicButton* button = main.Button("ButtonLoadSave"))
    button->OnClick = [] {
      if (auto* form = StandingForm<TFormLoadSave>("FormLoadSave")) ShowSkinnedModal(*form);
    };
}

void InstallProgramMainShell(TFormMain& window) {
  TFormMain* main = &window;
  TMainShellLinks links;
  links.LayerCount = [main] { return main->DeskWindow() ? main->DeskWindow()->Desk().LayerCount() : 0; };
  links.SaveWork = [] {
    auto* loadSave = StandingForm<TFormLoadSave>("FormLoadSave");
    return loadSave && loadSave->ButtonSaveWorkClick();
  };
  links.BackgroundMusic = [main] { return &main->MusicPlayer().Media(); };
  links.WorkSaved = [main] { return main->State().Saved.Work; };
  InstallMainShell(*main, main->Settings(), std::move(links));
  // The frame empties the layer label; a work opened at start-up keeps its selection shown.
  if (TFormMontage* desk = main->DeskWindow(); desk && desk->Desk().SelectedIndex() >= 0)
    desk->Desk().Layer(desk->Desk().SelectedIndex()).ShowAsSelected();
}
