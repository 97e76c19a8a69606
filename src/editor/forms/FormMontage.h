#pragma once
// The montage desk window "FormMontage": a plain borderless child of the main
// window at (DesktopWindowX, DesktopWindowY), shaped by its skin, showing the desk
// model's screen bitmap. Mouse events go to the current desk tool, keys to the main
// window's key handlers (F1 opens the desk's help page), and the layer popup menu
// is built here with its captions from the text table.
#include <QWidget>
#include <array>
#include <memory>

#include "editor/DeskMouseTools.h"
#include "editor/DeskTool.h"
#include "editor/MontageDesk.h"

class QAction;
class QMenu;

class TFormMontage : public QWidget, public IDeskView {
 public:
  // `mainWindow` becomes the parent (any widget until the main window exists).
  TFormMontage(IDeskOwner& owner, QWidget* mainWindow);
  ~TFormMontage() override;

  TMontageDesk& Desk() { return desk_; }
  // The tool the mouse drives; nullptr restores the basic select tool. Not owned.
  // The mouse drives the editing tools by the main window's desk mode; `owner`
  // must outlive the window.
  void UseMouseTools(IDeskToolOwner& owner);
  TDeskMouseTools* MouseTools() { return mouseTools_.get(); }
  QMenu& PopupMenu() { return *popup_; }
  // Shows exactly the popup items the layer at PopupLayerIndex allows.
  void PreparePopup();

  // IDeskView
  void ShowRect(const TRect& rect) override;
  bool IsShown() const override { return isVisible(); }
  void SetBusyCursor(bool busy) override;
  void ProcessMessages() override;
  void OpenPopup(TPoint windowPoint) override;
  // The layer menu (for the desk's PopupLayerIndex) at a screen point: the layers
  // list opens it for its rows.
  void OpenPopupAtScreen(const QPoint& globalPos);
  void SetDeskCursor(int cursor) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildPopup();

  TMontageDesk desk_;
  TDeskSelectTool selectTool_;
  TDeskTool* tool_;
  std::unique_ptr<TDeskMouseTools> mouseTools_;
  QMenu* popup_ = nullptr;
  std::array<QAction*, 6> items_{};
  TBitmap32 skin_;
};
