#include "shell/forms/PrintChoice.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPushButton>

#include "platform/FileIO.h"
#include "platform/PrintSystem.h"
#include "shell/Termins.h"
#include "shell/WriteFailure.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/TermText.h"

namespace {

std::string Term(std::string_view key, std::string_view fallback) {
  return WithoutSound(GetTerm(key, ProgramTexts(), fallback));
}

// Runs `job` on a PDF printer with its output turned into a private temporary,
// then saves that whole over the chosen file.
bool PrintToFile(QPrinter& printer, const TWindowPrinter::TJob& job, TPrintReport& report) {
  const fs::path temp = NewTempFilePath(".pdf");
  printer.setOutputFileName(QString::fromStdString(temp.string()));
  bool ok = job(printer) && printer.printerState() != QPrinter::Error;
  printer.setOutputFileName(QString::fromStdString(report.Destination));
  if (ok) {
    const TFileResult<std::vector<std::uint8_t>> bytes = ReadFileBytes(temp);
    if (!bytes || bytes->empty()) {
      ok = false;
      report.WriteError = EIO;
    } else if (const TFileResult<> written = WriteFileAtomic(report.Destination, *bytes); !written) {
      ok = false;
      report.WriteError = written.Error().System;
    }
  }
  std::error_code ec;
  fs::remove(temp, ec);
  return ok;
}

}  // namespace

bool PrinterHasDestination(const QPrinter& printer) {
  if (printer.outputFormat() == QPrinter::PdfFormat) return !printer.outputFileName().isEmpty();
  return !printer.printerName().isEmpty();
}

QPrinter& TWindowPrinter::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

bool TWindowPrinter::Ask(QWidget* parent, const QString& button) {
  QPrinter& printer = Printer();
  if (answer_) return answer_(printer);
  QPrintDialog dialog(&printer, parent);
  if (!button.isEmpty())
    if (auto* box = dialog.findChild<QDialogButtonBox*>())
      if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText(button);
  return dialog.exec() == QDialog::Accepted;
}

TPrintReport TWindowPrinter::PrintWithDialog(QWidget* parent, const QString& title, const TJob& job) {
  if (!Ask(parent, {})) return {};
  return Print(title, job);
}

bool TWindowPrinter::SetUp(QWidget* parent, const QString& button) { return Ask(parent, button); }

TPrintReport TWindowPrinter::Print(const QString& title, const TJob& job) {
  QPrinter& printer = Printer();
  TPrintReport report;
  report.Outcome = TPrintReport::TOutcome::Failed;
  report.ToFile = printer.outputFormat() == QPrinter::PdfFormat;
  report.Destination = (report.ToFile ? printer.outputFileName() : printer.printerName()).toStdString();
  bool ok = PrinterHasDestination(printer);
  if (ok) {
    printer.setDocName(title);
    if (report.ToFile) {
      ok = PrintToFile(printer, job, report);
    } else {
      // Qt hands the finished job to the print system and keeps no answer.
      ok = job(printer) && printer.printerState() != QPrinter::Error;
      if (ok) {
        const TPrintRefusal refusal = PrintSystemRefusal();
        report.Refusal = refusal.Text;
        report.SystemDown = refusal.Unreachable;
        ok = refusal.Text.empty();
      }
    }
  }
  if (ok) report.Outcome = TPrintReport::TOutcome::Printed;
  else Renew();
  return report;
}

void TWindowPrinter::Renew() {
  // The destination is not carried over: the next job asks for one again.
  auto fresh = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (printer_) {
    fresh->setPageLayout(printer_->pageLayout());
    fresh->setCopyCount(printer_->copyCount());
    fresh->setColorMode(printer_->colorMode());
    fresh->setResolution(printer_->resolution());
  }
  printer_ = std::move(fresh);
}

QString PrintJobTitle(const QString& what) {
  const QString product = TermText("ProductName", "Tressary");
  return what.isEmpty() ? product : product + " - " + what;
}

void TellPrintReport(const TPrintReport& report, std::string_view failedKey, std::string_view failedText) {
  using O = TPrintReport::TOutcome;
  if (report.Outcome == O::Cancelled) return;
  std::string text;
  if (report.Outcome == O::Printed) {
    text = report.ToFile ? Term("MessagePrintedToFile", "Printed to the file:")
                         : Term("MessagePrintSentToPrinter", "The job went to the printer:");
    text += "\r" + report.Destination;
  } else if (report.ToFile) {
    text = WriteFailureText(failedKey, failedText,
                            FileError(TFileFault::CannotWrite, report.Destination, report.WriteError));
  } else {
    text = Term(failedKey, failedText);
    if (!report.Destination.empty()) text += "\r" + report.Destination;
    if (report.SystemDown)
      text += "\r" + Term("MessagePrintSystemNotRunning", "The print system is not running.");
    else if (!report.Refusal.empty())
      text += "\r" + Term("MessagePrintJobRefused", "The print system did not take the job:") + "\r" + report.Refusal;
    else
      text += "\r" + Term("MessagePrinterNotStarted", "The printer could not start the job.");
  }
  ShowMessageBox(text, mbkOKCancel, true);
}
