#pragma once
// Window tests: answers the program's next message box once it is up.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <string>

#include "shell/forms/FormMessage.h"

// Closes the message box as soon as it shows, keeping its text in `text` (which
// must outlive the answer).
inline void AnswerNextMessage(std::string& text) {
  auto* poll = new QTimer(qApp);
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
