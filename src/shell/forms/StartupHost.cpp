#include "shell/forms/StartupHost.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <cstdio>

#include "picture/Lead.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MediaPlayer.h"
#include "platform/qt/MessageBoxes.h"
#include "platform/qt/QtProcessRunner.h"
#include "platform/qt/ScreenInfo.h"
#include "shell/FileTypes.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormScreen.h"
#include "shell/forms/LogoForm.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/StandingForms.h"

namespace {

// Handles events, waiting for each, while `going` holds.
template <typename Condition>
void WaitWhile(Condition going) {
  QEventLoop loop;
  while (going() && !ApplicationTerminated()) loop.processEvents(QEventLoop::WaitForMoreEvents);
}

bool LoadIntroPicture(const fs::path& file, TBitmap32& bitmap) {
  TFileResult<TBitmap32> read = ReadImageFile(file);
  if (read && !read->Empty()) {
    bitmap = *std::move(read);
    return true;
  }
  // The start goes on without it; the reason is for whoever looks.
  std::fprintf(stderr, "The intro picture is left out: %s\n",
               read ? "the picture is empty" : read.Error().Reason().c_str());
  return false;
}

}  // namespace

void TQtStartupHost::ShowBackdrop() {
  if (!FormScreen) FormScreen = new TFormScreen();
  FormScreen->OnSkipIntro = [this] { introSkipped_ = true; };
  FormScreen->ShowOverScreen();
  QApplication::processEvents();
}

TDisplayInfo TQtStartupHost::Display() {
  TScreenInfo s = CurrentScreen();
  return {s.Width, s.Height, s.BitsPerPixel};
}

void TQtStartupHost::ShowFatal(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
  if (busy_) SetBusyCursor(false);
  ShowPlainMessage(TMessageBoxKind::Error, text);
}

void TQtStartupHost::ShowWarning(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  ShowPlainMessage(TMessageBoxKind::Warning, text);
}

void TQtStartupHost::PlayIntroVideo(const TIntroEntry& entry) {
  auto logo = std::make_unique<TLogoForm>();
  logo->VideoFileName = entry.File;
  logo->VideoWidth = entry.VideoWidth;
  logo->VideoHeight = entry.VideoHeight;
  TLogoForm* form = logo.get();
  logo->OnSkip = [this] { introSkipped_ = true; };
  logo->show();
  logo->repaint();
  FormScreen->OnClick = [form] { form->Skip(); };
  IMediaPlayer& player = logo->VideoBegin();
  if (player.Error() == 0 && player.Mode() != TMediaMode::NotReady)
    WaitWhile([&] { return form->isVisible() && player.Mode() != TMediaMode::Stopped && !introSkipped_; });
  FormScreen->OnClick = [screen = FormScreen] { screen->SkipIntro(); };
  logo->hide();
}

void TQtStartupHost::ShowIntroPicture(const TIntroEntry& entry) {
  TMyImage& image = *FormScreen->IntroImage;
  image.hide();
  FormScreen->IntroTimer.stop();
  FormScreen->IntroTimer.setInterval(entry.IntervalMs);
  TBitmap32 picture;
  if (!LoadIntroPicture(entry.File, picture)) return;
  FormScreen->OnClick = [screen = FormScreen] { screen->SkipIntro(); };
  const int left = (FormScreen->width() - picture.Width()) / 2, top = (FormScreen->height() - picture.Height()) / 2;
  image.setGeometry(left, top, picture.Width(), picture.Height());
  image.SetPicture(std::move(picture));
  FormScreen->SetServerPainted(false);
  image.show();
  FormScreen->IntroTimer.start();
  WaitWhile([&] { return FormScreen->IntroTimer.isActive() && !introSkipped_; });
  FormScreen->IntroTimer.stop();
  image.hide();
  image.SetPicture(TBitmap32());
  FormScreen->SetServerPainted(true);
  QApplication::processEvents();
}

void TQtStartupHost::SetBusyCursor(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

bool TQtStartupHost::RegisterFileTypes(const TIniFile& settings) {
  TQtProcessRunner runner;
  return ::RegisterFileTypes(UserDataHome(), ExecutableDir() / "tressary", settings, runner);
}

void TQtStartupHost::CreateStandingWindows() {
  if (ShellHooks().BeforeStandingWindows) ShellHooks().BeforeStandingWindows();
  CreateStandingForms();
  if (ShellHooks().AfterStandingWindows) ShellHooks().AfterStandingWindows();
}

void TQtStartupHost::ShowWelcomeTip() {
  if (ShellHooks().ShowWelcomeTip) ShellHooks().ShowWelcomeTip();
}

void TQtStartupHost::OpenWorkFile(const std::string& path) {
  if (ShellHooks().OpenWorkFile) ShellHooks().OpenWorkFile(path);
}
