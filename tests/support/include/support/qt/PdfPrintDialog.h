#pragma once
// The print dialog as a user answers it in window tests: print to the PDF file
// `File`, or cancel while it is empty. Counts how often it was asked, and takes
// itself away when the test ends, even one that stops early.
#include <QPrinter>
#include <QString>
#include <filesystem>

#include "shell/forms/PrintChoice.h"

class TPdfPrintDialog {
 public:
  explicit TPdfPrintDialog(std::filesystem::path file = {}) : File(std::move(file)) {
    TWindowPrinter::DialogStandIn() = [this](QPrinter& printer) {
      ++Dialogs;
      if (File.empty()) return false;
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(File.string()));
      return true;
    };
  }
  ~TPdfPrintDialog() { TWindowPrinter::DialogStandIn() = nullptr; }
  TPdfPrintDialog(const TPdfPrintDialog&) = delete;
  TPdfPrintDialog& operator=(const TPdfPrintDialog&) = delete;

  std::filesystem::path File;
  int Dialogs = 0;
};
