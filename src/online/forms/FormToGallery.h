#pragma once
// The gallery upload window: the user names the work on the desk, describes it by
// six attributes, chooses a JPEG picture or a compressed work and public or
// private, and sends it to the gallery's upload script. Closing is refused while
// the upload runs.
#include <QImage>
#include <functional>
#include <memory>

#include "online/GalleryUpload.h"
#include "online/OnlineServers.h"
#include "online/forms/QtOwnerThread.h"
#include "shell/forms/SkinnedForm.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTimer;
class TCaptionBar;
class TGraphicButton;
class TMyImage;
class TTransferContext;
struct TMainSettings;

class TFormToGallery : public TSkinnedForm {
  Q_OBJECT

 public:
  // Offers the choice lists of `settings` and sends with its account.
  explicit TFormToGallery(const TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormToGallery() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QLabel* LabelWorkName;
  QLineEdit* EditWorkName;
  // Sex, age, skin colour, hair colour, eyes colour, work kind.
  std::vector<QComboBox*> ComboBoxes;
  TGraphicButton* ButtonSendAsJpeg;
  TGraphicButton* ButtonSendAsWork;
  TGraphicButton* ButtonSendAsPublic;
  TGraphicButton* ButtonSendAsPrivate;
  QLabel* LabelPassword;
  QLineEdit* EditPassword;
  QLabel* ImagePreview;
  QProgressBar* ProgressBar;
  QTimer* Timer1;
  TGraphicButton* ButtonStartDownload;  // send
  TGraphicButton* ButtonStopDownload;
  TMyImage* ImageButtons;

  // The desk's export picture and its compressed work file: the program wires
  // them to the main window's desk.
  std::function<TBitmap32()> ExportPicture;
  TWorkBytesSource CompressedWork;

  TGalleryUploadInput Input() const;
  // Shows the send button only when the inputs are complete.
  void UpdateSendState();
  void SetAsWork(bool asWork);
  void SetPrivate(bool isPrivate);
  void ButtonSendClick();
  void ButtonStopClick();
  bool Uploading() const { return uploading_; }

 private:
  void EndUpload();

  const TMainSettings& settings_;
  TQtOwnerThread owner_;
  std::unique_ptr<TTransferContext> context_;
  TOnlineServers servers_;
  bool asWork_ = false;
  bool private_ = false;
  bool uploading_ = false;
};
