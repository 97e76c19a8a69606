#pragma once
// The publishers' messages: the installed messages listed by number and subject,
// the selected one shown with its frames. Links to the web and to mail open
// outside the program; the message's own pages open inside.
#include <vector>

#include "online/PublisherMessages.h"
#include "shell/forms/SkinnedForm.h"

class QTableWidget;
class TCaptionBar;
class TFrameViewer;
class TGraphicButton;
class TMyImage;
struct TMainSettings;

class TFormPublisherMessages : public TSkinnedForm {
  Q_OBJECT

 public:
  // Lists the messages the settings ini records.
  explicit TFormPublisherMessages(const TMainSettings& settings, QWidget* parent = nullptr);

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  TGraphicButton* ButtonBack;
  QTableWidget* StringGrid;
  TFrameViewer* HTMLViewer;
  TMyImage* ImageButtons;

  // Reads the list again from the settings (what showing the window does).
  void LoadList();
  const std::vector<TMes>& Messages() const { return messages_; }
  // Shows message `index` (0-based); false when it is out of range or gone.
  bool ShowMessage(int index);

 private:
  const TMainSettings& settings_;
  std::vector<TMes> messages_;
};

// Shows the publisher messages window modally and releases it.
void RunPublisherMessages(const TMainSettings& settings);
