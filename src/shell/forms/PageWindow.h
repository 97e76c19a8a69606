#pragma once
// What the windows that show pages (tips, help, catalogue) share: the caption bar
// with the main window's minimise and exit buttons, the caption from the text
// table, the page viewer over the skin's well and its folder, the captioned
// buttons along the bottom, Backspace for back, and printing the page shown.
#include <QPrinter>
#include <QString>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shell/forms/PrintChoice.h"
#include "shell/forms/SkinnedForm.h"

class TCaptionBar;
class TGraphicButton;
class THtmlViewer;
class TMyImage;

// A captioned button of the bottom strip; its caption is the UI text form Name +
// Name + "Caption" (its hint comes the way every control's does). Buttons never shown together may share
// a place: Place counts from 0; -1 takes the place after the previous button's.
struct TStripButton {
  const char* Name;
  const char* Caption;
  int Place = -1;
};

class TPageForm : public TSkinnedForm {
  Q_OBJECT

 public:
  // Sized `width` x `height` with its parts laid out for the default skin.
  TPageForm(const QString& name, int width, int height, QWidget* parent);
  ~TPageForm() override;

  TMyImage* ImageButtons;
  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonMinimize;
  TGraphicButton* ButtonExit;
  THtmlViewer* HTMLViewer;

  // The printer printing uses: the system's default until its dialog or a test
  // changes it.
  QPrinter& Printer() { return printer_.Printer(); }
  TWindowPrinter& WindowPrinter() { return printer_; }

 protected:
  // The strip's buttons, their places centred in one row, in the order given.
  std::vector<TGraphicButton*> BuildButtonStrip(std::span<const TStripButton> buttons);
  // The caption bar takes the UI text `key`; when that is empty it shows the
  // window's designed caption, otherwise the window's caption becomes the text.
  void TakeCaption(std::string_view key, const QString& designed);
  // Prints the page shown through the print dialog and tells how it went; a
  // failure under the UI text `key` (`text` without it).
  void PrintShownPage(std::string_view key, std::string_view text);

 private:
  TWindowPrinter printer_;
};

// The installation folder + a data folder name (TipsDir, HelpDir), matched ignoring letter case.
std::string PageFolder(const std::string& folderName);
