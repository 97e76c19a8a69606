#include "shell/forms/PageWindow.h"

#include <QPalette>

#include "platform/Paths.h"
#include "shell/ShellGlobals.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "shell/forms/SkinnedForm.h"
#include "shell/forms/TermText.h"

namespace {
// The default skins: a 30-pixel title strip, the well 12 pixels in from the
// sides and below the strip, and a 48-pixel strip for buttons at the bottom.
constexpr int kTitleHeight = 30;
constexpr int kWellInset = 16;
constexpr int kButtonStrip = 52;
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

std::string PageFolder(const std::string& folderName) {
  return ResolvePath(fs::path(ExePath), folderName).string();
}
