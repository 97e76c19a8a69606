#pragma once
// What every window that prints shares: its own printer for the run, the print
// dialog before every job, a job named after what it prints, a check that the
// job really went out, a printer that is usable again after a failed job, and
// the message that tells the user how it went.
#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QWidget;

// Whether `printer` has somewhere to print: a printer's name, or a file for PDF.
bool PrinterHasDestination(const QPrinter& printer);

// What became of a print job.
struct TPrintReport {
  enum class TOutcome { Printed, Cancelled, Failed } Outcome = TOutcome::Cancelled;
  bool ToFile = false;      // a PDF file, else a printer
  std::string Destination;  // the file, or the printer's name
  int WriteError = 0;       // the system's errno: why the file could not be written
  std::string Refusal;      // the print system's words for a job it did not take
  bool SystemDown = false;  // the print system did not answer
};

// A window's printer: made on first use, kept for the run so that the choices of
// its dialog stay, and made anew after a failed job (its paper kept, its
// destination asked for again), since a QPrinter whose job failed refuses every
// later change.
class TWindowPrinter {
 public:
  using TJob = std::function<bool(QPrinter&)>;
  QPrinter& Printer();

  // The print dialog over `parent` (which asks before it overwrites an existing
  // file), then `job` on the chosen printer under the name `title`.
  TPrintReport PrintWithDialog(QWidget* parent, const QString& title, const TJob& job);
  // `job` on the printer as it is set up, under the name `title`. A PDF is made
  // aside and then saved whole over the file, so a failed write leaves the old
  // file and says why; a printer's job counts only when the print system took it.
  TPrintReport Print(const QString& title, const TJob& job);
  // The print dialog as a set-up dialog whose button, captioned `button`,
  // chooses the printer and prints nothing. True when a printer was chosen.
  bool SetUp(QWidget* parent, const QString& button);

  // Answers in place of the modal dialog when set (window tests): true to print.
  using TDialogAnswer = std::function<bool(QPrinter&)>;
  void AnswerDialogWith(TDialogAnswer answer) { answer_ = std::move(answer); }

 private:
  bool Ask(QWidget* parent, const QString& button);
  void Renew();
  std::unique_ptr<QPrinter> printer_;
  TDialogAnswer answer_;
};

// The name of a job: the product's name, then what it prints.
QString PrintJobTitle(const QString& what);

// Tells the user how a print went: nothing when the dialog was cancelled; where
// it went when it printed; the UI text `failedKey` (`failedText` without it),
// where and why when it failed.
void TellPrintReport(const TPrintReport& report, std::string_view failedKey, std::string_view failedText);
