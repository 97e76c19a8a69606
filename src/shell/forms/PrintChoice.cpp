#include "shell/forms/PrintChoice.h"

#include <QPrintDialog>

bool PrinterHasDestination(const QPrinter& printer) {
  if (printer.outputFormat() == QPrinter::PdfFormat) return !printer.outputFileName().isEmpty();
  return !printer.printerName().isEmpty();
}

QPrinter& TWindowPrinter::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

std::function<bool(QPrinter&)>& TWindowPrinter::DialogStandIn() {
  static std::function<bool(QPrinter&)> standIn;
  return standIn;
}

TWindowPrinter::TOutcome TWindowPrinter::PrintWithDialog(QWidget* parent, const std::function<bool(QPrinter&)>& job) {
  QPrinter& printer = Printer();
  if (DialogStandIn()) {
    if (!DialogStandIn()(printer)) return TOutcome::Cancelled;
  } else {
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return TOutcome::Cancelled;
  }
  return Print(job) ? TOutcome::Printed : TOutcome::Failed;
}

TWindowPrinter::TOutcome TWindowPrinter::PrintOrAsk(QWidget* parent, const std::function<bool(QPrinter&)>& job) {
  if (!PrinterHasDestination(Printer())) return PrintWithDialog(parent, job);
  return Print(job) ? TOutcome::Printed : TOutcome::Failed;
}

bool TWindowPrinter::Print(const std::function<bool(QPrinter&)>& job) {
  QPrinter& printer = Printer();
  if (PrinterHasDestination(printer) && job(printer) && printer.printerState() != QPrinter::Error) return true;
  Renew();
  return false;
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
