#pragma once
// The print dialog of one window as a user answers it in window tests: print to
// the PDF file `File`, or cancel while it is empty. Counts how often it was
// asked, and takes itself away when the test ends, even one that stops early.
#include <QPointer>
#include <QPrinter>
#include <QString>
#include <QWidget>
#include <filesystem>

#include "shell/forms/PrintChoice.h"

// Answers `window`'s print dialog (any window with a WindowPrinter()) with
// `answer` while it lives; the window may go first.
class TPrintDialogAnswer {
 public:
  template <typename Window>
  TPrintDialogAnswer(Window& window, TWindowPrinter::TDialogAnswer answer)
      : window_(&window), printer_(window.WindowPrinter()) {
    printer_.AnswerDialogWith(std::move(answer));
  }
  ~TPrintDialogAnswer() {
    if (window_) printer_.AnswerDialogWith(nullptr);
  }
  TPrintDialogAnswer(const TPrintDialogAnswer&) = delete;
  TPrintDialogAnswer& operator=(const TPrintDialogAnswer&) = delete;

 private:
  QPointer<QWidget> window_;
  TWindowPrinter& printer_;
};

class TPdfPrintDialog {
 public:
  template <typename Window>
  explicit TPdfPrintDialog(Window& window, std::filesystem::path file = {})
      : File(std::move(file)), answer_(window, [this](QPrinter& printer) {
          ++Dialogs;
          if (File.empty()) return false;
          printer.setOutputFormat(QPrinter::PdfFormat);
          printer.setOutputFileName(QString::fromStdString(File.string()));
          return true;
        }) {}

  std::filesystem::path File;
  int Dialogs = 0;

 private:
  TPrintDialogAnswer answer_;
};
