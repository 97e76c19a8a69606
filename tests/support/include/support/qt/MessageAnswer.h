#pragma once
// Window tests: answers the program's next message box once it is up.
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <string>

#include "shell/forms/FormMessage.h"

// The answers still waiting in the running test. The window tests' main ends them
// with each test: an answer whose box never came would otherwise close the next
// test's box and write into a text that no longer exists.
inline QPointer<QObject>& PendingAnswers() {
  static QPointer<QObject> owner;
  return owner;
}
inline void DropPendingAnswers() { delete PendingAnswers().data(); }

// Closes the message box as soon as it shows, keeping its text in `text` (which
// must outlive the answer, or the test).
inline void AnswerNextMessage(std::string& text) {
  if (!PendingAnswers()) PendingAnswers() = new QObject(qApp);
  auto* poll = new QTimer(PendingAnswers());
  QObject::connect(poll, &QTimer::timeout, [&text, poll] {
    if (!FormMessage || !FormMessage->isVisible()) return;
    text = FormMessage->LabelMessage->text().toStdString();
    FormMessage->close();
    // Stopped at once: a later box is not this answer's to close.
    poll->stop();
    poll->deleteLater();
  });
  poll->start(10);
}
