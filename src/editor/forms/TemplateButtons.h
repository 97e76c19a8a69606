#pragma once
// The main window's template buttons: built from the interface (its list of
// names, slots and browser grids), paged through the slots by the two scroll
// buttons with auto-repeat, each opening the template browser for its type.
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <vector>

#include "editor/TemplateStrip.h"

class QWidget;
class TFormTemplates;
class TFormMask;
class TGraphicButton;
class TImage;
class ITemplateDesk;
struct TMainSettings;
struct TTemplateBase;

class TTemplateButtons : public QObject {
  Q_OBJECT

 public:
  // Works on `mainWindow`'s controls: the prototype "ButtonTemplateEtalon", the
  // scroll buttons "ButtonTemplatePrev" and "ButtonTemplateNext" and the sheet
  // "ImageTemplateButtons", each made with its designed place when the window
  // has none. The browsers it makes read `settings`; a click sets the current
  // type of `templates`.
  TTemplateButtons(QWidget& mainWindow, const TMainSettings& settings, TTemplateBase& templates);
  ~TTemplateButtons() override;

  // Makes the buttons the interface names (BuildTemplateButtons); the slots and
  // the grids come with them. Then the first page is shown.
  void Build();

  std::vector<TGraphicButton*> Buttons;  // TemplateButtons, in interface order
  std::vector<TPoint> Slots;              // TemplateBtnShowPos
  std::vector<TTemplatePreviewInfo> Previews;  // TemplatePreviewInfo
  TGraphicButton* Prev = nullptr;
  TGraphicButton* Next = nullptr;
  TGraphicButton* Prototype = nullptr;
  TImage* Sheet = nullptr;
  // Index into Buttons of the pressed button, -1 none.
  int PressedTemplateButton = -1;
  const TTemplateStrip& Strip() const { return strip_; }

  // The browser the buttons open (the standing one when null; without either the
  // buttons open none), and the desk it lays templates on.
  QPointer<TFormTemplates> Browser;
  // The ready solutions the button of type 0 opens (the standing one when null).
  QPointer<TFormMask> Models;
  ITemplateDesk* Desk = nullptr;

  void ButtonTemplateClick(TGraphicButton* button);
  // One scroll step; false at the end of the range.
  bool Scroll(bool next);
  // The browser was closed: no button stays pressed.
  void BrowserClosed();
  // The auto-repeat of a held scroll button.
  void ScrollMouseDown(TGraphicButton* button);
  void ScrollMouseUp();
  void TimerTimer();
  QTimer& Timer() { return timer_; }

 private:
  const TMainSettings& settings_;
  TTemplateBase& templates_;
  void PlaceButtons();
  TFormTemplates* TheBrowser();
  TFormMask* TheModels();

  QWidget& main_;
  TTemplateStrip strip_{0, 0};
  TAutoRepeat repeat_;
  QTimer timer_;
};
