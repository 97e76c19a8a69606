#include "editor/forms/FormLayers.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <span>

#include "editor/MontageDesk.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "picture/Layer.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormLayers* FormLayers = nullptr;

namespace {

constexpr int kWidth = 280;
constexpr int kHeight = 440;
constexpr int kCaptionHeight = 20;
constexpr QRect kListPlace(10, 28, 260, 350);
constexpr int kButtonTop = 392;
constexpr int kButtonWidth = 48;
constexpr int kButtonHeight = 32;
constexpr int kCursorHandGrab = 109;
constexpr QColor kNavy(0, 0, 128);
constexpr QColor kPressedRow(216, 216, 216);
constexpr QColor kRowLine(128, 128, 128);
constexpr QColor kMaroon(128, 0, 0);

// A button of the list's own until it takes the main window's looks and handler.
TGraphicButton* LayerButton(QWidget* parent, const char* name, int left, const char* caption) {
  auto* button = new TGraphicButton(parent);
  button->setObjectName(name);
  button->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
  button->SetCaption(QString::fromUtf8(caption));
  return button;
}

// The layer as the desk shows it (tint and colour values applied), faded when
// it is hidden.
TBitmap32 RowThumbnailOf(const TLayer& layer) {
  TBitmap32 thumb = LayerThumbnail(layer.RenderedPicture());
  // The thumbnail is premultiplied: a third of its opacity is a third of every channel.
  if (!layer.Visible())
    for (std::uint8_t& channel : thumb.Bytes()) channel /= 3;
  return thumb;
}

}  // namespace

TLayerListBox::TLayerListBox(TFormLayers& form, QWidget* parent) : QAbstractScrollArea(parent), form_(form) {
  setObjectName("ListBox");
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(false);
  verticalScrollBar()->setSingleStep(1);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), qOverload<>(&QWidget::update));
}

int TLayerListBox::TopRow() const { return verticalScrollBar()->value(); }

int TLayerListBox::RowAt(int y) const {
  if (y < 0) return -1;
  const int row = TopRow() + y / kLayerRowHeight;
  return row < form_.RowCount() ? row : -1;
}

void TLayerListBox::UpdateRange() {
  // Whole rows only: the scroll position counts rows.
  const int visible = std::max(1, viewport()->height() / kLayerRowHeight);
  verticalScrollBar()->setPageStep(visible);
  verticalScrollBar()->setRange(0, std::max(0, form_.RowCount() - visible));
}

void TLayerListBox::ShowRow(int row) {
  if (row < 0) return;
  const int visible = std::max(1, viewport()->height() / kLayerRowHeight);
  if (row < TopRow()) verticalScrollBar()->setValue(row);
  else if (row >= TopRow() + visible) verticalScrollBar()->setValue(row - visible + 1);
}

void TLayerListBox::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateRange();
}

void TLayerListBox::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), Qt::white);
  for (int row = TopRow(), top = 0; row < form_.RowCount() && top < viewport()->height();
       ++row, top += kLayerRowHeight)
    PaintRow(painter, row, top);
}

void TLayerListBox::PaintRow(QPainter& painter, int row, int top) {
  const QRect rect(0, top, viewport()->width(), kLayerRowHeight);
  QColor text = kNavy;
  if (row == form_.mouse_.PressedRow) {
    painter.fillRect(rect, kPressedRow);
  } else if (row == form_.selectedRow_) {
    painter.fillRect(rect, palette().color(QPalette::Highlight));
    text = Qt::white;
  } else {
    painter.fillRect(rect, Qt::white);
  }
  const TBitmap32& thumb = form_.RowThumbnail(row);
  // The thumbnail's colours are premultiplied by its alpha.
  painter.drawImage(3, top + 3, QImage(thumb.Bits(), thumb.Width(), thumb.Height(), qsizetype(thumb.Stride()),
                                       QImage::Format_ARGB32_Premultiplied));
  painter.setPen(text);
  const int textLeft = 3 + kLayerThumbSide + 10;
  painter.drawText(QRect(textLeft, top, rect.width() - textLeft - 16, kLayerRowHeight),
                   Qt::AlignVCenter | Qt::AlignLeft, QString::fromStdString(form_.RowCaption(row)));
  if (form_.RowHasCatalogPage(row)) {
    // The catalogue mark: an "i" in a circle at the row's right edge.
    const QRect mark(rect.right() - 13, rect.bottom() - 2 - 13, 13, 13);
    painter.setPen(kNavy);
    painter.drawEllipse(mark.adjusted(0, 0, -1, -1));
    painter.drawText(mark, Qt::AlignCenter, "i");
  }
  painter.setPen(kRowLine);
  painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
  if (row == form_.mouse_.DropRow) {
    painter.setPen(kMaroon);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
}

void TLayerListBox::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  form_.mouse_.Press(RowAt(p.y()), {p.x(), p.y()}, event->button() == Qt::LeftButton);
  viewport()->update();
}

void TLayerListBox::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  TLayerListMouse& mouse = form_.mouse_;
  mouse.Move({p.x(), p.y()}, event->buttons() & Qt::LeftButton, form_.RowCount());
  if (!mouse.Dragging) return;
  const bool accepted = mouse.DragOver(RowAt(p.y()));
  if (accepted) SetProgramCursor(*viewport(), kCursorHandGrab);
  else viewport()->setCursor(Qt::ForbiddenCursor);
  form_.scrollDirection_ = TLayerListMouse::ScrollDirection(p.y(), viewport()->height());
  if (form_.scrollDirection_ != 0) {
    if (!form_.Timer->isActive()) form_.Timer->start();
  } else {
    form_.Timer->stop();
  }
  viewport()->update();
}

void TLayerListBox::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  TLayerListMouse& mouse = form_.mouse_;
  if (mouse.Dragging) {
    const int row = RowAt(p.y());
    form_.Timer->stop();
    viewport()->unsetCursor();
    const auto move = mouse.Drop(row);
    mouse.EndDrag();
    viewport()->update();
    if (move) form_.DropOn(move->first, move->second);
    return;
  }
  int row = -1;
  const TListClick click = mouse.Release({p.x(), p.y()}, row);
  viewport()->update();
  if (click == TListClick::Select) form_.SelectRow(row);
  else if (click == TListClick::Menu) form_.OpenLayerMenu(row, event->globalPosition().toPoint());
}

void TLayerListBox::keyPressEvent(QKeyEvent* event) {
  const int count = form_.RowCount();
  if (count == 0) return;
  const int visible = std::max(1, viewport()->height() / kLayerRowHeight);
  int row = form_.selectedRow_;
  switch (event->key()) {
    case Qt::Key_Up: row = std::max(0, row - 1); break;
    case Qt::Key_Down: row = std::min(count - 1, row + 1); break;
    case Qt::Key_PageUp: row = std::max(0, row - visible); break;
    case Qt::Key_PageDown: row = std::min(count - 1, row + visible); break;
    case Qt::Key_Home: row = 0; break;
    case Qt::Key_End: row = count - 1; break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  form_.mouse_.KeyboardSelect = true;
  if (row != form_.selectedRow_) form_.SelectRow(row);
  ShowRow(row);
}

TFormLayers::TFormLayers(QWidget* parent) : TSkinnedForm("FormLayers", parent) {
  FormLayers = this;
  resize(kWidth, kHeight);
  PlaceFromFrame({550, 130});

  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, kWidth, kCaptionHeight);
  ButtonMinimize = NewSheetButton(CaptionBar, "ButtonMinimize", ImageButtons, 0, {210, 0, 20, 19});
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, 0, {230, 0, 20, 19});
  TakeMainWindowLooks(*ButtonMinimize);
  TakeMainWindowLooks(*ButtonExit);
  ButtonMinimize->OnClick = [this] { showMinimized(); };
  ButtonExit->OnClick = [this] { close(); };

  ListBox = new TLayerListBox(*this, this);
  ListBox->setGeometry(kListPlace);
  // A layer's look changes at every step of a slider drag: its thumbnail follows
  // at most every 100 ms, so that the drag stays smooth.
  lookTimer_ = new QTimer(this);
  lookTimer_->setSingleShot(true);
  lookTimer_->setInterval(100);
  connect(lookTimer_, &QTimer::timeout, this, [this] { ShowNewLooks(); });
  Timer = new QTimer(this);
  Timer->setInterval(150);
  connect(Timer, &QTimer::timeout, this, [this] {
    QScrollBar* bar = ListBox->verticalScrollBar();
    bar->setValue(bar->value() + scrollDirection_);
  });

  // Hide and show share a place: only one of them shows.
  ButtonLayerDelete = LayerButton(this, "ButtonLayerDelete", 16, "Delete");
  ButtonLayerHide = LayerButton(this, "ButtonLayerHide", 80, "Hide");
  ButtonLayerShow = LayerButton(this, "ButtonLayerShow", 80, "Show");
  ButtonLayerMoveTop = LayerButton(this, "ButtonLayerMoveTop", 144, "To top");
  ButtonLayerMoveBottom = LayerButton(this, "ButtonLayerMoveBottom", 208, "To bottom");

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormLayersCaption", "Layers");

  Skins = {"FormLayers.Skin", "FormLayr.psd", {}, {}};
  OnShow = [this] {
    CloneLayerButtons();
    RefreshLayerList();
    mouse_.KeyboardSelect = mouse_.Dragging = false;
    if (TFormMain* main = Main())
      if (TGraphicButton* opener = main->Button("ButtonLayerList")) opener->SetPressed(true);
  };
  OnClose = [this] {
    Timer->stop();
    lookTimer_->stop();
    if (TFormMain* main = Main())
      if (TGraphicButton* opener = main->Button("ButtonLayerList")) opener->SetPressed(false);
  };

  LayerWindowLinks().RefreshLayerList = [this] {
    if (isVisible()) RefreshLayerList();
  };
  LayerWindowLinks().LayerListSelect = [this](int index) {
    if (!isVisible()) return;
    selectedRow_ = index < RowCount() ? index : -1;
    ListBox->ShowRow(selectedRow_);
    ListBox->viewport()->update();
    UpdateLayerButtons();
  };
  LayerWindowLinks().LayerListVisibilityChanged = [this](int index) {
    if (!isVisible() || index < 0 || index >= RowCount()) return;
    if (TMontageDesk* desk = Desk(); desk && index < desk->LayerCount()) {
      visible_[std::size_t(index)] = desk->Layer(index).Visible();
      thumbs_[std::size_t(index)] = RowThumbnailOf(desk->Layer(index));
    }
    UpdateLayerButtons();
    ListBox->viewport()->update();
  };
  LayerWindowLinks().LayerListLookChanged = [this](const TLayer& layer) {
    TMontageDesk* desk = Desk();
    if (!isVisible() || !desk) return;
    for (int i = 0; i < std::min(desk->LayerCount(), RowCount()); ++i)
      if (&desk->Layer(i) == &layer) staleRows_.insert(i);
    if (!staleRows_.empty() && !lookTimer_->isActive()) lookTimer_->start();
  };
}

TFormLayers::~TFormLayers() {
  if (FormLayers == this) {
    FormLayers = nullptr;
    TLayerWindowLinks& links = LayerWindowLinks();
    links.RefreshLayerList = nullptr;
    links.LayerListSelect = nullptr;
    links.LayerListVisibilityChanged = nullptr;
    links.LayerListLookChanged = nullptr;
  }
}

TFormMain* TFormLayers::Main() const { return MainWindow; }

TMontageDesk* TFormLayers::Desk() const {
  TFormMain* main = Main();
  return main && main->DeskWindow() ? &main->DeskWindow()->Desk() : nullptr;
}

void TFormLayers::CloneLayerButtons() {
  TFormMain* main = Main();
  if (!main) return;
  for (TGraphicButton* button :
       {ButtonLayerHide, ButtonLayerShow, ButtonLayerDelete, ButtonLayerMoveBottom, ButtonLayerMoveTop}) {
    TGraphicButton* model = main->Button(button->objectName().toStdString());
    if (!model) continue;
    const QRect place = button->geometry();
    button->CopyFrom(*model);  // face, hint and click handler: the main window's
    button->setGeometry(place);
  }
}

void TFormLayers::ShowNewLooks() {
  TMontageDesk* desk = Desk();
  for (int row : staleRows_)
    if (desk && row < RowCount() && row < desk->LayerCount())
      thumbs_[std::size_t(row)] = RowThumbnailOf(desk->Layer(row));
  staleRows_.clear();
  ListBox->viewport()->update();
}

void TFormLayers::RefreshLayerList() {
  staleRows_.clear();
  thumbs_.clear();
  captions_.clear();
  visible_.clear();
  selectedRow_ = -1;
  if (TMontageDesk* desk = Desk()) {
    for (int i = 0; i < desk->LayerCount(); ++i) {
      const TLayer& layer = desk->Layer(i);
      thumbs_.push_back(RowThumbnailOf(layer));
      captions_.push_back(layer.Caption);
      visible_.push_back(layer.Visible());
    }
    selectedRow_ = desk->SelectedIndex() < RowCount() ? desk->SelectedIndex() : -1;
  }
  if (mouse_.PressedRow >= RowCount()) mouse_.PressedRow = -1;
  ListBox->UpdateRange();
  ListBox->ShowRow(selectedRow_);
  ListBox->viewport()->update();
  UpdateLayerButtons();
}

void TFormLayers::UpdateLayerButtons() {
  const bool visible = selectedRow_ >= 0 && visible_[std::size_t(selectedRow_)];
  const TLayerButtonRules rules = LayerButtonRules(RowCount(), selectedRow_, visible);
  SetButtonEnabled(*ButtonLayerMoveBottom, rules.MoveBottomEnabled);
  SetButtonEnabled(*ButtonLayerMoveTop, rules.MoveTopEnabled);
  SetButtonEnabled(*ButtonLayerDelete, rules.DeleteEnabled);
  SetButtonEnabled(*ButtonLayerHide, rules.HideShowEnabled);
  SetButtonEnabled(*ButtonLayerShow, rules.HideShowEnabled);
  ButtonLayerHide->setVisible(rules.HideShown);
  ButtonLayerShow->setVisible(rules.ShowShown);
  // The clones took the main window's visibility, which follows its mode: here
  // these three always stand.
  for (TGraphicButton* button : {ButtonLayerDelete, ButtonLayerMoveTop, ButtonLayerMoveBottom}) button->show();
}

void TFormLayers::SelectRow(int row) {
  TMontageDesk* desk = Desk();
  if (!desk || row < 0 || row >= desk->LayerCount()) return;
  desk->SelectLayer(row);  // the desk tells the list back
}

void TFormLayers::OpenLayerMenu(int row, const QPoint& globalPos) {
  TFormMain* main = Main();
  if (!main || !main->DeskWindow() || row < 0 || row >= RowCount()) return;
  main->DeskWindow()->Desk().PopupLayerIndex = row;
  main->DeskWindow()->OpenPopupAtScreen(globalPos);
}

void TFormLayers::DropOn(int from, int to) {
  // The desk rebuilds the list after the move.
  if (TMontageDesk* desk = Desk()) desk->MoveLayer(from, to);
}

bool TFormLayers::RowHasCatalogPage(int row) const {
  TMontageDesk* desk = Desk();
  TFormMain* main = Main();
  if (!desk || !main || row >= desk->LayerCount()) return false;
  const std::string& source = desk->Layer(row).SourceFile;
  // A layer without a source file is no element of the catalogue.
  return !source.empty() && main->State().HasCatalogPage("T", source);
}

void RegisterFormLayers() {
  RegisterStandingForm("FormLayers", [](QWidget* owner) { return new TFormLayers(owner); });
}
