#include "editor/forms/FormAdjust.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "editor/AdjustView.h"
#include "picture/forms/BitmapImage.h"
#include "platform/FileIO.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/QtProcessRunner.h"
#include "shell/Termins.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormAdjust* FormAdjust = nullptr;

namespace {

// The view and the buttons lie inside the skin's well, which begins under the
// title strip and ends 48 pixels above the window's bottom.
constexpr int kViewLeft = 21;
constexpr int kViewTop = 48;
constexpr int kWellBottomMargin = 48;
constexpr int kButtonWidth = 72;
constexpr int kButtonHeight = 28;

TMouseButton ButtonOf(Qt::MouseButton button) {
  if (button == Qt::LeftButton) return TMouseButton::Left;
  if (button == Qt::RightButton) return TMouseButton::Right;
  return TMouseButton::Other;
}

}  // namespace

// The view: paints the window's view picture with the marker numbers and feeds
// the mouse to the model.
class TAdjustViewWidget : public QWidget {
 public:
  TAdjustViewWidget(TFormAdjust& form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName("ResImage");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const TBitmap32 view = form_.ViewPicture();
    painter.drawImage(0, 0, ImageView(view));
    if (form_.model_.AdjustKind != kAdjustHand) return;
    QFont font("Arial");
    font.setPointSize(8);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::yellow);
    int number = 1;
    for (const THandMarker& marker : form_.model_.Markers()) {
      const QRect box(marker.ViewX - 10, marker.ViewY - 10, 20, 20);
      painter.drawText(box, Qt::AlignCenter, QString::number(number++));
    }
  }
  void mousePressEvent(QMouseEvent* event) override {
    const auto mods = event->modifiers();
    Apply(form_.model_.MouseDown(Point(event), ButtonOf(event->button()), mods & Qt::ControlModifier,
                                 mods & Qt::ShiftModifier));
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    Apply(form_.model_.MouseMove(Point(event), event->buttons() & Qt::LeftButton, event->buttons() & Qt::RightButton));
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    Apply(form_.model_.MouseUp(Point(event), ButtonOf(event->button())));
  }
  void leaveEvent(QEvent*) override { unsetCursor(); }

 private:
  static TPoint Point(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return {p.x(), p.y()};
  }
  void Apply(bool redraw) {
    SetProgramCursor(*this, int(form_.model_.Cursor()));
    if (redraw) update();
  }

  TFormAdjust& form_;
};

TFormAdjust::TFormAdjust(IAdjustHost& host, QWidget* parent)
    : TSkinnedForm("FormAdjust", parent),
      desk_(InterfaceDeskGeometry()),
      model_(desk_.DesktopWindowWidth, desk_.DesktopWindowHeight, host.Points().HandMarkers),
      runner_(std::make_unique<TQtProcessRunner>()),
      detector_(std::make_unique<TEyeDetector>(*runner_, fs::path(InstallationFolder()) / "eyechecker", PrivateTempDir() / "eyes")),
      controller_(std::make_unique<TAdjustController>(model_, detector_.get(), host)) {
  FormAdjust = this;
  const int w = model_.ViewWidth(), h = model_.ViewHeight();
  const int buttonsLeft = kViewLeft + w + 20;
  resize(std::max(570, buttonsLeft + kButtonWidth + 20), kViewTop + h + 8 + kWellBottomMargin);
  PlaceFromFrame({70, 40});

  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, width(), 20);
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, 0, {549, 0, 20, 19});
  TakeMainWindowLooks(*ButtonExit);
  ButtonExit->OnClick = [this] { ButtonExitClick(); };

  ResImage = new TAdjustViewWidget(*this, this);
  ResImage->setGeometry(kViewLeft, kViewTop, w, h);

  int top = kViewTop + 24;
  auto kindButton = [&](const char* name, int sheetTop) {
    TGraphicButton* button = NewSheetButton(this, name, ImageButtons, sheetTop, {buttonsLeft, top, kButtonWidth, kButtonHeight});
    button->OnClick = [this, button] { ButtonSourceKindClick(button); };
    top += kButtonHeight + 12;
    return button;
  };
  ButtonFace = kindButton("ButtonFace", 0);
  ButtonHand = kindButton("ButtonHand", kButtonHeight);
  ButtonBody = kindButton("ButtonBody", 2 * kButtonHeight);
  ButtonFigure = kindButton("ButtonFigure", 3 * kButtonHeight);
  LabelNoFace = new QLabel(this);
  LabelNoFace->setObjectName("LabelNoFace");
  LabelNoFace->setGeometry(buttonsLeft - 4, top + 8, kButtonWidth + 12, 150);
  LabelNoFace->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  LabelNoFace->setWordWrap(true);
  LabelNoFace->setStyleSheet("color: #f4e08a;");
  LabelNoFace->setText(TermText("MessageNoFaceFound", "No face was found: put the lines on the eyes by hand."));
  LabelNoFace->hide();
  ButtonOK = NewSheetButton(this, "ButtonOK", ImageButtons, 4 * kButtonHeight,
                         {buttonsLeft, kViewTop + h - 2 * kButtonHeight - 12, kButtonWidth, kButtonHeight});
  ButtonOK->OnClick = [this] { ButtonOKClick(); };
  ButtonCancel = NewSheetButton(this, "ButtonCancel", ImageButtons, 5 * kButtonHeight,
                             {buttonsLeft, kViewTop + h - kButtonHeight, kButtonWidth, kButtonHeight});
  ButtonCancel->OnClick = [this] { ButtonExitClick(); };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormAdjustCaption");
  HintPrefix = "";
  // The default button sheet is plain: the buttons say what they are.
  ButtonFace->SetCaption(TermText("ButtonFaceCaption", "Face"));
  ButtonHand->SetCaption(TermText("ButtonHandCaption", "Hand"));
  ButtonBody->SetCaption(TermText("ButtonBodyCaption", "Body"));
  ButtonFigure->SetCaption(TermText("ButtonFigureCaption", "Figure"));
  ButtonOK->SetCaption(TermText("ButtonOKCaption", "OK"));
  ButtonCancel->SetCaption(TermText("ButtonCancelCaption", "Cancel"));
  // The points are the desk's, kept: this window may be made after a work was
  // opened.
  PressKindButton();

  Skins = {"FormAdjust.Skin", "FormAdjs.psd", "FormAdjustButtons", "ButAdjst.psd"};
  OnShow = [this] {
    ButtonFigure->hide();  // the figure kind is not offered
    Refresh();
  };
  OnClose = [this] {
    controller_->Close();
  };
}

TFormAdjust::~TFormAdjust() {
  if (FormAdjust == this) FormAdjust = nullptr;
}

TBitmap32 TFormAdjust::ViewPicture() const {
  TBitmap32 view = controller_->FittedView();
  if (view.Empty()) view = TBitmap32(model_.ViewWidth(), model_.ViewHeight(), Color32(255, 255, 255));
  DrawAdjustView(view, model_);
  return view;
}

void TFormAdjust::Refresh() {
  controller_->Show(source_.Picture);
  ShowNoFaceNotice();
  ResImage->update();
}

void TFormAdjust::ShowNoFaceNotice() {
  LabelNoFace->setVisible(model_.AdjustKind == kAdjustFace && controller_->NoFaceFound());
}

void TFormAdjust::ShowForPicture(TSourcePicture picture) {
  source_ = std::move(picture);
  if (isVisible()) {
    Refresh();
  } else {
    show();  // OnShow refreshes
  }
  raise();
  activateWindow();
}

void TFormAdjust::PressKindButton() {
  ButtonFace->SetPressed(model_.AdjustKind == kAdjustFace);
  ButtonHand->SetPressed(model_.AdjustKind == kAdjustHand);
  ButtonBody->SetPressed(model_.AdjustKind == kAdjustBody);
  ButtonFigure->SetPressed(model_.AdjustKind == kAdjustFigure);
}

void TFormAdjust::ButtonSourceKindClick(TGraphicButton* button) {
  const TAdjustKind kind = button == ButtonHand   ? kAdjustHand
                           : button == ButtonBody ? kAdjustBody
                           : button == ButtonFigure ? kAdjustFigure
                                                    : kAdjustFace;
  if (model_.SelectKind(kind)) ResImage->update();
  PressKindButton();
  ShowNoFaceNotice();
}

void TFormAdjust::ButtonOKClick() {
  if (!controller_->Ok(source_.Picture, source_.HasAlpha, desk_.DesktopTableWidth, desk_.DesktopTableHeight)) {
    ResImage->update();
    return;
  }
  hide();
  close();
  QCoreApplication::processEvents();
}

void TFormAdjust::ButtonExitClick() { close(); }

void RegisterFormAdjust(IAdjustHost& host) {
  RegisterStandingForm("FormAdjust", [&host](QWidget* owner) { return new TFormAdjust(host, owner); });
}

void ShowFormAdjust(TSourcePicture picture) {
  if (TFormAdjust* form = StandingForm<TFormAdjust>("FormAdjust")) form->ShowForPicture(std::move(picture));
}
