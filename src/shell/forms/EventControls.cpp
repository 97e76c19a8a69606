#include "shell/forms/EventControls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>


namespace {

bool IsRightDoubleClick(const QMouseEvent* event) { return event->button() == Qt::RightButton; }

// Hands the drawing of each item to the list box's OnCNDrawItem when it is set.
class TOwnerDrawDelegate : public QStyledItemDelegate {
 public:
  explicit TOwnerDrawDelegate(TMyListBox* list) : QStyledItemDelegate(list), list_(list) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (!list_->OnCNDrawItem) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    painter->save();
    list_->OnCNDrawItem(*list_, index.row(), option.rect, 0, *painter);
    painter->restore();
  }

 private:
  TMyListBox* list_;
};

}  // namespace

TMyImage::TMyImage(QWidget* parent) : TImage(parent) {}

void TMyImage::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick) OnClick();
  TImage::mouseReleaseEvent(event);
}

void TMyImage::mouseDoubleClickEvent(QMouseEvent* event) {
  if (IsRightDoubleClick(event) && OnRDblClick) OnRDblClick();
  TImage::mouseDoubleClickEvent(event);
}

void TMyImage::enterEvent(QEnterEvent* event) {
  if (OnMouseEnter) OnMouseEnter();
  TImage::enterEvent(event);
}

void TMyImage::leaveEvent(QEvent* event) {
  if (OnMouseLeave) OnMouseLeave();
  TImage::leaveEvent(event);
}

TMyLabel::TMyLabel(QWidget* parent) : QLabel(parent) {}

void TMyLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (IsRightDoubleClick(event) && OnRDblClick) OnRDblClick();
  QLabel::mouseDoubleClickEvent(event);
}

TMyTreeView::TMyTreeView(QWidget* parent) : QTreeWidget(parent) {}

void TMyTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (IsRightDoubleClick(event) && OnRDblClick) OnRDblClick();
  QTreeWidget::mouseDoubleClickEvent(event);
}

void TMyTreeView::enterEvent(QEnterEvent* event) {
  if (OnMouseEnter) OnMouseEnter();
  QTreeWidget::enterEvent(event);
}

void TMyTreeView::leaveEvent(QEvent* event) {
  if (OnMouseLeave) OnMouseLeave();
  QTreeWidget::leaveEvent(event);
}

TMyListBox::TMyListBox(QWidget* parent) : QListWidget(parent) { setItemDelegate(new TOwnerDrawDelegate(this)); }

void TMyListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (IsRightDoubleClick(event) && OnRDblClick) OnRDblClick();
  QListWidget::mouseDoubleClickEvent(event);
}

TMyImage* NewButtonSheet(QWidget& form) {
  auto* sheet = new TMyImage(&form);
  sheet->setObjectName("ImageButtons");
  sheet->hide();
  return sheet;
}
