#pragma once
// The post card's background editor: a plain colour, or a picture file placed
// centred, tiled or stretched over that colour.
#include <filesystem>

#include "exchange/CardBackground.h"
#include "shell/forms/SkinnedForm.h"

class TCaptionBar;
class TColorFace;
class TGraphicButton;
class TMyImage;
class TPelmoOpenPictureDialog;
struct TMainSettings;

// What the editor changes on the card.
class ICardBackgroundHost {
 public:
  virtual ~ICardBackgroundHost() = default;
  // Loads the picture and places it; false when it cannot be read.
  virtual bool LoadBackgroundImage(const std::filesystem::path& file, int placement) = 0;
  virtual void SetColorBackground(bool plain) = 0;
  // The colour or placement changed: the picture is placed again and the card drawn.
  virtual void BackgroundChanged() = 0;
};

class TFormPostCardBack : public TSkinnedForm {
  Q_OBJECT

 public:
  // The picture dialog starts in the picture folder of `settings`.
  TFormPostCardBack(ICardBackgroundHost& host, const TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormPostCardBack() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  TMyImage* ImageButtons;
  TGraphicButton* ButtonLoadImage;
  TGraphicButton* ButtonSetColor;
  TColorFace* ButtonBackgroundColor;
  TGraphicButton* ButtonStretch;
  TGraphicButton* ButtonTile;
  TGraphicButton* ButtonCenter;
  TPelmoOpenPictureDialog* OpenPictureDialog;

  TColor32 BackgroundColor() const;
  void SetBackgroundColor(TColor32 color);
  int Placement() const { return placement_; }

  void ButtonLoadImageClick();
  void ButtonSetColorClick();
  void ButtonBackgroundColorClick();
  void PlacementClick(int placement);

 private:
  ICardBackgroundHost& host_;
  const TMainSettings& settings_;
  int placement_ = kPlaceCenter;
};
