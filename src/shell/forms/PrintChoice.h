#pragma once
// What every window that prints shares: its own printer for the run, the print
// dialog before a job, and a printer that is usable again after a failed job.
#include <QPrinter>
#include <functional>
#include <memory>

class QWidget;

// Whether `printer` has somewhere to print: a printer's name, or a file for PDF.
bool PrinterHasDestination(const QPrinter& printer);

// A window's printer: made on first use, kept for the run so that the choices of
// its dialog stay, and made anew after a failed job (its paper kept, its
// destination asked for again), since a QPrinter whose job failed refuses every
// later change.
class TWindowPrinter {
 public:
  QPrinter& Printer();

  enum class TOutcome { Printed, Cancelled, Failed };
  // The print dialog over `parent`, then `job` on the chosen printer (renewed when
  // the job fails). The dialog asks before it overwrites an existing file.
  TOutcome PrintWithDialog(QWidget* parent, const std::function<bool(QPrinter&)>& job);
  // `job` on the printer as it is set up, through the dialog first when it has
  // no destination yet.
  TOutcome PrintOrAsk(QWidget* parent, const std::function<bool(QPrinter&)>& job);
  // `job` on the printer as it is set up: false, with the printer renewed, when
  // it has no destination or the job failed.
  bool Print(const std::function<bool(QPrinter&)>& job);

  // Runs instead of the modal dialog when set (window tests): true to print.
  static std::function<bool(QPrinter&)>& DialogStandIn();

 private:
  void Renew();
  std::unique_ptr<QPrinter> printer_;
};
