#include "shell/forms/SoundHint.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include "picture/forms/BitmapImage.h"
#include "platform/FileIO.h"
#include "platform/Paths.h"
#include "platform/qt/MediaPlayer.h"
#include "shell/HintBubble.h"

namespace {
// Process-wide as the hints it shows: it filters the events of every window.
QPointer<TSoundHint> current;
constexpr int kMaxHintWidth = 300;
}  // namespace

TSoundHint::TSoundHint(QObject* owner) : QObject(owner), Font("Times New Roman", 9) {
  HintTextColor = QColor(0x00, 0x00, 0x80);  // the font's navy
  current = this;
  window_ = new TSoundHintWindow(*this);
  showTimer_.setSingleShot(true);
  hideTimer_.setSingleShot(true);
  connect(&showTimer_, &QTimer::timeout, this, &TSoundHint::ShowPending);
  connect(&hideTimer_, &QTimer::timeout, this, &TSoundHint::HideHint);
  qApp->installEventFilter(this);
}

TSoundHint::~TSoundHint() {
  if (current == this) current = nullptr;
  delete window_.data();
}

TSoundHint* TSoundHint::Current() { return current.data(); }

void TSoundHint::StopSound() {
  if (MyPlayer) MyPlayer->Stop();
}

void TSoundHint::PlayHintSound(const std::string& wave) {
  std::string folder = PathForWave.empty() ? ExecutableDir().string() : PathForWave;
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
  if (MyPlayer->Mode() != TMediaMode::Playing) {
    if (BgPlayer) BgPlayer->Pause();  // music pauses, so that it resumes where it was
  } else {
    MyPlayer->Stop();
  }
  IMediaPlayer* background = BgPlayer;
  const bool resume = SoundAfter;
  MyPlayer->SetOnFinished([background, resume] {
    if (resume && background) background->Play();
  });
  if (!MyPlayer->Open(ResolvePath(folder + wave))) {
    // A missing wave file speaks nothing; the music goes on at once.
    if (resume && background) background->Play();
    return;
  }
  MyPlayer->Play();
}

void TSoundHint::ActivateHint(const QPoint& at, const QString& hint) {
  THintParts parts = SplitHint(hint.toStdString(), Delimiter);
  if (parts.HasWave && MyPlayer && SoundEnabled) PlayHintSound(parts.Wave);
  QRect r = window_->CalcHintRect(kMaxHintWidth, hint);
  window_->ActivateHint(r.translated(at), hint);
  hideTimer_.start(HidePause);
}

void TSoundHint::HideHint() {
  hideTimer_.stop();
  if (window_) window_->hide();
}

void TSoundHint::ShowPending() {
  if (!hovered_ || !hovered_->isVisible() || hovered_->toolTip().isEmpty()) return;
  ActivateHint(QCursor::pos() + QPoint(0, 20), hovered_->toolTip());
}

void TSoundHint::Hover(QWidget* widget) {
  hovered_ = widget;
  hoveredHint_ = widget->toolTip();
  showTimer_.start(window_ && window_->isVisible() ? ShortPause : Pause);
}

bool TSoundHint::eventFilter(QObject* watched, QEvent* event) {
  if (current != this) return false;
  switch (event->type()) {
    case QEvent::ToolTip:
      return true;  // the bubble replaces the toolkit's own hint
    case QEvent::Enter:
      if (auto* w = qobject_cast<QWidget*>(watched)) {
        under_ = w;
        if (!w->toolTip().isEmpty()) Hover(w);
      }
      break;
    case QEvent::ToolTipChange:
      // A widget under the mouse got its hint now (a browser cell's name).
      if (auto* w = qobject_cast<QWidget*>(watched); w && (w == under_ || w->underMouse())) {
        // The same words again (a slider rebuilds its hint at every move) change nothing.
        if (w == hovered_ && w->toolTip() == hoveredHint_) break;
        if (!w->toolTip().isEmpty()) {
          Hover(w);
        } else if (w == hovered_) {
          showTimer_.stop();
          hovered_ = nullptr;
          HideHint();
        }
      }
      break;
    case QEvent::Leave:
      if (watched == under_) under_ = nullptr;
      if (watched == hovered_) {
        showTimer_.stop();
        hovered_ = nullptr;
        HideHint();
      }
      break;
    case QEvent::MouseButtonPress:
      showTimer_.stop();
      HideHint();
      break;
    default:
      break;
  }
  return false;
}

TSoundHintWindow::TSoundHintWindow(TSoundHint& owner)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), owner_(owner) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect TSoundHintWindow::CalcHintRect(int maxWidth, const QString& hint) const {
  QString text = QString::fromStdString(SplitHint(hint.toStdString(), owner_.Delimiter).Text);
  QRect bounds = QFontMetrics(owner_.Font).boundingRect(QRect(0, 0, maxWidth, 0), Qt::TextWordWrap, text);
  THintRect r = ScaleHintRect(bounds.width(), bounds.height(), owner_.Coefficient());
  return QRect(0, 0, r.Width, r.Height);
}

void TSoundHintWindow::ActivateHint(const QRect& rect, const QString& hint) {
  caption_ = QString::fromStdString(SplitHint(hint.toStdString(), owner_.Delimiter).Text);
  QScreen* screen = QGuiApplication::screenAt(rect.topLeft());
  if (!screen) screen = QGuiApplication::primaryScreen();
  QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  THintRect placed = PlaceHint({rect.left(), rect.top(), rect.width(), rect.height()}, area.right() + 1,
                               area.bottom() + 1, QCursor::pos().y());
  setGeometry(placed.Left, placed.Top, placed.Width, placed.Height);
  hide();  // the capture must not see the previous bubble
  QPixmap under = screen ? screen->grabWindow(0, placed.Left, placed.Top, placed.Width, placed.Height) : QPixmap();
  QImage image = under.isNull() ? QImage() : under.toImage();
  if (image.size() != QSize(placed.Width, placed.Height)) {
    image = QImage(placed.Width, placed.Height, QImage::Format_ARGB32);
    image.fill(Qt::white);
  }
  bubble_ = BitmapFromImage(image);
  BlendHintBubble(bubble_, owner_.HintBgColor.rgb() & 0xFFFFFF);
  show();
  raise();
  update();
}

void TSoundHintWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!bubble_.Empty()) painter.drawImage(0, 0, ImageView(bubble_));
  painter.setFont(owner_.Font);
  painter.setPen(owner_.HintTextColor);
  painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, caption_);
}
