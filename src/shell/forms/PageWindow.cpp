#include "shell/forms/PageWindow.h"

#include <QPalette>

#include "platform/Paths.h"
#include "platform/qt/VirtualKeys.h"
#include "shell/ShellGlobals.h"
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

TPageWindowParts BuildPageWindow(TSkinnedForm& form, TImage* sheet) {
  const int width = form.width();
  TPageWindowParts parts{};
  parts.CaptionBar = NewCaptionBar(form, width, kTitleHeight);
  QPalette light = parts.CaptionBar->palette();
  light.setColor(QPalette::WindowText, QColor(240, 248, 248));
  parts.CaptionBar->setPalette(light);
  parts.ButtonMinimize = NewSheetButton(parts.CaptionBar, "ButtonMinimize", sheet, 0, {width - 52, 5, 19, 20});
  parts.ButtonExit = NewSheetButton(parts.CaptionBar, "ButtonExit", sheet, 0, {width - 30, 5, 19, 20});
  TakeMainWindowLooks(*parts.ButtonMinimize);
  TakeMainWindowLooks(*parts.ButtonExit);
  TSkinnedForm* window = &form;
  parts.ButtonMinimize->OnClick = [window] { window->showMinimized(); };
  parts.ButtonExit->OnClick = [window] { window->close(); };
  parts.Viewer = new THtmlViewer(&form);
  parts.Viewer->setGeometry(kWellInset, kTitleHeight + kWellInset, width - 2 * kWellInset,
                            form.height() - kTitleHeight - kWellInset - kButtonStrip);
  return parts;
}

void TakeCaption(TSkinnedForm& form, TCaptionBar& bar, std::string_view key, const QString& designed) {
  bar.Caption = TermText(key, "");
  if (bar.Caption.isEmpty()) bar.Caption = designed;
  form.setWindowTitle(bar.Caption);
  bar.update();
}

TPageForm::TPageForm(const QString& name, int width, int height, QWidget* parent) : TSkinnedForm(name, parent) {
  resize(width, height);
  ImageButtons = NewButtonSheet(*this);
  const TPageWindowParts parts = BuildPageWindow(*this, ImageButtons);
  CaptionBar = parts.CaptionBar;
  ButtonMinimize = parts.ButtonMinimize;
  ButtonExit = parts.ButtonExit;
  HTMLViewer = parts.Viewer;
  OnKeyUp = [this](int& key, int) {
    if (key == VK_BACK) HTMLViewer->GoBack();
  };
}

TPageForm::~TPageForm() = default;

std::vector<TGraphicButton*> TPageForm::BuildButtonStrip(std::span<const TStripButton> buttons) {
  const std::string prefix = objectName().toStdString();
  const int count = int(buttons.size());
  int left = (width() - count * kStripButtonWidth - (count - 1) * kStripButtonGap) / 2;
  std::vector<TGraphicButton*> made;
  for (const TStripButton& spec : buttons) {
    TGraphicButton* button =
        NewSheetButton(this, spec.Name, ImageButtons, 0, {left, height() - 41, kStripButtonWidth, kStripButtonHeight});
    button->SetCaption(TermText(prefix + spec.Name + "Caption", spec.Caption));
    made.push_back(button);
    left += kStripButtonWidth + kStripButtonGap;
  }
  return made;
}

void TPageForm::TakeStripHints(std::span<const TStripButton> buttons) {
  const std::string prefix = objectName().toStdString();
  for (const TStripButton& spec : buttons)
    if (auto* button = findChild<TGraphicButton*>(spec.Name)) button->setToolTip(TermText(prefix + spec.Name + "Hint", ""));
}

void TPageForm::TakeCaption(std::string_view key, const QString& designed) {
  ::TakeCaption(*this, *CaptionBar, key, designed);
}

QPrinter& TPageForm::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void TPageForm::PrintShownPage(std::string_view key, std::string_view text) {
  if (HTMLViewer->PrintPages(Printer())) return;
  ShowMessageBox(std::string(key), mbkOKCancel, false, std::string(text));
}

std::string PageFolder(const std::string& folderName) {
  return ResolvePath(fs::path(ExePath), folderName).string();
}
