#include "shell/forms/GraphicButton.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "picture/forms/BitmapImage.h"
#include "platform/Text.h"
#include "shell/TransparencyError.h"
#include "shell/forms/Image.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/SkinnedForm.h"

// ---------------------------------------------------------------- resource

TGraphicResource::TGraphicResource(TGraphicButton* owner) : owner_(owner) { GraphicNotificator().Add(this); }

TGraphicResource::~TGraphicResource() { GraphicNotificator().Remove(this); }

namespace {
template <typename T>
bool Store(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}
}  // namespace

void TGraphicResource::SetRows(int value) { if (Store(grid_.Rows, value)) Changed(); }
void TGraphicResource::SetCols(int value) { if (Store(grid_.Cols, value)) Changed(); }
void TGraphicResource::SetLeft(int value) { if (Store(grid_.Left, value)) Changed(); }
void TGraphicResource::SetTop(int value) { if (Store(grid_.Top, value)) Changed(); }
void TGraphicResource::SetWidth(int value) { if (Store(grid_.Width, value)) Changed(); }
void TGraphicResource::SetHeight(int value) { if (Store(grid_.Height, value)) Changed(); }
void TGraphicResource::SetColor(std::uint32_t value) { if (Store(color_, value)) Changed(); }

void TGraphicResource::SetIndex(int value) {
  if (value < 0 || value == index_) return;
  if (owner_) owner_->IndexChanging();
  index_ = value;
  Changed();
  if (owner_) owner_->IndexChanged(value);
}

void TGraphicResource::SetImage(TImage* image) {
  if (image_ == image) return;
  image_ = image;
  if (image) GraphicNotificator().Watch(image);
  Changed();
}

const TBitmap32* TGraphicResource::Sheet() const {
  if (!HasSheet()) return nullptr;
  return &image_->Picture();
}

void TGraphicResource::SetDesignedStates() {
  SetRows(1);
  SetCols(3);
  AutoNormal = 0;
  AutoEnter = 1;
  AutoPressed = 2;
  AutoLeave = 0;
}

void TGraphicResource::Assign(const TGraphicResource& other) {
  AutoEnter = other.AutoEnter;
  AutoLeave = other.AutoLeave;
  AutoNormal = other.AutoNormal;
  AutoPressed = other.AutoPressed;
  SetRows(other.Rows());
  SetCols(other.Cols());
  SetLeft(other.Left());
  SetTop(other.Top());
  SetWidth(other.Width());
  SetHeight(other.Height());
  SetIndex(other.Index());
  SetColor(other.Color());
  SetImage(other.Image());
}

void TGraphicResource::Changed() {
  if (OnChange) OnChange();
}

// ---------------------------------------------------------------- notifier

TGraphicNotificator& GraphicNotificator() {
  // The registry of live button resources across every window: each adds and
  // removes itself as it lives.
  static TGraphicNotificator notificator;
  return notificator;
}

void TGraphicNotificator::Add(TGraphicResource* resource) { resources_.push_back(resource); }

void TGraphicNotificator::Remove(TGraphicResource* resource) { std::erase(resources_, resource); }

void TGraphicNotificator::Watch(TImage* image) {
  std::erase_if(watched_, [](const QPointer<TImage>& p) { return p.isNull(); });
  if (std::find(watched_.begin(), watched_.end(), image) != watched_.end()) return;
  watched_.emplace_back(image);
  QObject::connect(image, &TImage::PictureChanged, image, [image] { GraphicNotificator().PictureChanged(image); });
}

void TGraphicNotificator::PictureChanged(const TImage* image) {
  // A handler may create or free buttons: walk a copy and skip what has gone.
  const std::vector<TGraphicResource*> snapshot = resources_;
  for (TGraphicResource* resource : snapshot) {
    if (std::find(resources_.begin(), resources_.end(), resource) == resources_.end()) continue;
    if (resource->Image() != image) continue;
    // A window reloads its sheet with its skin: what lies beneath changed too.
    if (resource->Owner()) resource->Owner()->DropBackground();
    if (resource->OnChange) resource->OnChange();
  }
}

// ---------------------------------------------------------------- button

TGraphicButton::TGraphicButton(QWidget* parent) : QWidget(parent), resource_(this) {
  resize(32, 32);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resource_.OnChange = [this] { ResourceChanged(); };
  connect(&timer_, &QTimer::timeout, this, &TGraphicButton::OnTimer);
}

TGraphicButton::~TGraphicButton() {
  timer_.stop();
  resource_.OnChange = nullptr;
}

void TGraphicButton::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Invalidate();
}

void TGraphicButton::SetPressed(bool pressed) {
  if (pressed == pressed_) return;
  pressed_ = pressed;
  const bool inside = rect().contains(lastMouse_);
  if (pressed)
    ShowFrame(resource_.AutoPressed);
  else
    ShowFrame(inside && resource_.AutoEnter != -1 ? resource_.AutoEnter : resource_.AutoNormal);
  Invalidate();
}

void TGraphicButton::SetTransparency(int value) {
  if (value == transparency_) return;
  CheckTransparency(value);
  transparency_ = savedTransparency_ = value;
  Invalidate();
}

void TGraphicButton::SetActiveAlpha(int value) { activeAlpha_ = std::clamp(value, 0, 255); }

void TGraphicButton::SetColor(std::uint32_t color) {
  if (color == color_) return;
  color_ = color;
  Invalidate();
}

int TGraphicButton::Tag() const { return property("Tag").toInt(); }
void TGraphicButton::SetTag(int tag) { setProperty("Tag", tag); }

TRect TGraphicButton::FrameInSheet() const {
  return FrameRect(resource_.Grid(), resource_.Index(), width(), height());
}

bool TGraphicButton::HitTest(int x, int y) const {
  if (!resource_.HasSheet()) return false;
  return resource_.Image()->ReadPicture([&](const auto& sheet) {
    return FrameHitTest(sheet, FrameInSheet(), width(), height(), x, y, activeAlpha_);
  });
}

void TGraphicButton::CopyFrom(const TGraphicButton& other) {
  resource_.Assign(other.resource_);
  SetCaption(other.caption_);
  Link = other.Link;
  SetPressed(other.pressed_);
  SetTransparency(other.savedTransparency_);
  TimerMouseDown = other.TimerMouseDown;
  OnClick = other.OnClick;
  OnDblClick = other.OnDblClick;
  OnMouseEnter = other.OnMouseEnter;
  OnMouseLeave = other.OnMouseLeave;
  OnMouseDown = other.OnMouseDown;
  OnMouseMove = other.OnMouseMove;
  OnMouseUp = other.OnMouseUp;
  OnPaint = other.OnPaint;
  setFont(other.font());
  SetColor(other.color_);
  // The button's own state, not its window's: a copy made while a modal window
  // disables the model's window would stay disabled for good.
  setEnabled(!other.testAttribute(Qt::WA_ForceDisabled));
  setToolTip(other.toolTip());
  setProperty("Tag", other.property("Tag"));
  resize(other.size());
  // Without a parent a shown widget would become a window of its own.
  if (parentWidget()) setVisible(!other.isHidden());
}

bool TGraphicButton::SetInterfaceParam(const std::string& param, const std::string& value) {
  const std::optional<int> n = ParseInt(value);
  if (!n) return false;
  if (param == "RESLEFT") resource_.SetLeft(*n);
  else if (param == "RESTOP") resource_.SetTop(*n);
  else if (param == "RESWIDTH") resource_.SetWidth(*n);
  else if (param == "RESHEIGHT") resource_.SetHeight(*n);
  else if (param == "ACTIVEALPHA") SetActiveAlpha(*n);
  else return false;
  return true;
}

void TGraphicButton::InterfaceApplied() {
  resource_.SetWidth(width());
  resource_.SetHeight(height());
}

void TGraphicButton::Loaded() { IndexChanged(resource_.Index()); }

const TBitmap32& TGraphicButton::Buffer() {
  if (needsRender_) {
    RenderBuffer();
    needsRender_ = false;
  }
  return buffer_;
}

void TGraphicButton::Invalidate() {
  needsRender_ = true;
  update();
}

void TGraphicButton::SetBackground(TBitmap32 background) {
  background_ = std::move(background);
  needsRender_ = true;
}

void TGraphicButton::DropBackground() {
  background_.Reset();
  Invalidate();
}

void TGraphicButton::ResourceChanged() { Invalidate(); }

void TGraphicButton::IndexChanging() {
  if (timer_.isActive() && fade_.Active()) fade_.RequestStop();
}

void TGraphicButton::IndexChanged(int index) {
  if (index >= 0 && index < int(StateEffects.size()) && StateEffects[std::size_t(index)] == seFading) StartFade();
}

void TGraphicButton::StartFade() {
  transparency_ = fade_.Start(FadingEffect, savedTransparency_);
  Invalidate();
  timer_.setInterval(std::max(FadingEffect.feInterval, 1));
  timer_.start();
}

void TGraphicButton::OnTimer() {
  if (inTick_) return;
  inTick_ = true;
  if (fade_.Active()) {
    transparency_ = fade_.Tick(transparency_);
    Invalidate();
    if (!fade_.Active()) timer_.stop();
  } else {
    timer_.stop();  // the one-shot mouse-down timer
  }
  inTick_ = false;
}

// ---------------------------------------------------------------- rendering

TBitmap32 TGraphicButton::MakeFrame(int width, int height, bool recolor) const {
  if (!resource_.HasSheet()) {
    return TBitmap32(width, height, Color32(std::uint8_t(color_), std::uint8_t(color_ >> 8),
                                            std::uint8_t(color_ >> 16)));
  }
  TBitmap32 frame = resource_.Image()->ReadPicture(
      [&](const auto& sheet) { return ExtractFrame(sheet, FrameInSheet(), width, height); });
  if (recolor) RecolorFrame(frame, resource_.Color());
  return frame;
}

void TGraphicButton::DrawCaption(TBitmap32& frame) const {
  if (caption_.isEmpty() || frame.Empty()) return;
  QImage view = WritableImageView(frame);
  QPainter painter(&view);
  painter.setFont(font());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.setClipRect(0, 0, frame.Width(), frame.Height());
  const QFontMetrics metrics(font());
  const int left = (frame.Width() - metrics.horizontalAdvance(caption_)) / 2;
  const int top = (frame.Height() - metrics.height()) / 2;
  painter.drawText(left, top + metrics.ascent(), caption_);
}

TBitmap32 TGraphicButton::SnapshotBackground() {
  TBitmap32 snapshot(width(), height(), 0);
  QImage view = WritableImageView(snapshot);
  if (view.isNull()) return snapshot;
  QWidget* parent = parentWidget();
  // A parent that paints nothing of its own still shows its background colour.
  view.fill(parent ? parent->palette().color(parent->backgroundRole()) : palette().color(QPalette::Window));
  if (!parent) return snapshot;
  QPainter painter(&view);
  parent->render(&painter, QPoint(0, 0), QRegion(geometry()), QWidget::DrawWindowBackground);
  for (QObject* child : parent->children()) {
    if (child == this) break;
    auto* sibling = qobject_cast<QWidget*>(child);
    if (!sibling || sibling->isWindow() || !sibling->isVisible() || !sibling->geometry().intersects(geometry()))
      continue;
    sibling->render(&painter, sibling->pos() - pos(), QRegion(),
                    QWidget::DrawWindowBackground | QWidget::DrawChildren);
  }
  return snapshot;
}

void TGraphicButton::RenderBuffer() {
  const bool blending = resource_.Color() != clNone || transparency_ != 0;
  if (blending && background_.Empty()) background_ = SnapshotBackground();
  TBitmap32 frame = MakeFrame(width(), height(), true);
  DrawCaption(frame);
  buffer_ = ComposeButtonBuffer(background_, frame, blending, SheetUsable(), transparency_);
}

void TGraphicButton::paintEvent(QPaintEvent*) {
  Buffer();
  if (buffer_.Empty()) return;
  if (OnPaint) {
    QImage view = WritableImageView(buffer_);
    QPainter bufferPainter(&view);
    OnPaint(this, bufferPainter);
  }
  QPainter painter(this);
  painter.drawImage(0, 0, ImageView(buffer_));
}

// ---------------------------------------------------------------- mouse

void TGraphicButton::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton && StatesActive() && HitTest(p.x(), p.y())) {
    mouseDown_ = true;
    ShowFrame(resource_.AutoPressed);
    if (TimerMouseDown > 0) {
      timer_.setInterval(TimerMouseDown * 4);
      timer_.start();
    }
  }
  if (OnMouseDown) OnMouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TGraphicButton::mouseDoubleClickEvent(QMouseEvent* event) {
  doubleClicked_ = true;
  QPointer<TGraphicButton> self(this);
  mousePressEvent(event);
  if (self && OnDblClick) OnDblClick();
}

void TGraphicButton::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (p != lastMouse_ && rect().contains(p) && SheetUsable() && StatesActive()) {
    if (HitTest(p.x(), p.y())) {
      const int target = mouseDown_ ? resource_.AutoPressed : resource_.AutoEnter;
      if (target != resource_.Index()) ShowFrame(target);
    } else if (!mouseDown_ && resource_.AutoNormal != resource_.Index()) {
      ShowFrame(resource_.AutoNormal);
    }
  }
  lastMouse_ = p;
  if (OnMouseMove) OnMouseMove(event->modifiers(), p.x(), p.y());
}

void TGraphicButton::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  QPointer<TGraphicButton> self(this);
  if (event->button() == Qt::LeftButton) {
    mouseDown_ = false;
    const bool inside = rect().contains(p);
    const bool hit = HitTest(p.x(), p.y());
    if (inside && StatesActive())
      ShowFrame(resource_.AutoEnter == -1 || !hit ? resource_.AutoNormal : resource_.AutoEnter);
    const bool click = inside && hit && !doubleClicked_;
    doubleClicked_ = false;
    if (click && OnClick) OnClick();
    if (!self) return;  // the click closed the window that held the button
  }
  if (OnMouseUp) OnMouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void TGraphicButton::enterEvent(QEnterEvent*) {
  if (OnMouseEnter) OnMouseEnter();
}

void TGraphicButton::leaveEvent(QEvent*) {
  // Repainted by the next paint; running the event queue from here could free the button.
  if (StatesActive()) ShowFrame(resource_.AutoLeave);
  lastMouse_ = QPoint(-1, -1);
  if (OnMouseLeave) OnMouseLeave();
}

void TGraphicButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    // A modal window disables the button's window: the mouse may have left it
    // meanwhile, and its caption took the disabled colour.
    if (isEnabled() && !pressed_ && !mouseDown_ && !underMouse()) ShowFrame(resource_.AutoNormal);
    Invalidate();
  } else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
    Invalidate();
  }
  QWidget::changeEvent(event);
}

void TGraphicButton::moveEvent(QMoveEvent*) { DropBackground(); }

void TGraphicButton::resizeEvent(QResizeEvent*) { DropBackground(); }

TGraphicButton* NewSheetButton(QWidget* parent, const QString& name, TImage* sheet, int sheetTop, const QRect& bounds) {
  auto* button = new TGraphicButton(parent);
  button->setObjectName(name);
  TGraphicResource& r = button->Resource();
  r.SetImage(sheet);
  r.SetDesignedStates();
  r.SetTop(sheetTop);
  button->setGeometry(bounds);
  return button;
}

TGraphicButton* NewExitButton(QWidget* parent, TImage* sheet, int sheetTop, const QRect& bounds) {
  TGraphicButton* button = NewSheetButton(parent, "ButtonExit", sheet, sheetTop, bounds);
  TakeMainWindowLooks(*button);
  return button;
}

bool TakeMainWindowLooks(TGraphicButton& button) {
  auto* form = qobject_cast<TSkinnedForm*>(button.window());
  QWidget* main = form ? form->LayoutFrame() : nullptr;
  auto* model = main ? main->findChild<TGraphicButton*>(button.objectName()) : nullptr;
  if (!model || model == &button) return false;
  const QRect place = button.geometry();
  button.CopyFrom(*model);
  button.setGeometry(place);
  return true;
}

namespace {
void SetButtonPressed(QWidget* window, std::string_view button, bool pressed) {
  auto* control = window ? window->findChild<TGraphicButton*>(QString::fromUtf8(button.data(), qsizetype(button.size())))
                         : nullptr;
  if (control) control->SetPressed(pressed);
}
}  // namespace

void SetWindowButtonPressed(std::string_view window, std::string_view button, bool pressed) {
  SetButtonPressed(FindScreenForm(window), button, pressed);
}

void SetFrameButtonPressed(const TSkinnedForm& form, std::string_view button, bool pressed) {
  SetButtonPressed(form.LayoutFrame(), button, pressed);
}
