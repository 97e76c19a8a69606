#include "shell/forms/LogoForm.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "platform/qt/MediaPlayer.h"

TLogoForm::TLogoForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), player_(CreateMediaPlayer()) {
  setObjectName("LogoForm");
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::black);
  setPalette(p);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus);
  if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
}

TLogoForm::~TLogoForm() = default;

QRect TLogoForm::VideoRect() const {
  return QRect((width() - VideoWidth) / 2, (height() - VideoHeight) / 2, VideoWidth, VideoHeight);
}

void TLogoForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  started_ = false;
  player_->Open(VideoFileName);  // a clip that does not open is passed over by the caller
  player_->SetDisplay(this, VideoRect());
  grabMouse();
  setFocus();
}

void TLogoForm::hideEvent(QHideEvent* event) {
  player_->Close();
  releaseMouse();
  QWidget::hideEvent(event);
}

void TLogoForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  // The first paint after showing starts the clip.
  if (!started_) {
    started_ = true;
    player_->Play();
  }
}

void TLogoForm::Skip() {
  player_->Stop();
  if (OnSkip) OnSkip();
}

void TLogoForm::mouseReleaseEvent(QMouseEvent*) { Skip(); }
void TLogoForm::keyPressEvent(QKeyEvent*) { Skip(); }
