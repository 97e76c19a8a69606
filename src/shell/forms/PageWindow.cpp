#include "shell/forms/PageWindow.h"

#include <QPalette>
#include <algorithm>

#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/VirtualKeys.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "shell/forms/TermText.h"

namespace {
// The default skins: a 30-pixel title strip, the well 12 pixels in from the
// sides and below the strip, and a 48-pixel strip for buttons at the bottom.
constexpr int kTitleHeight = 30;
constexpr int kWellInset = 16;
constexpr int kButtonStrip = 52;
constexpr int kStripButtonWidth = 110;
constexpr int kStripButtonHeight = 30;
constexpr int kStripButtonGap = 12;
}  // namespace

TPageForm::TPageForm(const QString& name, int width, int height, QWidget* parent) : TSkinnedForm(name, parent) {
  resize(width, height);
  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, width, kTitleHeight);
  QPalette light = CaptionBar->palette();
  light.setColor(QPalette::WindowText, QColor(240, 248, 248));
  CaptionBar->setPalette(light);
  ButtonMinimize = NewSheetButton(CaptionBar, "ButtonMinimize", ImageButtons, 0, {width - 52, 5, 19, 20});
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, 0, {width - 30, 5, 19, 20});
  TakeMainWindowLooks(*ButtonMinimize);
  TakeMainWindowLooks(*ButtonExit);
  ButtonMinimize->OnClick = [this] { showMinimized(); };
  ButtonExit->OnClick = [this] { close(); };
  HTMLViewer = new THtmlViewer(this);
  HTMLViewer->setGeometry(kWellInset, kTitleHeight + kWellInset, width - 2 * kWellInset,
                          height - kTitleHeight - kWellInset - kButtonStrip);
  OnKeyUp = [this](int& key, int) {
    if (key == VK_BACK) HTMLViewer->GoBack();
  };
}

TPageForm::~TPageForm() = default;

std::vector<TGraphicButton*> TPageForm::BuildButtonStrip(std::span<const TStripButton> buttons) {
  const std::string prefix = objectName().toStdString();
  std::vector<int> places;
  for (const TStripButton& spec : buttons) places.push_back(spec.Place >= 0 ? spec.Place : places.empty() ? 0 : places.back() + 1);
  const int count = places.empty() ? 0 : *std::max_element(places.begin(), places.end()) + 1;
  const int left = (width() - count * kStripButtonWidth - (count - 1) * kStripButtonGap) / 2;
  std::vector<TGraphicButton*> made;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const int x = left + places[i] * (kStripButtonWidth + kStripButtonGap);
    TGraphicButton* button =
        NewSheetButton(this, buttons[i].Name, ImageButtons, 0, {x, height() - 41, kStripButtonWidth, kStripButtonHeight});
    button->SetCaption(TermText(prefix + buttons[i].Name + "Caption", buttons[i].Caption));
    made.push_back(button);
  }
  return made;
}

void TPageForm::TakeCaption(std::string_view key, const QString& designed) {
  CaptionBar->Caption = TermText(key, "");
  if (CaptionBar->Caption.isEmpty()) CaptionBar->Caption = designed;
  setWindowTitle(CaptionBar->Caption);
  CaptionBar->update();
}

void TPageForm::PrintShownPage(std::string_view key, std::string_view text) {
  // The job is named after the page: its title, else its file, else the window.
  QString page = HTMLViewer->documentTitle().trimmed();
  if (page.isEmpty()) page = QString::fromStdString(HTMLViewer->CurrentFile().stem().string());
  if (page.isEmpty()) page = windowTitle();
  const TPrintReport report = printer_.PrintWithDialog(
      this, PrintJobTitle(page), [this](QPrinter& printer) { return HTMLViewer->PrintPages(printer); });
  TellPrintReport(report, key, text);
}

std::string PageFolder(const std::string& folderName) {
  return ProgramFileForReading(fs::path(InstallationFolder()), folderName).string();
}
