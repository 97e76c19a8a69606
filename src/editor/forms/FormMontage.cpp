#include "editor/forms/FormMontage.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "picture/forms/BitmapImage.h"
#include "platform/qt/VirtualKeys.h"
#include "shell/Termins.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace {

constexpr std::uint32_t kShapeKey = 0x00FF00;

struct TPopupItem {
  const char* Name;
  const char* Key;
  const char* Default;
  TDeskPopupAction Action;
};

// In menu order.
constexpr std::array<TPopupItem, 6> kPopupItems{{
    {"PopupLayerShow", "PopupLayerShowHint", "Show", TDeskPopupAction::Show},
    {"PopupLayerHide", "PopupLayerHideHint", "Hide", TDeskPopupAction::Hide},
    {"PopupLayerMoveTop", "PopupLayerMoveTopHint", "Bring to front", TDeskPopupAction::MoveTop},
    {"PopupLayerMoveBottom", "PopupLayerMoveBottomHint", "Send to back", TDeskPopupAction::MoveBottom},
    {"PopupLayerDelete", "PopupLayerDeleteHint", "Delete", TDeskPopupAction::Delete},
    {"PopupLayerShowCatalog", "PopupLayerShowCatalogHint", "Show catalog info", TDeskPopupAction::ShowCatalog},
}};

TDeskButton ButtonOf(Qt::MouseButton button) {
  if (button == Qt::RightButton) return TDeskButton::Right;
  if (button == Qt::MiddleButton) return TDeskButton::Middle;
  return TDeskButton::Left;
}

TDeskMouse MouseOf(const QMouseEvent& event, bool moving) {
  TDeskMouse mouse;
  const Qt::MouseButtons held = event.buttons();
  if (moving) {
    mouse.ButtonHeld = held != Qt::NoButton;
    mouse.Button = held & Qt::LeftButton    ? TDeskButton::Left
                   : held & Qt::RightButton ? TDeskButton::Right
                                            : TDeskButton::Middle;
  } else {
    mouse.Button = ButtonOf(event.button());
    mouse.ButtonHeld = held != Qt::NoButton;
  }
  const Qt::KeyboardModifiers keys = event.modifiers();
  mouse.Shift = keys & Qt::ShiftModifier;
  mouse.Ctrl = keys & Qt::ControlModifier;
  mouse.Alt = keys & Qt::AltModifier;
  const QPoint at = event.position().toPoint();
  mouse.Window = {at.x(), at.y()};
  return mouse;
}

}  // namespace

TFormMontage::TFormMontage(IDeskOwner& owner, QWidget* mainWindow)
    : QWidget(mainWindow), desk_(owner), selectTool_(desk_), tool_(&selectTool_) {
  setObjectName("FormMontage");
  setProperty("HelpTopic", "FormMontage");  // F1 while the desk has the focus
  setWindowTitle(QGuiApplication::applicationDisplayName());
  // The desk paints every pixel itself: no background erase.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
  setMouseTracking(true);
  desk_.SetView(this);
  desk_.ClearWarpField();
  BuildPopup();
}

TFormMontage::~TFormMontage() { desk_.SetView(nullptr); }

void TFormMontage::BuildPopup() {
  popup_ = new QMenu(this);
  popup_->setObjectName("PopupMenu");
  for (std::size_t i = 0; i < kPopupItems.size(); ++i) {
    const TPopupItem& item = kPopupItems[i];
    QAction* action = popup_->addAction(TermText(item.Key, item.Default));
    action->setObjectName(item.Name);
    connect(action, &QAction::triggered, this, [this, item] { desk_.PopupCommand(item.Action); });
    items_[i] = action;
  }
  connect(popup_, &QMenu::aboutToShow, this, &TFormMontage::PreparePopup);
}

void TFormMontage::PreparePopup() {
  const TDeskPopupItems shown = desk_.PopupItems();
  const std::array<bool, 6> visible{shown.Show, shown.Hide, shown.MoveTop, shown.MoveBottom, shown.Delete,
                                    shown.ShowCatalog};
  for (std::size_t i = 0; i < items_.size(); ++i) items_[i]->setVisible(visible[i]);
}

void TFormMontage::OpenPopup(TPoint windowPoint) { OpenPopupAtScreen(mapToGlobal(QPoint(windowPoint.X, windowPoint.Y))); }

void TFormMontage::OpenPopupAtScreen(const QPoint& globalPos) {
  PreparePopup();
  popup_->popup(globalPos);
}

void TFormMontage::UseMouseTools(IDeskToolOwner& owner) {
  mouseTools_ = std::make_unique<TDeskMouseTools>(desk_, owner);
  tool_ = mouseTools_.get();
}

void TFormMontage::SetDeskCursor(int cursor) { SetProgramCursor(*this, cursor); }

void TFormMontage::ShowRect(const TRect& rect) { update(rect.Left, rect.Top, rect.Width(), rect.Height()); }

void TFormMontage::SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void TFormMontage::ProcessMessages() { QCoreApplication::processEvents(); }

void TFormMontage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  const TDeskGeometry& g = desk_.DeskGeometry();
  setGeometry(g.DesktopWindowX, g.DesktopWindowY, g.DesktopWindowWidth, g.DesktopWindowHeight);
  LoadSkinBitmap(skin_, "FormMontage.Skin", "", false);
  if (skin_.Empty())
    clearMask();
  else
    SetControlShape(*this, skin_, kShapeKey);
  desk_.RefreshAll();
}

void TFormMontage::paintEvent(QPaintEvent* event) {
  const TBitmap32& screen = desk_.ScreenBitmap();
  if (screen.Empty()) return;
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(event->rect(), ImageView(screen), event->rect());
}

void TFormMontage::keyPressEvent(QKeyEvent* event) {
  int key = VirtualKeyOf(*event);
  // F1 is the window's help key (its shortcut, or its own key handling where no
  // window is active), asking for the desk's page while the desk has the focus.
  if (key == VK_F1 && event->modifiers() == Qt::NoModifier) return event->ignore();
  if (key != 0 && ShellHooks().MainKeyDown) ShellHooks().MainKeyDown(key, ShiftStateOf(event->modifiers()));
}

void TFormMontage::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  int key = VirtualKeyOf(*event);
  const int shift = ShiftStateOf(event->modifiers());
  if (key == VK_F1 && shift == 0) return event->ignore();  // help, by the window (see keyPressEvent)
  if (key != 0 && ShellHooks().MainKeyUp) ShellHooks().MainKeyUp(key, shift);
}

void TFormMontage::mousePressEvent(QMouseEvent* event) { tool_->MouseDown(MouseOf(*event, false)); }

void TFormMontage::mouseMoveEvent(QMouseEvent* event) {
  if (desk_.InMouseMove) return;
  desk_.InMouseMove = true;
  tool_->MouseMove(MouseOf(*event, true));
  desk_.InMouseMove = false;
}

void TFormMontage::mouseReleaseEvent(QMouseEvent* event) { tool_->MouseUp(MouseOf(*event, false)); }

void TFormMontage::hideEvent(QHideEvent* event) {
  // A drag cannot outlive the window: its release would never come.
  if (mouseTools_) mouseTools_->CancelGesture();
  QWidget::hideEvent(event);
}
