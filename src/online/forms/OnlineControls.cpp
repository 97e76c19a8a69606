#include "online/forms/OnlineControls.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QProgressBar>
#include <QTimer>

#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/SkinnedForm.h"

void BuildOnlineFrame(TSkinnedForm& form, const TOnlineFrameDesign& design, TMyImage*& imageButtons,
                      TCaptionBar*& captionBar, TGraphicButton*& buttonExit) {
  form.resize(design.Width, design.Height);
  if (design.FromMain) form.PlaceFromFrame(*design.FromMain);
  imageButtons = NewButtonSheet(form);
  captionBar = NewCaptionBar(form, design.Width, design.CaptionHeight);
  buttonExit = new TGraphicButton(captionBar);
  buttonExit->setObjectName("ButtonExit");
  buttonExit->setGeometry(design.ExitLeft, 0, 19, 20);
  TakeMainWindowLooks(*buttonExit);
  buttonExit->OnClick = [&form] { form.close(); };
}

QProgressBar* NewProgressBar(QWidget* parent, const char* name, QRect bounds) {
  auto* bar = new QProgressBar(parent);
  bar->setObjectName(name);
  bar->setGeometry(bounds);
  bar->setTextVisible(false);
  return bar;
}

QLabel* NewOnlineLabel(QWidget* parent, const char* name, QRect bounds) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setGeometry(bounds);
  UseWellTextColour(label);
  return label;
}

void UseWellTextColour(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, QColor(225, 230, 236));
  widget->setPalette(palette);
}

QTimer* NewProgressTimer(QWidget* parent, QProgressBar* bar) {
  auto* timer = new QTimer(parent);
  timer->setObjectName("Timer1");
  timer->setInterval(1000);
  QObject::connect(timer, &QTimer::timeout, bar, [bar] { bar->setValue((bar->value() + 1) % 100); });
  return timer;
}

QString ProgressText(const QString& name, std::int64_t received, std::int64_t total) {
  return name + ": " + QString::number(received) + " / " + QString::number(total);
}

void TPreviewLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && OnDoubleClick) OnDoubleClick();
}
