#pragma once
// The print window: saved pictures listed from a folder, previewed, dragged onto
// the slots of a page preview in one of four layouts, mirrored per slot and
// printed on one sheet. Which file sits where is TPrintPage's; this window wires
// Qt's events to it, paints the previews and drives the printer.
#include <QImage>
#include <functional>
#include <memory>

#include "exchange/PrintPage.h"
#include "shell/forms/PrintChoice.h"
#include "shell/forms/SkinnedForm.h"

class QListWidget;
class QPrinter;
class TCaptionBar;
class TGraphicButton;
class TMyImage;
struct TMainSettings;

// The page and list previews: paint their picture, take every drag, and hand
// drops and mouse releases to the window.
class TPrintImage : public QWidget {
 public:
  explicit TPrintImage(QWidget* parent = nullptr);
  const QImage* Picture = nullptr;  // not owned
  std::function<void(int x, int y)> OnDragDrop;
  std::function<void(Qt::MouseButton, int x, int y)> OnMouseUp;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class TFormPrint : public TSkinnedForm {
  Q_OBJECT

 public:
  // Lists the pictures of the picture folder of `settings` and prints with its
  // margins.
  explicit TFormPrint(const TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormPrint() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  TPrintImage* ImagePage;
  TPrintImage* ImagePreview;
  QListWidget* FileListBox;
  TGraphicButton* ButtonPage[4];
  TMyImage* ImageFlip[4];  // by page position
  TGraphicButton* ButtonPrintSetup;
  TGraphicButton* ButtonChangeDir;
  TGraphicButton* ButtonPrint;
  TGraphicButton* ButtonCancel;
  TMyImage* ImageButtons;

  // Before printing an unsaved work: whether the desk has layers changed since
  // the picture was last saved, and the picture saving; both the load-and-save
  // window's unless replaced.
  std::function<bool()> PictureUnsaved;
  std::function<void()> SaveImage;

  const TPrintPage& Page() const { return page_; }
  // The printer the set-up dialog configures and printing uses.
  QPrinter& Printer() { return printer_.Printer(); }
  TWindowPrinter& WindowPrinter() { return printer_; }
  // The list's folder.
  const fs::path& Folder() const { return folder_; }
  void SetFolder(const fs::path& folder);
  // The page preview as painted (slot pictures, frames and separators).
  const QImage& PagePicture() const { return pagePicture_; }

  // The window's handlers. The set-up dialog chooses the printer only.
  void ButSetupPrClick();
  void ButtonChangeDirClick();
  void ButtonPage1Click(int layout);
  void FileListBoxChange();
  // A file of the list dropped at (x, y) of the page preview.
  void ImagePageDragDrop(int x, int y);
  // The right button empties the slot under (x, y).
  void ImagePageMouseUp(Qt::MouseButton button, int x, int y);
  void CB1Click(int position);
  // Prints the page through the print dialog and tells how it went; true when
  // it went out.
  bool OKBtnClick();
  void ButtonExitClick();

 private:
  const TMainSettings& settings_;
  void FormShow();
  void FormClose();
  void PaintLayoutFrame();
  // Draws `picture` fitted into `area` of `target`: white ground, black frame.
  static void DrawFitted(QImage& target, const TBitmap32& picture, const TRect& area);
  void SetFlipIcon(int position);
  QString SelectedFile() const;
  void SetMainPrintButtonPressed(bool pressed);

  TPrintPage page_;
  fs::path folder_;
  QImage pagePicture_;
  QImage previewPicture_;
  QImage flipIcons_[2];
  TWindowPrinter printer_;
  QString folderPrompt_;
};

// The standing print window (null before it is created).
extern TFormPrint* FormPrint;
void RegisterFormPrint(TMainSettings& settings);
