#include "platform/qt/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace {
// Process-wide as the message boxes it stands for: set by tests, never by the program.
TMessagePresenter& Presenter() {
  static TMessagePresenter presenter;
  return presenter;
}
}  // namespace

void SetMessagePresenter(TMessagePresenter presenter) { Presenter() = std::move(presenter); }

void ShowPlainMessage(TMessageBoxKind kind, const std::string& text) {
  if (Presenter()) {
    Presenter()(kind, text);
    return;
  }
  QString body = QString::fromStdString(text).replace("\r\n", "\n").replace('\r', '\n');
  QMessageBox::Icon icon = kind == TMessageBoxKind::Error     ? QMessageBox::Critical
                           : kind == TMessageBoxKind::Warning ? QMessageBox::Warning
                                                              : QMessageBox::Information;
  QMessageBox box(icon, QApplication::applicationName(), body, QMessageBox::Ok);
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.exec();
}
