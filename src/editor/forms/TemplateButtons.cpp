#include "editor/forms/TemplateButtons.h"

#include "editor/forms/BusyCursor.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>

#include "editor/TemplateDesign.h"
#include "editor/forms/FormMask.h"
#include "editor/forms/FormTemplates.h"
#include "platform/IniFile.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/Termins.h"
#include "shell/forms/Image.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

namespace {

// Enables a window for as long as the scope lasts, whichever way it ends.
class TDisabledWindow {
 public:
  explicit TDisabledWindow(QWidget& window) : window_(window) { window_.setEnabled(false); }
  ~TDisabledWindow() { window_.setEnabled(true); }
  TDisabledWindow(const TDisabledWindow&) = delete;
  TDisabledWindow& operator=(const TDisabledWindow&) = delete;

 private:
  QWidget& window_;
};

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

TGraphicButton* StripButton(QWidget& main, const char* name, TImage* sheet, const TRect& bounds, int sheetTop) {
  if (auto* existing = main.findChild<TGraphicButton*>(name)) return existing;
  return NewSheetButton(&main, name, sheet, sheetTop, ToQRect(bounds));
}

}  // namespace

TTemplateButtons::TTemplateButtons(QWidget& mainWindow, const TMainSettings& settings, TTemplateBase& templates)
    : QObject(&mainWindow), settings_(settings), templates_(templates), main_(mainWindow) {
  Sheet = main_.findChild<TImage*>("ImageTemplateButtons");
  if (!Sheet) {
    Sheet = new TImage(&main_);
    Sheet->setObjectName("ImageTemplateButtons");
    Sheet->hide();
  }
  const TTemplateStripDesign& d = kStrip1024;
  Prototype = StripButton(main_, "ButtonTemplateEtalon", Sheet,
                          Bounds(d.FirstSlot.X, d.FirstSlot.Y, d.ButtonWidth, d.ButtonHeight), 0);
  Prototype->hide();
  Prev = StripButton(main_, "ButtonTemplatePrev", Sheet, d.Prev, kTemplateStripPrevRow * d.ButtonHeight);
  Next = StripButton(main_, "ButtonTemplateNext", Sheet, d.Next, kTemplateStripNextRow * d.ButtonHeight);
  Prev->setToolTip(TermText("ButtonTemplatePrevHint", ""));
  Next->setToolTip(TermText("ButtonTemplateNextHint", ""));
  for (TGraphicButton* scroll : {Prev, Next}) {
    scroll->OnClick = [this, scroll] { Scroll(scroll == Next); };
    scroll->OnMouseDown = [this, scroll](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ScrollMouseDown(scroll); };
    scroll->OnMouseUp = [this](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ScrollMouseUp(); };
  }
  timer_.setSingleShot(false);
  connect(&timer_, &QTimer::timeout, this, [this] { TimerTimer(); });
}

TTemplateButtons::~TTemplateButtons() = default;

void TTemplateButtons::Build() {
  if (!Sheet->HasPicture()) {
    TBitmap32 sheet;
    if (LoadSkinBitmap(sheet, "TemplateButtons", "ButTempl.psd", true)) Sheet->SetPackedPicture(sheet);
  }
  for (TGraphicButton* button : Buttons) delete button;
  Buttons.clear();
  const TTemplateButtonsInfo info = ReadTemplateButtonsInfo([](std::string_view key) { return GetInterfaceValue(key); });
  for (const std::string& name : info.Names) {
    const QString qname = QString::fromStdString(name);
    TGraphicButton* button = main_.findChild<TGraphicButton*>(qname);
    if (!button) {
      button = new TGraphicButton(&main_);
      button->CopyFrom(*Prototype);
      button->setObjectName(qname);
      button->setGeometry(Prototype->geometry());
      button->setToolTip(TermText(name + "Hint", ""));
    }
    button->OnClick = [this, button] { ButtonTemplateClick(button); };
    Buttons.push_back(button);
  }
  Slots = info.Slots;
  Previews = info.Previews;
  strip_ = TTemplateStrip(int(Buttons.size()), int(Slots.size()));
  Prev->SetPressed(strip_.PrevPressed());
  Scroll(true);  // the first page
}

void TTemplateButtons::PlaceButtons() {
  for (int i = 0; i < int(Buttons.size()); ++i) {
    const int slot = strip_.SlotOf(i);
    TGraphicButton* button = Buttons[std::size_t(i)];
    if (slot >= 0) button->move(Slots[std::size_t(slot)].X, Slots[std::size_t(slot)].Y);
    button->setVisible(slot >= 0);
  }
}

bool TTemplateButtons::Scroll(bool next) {
  if (!(next ? strip_.Next() : strip_.Prev())) return false;
  Prev->SetPressed(strip_.PrevPressed());
  Next->SetPressed(strip_.NextPressed());
  PlaceButtons();
  return true;
}

TFormTemplates* TTemplateButtons::TheBrowser() {
  if (!Browser) Browser = StandingForm<TFormTemplates>("FormTemplates");
  if (!Browser) return nullptr;
  Browser->OnClosed = [this] { BrowserClosed(); };
  if (Desk) Browser->Desk = Desk;
  return Browser;
}

TFormMask* TTemplateButtons::TheModels() {
  if (!Models) Models = StandingForm<TFormMask>("FormMask");
  if (!Models) Models = new TFormMask(settings_, &main_);
  Models->OnClosed = [this] { BrowserClosed(); };
  if (Desk) Models->Desk = Desk;
  return Models;
}

void TTemplateButtons::ButtonTemplateClick(TGraphicButton* button) {
  const auto it = std::find(Buttons.begin(), Buttons.end(), button);
  if (it == Buttons.end()) return;
  const int index = int(it - Buttons.begin());
  const int type = button->Tag();
  // Type 0 opens the ready solutions, every other type the browser.
  QWidget* window = type == 0 ? static_cast<QWidget*>(TheModels()) : TheBrowser();
  if (!window) return;
  QWidget* other = type == 0 ? static_cast<QWidget*>(Browser.data()) : Models.data();
  if (index == PressedTemplateButton) {
    // A second click closes both windows, or brings a minimised one back.
    for (QWidget* shown : {static_cast<QWidget*>(Browser.data()), static_cast<QWidget*>(Models.data())}) {
      if (!shown || !shown->isVisible()) continue;
      if (shown->isMinimized())
        shown->showNormal();
      else
        shown->close();
    }
    return;
  }
  // The other window releases its button as it closes.
  if (other && other->isVisible()) other->close();
  TBusyCursor busy;
  TDisabledWindow disabled(main_);
  if (PressedTemplateButton >= 0 && PressedTemplateButton < int(Buttons.size()))
    Buttons[std::size_t(PressedTemplateButton)]->SetPressed(false);
  button->SetPressed(true);
  PressedTemplateButton = index;
  templates_.CurrentType = type;
  if (type == 0) {
    window->show();
    if (window->isMinimized()) window->showNormal();
    window->raise();
    return;
  }
  TFormTemplates* browser = TheBrowser();
  // The kind comes from the template types, read once before the first browser.
  if (templates_.Types.empty()) templates_.LoadTypes(settings_.Ini);
  const TPoint grid = TemplateGridOf(Previews, type);
  const std::string caption = TemplateCaptionOfHint(button->toolTip().toStdString(),
                                                    GetTerm("FormTemplatesCaption", ProgramTexts(), "Templates"));
  if (!browser->OpenForType(type, grid, caption, TemplateKindOf(type, templates_.Types))) {
    button->SetPressed(false);
    PressedTemplateButton = -1;
  }
}

void TTemplateButtons::BrowserClosed() {
  if (PressedTemplateButton >= 0 && PressedTemplateButton < int(Buttons.size()))
    Buttons[std::size_t(PressedTemplateButton)]->SetPressed(false);
  PressedTemplateButton = -1;
}

void TTemplateButtons::ScrollMouseDown(TGraphicButton* button) {
  timer_.start(repeat_.Press(button == Next ? 1 : 0));
}

void TTemplateButtons::ScrollMouseUp() {
  repeat_.Release();
  timer_.stop();
}

void TTemplateButtons::TimerTimer() {
  TGraphicButton* held = repeat_.Button() == 1 ? Next : Prev;
  // The held button still shows its pressed frame while the mouse stays on it.
  const bool stillPressed = repeat_.Button() >= 0 && held->Resource().Index() == held->Resource().AutoPressed;
  const int interval = repeat_.Tick(stillPressed, [this](int button) {
    Scroll(button == 1);
    QCoreApplication::processEvents();
  });
  if (interval == 0)
    timer_.stop();
  else
    timer_.setInterval(interval);
}
