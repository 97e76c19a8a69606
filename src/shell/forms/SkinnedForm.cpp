#include "shell/forms/SkinnedForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QVariant>
#include <utility>
#include <vector>

#include "picture/forms/BitmapImage.h"
#include "platform/Memory.h"
#include "platform/qt/VirtualKeys.h"
#include "shell/Termins.h"
#include "shell/WindowPlacement.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace {
bool IsAnyOf(const QWidget* w, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names)
    if (HasName(w, n)) return true;
  return false;
}

TCaptionBar* CaptionBarOf(QWidget& form) { return form.findChild<TCaptionBar*>(QString(), Qt::FindDirectChildrenOnly); }
}  // namespace

TWindowSkin::operator const TBitmap32&() const {
  if (unpacked_.Empty()) unpacked_ = Unpacked();
  return unpacked_;
}

TSkinnedForm::TSkinnedForm(const QString& name, QWidget* owner)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint),
      owner_(owner),
      ownerAtShow_(!owner) {
  setObjectName(name);
  setFocusPolicy(Qt::StrongFocus);
  RegisterScreenForm(this);
  // A shortcut of the window: F1 whatever control has the focus, a text field
  // included, which would take the key itself.
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, [this] { AskForHelp(); });
}

void TSkinnedForm::AskForHelp() {
  // The help window has a page of its own too (how to use it); the message box
  // is answered, not explained.
  if (!HasName(this, "FormMessage") && ShellHooks().ShowHelp) ShellHooks().ShowHelp(HelpTopic());
}

std::string TSkinnedForm::HelpTopic() const {
  // A control may name a page of its own (the desk).
  for (const QWidget* at = focusWidget(); at && at != this; at = at->parentWidget())
    if (const QVariant topic = at->property("HelpTopic"); topic.isValid()) return topic.toString().toStdString();
  return Topic();
}

TSkinnedForm::~TSkinnedForm() { EnableDisabledForms(); }

std::string TSkinnedForm::Topic() const { return Name(); }

namespace {
// The window the backdrop owns (the main window), where a window with nothing to
// open over goes.
QWidget* BackdropsWindow() {
  for (QWidget* form : ScreenForms()) {
    auto* skinned = qobject_cast<TSkinnedForm*>(form);
    if (skinned && skinned->Owner() && skinned->Owner() == BackdropWindow() && skinned->isVisible()) return skinned;
  }
  return nullptr;
}
constexpr int kOwnerChainLimit = 32;  // owners lead to the backdrop long before
}  // namespace

QWidget* OpeningWindow(const QWidget* except) {
  if (QWidget* modal = InnermostSkinnedModal(except)) return modal;
  QWidget* active = QApplication::activeWindow();
  if (active && active != except && active != BackdropWindow() && active->isVisible()) return active;
  QWidget* main = BackdropsWindow();
  return main != except ? main : nullptr;
}

bool TSkinnedForm::KeepsAbove(const QWidget* window) const {
  const QWidget* at = this;
  for (int depth = 0; at && depth < kOwnerChainLimit; ++depth) {
    const auto* form = qobject_cast<const TSkinnedForm*>(at);
    at = form ? form->keptAbove_.data() : nullptr;
    if (at == window) return true;
  }
  return false;
}

QWidget* TSkinnedForm::KeptAbove() const {
  QWidget* owner = owner_;
  for (int depth = 0; owner && owner != this && depth < kOwnerChainLimit; ++depth) {
    auto* form = qobject_cast<TSkinnedForm*>(owner);
    // A window kept above this one cannot be this one's owner too.
    if (owner->isVisible() && !(form && form->KeepsAbove(this))) return owner;
    owner = form ? form->Owner() : nullptr;
  }
  return BackdropWindow() != this ? BackdropWindow() : nullptr;
}

QWidget* TSkinnedForm::LayoutFrame() const {
  QWidget* at = owner_ ? owner_.data() : OpeningWindow(this);
  for (int depth = 0; at && depth < kOwnerChainLimit; ++depth) {
    auto* form = qobject_cast<TSkinnedForm*>(at);
    if (!form || !form->Owner() || form->Owner() == BackdropWindow() || form->Owner() == at) break;
    at = form->Owner();
  }
  return at != BackdropWindow() && at != this ? at : nullptr;
}

void TSkinnedForm::PlaceFromFrame(QPoint offset) {
  const QWidget* frame = LayoutFrame();
  if (!frame) return;
  frameOffset_ = offset;
  PlaceFromCorner(frame->pos());
}

void TSkinnedForm::PlaceFromCorner(QPoint frameCorner) {
  const QWidget* frame = LayoutFrame();
  if (!frameOffset_ || !frame) return;
  const QScreen* screen = frame->screen() ? frame->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect();
  const TPoint place = PlaceBesideFrame({frameCorner.x(), frameCorner.y()}, {frameOffset_->x(), frameOffset_->y()},
                                        width(), height(), Bounds(area.x(), area.y(), area.width(), area.height()));
  move(place.X, place.Y);
}

void TSkinnedForm::KeepAboveOwner() {
  keptAbove_ = KeptAbove();
  SetTransientFor(this, keptAbove_);
}

void TSkinnedForm::setVisible(bool visible) {
  const bool showing = visible && !isVisible();
  if (showing && ownerAtShow_) owner_ = OpeningWindow(this);
  QWidget::setVisible(visible);
  // After Qt's own show, which clears the hint on windows of this kind.
  if (showing && isVisible()) KeepAboveOwner();
}

void TSkinnedForm::DisableOtherForms() {
  DisabledForms.clear();
  for (QWidget* form : ScreenForms()) {
    if (form == this || !form->isVisible() || !form->isEnabled()) continue;
    if (IsAnyOf(form, {"FormHelp", "FormTips", "FormMessage"})) continue;
    form->setEnabled(false);
    DisabledForms.emplace_back(form);
  }
}

void TSkinnedForm::EnableDisabledForms() {
  for (const QPointer<QWidget>& form : DisabledForms)
    if (form) form->setEnabled(true);
  DisabledForms.clear();
}

void TSkinnedForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;  // a restore by the window manager, not a show
  LoadSkins();
  if (OnShow) OnShow();
  // The skins and OnShow may let events run (a skin's error box), and one of them may have
  // closed this window already: a hidden window must not leave the others off.
  if (InSkinnedModal && isVisible()) DisableOtherForms();
  FitAutoSizeLabels();
}

void TSkinnedForm::FitAutoSizeLabels() {
  for (QObject* child : children()) {
    auto* label = qobject_cast<QLabel*>(child);
    if (!label || !label->property("AutoSize").toBool()) continue;
    label->setAlignment((label->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
    QSize size = QFontMetrics(label->font()).size(0, label->text());
    label->resize(size);
  }
}

void TSkinnedForm::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous()) return;  // minimised
  // The windows kept above this one go back to its owner.
  for (QWidget* form : ScreenForms()) {
    auto* owned = qobject_cast<TSkinnedForm*>(form);
    if (owned && owned != this && owned->isVisible() && owned->keptAbove_ == this) owned->KeepAboveOwner();
  }
  if (OnHide) OnHide();
  if (InSkinnedModal) EnableDisabledForms();
}

void TSkinnedForm::closeEvent(QCloseEvent* event) {
  bool canClose = true;
  // The window's own handler decides first, so that a refused close leaves the
  // other windows disabled under a window that is still modal.
  if (OnCloseQuery) OnCloseQuery(canClose);
  if (!canClose) {
    event->ignore();
    return;
  }
  if (InSkinnedModal) EnableDisabledForms();
  if (OnClose) OnClose();
  FreeSkins();
  event->accept();
}

void TSkinnedForm::LoadSkins() {
  if (!Skins.FormFile.empty()) LoadFormSkin(*this, Skins.FormKey, Skins.FormFile);
  if (!Skins.ButtonsFile.empty()) LoadButtonsSkin(*this, Skins.ButtonsKey, Skins.ButtonsFile, true);
}

void TSkinnedForm::FreeSkins() {
  if (!Skins.FormFile.empty()) FreeFormSkin(*this);
  if (!Skins.ButtonsFile.empty()) FreeButtonsSkin(*this);
}

bool TSkinnedForm::ForwardsKeysToMain() const {
  return !IsAnyOf(this, {"FormMain", "FormMessage"}) && !isModal() && !InSkinnedModal;
}

void TSkinnedForm::keyPressEvent(QKeyEvent* event) {
  int key = VirtualKeyOf(*event);
  const int shift = ShiftStateOf(event->modifiers());
  // F1 reaches the window itself only where no window is active (no window
  // manager): it asks for help once released, as the shortcut would have.
  if (!event->isAutoRepeat()) f1Down_ = key == VK_F1 && shift == 0;
  if (OnKeyDown) OnKeyDown(key, shift);
  if (key != 0 && ForwardsKeysToMain() && ShellHooks().MainKeyDown) ShellHooks().MainKeyDown(key, shift);
  char ch = 0;
  if (key == VK_ESCAPE)
    ch = 27;
  else if (event->text().size() == 1 && event->text()[0].unicode() < 128)
    ch = char(event->text()[0].unicode());
  if (ch == 0) return;
  if (OnKeyPress) OnKeyPress(ch);
  if (ch == 27 && !HasName(this, "FormMain") && isVisible()) close();
}

void TSkinnedForm::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  int key = VirtualKeyOf(*event);
  const int shift = ShiftStateOf(event->modifiers());
  if (key == VK_F1 && std::exchange(f1Down_, false)) AskForHelp();
  if (OnKeyUp) OnKeyUp(key, shift);
  if (key != 0 && ForwardsKeysToMain() && ShellHooks().MainKeyUp) ShellHooks().MainKeyUp(key, shift);
}

void TSkinnedForm::paintEvent(QPaintEvent* event) {
  if (!OnPaint) return QWidget::paintEvent(event);
  QPainter painter(this);
  // Only the part to paint: a skin drawn from shared rows copies no more.
  painter.setClipRect(event->rect());
  OnPaint(painter);
}

void TSkinnedForm::TakeControlHints() {
  const std::string prefix = HintPrefix.value_or(Topic());
  for (QWidget* control : findChildren<QWidget*>()) {
    if (control->objectName().isEmpty() || !control->toolTip().isEmpty()) continue;
    const std::string key = prefix + control->objectName().toStdString() + "Hint";
    if (HasTerm(key, ProgramTexts())) control->setToolTip(TermText(key));
  }
}

bool TSkinnedForm::event(QEvent* event) {
  if (event->type() == QEvent::Polish) TakeControlHints();
  if (event->type() == QEvent::WindowActivate) {
    if (!std::exchange(NoTipOnNextActivation, false) && !IsAnyOf(this, {"FormTips", "FormMessage", "FormHelp"}) &&
        ShellHooks().ShowTip)
      ShellHooks().ShowTip(Topic());
    if (OnActivate) OnActivate();
  }
  return QWidget::event(event);
}

namespace {
// Modal windows stack over the whole application, as Qt's modality does.
std::vector<QPointer<TSkinnedForm>>& ModalStack() {
  static std::vector<QPointer<TSkinnedForm>> stack;
  return stack;
}
}  // namespace

TSkinnedForm* InnermostSkinnedModal(const QWidget* except) {
  const auto& stack = ModalStack();
  for (auto it = stack.rbegin(); it != stack.rend(); ++it)
    if (*it && it->data() != except && (*it)->isVisible()) return it->data();
  return nullptr;
}

int ShowSkinnedModal(TSkinnedForm& form) {
  QPointer<TSkinnedForm> guard(&form);
  ModalStack().emplace_back(&form);
  struct TPop {
    ~TPop() { ModalStack().pop_back(); }
  } pop;
  form.InSkinnedModal = true;
  form.ModalResult = 0;
  form.show();
  if (!guard) return 2;
  form.raise();
  form.activateWindow();
  QEventLoop loop;
  // The state is checked before each wait: a window closed while it was being
  // shown, or a program terminating, may never see another event come.
  while (true) {
    if (!guard) return 2;
    if (ApplicationTerminated())
      form.ModalResult = 2;
    else if (form.ModalResult != 0)
      form.close();
    if (form.ModalResult != 0 || !form.isVisible()) break;
    loop.processEvents(QEventLoop::WaitForMoreEvents);
  }
  int result = form.ModalResult;
  if (form.isVisible()) form.close();
  return result;
}

void LoadFormSkin(TSkinnedForm& form, std::string_view key, std::string_view defaultFile) {
  // Loading may let events run (the error box), which may close the form and free
  // its skin meanwhile: the skin is installed only once it is loaded.
  TBitmap32 skin;
  LoadSkinBitmap(skin, key, defaultFile, true);
  form.SkinBitmap = std::make_unique<TWindowSkin>(skin);
  if (skin.Empty()) return;
  form.OnPaint = [&form](QPainter& painter) {
    if (!form.SkinBitmap) return;
    const QRect area = painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect() : form.rect();
    DrawRows(painter, *form.SkinBitmap, area);
  };
  SetControlShape(form, skin, kSkinKeyColor);
  form.resize(skin.Width(), skin.Height());
  if (TCaptionBar* bar = CaptionBarOf(form)) bar->SetPicture(std::move(skin));
  skin.Reset();
  ReleaseFreedMemory();
}

void FreeFormSkin(TSkinnedForm& form) {
  if (TCaptionBar* bar = CaptionBarOf(form)) bar->SetPicture(TBitmap32());
  form.SkinBitmap.reset();
}
