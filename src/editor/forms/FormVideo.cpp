#include "editor/forms/FormVideo.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QSlider>

#include "editor/MainShell.h"
#include "editor/PortraitToolDesign.h"
#include "editor/VideoClip.h"
#include "editor/forms/FormTemplates.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "platform/Text.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace d = portrait_tool;

namespace {

constexpr int kFormWidth = 545;
constexpr int kFormHeight = 370;
constexpr int kCaptionHeight = 20;
constexpr QRect kPanel{20, 50, 320, 240};
constexpr int kSliderTop = 298;
constexpr int kButtonLeft = 420;
constexpr int ButtonTop(int i) { return 50 + i * 34; }

// The panel a video shows on: black where no picture is, clicks reported.
class TVideoPanel : public QWidget {
 public:
  explicit TVideoPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("Panel");
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
  }
  std::function<void()> OnClick;

 protected:
  void mouseReleaseEvent(QMouseEvent*) override {
    if (OnClick) OnClick();
  }
};

// The plain full-screen window: a key or a click closes it.
class TFullScreen : public QWidget {
 public:
  TFullScreen() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("FormFullScreen");
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
  }

 protected:
  void keyPressEvent(QKeyEvent*) override { close(); }
  void mouseReleaseEvent(QMouseEvent*) override { close(); }
};

// What the application does with a media error: the user is told which file
// did not play.
void ReportMediaError(const std::string& file) {
  ShowPlainMessage(TMessageBoxKind::Error,
                   TermText("MessageVideoCannotPlay", "The video cannot be played:").toStdString() + "\r" + file);
}

// `file` as it exists, its name matched ignoring letter case; empty when absent.
fs::path ExistingFile(const std::string& file) {
  std::error_code ec;
  const fs::path resolved = ResolvePath(file);
  return fs::is_regular_file(resolved, ec) ? resolved : fs::path();
}

}  // namespace

TVideoWindow::TVideoWindow(const QString& name, QWidget* parent)
    : TSkinnedForm(name, parent), player_(CreateMediaPlayer()) {
  resize(kFormWidth, kFormHeight);
  PlaceFromFrame({120, 80});
  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, width(), kCaptionHeight);
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, d::kSheetExitTop, {524, 0, 20, 19});
  TakeMainWindowLooks(*ButtonExit);
  ButtonExit->OnClick = [this] { ButtonExitClick(); };

  auto* panel = new TVideoPanel(this);
  panel->setGeometry(kPanel);
  Panel = panel;
  auto button = [this](const char* name, int row, const char* caption) {
    TGraphicButton* b = NewSheetButton(this, name, ImageButtons, d::kSheetButtonTop,
                                       {kButtonLeft, ButtonTop(row), d::kButtonWidth, d::kButtonHeight});
    b->SetCaption(TermText(std::string("ButtonVideo") + caption + "Caption", caption));
    return b;
  };
  ButtonPlay = button("ButtonPlay", 0, "Play");
  ButtonStop = button("ButtonStop", 0, "Stop");
  ButtonStop->hide();
  ButtonPause = button("ButtonPause", 1, "Pause");
  ButtonBack = button("ButtonBack", 2, "Back");
  ButtonStep = button("ButtonStep", 3, "Step");
  ButtonPlay->OnClick = [this] { ButtonPlayClick(); };
  ButtonStop->OnClick = [this] { ButtonStopClick(); };
  ButtonPause->OnClick = [this] { ButtonPauseClick(); };
  ButtonBack->OnClick = [this] { ButtonBackClick(); };
  ButtonStep->OnClick = [this] { ButtonStepClick(); };

  SliderPosition = new QSlider(Qt::Horizontal, this);
  SliderPosition->setObjectName("SliderPosition");
  SliderPosition->setGeometry(kPanel.left(), kSliderTop, 320, 18);
  SliderPosition->setRange(0, 0);
  connect(SliderPosition, &QSlider::valueChanged, this, [this](int value) { PositionSliderChange(value); });

  Timer1 = new QTimer(this);
  Timer1->setInterval(100);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  // The end of the clip: round again, as the timer would find it.
  player_->SetOnFinished([this] {
    if (Timer1->isActive()) Timer1Timer();
  });
  // A file that opened may still fail to decode: reported once the player's
  // own call has returned.
  player_->SetOnError([this] {
    QTimer::singleShot(0, this, [this] {
      if (fileName_.empty()) return;
      const std::string file = fileName_;
      Timer1->stop();
      ShowPlaying(false);
      ReportMediaError(file);
    });
  });
  setWindowTitle(TermText("ProductName"));
}

TVideoWindow::~TVideoWindow() {
  Timer1->stop();
  player_->SetOnFinished({});
  player_->SetOnError({});
}

void TVideoWindow::AttachDisplay() { player_->SetDisplay(Panel, QRect(0, 0, kPanel.width(), kPanel.height())); }

bool TVideoWindow::StartFile(const std::string& file) {
  Panel->show();
  Panel->repaint();
  SetProgramCursor(*this, crHourGlass);
  fileName_ = file;
  // The length is known once the file has been read.
  const bool opened = player_->Open(file) && player_->WaitUntilLoaded(5000);
  if (!opened) {
    fileName_.clear();
    SetProgramCursor(*this, crDefault);
    ReportMediaError(file);
    return false;
  }
  {
    const QSignalBlocker quiet(SliderPosition);
    SliderPosition->setRange(0, int(std::max<std::int64_t>(0, player_->Length())));
    SliderPosition->setValue(0);
  }
  ButtonPlayClick();
  SetProgramCursor(*this, crDefault);
  return true;
}

void TVideoWindow::ShowPlaying(bool playing) {
  // Never both: Stop shows first only after Play is gone.
  if (playing) {
    ButtonPlay->hide();
    ButtonStop->show();
  } else {
    ButtonStop->hide();
    ButtonPlay->show();
  }
}

void TVideoWindow::ButtonPlayClick() {
  if (fileName_.empty()) return;
  {
    const QSignalBlocker quiet(SliderPosition);
    SliderPosition->setValue(int(player_->Position()));
  }
  AttachDisplay();
  player_->Play();
  Timer1->start();
  ShowPlaying(true);
}

void TVideoWindow::ButtonStopClick() {
  Timer1->stop();
  player_->Stop();
  ShowPlaying(false);
}

void TVideoWindow::ButtonPauseClick() {
  ShowPlaying(false);
  player_->Pause();
}

void TVideoWindow::Step(int direction) {
  if (fileName_.empty()) return;
  player_->Seek(StepPosition(player_->Position(), player_->Length(), player_->FrameDuration(), direction));
  {
    // Back to the very start too, which the timer leaves alone.
    const QSignalBlocker quiet(SliderPosition);
    SliderPosition->setValue(int(player_->Position()));
  }
  Timer1Timer();
}

void TVideoWindow::ButtonStepClick() { Step(1); }
void TVideoWindow::ButtonBackClick() { Step(-1); }

void TVideoWindow::PositionSliderChange(int value) {
  if (fileName_.empty()) return;
  player_->Seek(value);
  SliderPosition->repaint();
}

void TVideoWindow::Timer1Timer() {
  const std::int64_t length = player_->Length();
  // The length is known only once the file has been read.
  if (length > SliderPosition->maximum()) {
    const QSignalBlocker quiet(SliderPosition);
    SliderPosition->setRange(0, int(length));
  }
  const TVideoTick tick = VideoTimerStep(player_->Position(), length, player_->Mode() == TMediaMode::Stopped);
  if (tick.MoveSlider) {
    const QSignalBlocker quiet(SliderPosition);
    SliderPosition->setValue(int(player_->Position()));
  }
  if (tick.Rewind) {
    player_->Seek(0);
    if (tick.Replay) player_->Play();
  }
  MediaPlayerNotify();
}

void TVideoWindow::MediaPlayerNotify() {
  switch (player_->Mode()) {
    case TMediaMode::Playing: ShowPlaying(true); break;
    case TMediaMode::Stopped: ShowPlaying(false); break;
    default: break;
  }
}

void TVideoWindow::StopForClose() {
  Timer1->stop();
  if (player_->Mode() == TMediaMode::Playing) player_->Stop();
}

void TVideoWindow::ButtonExitClick() {
  if (player_->Position() > 0) player_->Close();
  close();
}

TFormVideoClip::TFormVideoClip(QWidget* parent) : TVideoWindow("FormVideoClip", parent) {
  ButtonMaximize = NewSheetButton(this, "ButtonMaximize", ImageButtons, d::kSheetButtonTop,
                                  {kButtonLeft, ButtonTop(5), d::kButtonWidth, d::kButtonHeight});
  ButtonMaximize->SetCaption(TermText("ButtonVideoMaximizeCaption", "Full screen"));
  ButtonMaximize->OnClick = [this] { ButtonMaximizeClick(); };
  static_cast<TVideoPanel*>(Panel)->OnClick = [this] { PanelClick(); };
  ApplyInterface(this);
  CaptionBar->Caption = TermText("FormVideoClipCaption", "Video");
  ButtonMaximize->setToolTip(TermText("ButtonMaximizeHint", "Full screen"));
  ButtonPlay->setToolTip(TermText("FormVideoClipPlayButtonHint", "Play"));
  ButtonPause->setToolTip(TermText("FormVideoClipPauseButtonHint", "Pause"));
  ButtonStop->setToolTip(TermText("FormVideoClipStopButtonHint", "Stop"));
  ButtonBack->setToolTip(TermText("FormVideoClipBackButtonHint", "One frame back"));
  ButtonStep->setToolTip(TermText("FormVideoClipStepButtonHint", "One frame on"));
  Skins = {"FormVideoClip.Skin", "FormVideo.psd", "FormVideoClipButtons", "ButVideo.psd"};
  OnClose = [this] {
    StopForClose();
    QCoreApplication::processEvents();
  };
}

void TFormVideoClip::AttachDisplay() {
  player_->SetDisplay(Panel, QRect(0, 0, kPanel.width(), kPanel.height()));
}

void TFormVideoClip::PanelClick() { AttachDisplay(); }

void TFormVideoClip::ButtonMaximizeClick() {
  if (fileName_.empty()) return;
  hide();
  TFullScreen full;
  QScreen* screen = QGuiApplication::primaryScreen();
  // Without a window manager a full-screen state covers nothing: the geometry does.
  full.setGeometry(screen ? screen->geometry() : QRect(0, 0, 1024, 768));
  full.show();
  player_->SetDisplay(&full, full.rect());
  QEventLoop loop;
  QObject::connect(&full, &QObject::destroyed, &loop, &QEventLoop::quit);
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
    if (!full.isVisible() || ApplicationTerminated()) loop.quit();
  });
  watch.start(50);
  if (OnFullScreenShown) OnFullScreenShown(full);
  if (full.isVisible()) loop.exec();
  AttachDisplay();
  show();
}

TFormVideo::TFormVideo(QWidget* parent) : TVideoWindow("FormVideo", parent) {
  FileListBox = new QListWidget(this);
  FileListBox->setObjectName("FileListBox");
  FileListBox->setGeometry(kButtonLeft - 10, ButtonTop(4), d::kButtonWidth + 20, kPanel.bottom() - ButtonTop(4) + 1);
  connect(FileListBox, &QListWidget::itemClicked, this, [this] { FileListBoxClick(); });
  ApplyInterface(this);
  CaptionBar->Caption = TermText("FormVideoCaption", "Videos");
  ButtonPlay->setToolTip(TermText("FormVideoPlayButtonHint", "Play"));
  ButtonPause->setToolTip(TermText("FormVideoPauseButtonHint", "Pause"));
  ButtonStop->setToolTip(TermText("FormVideoStopButtonHint", "Stop"));
  ButtonBack->setToolTip(TermText("FormVideoBackButtonHint", "One frame back"));
  ButtonStep->setToolTip(TermText("FormVideoStepButtonHint", "One frame on"));
  Skins = {"FormVideo.Skin", "FormVideo.psd", "FormVideoButtons", "ButVideo.psd"};
  OnShow = [this] {
    if (FileName().empty()) FileListBoxClick();
  };
  OnClose = [this] {
    StopForClose();
    QCoreApplication::processEvents();
  };
}

void TFormVideo::SetFolder(const fs::path& folder, const std::string& fileName) {
  folder_ = folder;
  FileListBox->clear();
  for (const std::string& name : ListVideos(folder)) {
    FileListBox->addItem(QString::fromStdString(name));
    if (EqualsNoCase(name, fileName)) FileListBox->setCurrentRow(FileListBox->count() - 1);
  }
}

void TFormVideo::FileListBoxClick() {
  QListWidgetItem* item = FileListBox->currentItem();
  if (!item) return;
  SetProgramCursor(*FileListBox, crHourGlass);
  StartFile((folder_ / item->text().toStdString()).string());
  SetProgramCursor(*FileListBox, crDefault);
}

void PlayVideoClip(const std::string& fileName) {
  const fs::path file = ExistingFile(fileName);
  if (file.empty()) {
    ReportMediaError(fileName);
    return;
  }
  TFormVideoClip form;
  if (!form.StartFile(file.string())) return;
  ShowSkinnedModal(form);
}

void ShowVideoFile(const std::string& fileName) {
  const fs::path file = ExistingFile(fileName);
  if (file.empty()) {
    ReportMediaError(fileName);
    return;
  }
  TFormVideo form;
  form.SetFolder(file.parent_path(), file.filename().string());
  if (!form.FileListBox->currentItem()) {
    ReportMediaError(fileName);  // not a video the list offers
    return;
  }
  // Opened before the window shows, so that a file that will not play leaves
  // no empty window behind its message.
  form.FileListBoxClick();
  if (form.FileName().empty()) return;
  ShowSkinnedModal(form);
}

void RegisterVideoPlayers(const TMainSettings& settings) {
  // Help pages name clips of the catalogue folder.
  ShellHooks().PlayVideoClip = [&settings](const std::string& name) {
    PlayVideoClip(ResolvePath(ResolvePath(fs::path(InstallationFolder()), settings.CatalogDir), name).string());
  };
  LinkStandingForm<TFormTemplates>("FormTemplates", [](TFormTemplates& form) {
    form.PlayVideo = [](const std::string& file) { ShowVideoFile(file); };
  });
}
