#pragma once
// What the tips and help windows share: the caption bar with the main window's
// minimise and exit buttons, the caption from the text table, the page viewer over
// the skin's well, and its folder.
#include <QString>
#include <string>
#include <string_view>

class QRect;
class TCaptionBar;
class TGraphicButton;
class THtmlViewer;
class TImage;
class TSkinnedForm;

struct TPageWindowParts {
  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonMinimize;
  TGraphicButton* ButtonExit;
  THtmlViewer* Viewer;
};

// The parts of a `form` already sized to its default skin; the viewer fills the
// skin's well above the button strip.
TPageWindowParts BuildPageWindow(TSkinnedForm& form, TImage* sheet);
// The caption bar takes the UI text `key`; when that is empty it shows the
// window's designed caption, otherwise the window's caption becomes the text.
void TakeCaption(TSkinnedForm& form, TCaptionBar& bar, std::string_view key, const QString& designed);
// ExePath + a data folder name (TipsDir, HelpDir), matched ignoring letter case.
std::string PageFolder(const std::string& folderName);
