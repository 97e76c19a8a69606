#include "shell/forms/FormScreen.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <xcb/xcb.h>

#include "platform/qt/VirtualKeys.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/ShellForms.h"

TFormScreen* FormScreen = nullptr;

// The backdrop stays below every window of the program: a click on it must not
// bring it over them. (A transient parent would not do: X11 windows of the
// ordinary kind carry none.)
TFormScreen::TFormScreen(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint) {
  setObjectName("FormScreen");
  setAttribute(Qt::WA_NoSystemBackground);
  SetServerPainted(true);
  setFocusPolicy(Qt::StrongFocus);
  IntroImage = new TMyImage(this);
  IntroImage->setObjectName("IntroImage");
  IntroImage->hide();
  IntroImage->OnClick = [this] { SkipIntro(); };
  IntroTimer.setSingleShot(true);  // its tick disables it
  OnClick = [this] { SkipIntro(); };
  RegisterScreenForm(this);
  SetBackdropWindow(this);
}

void TFormScreen::ShowOverScreen() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen) setGeometry(screen->geometry());
  show();
  repaint();
}

// While the backdrop shows only its colour the X server paints it (the window's
// background pixel), so Qt keeps no full-screen backing store for it; Qt paints
// it while an intro picture shows on it.
void TFormScreen::SetServerPainted(bool onServer) {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  setAttribute(Qt::WA_PaintOnScreen, onServer && connection);
  if (!testAttribute(Qt::WA_PaintOnScreen)) return;
  const uint32_t black = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->black_pixel;
  xcb_change_window_attributes(connection, xcb_window_t(winId()), XCB_CW_BACK_PIXEL, &black);
  xcb_clear_area(connection, 0, xcb_window_t(winId()), 0, 0, 0, 0);
  xcb_flush(connection);
}

QPaintEngine* TFormScreen::paintEngine() const { return nullptr; }

void TFormScreen::SkipIntro() {
  if (OnSkipIntro) OnSkipIntro();
}

void TFormScreen::paintEvent(QPaintEvent*) {
  // On screen it has no paint engine; grab() and render() still draw it.
  if (testAttribute(Qt::WA_PaintOnScreen) && !sharedPainter() && !redirected(nullptr)) return;
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
}

void TFormScreen::mouseReleaseEvent(QMouseEvent*) {
  if (OnClick) OnClick();
}

void TFormScreen::keyPressEvent(QKeyEvent* event) {
  int key = VirtualKeyOf(*event);
  if (OnKeyDown) OnKeyDown(key, ShiftStateOf(event->modifiers()));
  if (!event->text().isEmpty() || key == VK_ESCAPE) SkipIntro();
}

void TFormScreen::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  int key = VirtualKeyOf(*event);
  if (OnKeyUp) OnKeyUp(key, ShiftStateOf(event->modifiers()));
}

void TFormScreen::closeEvent(QCloseEvent* event) {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(canClose);
  if (!canClose) {
    event->ignore();
    return;
  }
  event->accept();
  TerminateApplication();
}

bool TFormScreen::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && OnActivate) OnActivate();
  return QWidget::event(event);
}
