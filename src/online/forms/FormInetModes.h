#pragma once
// The door to the online services: one button per service, each closing the
// hub and opening its window. Element download and gallery upload need the
// online account (the registration window is offered first); upload and post
// cards need a work on the desk.
#include <functional>

#include "shell/forms/SkinnedForm.h"

class TCaptionBar;
class TFormToGallery;
class TGraphicButton;
class TMyImage;
struct TMainSettings;

// What the hub takes from the program around it.
struct TInetModesLinks {
  // The desk holds at least one layer.
  std::function<bool()> WorkOnDesk;
  // Gives the upload window the desk's picture and work file.
  std::function<void(TFormToGallery&)> PrepareUpload;
  // Runs the post-card composer over the desk's work; empty: the program has
  // none, and its button is hidden.
  std::function<void()> RunPostCard;
};
TInetModesLinks& InetModesLinks();

class TFormInetModes : public TSkinnedForm {
  Q_OBJECT

 public:
  // The services read the publisher links, servers and account of `settings`;
  // registering and downloading elements write into its ini.
  explicit TFormInetModes(TMainSettings& settings, QWidget* parent = nullptr);

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  TMyImage* ImageButtons;
  TGraphicButton* ButtonOpenSite;
  TGraphicButton* ButtonDownloadElements;
  TGraphicButton* ButtonDownloadGallery;
  TGraphicButton* ButtonUploadGallery;
  TGraphicButton* ButtonChat;
  TGraphicButton* ButtonPostcard;
  TGraphicButton* ButtonPublisherMessages;

  // The services' windows, shown modally by the buttons once their gates are
  // passed; tests put recorders in their place.
  struct TServices {
    std::function<void()> Register;  // offered when the account is missing
    std::function<void()> DownloadElements, FromGallery, ToGallery, Chat, PostCard, PublisherMessages;
    std::function<void(const std::string& url)> OpenSite;
  } Services;

  void ButtonOpenSiteClick();
  void ButtonDownloadElementsClick();
  void ButtonDownloadGalleryClick();
  void ButtonUploadGalleryClick();
  void ButtonChatClick();
  void ButtonPostcardClick();
  void ButtonPublisherMessagesClick();

 private:
  // Shows only the buttons that lead somewhere, one under the other.
  void ArrangeButtons();
  bool WorkOnDesk() const;
  // The account exists, after offering the registration window when not.
  bool EnsureAccount();
  // Closes the hub and lets the pending messages run before `open`.
  void CloseAndRun(const std::function<void()>& open);

  TMainSettings& settings_;
};

// Registers the hub as a standing window and the publisher messages as the
// main window's call window.
void RegisterFormInetModes(TMainSettings& settings);
