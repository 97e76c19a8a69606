#include "exchange/forms/WindowMailUi.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "exchange/forms/FormEmail.h"
#include "platform/qt/QtProcessRunner.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/StandingForms.h"

TWindowMailUi::TWindowMailUi(std::function<void()> closeWindow, const TMainSettings& settings)
    : closeWindow_(std::move(closeWindow)), settings_(settings) {}
TWindowMailUi::~TWindowMailUi() = default;

void TWindowMailUi::CloseWindow() {
  if (closeWindow_) closeWindow_();
}

void TWindowMailUi::SetBusy(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void TWindowMailUi::ShowMessage(std::string_view key) {
  ShowMessageBox(key, mbkOKCancel, false, MailMessageDefault(key));
}

bool TWindowMailUi::IsMapiAvailable() { return ::IsMapiAvailable(); }

int TWindowMailUi::SendMapiMail(const TMapiMessage& message) {
  // The program waits for the mail program, painted but not usable; then the
  // window that sent the mail takes the keys back.
  const QPointer<QWidget> sender = QApplication::activeWindow();
  std::vector<QPointer<QWidget>> disabled;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && window->isEnabled()) {
      window->setEnabled(false);
      disabled.emplace_back(window);
    }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  TQtProcessRunner runner(true);
  const int result = ::SendMapiMail(message, runner);
  QApplication::restoreOverrideCursor();
  for (const QPointer<QWidget>& window : disabled)
    if (window) window->setEnabled(true);
  if (sender) sender->activateWindow();
  return result;
}

void TWindowMailUi::RunEmailWindow(const TMailAttachment& attachment) {
  TFormEmail* window = StandingForm<TFormEmail>("FormEmail");
  if (!window) {
    ownEmail_ = std::make_unique<TFormEmail>(settings_);
    window = ownEmail_.get();
  }
  window->SendWithAttachment(&attachment);
}
