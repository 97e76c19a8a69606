#include "shell/forms/FormScreen.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "platform/qt/VirtualKeys.h"
#include "shell/ShellGlobals.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/ShellForms.h"

TFormScreen* FormScreen = nullptr;

// The backdrop stays below every window of the program: a click on it must not
// bring it over them. (A transient parent would not do: X11 windows of the
// ordinary kind carry none.)
TFormScreen::TFormScreen(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint) {
  setObjectName("FormScreen");
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::black);
  setPalette(p);
  setAutoFillBackground(true);
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

void TFormScreen::SkipIntro() { IntroSkipped = true; }

void TFormScreen::paintEvent(QPaintEvent*) {
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
