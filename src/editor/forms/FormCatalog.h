#pragma once
// The catalogue window: information pages about templates, models and palettes
// from the catalogue folder, with their contents page, history and printing.
// Made on first use and kept for the rest of the run.
#include <string>

#include "picture/Bitmap32.h"
#include "shell/forms/PageWindow.h"

class TGraphicButton;
class TMyImage;
struct TMainSettings;
class TCatalogIndex;

class TFormCatalog : public TPageForm {
  Q_OBJECT

 public:
  // Shows the pages of the catalogue folder of `settings`.
  explicit TFormCatalog(const TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormCatalog() override;

  TGraphicButton* ButtonContents;
  TGraphicButton* ButtonStepBack;
  TGraphicButton* ButtonPrint;

  // Shows `page` (relative to the catalogue folder; the contents page when it is
  // missing) and brings the window up.
  void ShowPage(const std::string& page);
  // Prints the page shown; a failure is reported in the message box.
  void ButtonPrintClick();
};

// The catalogue window once it has been made (null before).
extern TFormCatalog* FormCatalog;
// Reads the program's "Catalog.txt" into `index` and makes ShowCatalogPage and the
// main window's catalogue button reach the window, made on first use over
// `settings`; both outlive it.
void RegisterFormCatalog(const TMainSettings& settings, TCatalogIndex& index);

// The catalogue's info mark: an "i" in a blue circle, 13 x 13.
TBitmap32 CatalogInfoPicture();
// The mark on `parent`'s bottom-right corner (2 pixels in); a click shows `page`.
TMyImage* AddCatalogIcon(QWidget& parent, const std::string& page);
