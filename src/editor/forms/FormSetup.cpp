#include "editor/forms/FormSetup.h"

#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QSpinBox>

#include "editor/BackgroundMusic.h"
#include "editor/MainShell.h"
#include "editor/SetupDesign.h"
#include "editor/SetupSettings.h"
#include "editor/forms/MainShellForm.h"
#include "picture/PictureFiles.h"
#include "picture/forms/BitmapImage.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "platform/qt/FileDialogFilters.h"
#include "shell/InterfaceInfo.h"
#include "shell/ProductInfo.h"
#include "shell/WriteFailure.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

namespace d = setup_design;

TFormSetup* FormSetup = nullptr;

namespace {

constexpr int kLeft = 16;     // the left column: interface, switches, calibration
constexpr int kRight = 276;   // the right column: play list, margins, mail
constexpr int kColumn = 248;
constexpr int kPreviewHeight = 170;

QLabel* NewLabel(QWidget* form, const char* name, const QRect& bounds, bool bold = true) {
  auto* label = new QLabel(form);
  label->setObjectName(name);
  label->setGeometry(bounds);
  label->setStyleSheet(bold ? "color: #e8f2f4; font-weight: bold;" : "color: #e8f2f4;");
  return label;
}

QLineEdit* NewEdit(QWidget* form, const char* name, const QRect& bounds) {
  auto* edit = new QLineEdit(form);
  edit->setObjectName(name);
  edit->setGeometry(bounds);
  return edit;
}

// The up-down beside a margin edit: its arrows step the number in the edit.
QSpinBox* NewUpDown(QWidget* form, const char* name, QLineEdit* edit) {
  auto* updown = new QSpinBox(form);
  updown->setObjectName(name);
  updown->setRange(0, kMaxMargin);
  updown->setGeometry(edit->geometry().right() + 2, edit->y(), 20, edit->height());
  updown->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  QObject::connect(updown, &QSpinBox::valueChanged, edit, [edit](int v) { edit->setText(QString::number(v)); });
  return updown;
}

void ShowNumber(QLineEdit* edit, QSpinBox* updown, int value) {
  const QSignalBlocker quiet(updown);
  updown->setValue(value);
  edit->setText(QString::number(value));
}

QString FileNameOnly(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  return QString::fromStdString(cut == std::string::npos ? path : path.substr(cut + 1));
}


// Music switched on that does not play says why.
void ExplainMusicRefusal(TBackgroundMusic::EMusicRefusal refusal) {
  using enum TBackgroundMusic::EMusicRefusal;
  const std::pair<const char*, const char*> message =
      refusal == NoSoundDevice   ? std::pair{"MessageMusicNoSoundDevice", "No sound device was found."}
      : refusal == EmptyPlayList ? std::pair{"MessageMusicPlayListEmpty", "The play list is empty."}
      : refusal == NoTrackChecked ? std::pair{"MessageMusicNoTrackChecked", "No track of the play list is checked."}
      : refusal == NotPlayable   ? std::pair{"MessageMusicNotPlayable", "None of the checked tracks could be played."}
                                 : std::pair{"", ""};
  if (refusal != None) ShowMessageBox(message.first, mbkOKCancel, false, message.second);
}

}  // namespace

TFormSetup::TFormSetup(TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormSetup", parent), settings_(settings) {
  FormSetup = this;
  // Always modal: it disables the other windows and keeps its keys.
  InSkinnedModal = true;
  resize(d::kFormWidth, d::kFormHeight);
  PlaceFromFrame({140, 85});
  BuildControls();
  ApplyInterface(this);
  ApplyTexts();
  SetMusic(nullptr);
  ShowNumber(EditLeftRightMargins, UpDown1, settings_.LeftRightMargin);
  ShowNumber(EditTopBottomMargins, UpDown2, settings_.TopBottomMargin);
  Skins = {"FormSetup.Skin", "FormSetup.psd", "FormSetupButtons", "ButSetup.psd"};
  OnShow = [this] {
    Reload();
    CheckListBoxMusicFiles->setFocus();
  };
  OnClose = [this] {
    ImageInterfacePreview->clear();
  };
}

TFormSetup::~TFormSetup() {
  if (FormSetup == this) FormSetup = nullptr;
}

void TFormSetup::BuildControls() {
  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, width(), d::kCaptionHeight);
  ButtonExit = NewExitButton(CaptionBar, ImageButtons, d::kSheetExitTop,
                             {d::kExit.Left, d::kExit.Top, d::kExit.Width(), d::kExit.Height()});
  ButtonExit->OnClick = [this] { close(); };
  auto button = [this](const char* name, int left, int top) {
    return NewSheetButton(this, name, ImageButtons, d::kSheetButtonTop, {left, top, d::kButtonWidth, d::kButtonHeight});
  };

  ComboBoxInterfaceName = new QComboBox(this);
  ComboBoxInterfaceName->setObjectName("ComboBoxInterfaceName");
  ComboBoxInterfaceName->setGeometry(kLeft, 32, kColumn, 24);
  connect(ComboBoxInterfaceName, &QComboBox::activated, this, [this](int index) { ChooseInterface(index); });
  ImageInterfacePreview = NewLabel(this, "ImageInterfacePreview", {kLeft, 60, kColumn, kPreviewHeight});

  const int switches = 60 + kPreviewHeight + 8;
  ButtonPlayMusic = button("ButtonPlayMusic", kLeft, switches);
  ButtonSoundEffects = button("ButtonSoundEffects", kLeft + d::kButtonWidth + 8, switches);
  ButtonShowTips = button("ButtonShowTips", kLeft, switches + d::kButtonHeight + 6);
  ButtonPlayMusic->OnClick = [this] {
    if (!music_) return;
    const TBackgroundMusic::EMusicRefusal refusal = music_->ToggleMusic(SelectedEntry());
    SyncMusicButton();
    ExplainMusicRefusal(refusal);
  };
  ButtonSoundEffects->OnClick = [this] {
    settings_.PlaySound = !settings_.PlaySound;
    ButtonSoundEffects->SetPressed(settings_.PlaySound);
    SetHintSounds(settings_.PlaySound);
  };
  ButtonShowTips->OnClick = [this] {
    const bool on = !settings_.ShowTips;
    ButtonShowTips->SetPressed(on);
    SwitchTips(settings_, on, "FormSetup");
  };

  const int calibration = switches + 2 * (d::kButtonHeight + 6) + 4;
  LabelCalibrationColor = NewLabel(this, "LabelCalibrationColor", {kLeft, calibration, kColumn, 16});
  ButtonCurrentCalibrationColor = new TGraphicButton(this);
  ButtonCurrentCalibrationColor->setObjectName("ButtonCurrentCalibrationColor");
  ButtonCurrentCalibrationColor->setGeometry(kLeft, calibration + 20, 40, 40);
  ButtonCurrentCalibrationColor->SetTransparency(0);  // its face is its colour alone
  SetProgramCursor(*ButtonCurrentCalibrationColor, crPipette);
  ButtonCurrentCalibrationColor->OnClick = [this] {
    const QColor chosen = QColorDialog::getColor(
        QColor(settings_.CalibrationRed, settings_.CalibrationGreen, settings_.CalibrationBlue), this);
    if (chosen.isValid()) SetCalibrationColor(chosen.red(), chosen.green(), chosen.blue());
  };
  LabelCalibrationRed = NewLabel(this, "LabelCalibrationRed", {kLeft + 48, calibration + 18, 40, 15}, false);
  LabelCalibrationGreen = NewLabel(this, "LabelCalibrationGreen", {kLeft + 48, calibration + 32, 40, 15}, false);
  LabelCalibrationBlue = NewLabel(this, "LabelCalibrationBlue", {kLeft + 48, calibration + 46, 40, 15}, false);
  ButtonDefaultCalibrationColor = button("ButtonDefaultCalibrationColor", kLeft + 108, calibration + 26);
  ButtonDefaultCalibrationColor->OnClick = [this] { SetCalibrationColor(252, 217, 188); };
  LabelVersion = NewLabel(this, "LabelVersion", {kLeft, d::kFormHeight - 26, kColumn, 16}, false);

  LabelPlayList = NewLabel(this, "LabelPlayList", {kRight, 32, kColumn, 16});
  CheckListBoxMusicFiles = new QListWidget(this);
  CheckListBoxMusicFiles->setObjectName("CheckListBoxMusicFiles");
  CheckListBoxMusicFiles->setGeometry(kRight, 52, kColumn, 150);
  CheckListBoxMusicFiles->setDragDropMode(QAbstractItemView::InternalMove);
  CheckListBoxMusicFiles->setDefaultDropAction(Qt::MoveAction);
  CheckListBoxMusicFiles->installEventFilter(this);
  // Drops are ours: only onto an item, which the dragged entry then replaces.
  CheckListBoxMusicFiles->viewport()->installEventFilter(this);
  connect(CheckListBoxMusicFiles, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    TMusicFileInfo* entry = EntryOf(item);
    if (rebuilding_ || !music_ || !entry) return;
    const bool checked = item->checkState() == Qt::Checked;
    if (checked == entry->Selected) return;
    music_->CheckChanged(*entry, checked);
    SyncMusicButton();
  });
  connect(CheckListBoxMusicFiles, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    if (TMusicFileInfo* entry = EntryOf(item); music_ && entry) music_->DoubleClicked(*entry);
  });
  ButtonAddMusicFile = button("ButtonAddMusicFile", kRight, 208);
  ButtonAddMusicFile->OnClick = [this] {
    const std::string mp3 = music_ && music_->Mp3Playable
                                ? "|*.wav;*.mid;*.midi;*.mp3|" + settings_.MP3_MusicFilterName + "|*.mp3|"
                                : "|*.wav;*.mid;*.midi|";
    const std::string filter = settings_.AllMusicFilesFilterName + mp3 + settings_.WAV_MusicFilterName + "|*.wav|" +
                               settings_.MID_MusicFilterName + "|*.mid;*.midi|" + settings_.AllFilesFilterName + "|*.*";
    if (musicFolder_.isEmpty()) musicFolder_ = QString::fromStdString(DataFolderPath(settings_.MusicDir).string());
    const QStringList files =
        QFileDialog::getOpenFileNames(this, QString(), musicFolder_, QtNameFilterList(filter).join(";;"));
    if (files.isEmpty()) return;
    musicFolder_ = QFileInfo(files.front()).absolutePath();
    AddMusicFiles(files);
  };

  LabelLeftRightMargins = NewLabel(this, "LabelLeftRightMargins", {kRight, 248, 190, 16});
  EditLeftRightMargins = NewEdit(this, "EditLeftRightMargins", {kRight + 194, 246, 32, 22});
  UpDown1 = NewUpDown(this, "UpDown1", EditLeftRightMargins);
  LabelTopBottomMargins = NewLabel(this, "LabelTopBottomMargins", {kRight, 276, 190, 16});
  EditTopBottomMargins = NewEdit(this, "EditTopBottomMargins", {kRight + 194, 274, 32, 22});
  UpDown2 = NewUpDown(this, "UpDown2", EditTopBottomMargins);
  LabelMailServer = NewLabel(this, "LabelMailServer", {kRight, 306, 170, 16});
  EditMailServer = NewEdit(this, "EditMailServer", {kRight, 324, 170, 22});
  LabelMailPort = NewLabel(this, "LabelMailPort", {kRight + 178, 306, 70, 16});
  EditMailPort = NewEdit(this, "EditMailPort", {kRight + 178, 324, 70, 22});

  ButtonSaveSettings = button("ButtonSaveSettings", kRight, d::kFormHeight - 44);
  ButtonSaveSettings->OnClick = [this] { ButtonSaveSettingsClick(); };
  ButtonOK = button("ButtonOK", kRight + kColumn - d::kButtonWidth, d::kFormHeight - 44);
  ButtonOK->OnClick = [this] { close(); };
}

void TFormSetup::ApplyTexts() {
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormSetupCaption", "Settings");
  const std::pair<QLabel*, std::string_view> labels[] = {
      {LabelCalibrationColor, "CalibrationColor"}, {LabelPlayList, "PlayList"},
      {LabelLeftRightMargins, "LeftRightMargins"}, {LabelTopBottomMargins, "TopBottomMargins"},
      {LabelMailServer, "MailServer"},             {LabelMailPort, "MailPort"}};
  for (const auto& [label, role] : labels)
    label->setText(TermText("FormSetupLabel" + std::string(role) + "Caption"));
  const std::pair<TGraphicButton*, std::string_view> buttons[] = {
      {ButtonDefaultCalibrationColor, "DefaultCalibrationColor"},
      {ButtonPlayMusic, "PlayMusic"},
      {ButtonSoundEffects, "SoundEffects"},
      {ButtonShowTips, "ShowTips"},
      {ButtonAddMusicFile, "AddMusicFile"},
      {ButtonOK, "OK"},
      {ButtonSaveSettings, "SaveSettings"}};
  for (const auto& [control, role] : buttons)
    control->SetCaption(TermText("FormSetupButton" + std::string(role) + "Caption"));
  LabelVersion->setText(QString::fromStdString(ApplicationTitle() + " " + ProductInfo.Version + ProductInfo.BuildTag));
}

void TFormSetup::SetMusic(TBackgroundMusic* music) {
  music_ = music;
  for (QWidget* control : std::initializer_list<QWidget*>{ButtonPlayMusic, LabelPlayList, CheckListBoxMusicFiles,
                                                          ButtonAddMusicFile})
    control->setVisible(music_ != nullptr);
}

void TFormSetup::Reload() {
  ShowCalibrationColor();
  settings_.Ini.UpdateFile();
  interfaces_ = ReadInterfaceList(settings_.Ini).Entries;
  ComboBoxInterfaceName->clear();
  const QString fallback = TermText("FormSetupDefaultInterfaceName");
  ComboBoxInterfaceName->addItem(fallback.isEmpty() ? QStringLiteral("Default interface") : fallback);
  int active = 0;
  for (std::size_t i = 0; i < interfaces_.size(); ++i) {
    ComboBoxInterfaceName->addItem(QString::fromStdString(interfaces_[i].Caption));
    if (interfaces_[i].Active) active = int(i) + 1;
  }
  ComboBoxInterfaceName->setCurrentIndex(active);
  ChooseInterface(active);
  SyncMusicButton();
  ButtonSoundEffects->SetPressed(settings_.PlaySound);
  ButtonShowTips->SetPressed(settings_.ShowTips);
  EditMailServer->setText(QString::fromStdString(settings_.MailServer));
  EditMailPort->setText(QString::number(settings_.MailPort));
  ShowNumber(EditLeftRightMargins, UpDown1, settings_.LeftRightMargin);
  ShowNumber(EditTopBottomMargins, UpDown2, settings_.TopBottomMargin);
  RebuildPlayList();
}

void TFormSetup::ShowCalibrationColor() {
  // Only the fully opaque pixels of the face take the colour.
  ButtonCurrentCalibrationColor->SetColor(0xFF000000u | std::uint32_t(settings_.CalibrationBlue) << 16 |
                                          std::uint32_t(settings_.CalibrationGreen) << 8 | settings_.CalibrationRed);
  LabelCalibrationRed->setText(QString::number(settings_.CalibrationRed));
  LabelCalibrationGreen->setText(QString::number(settings_.CalibrationGreen));
  LabelCalibrationBlue->setText(QString::number(settings_.CalibrationBlue));
}

void TFormSetup::SetCalibrationColor(int red, int green, int blue) {
  settings_.CalibrationRed = std::uint8_t(red);
  settings_.CalibrationGreen = std::uint8_t(green);
  settings_.CalibrationBlue = std::uint8_t(blue);
  ShowCalibrationColor();
}

void TFormSetup::ChooseInterface(int index) {
  const bool listed = index > 0 && index <= int(interfaces_.size());
  selectedIndex_ = listed ? index : 0;
  selectedFolder_ = listed ? WithTrailingBackslash(interfaces_[std::size_t(index - 1)].DirName) : "DEFAULT\\";
  DrawPreview();
}

void TFormSetup::DrawPreview() {
  const QSize size = ImageInterfacePreview->size();
  QImage preview;
  const TInterface& used = InterfaceInUse();
  for (int i = used.ResolutionIndex; i >= 1 && preview.isNull(); --i) {
    const fs::path file = ProgramFileForReading(
        fs::path(InstallationFolder()), used.Dir + selectedFolder_ + SkinResolutions[std::size_t(i - 1)].DirName + "FormMain.psd");
    const TFileResult<TBitmap32> skin = LoadPictureFile(file);
    if (skin && !skin->Empty())
      preview = ImageView(*skin).convertToFormat(QImage::Format_RGB32).scaled(size, Qt::IgnoreAspectRatio,
                                                                            Qt::SmoothTransformation);
  }
  if (preview.isNull()) {
    // No main-window picture: a white card crossed from corner to corner.
    preview = QImage(size, QImage::Format_RGB32);
    preview.fill(Qt::white);
    QPainter p(&preview);
    p.setPen(QColor(0x80, 0, 0));
    p.drawLine(0, 0, size.width() - 1, size.height() - 1);
    p.drawLine(size.width() - 1, 0, 0, size.height() - 1);
  }
  ImageInterfacePreview->setPixmap(QPixmap::fromImage(preview));
}

TMusicFileInfo* TFormSetup::EntryOf(const QListWidgetItem* item) const {
  if (!item || !music_) return nullptr;
  auto* entry = reinterpret_cast<TMusicFileInfo*>(item->data(Qt::UserRole).value<quintptr>());
  return music_->IndexOf(entry) >= 0 ? entry : nullptr;
}

TMusicFileInfo* TFormSetup::SelectedEntry() const { return EntryOf(CheckListBoxMusicFiles->currentItem()); }

void TFormSetup::RebuildPlayList() {
  rebuilding_ = true;
  CheckListBoxMusicFiles->clear();
  if (music_)
    for (const auto& entry : music_->List()) {
      auto* item = new QListWidgetItem(FileNameOnly(entry->FileName), CheckListBoxMusicFiles);
      item->setData(Qt::UserRole, QVariant::fromValue(quintptr(entry.get())));
      item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled |
                     (entry->Available ? Qt::ItemIsEnabled : Qt::NoItemFlags));
      item->setCheckState(entry->Selected ? Qt::Checked : Qt::Unchecked);
    }
  CheckListBoxMusicFiles->setCurrentRow(-1);
  rebuilding_ = false;
}

void TFormSetup::SetCheckBoxItemState(const TMusicFileInfo& entry) {
  for (int row = 0; row < CheckListBoxMusicFiles->count(); ++row) {
    QListWidgetItem* item = CheckListBoxMusicFiles->item(row);
    if (EntryOf(item) != &entry) continue;
    rebuilding_ = true;
    item->setCheckState(entry.Selected ? Qt::Checked : Qt::Unchecked);
    item->setFlags(entry.Available ? item->flags() | Qt::ItemIsEnabled : item->flags() & ~Qt::ItemIsEnabled);
    rebuilding_ = false;
  }
}

void TFormSetup::SyncMusicButton() { ButtonPlayMusic->SetPressed(settings_.PlayMusic); }

void TFormSetup::AddMusicFiles(const QStringList& files) {
  if (!music_) return;
  for (const QString& file : files) {
    const std::string path = file.toStdString();
    if (!StorableMusicPath(path)) {
      ShowMessageBox("MessageMusicFileNameNotStorable", mbkOKCancel, false,
                     "A file name with \";\" cannot be kept in the play list: rename the file first.\n" + path);
      continue;
    }
    int index = -1;
    if (music_->Add(path, &index)) {
      RebuildPlayList();
    }
    CheckListBoxMusicFiles->setCurrentRow(index);
  }
}

void TFormSetup::DeleteSelectedEntry() {
  TMusicFileInfo* entry = SelectedEntry();
  if (!music_ || !entry) return;
  music_->Delete(*entry);
  RebuildPlayList();
  SyncMusicButton();
}

bool TFormSetup::DropOnPlayList(QDropEvent& event) {
  QListWidgetItem* target = CheckListBoxMusicFiles->itemAt(event.position().toPoint());
  const int from = CheckListBoxMusicFiles->currentRow();
  if (!target || from < 0 || !music_) {
    event.ignore();
    return true;
  }
  if (event.type() != QEvent::Drop) {
    event.acceptProposedAction();
    return true;
  }
  const int to = CheckListBoxMusicFiles->row(target);
  event.setDropAction(Qt::IgnoreAction);  // the list is rebuilt here, not moved by the view
  event.accept();
  music_->Move(from, to);
  RebuildPlayList();
  CheckListBoxMusicFiles->setCurrentRow(to);
  return true;
}

bool TFormSetup::eventFilter(QObject* watched, QEvent* event) {
  if (watched == CheckListBoxMusicFiles->viewport() &&
      (event->type() == QEvent::DragMove || event->type() == QEvent::Drop))
    return DropOnPlayList(*static_cast<QDropEvent*>(event));
  if (watched == CheckListBoxMusicFiles && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
      DeleteSelectedEntry();
      return true;
    }
  }
  return TSkinnedForm::eventFilter(watched, event);
}

void TFormSetup::ButtonSaveSettingsClick() {
  settings_.MailServer = Trim(EditMailServer->text().toStdString());
  settings_.MailPort = MailPortFromEdit(EditMailPort->text().toStdString());
  settings_.LeftRightMargin = MarginFromEdit(EditLeftRightMargins->text().toStdString(), kDefaultLeftRightMargin);
  settings_.TopBottomMargin = MarginFromEdit(EditTopBottomMargins->text().toStdString(), kDefaultTopBottomMargin);
  EditMailServer->setText(QString::fromStdString(settings_.MailServer));
  EditMailPort->setText(QString::number(settings_.MailPort));
  ShowNumber(EditLeftRightMargins, UpDown1, settings_.LeftRightMargin);
  ShowNumber(EditTopBottomMargins, UpDown2, settings_.TopBottomMargin);
  static const TMusicList kNoMusic;
  WriteSetupSettings(settings_.Ini, settings_, music_ ? music_->List() : kNoMusic, MusicFolder(settings_.MusicDir, settings_.Content),
                     selectedIndex_);
  if (const TFileResult<> written = settings_.Ini.UpdateFile(); !written)
    ShowMessageBox(WriteFailureText("MessageSettingsNotSaved", "The settings could not be written.", written.Error()),
                   mbkOKCancel, true);
  hide();
  QCoreApplication::processEvents();
  if (UpperAscii(selectedFolder_) != UpperAscii(WithTrailingBackslash(InterfaceInUse().Name)))
    ShowMessageBox("MessageInterfaceReplacement", mbkOKCancel, false, "");
  close();
}

void RegisterFormSetup(TMainSettings& settings) {
  RegisterStandingForm("FormSetup", [&settings](QWidget* owner) { return new TFormSetup(settings, owner); });
}
