#include "editor/forms/FormTemplates.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <exception>

#include "editor/CatalogIndex.h"
#include "editor/QueryAnswers.h"
#include "editor/Questionnaires.h"
#include "editor/TemplateDesign.h"
#include "editor/forms/FormCatalog.h"
#include "picture/BitmapRoutines.h"
#include "picture/PsdFile.h"
#include "picture/forms/BitmapImage.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "platform/TextFile.h"
#include "shell/MainSettings.h"
#include "shell/Termins.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/TermText.h"

TFormTemplates* FormTemplates = nullptr;

namespace {

// Virtual-key codes of the browser's scroll keys.
constexpr int kVkPageUp = 33;
constexpr int kVkPageDown = 34;
constexpr int kVkEnd = 35;
constexpr int kVkHome = 36;
constexpr int kVkUp = 38;
constexpr int kVkDown = 40;

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

TGraphicButton* SheetButton(QWidget* parent, const TSheetControl& design, TMyImage* sheet) {
  return NewSheetButton(parent, QString::fromUtf8(design.Name.data(), int(design.Name.size())), sheet, design.SheetTop,
                        ToQRect(design.Bounds));
}

const TSheetControl& Design(std::string_view name) {
  for (const TSheetControl& d : TemplatesButtonDesign)
    if (d.Name == name) return d;
  return TemplatesButtonDesign[0];
}

// The small pictures the grid's icons copy.
TBitmap32 IconPicture(int width, int height, const std::function<void(QPainter&)>& paint) {
  TBitmap32 bitmap(width, height, 0);
  {
    QImage view = WritableImageView(bitmap);
    QPainter p(&view);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
  }
  return bitmap;
}

}  // namespace

TFormTemplates::TFormTemplates(const TMainSettings& settings, TTemplateBase& templates,
                               TQuestionnaires& questionnaires, QWidget* parent)
    : TSkinnedForm("FormTemplates", parent),
      settings_(settings),
      templates_(templates),
      questionnaires_(questionnaires),
      grid_(kTemplatesResImage.Width(), kTemplatesResImage.Height(), templates.GridColumns, templates.GridRows) {
  FormTemplates = this;
  resize(kTemplatesWidth, kTemplatesHeight);
  BuildControls();

  const QString caption = TermText("FormTemplatesCaption");
  CaptionBar->Caption = caption.isEmpty() ? QStringLiteral("Templates") : caption;
  setWindowTitle(CaptionBar->Caption);
  ImageVideoInfoEtalon->setToolTip(TermText("FormTemplatesImageVideoInfoHint", "View 3D model"));
  ImageCatalogInfoEtalon->setToolTip(TermText("FormTemplatesImageCatalogInfoHint", "Show catalog info"));
  NotFoundText = GetTerm("FormTemplatesLabelTemplateNotFound", ProgramTexts(), "not found");
  PlaceFromFrame({488, 130});
  ApplyInterface(this);
  PlaceCounter();

  Skins = {"FormTemplates.Skin", "FormTmpl.psd", "FormTemplatesButtons", "ButFtemp.psd"};
  OnShow = [this] {
    gridBitmap_.SetSize(ResImage->width(), ResImage->height(), Color32(255, 255, 255));
    RefreshTemplateList(true);
    DrawTemplatePreviews(0);
    ButtonSetTemplatesFilter->SetPressed(questionnaires_.Filter.On());
    ButtonSetTemplatesFilter->setVisible(questionnaires_.Filter.Available());
  };
  OnClose = [this] {
    if (OnClosed) OnClosed();
    ClearIcons();
    gridBitmap_ = TBitmap32();
  };
  OnKeyUp = [this](int& key, int shift) { KeyUp(key, shift); };
  ShowMessage = [](const std::string& keyOrText, bool literal) { ShowMessageBox(keyOrText, mbkOKCancel, literal); };
}

TFormTemplates::~TFormTemplates() {
  questionnaires_.Filter.Forget(filterListener_);
  if (FormTemplates == this) FormTemplates = nullptr;
}

void TFormTemplates::BuildControls() {
  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, kTemplatesWidth, kTemplatesCaptionHeight);
  ButtonMinimize = SheetButton(this, Design("ButtonMinimize"), ImageButtons);
  ButtonExit = SheetButton(this, Design("ButtonExit"), ImageButtons);
  TakeMainWindowLooks(*ButtonMinimize);
  TakeMainWindowLooks(*ButtonExit);
  ButtonMinimize->OnClick = [this] { showMinimized(); };
  ButtonExit->OnClick = [this] { close(); };

  LabelNumPartsShow = new QLabel("99", this);
  LabelNumPartsShow->setObjectName("LabelNumPartsShow");
  LabelNumPartsShow->setGeometry(kTemplatesCounterLeft, kTemplatesCounterTop, 40, 18);
  LabelNumPartsTotal = new QLabel("(99)", this);
  LabelNumPartsTotal->setObjectName("LabelNumPartsTotal");
  LabelNumPartsTotal->setGeometry(kTemplatesCounterLeft + 44, kTemplatesCounterTop, 50, 18);
  // Light on the dark well, as the other windows' headings.
  for (QLabel* label : {LabelNumPartsShow, LabelNumPartsTotal}) label->setStyleSheet("color: #e8f2f4;");
  // The questionnaire window's filter button, shown only with that window; a
  // click does what a click there does.
  ButtonSetTemplatesFilter = SheetButton(this, Design("ButtonSetTemplatesFilter"), ImageButtons);
  ButtonSetTemplatesFilter->OnClick = [this] {
    if (!questionnaires_.Filter.Available()) return;
    questionnaires_.Filter.Toggle();
    QCoreApplication::processEvents();
  };
  filterListener_ = questionnaires_.Filter.Listen([this] {
    if (isVisible()) {
      RefreshTemplateList(true);
      DrawTemplatePreviews(0);
    }
    ButtonSetTemplatesFilter->SetPressed(questionnaires_.Filter.On());
  });
  ButtonSetTemplatesFilter->hide();

  for (int i = 0; i < kHandMarkerCount; ++i) {
    TGraphicButton* nail = SheetButton(this, Design("ButtonNail" + std::to_string(i + 1)), ImageButtons);
    nail->OnClick = [nail] { nail->SetPressed(!nail->Pressed()); };
    nail->hide();
    ButtonNail[std::size_t(i)] = nail;
  }
  ButtonReplaceSameType = SheetButton(this, Design("ButtonReplaceSameType"), ImageButtons);
  ButtonReplaceSameType->OnClick = [this] { ButtonReplaceSameType->SetPressed(!ButtonReplaceSameType->Pressed()); };

  ResImage = new TMyImage(this);
  ResImage->setObjectName("ResImage");
  ResImage->setGeometry(ToQRect(kTemplatesResImage));
  ResImage->setMouseTracking(true);
  ResImage->installEventFilter(this);

  LabelPartsName = new QLabel(this);
  LabelPartsName->setObjectName("LabelPartsName");
  QFont bold("Arial");
  bold.setPixelSize(16);
  bold.setBold(true);
  LabelPartsName->setFont(bold);
  LabelPartsName->setStyleSheet("color: white; background: rgba(0, 0, 0, 110);");
  LabelPartsName->setAttribute(Qt::WA_TransparentForMouseEvents);
  LabelPartsName->hide();

  ButtonPreviewScrollUp = SheetButton(this, Design("ButtonPreviewScrollUp"), ImageButtons);
  ButtonPreviewScrollDown = SheetButton(this, Design("ButtonPreviewScrollDown"), ImageButtons);
  for (TGraphicButton* button : {ButtonPreviewScrollUp, ButtonPreviewScrollDown}) {
    button->OnMouseDown = [this](Qt::MouseButton, Qt::KeyboardModifiers modifiers, int, int) {
      ScrollByPage = modifiers.testFlag(Qt::ControlModifier);
    };
    button->OnClick = [this, button] { ScrollPreview(button == ButtonPreviewScrollDown); };
  }
  SliderScrollPreview = new TGraphicSlider(this);
  SliderScrollPreview->setObjectName("SliderScrollPreview");
  SliderScrollPreview->setGeometry(ToQRect(kTemplatesSlider));
  SliderScrollPreview->Resource().SetImage(ImageButtons);
  SliderScrollPreview->Resource().SetRows(1);
  SliderScrollPreview->Resource().SetCols(2);
  SliderScrollPreview->Resource().SetTop(kTemplatesSliderSheetTop);
  SliderScrollPreviewButton = SheetButton(this, Design("SliderScrollPreviewButton"), ImageButtons);
  SliderScrollPreview->SetSlideButton(SliderScrollPreviewButton);
  SliderScrollPreview->SetAllValues(0, 0, 0);
  SliderScrollPreview->OnChange = [this] {
    DrawTemplatePreviews(SliderScrollPreview->Value() * grid_.Columns());
    QCoreApplication::processEvents();
  };

  ImageVideoInfoEtalon = new TMyImage(this);
  ImageVideoInfoEtalon->setObjectName("ImageVideoInfoEtalon");
  ImageVideoInfoEtalon->SetPicture(IconPicture(18, 13, [](QPainter& p) {
    p.setBrush(QColor(40, 40, 48));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 1, 13, 11), 2, 2);
    p.drawPolygon(QPolygonF({QPointF(13, 6.5), QPointF(18, 2), QPointF(18, 11)}));
  }));
  ImageCatalogInfoEtalon = new TMyImage(this);
  ImageCatalogInfoEtalon->setObjectName("ImageCatalogInfoEtalon");
  ImageCatalogInfoEtalon->SetPicture(CatalogInfoPicture());
  Image3DTemplateEtalon = new TMyImage(this);
  Image3DTemplateEtalon->setObjectName("Image3DTemplateEtalon");
  Image3DTemplateEtalon->SetPicture(IconPicture(18, 11, [](QPainter& p) {
    QFont f("Arial");
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0, 0, 128));
    p.drawText(QRectF(0, 0, 18, 11), Qt::AlignCenter, "3D");
  }));
  ImageEmptyPreview = new TMyImage(this);
  ImageEmptyPreview->setObjectName("ImageEmptyPreview");
  ImageEmptyPreview->SetPicture(IconPicture(48, 48, [](QPainter& p) {
    p.fillRect(QRectF(0, 0, 48, 48), QColor(225, 225, 230));
    p.setPen(QColor(150, 150, 160));
    p.drawRect(QRectF(0.5, 0.5, 47, 47));
  }));
  for (TMyImage* etalon : {ImageVideoInfoEtalon, ImageCatalogInfoEtalon, Image3DTemplateEtalon, ImageEmptyPreview}) {
    etalon->resize(etalon->Picture().Width(), etalon->Picture().Height());
    etalon->hide();
  }
}

bool TFormTemplates::OpenForType(int type, TPoint grid, const std::string& caption, TTemplateKind kind) {
  templates_.CurrentType = type;
  templates_.GridColumns = grid.X;
  templates_.GridRows = grid.Y;
  grid_ = TTemplateGrid(ResImage->width(), ResImage->height(), grid.X, grid.Y);
  CaptionBar->Caption = QString::fromStdString(caption);
  CaptionBar->update();
  setWindowTitle(CaptionBar->Caption);
  TemplateKind = kind;
  for (TGraphicButton* nail : ButtonNail) nail->setVisible(kind == tkHand);
  ButtonReplaceSameType->setVisible(kind == tkFace || kind == tkBody || kind == tkModel);
  ButtonReplaceSameType->SetPressed(false);
  if (isVisible()) {
    if (templates_.ListChanged(InstallationFolder())) {
      LoadPartBaseTold();
    }
    RefreshTemplateList(true);
    DrawTemplatePreviews(0);
  } else {
    if (!LoadTables()) return false;
    show();
  }
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  return true;
}

bool TFormTemplates::LoadPartBaseTold() {
  const TFileResult<> loaded = templates_.LoadList(InstallationFolder(), [this](const std::string& w) { Message(w, true); });
  if (!loaded) Message(TextFileMessage(loaded.Error(), "PartBase.txt"), true);
  return loaded.Ok();
}

bool TFormTemplates::LoadTables() {
  templates_.LoadTypes(settings_.Ini);
  return LoadPartBaseTold();
}

void TFormTemplates::ReloadPartBase() {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  LoadPartBaseTold();
  RefreshTemplateList(false);
  DrawTemplatePreviews(FirstRow() * grid_.Columns());
  QGuiApplication::restoreOverrideCursor();
}

int TFormTemplates::FirstRow() const { return SliderScrollPreview->Value(); }

void TFormTemplates::RefreshTemplateList(bool resetScroll) {
  grid_ = TTemplateGrid(ResImage->width(), ResImage->height(), templates_.GridColumns, templates_.GridRows);
  hovered_ = {0, 0};
  shown_.clear();
  total_ = 0;
  const std::vector<TPartInfoRecord>& list = templates_.List;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].PartType != templates_.CurrentType) continue;
    ++total_;
    if (!questionnaires_.Filter.On() || TemplatePassesFilter(list[i], questionnaires_.QueryGroups))
      shown_.push_back(int(i));
  }
  // The slider's change event must not redraw here: the caller draws.
  const auto onChange = std::move(SliderScrollPreview->OnChange);
  SliderScrollPreview->OnChange = nullptr;
  const int max = grid_.ScrollMax(int(shown_.size()));
  SliderScrollPreview->SetAllValues(0, max, resetScroll ? 0 : std::min(SliderScrollPreview->Value(), max));
  SliderScrollPreview->OnChange = onChange;
  LabelNumPartsShow->setText(QString::number(shown_.size()));
  LabelNumPartsTotal->setText("(" + QString::number(total_) + ")");
  PlaceCounter();
}

void TFormTemplates::PlaceCounter() {
  // In the well between the title strip and the first row of buttons, as large as
  // its font and its numbers need: a larger interface font or a long count must
  // not run it into the title or clip it.
  const int top = std::max(kTemplatesCounterTop, CaptionBar->geometry().bottom() + 1);
  const int rowTop = Design("ButtonReplaceSameType").Bounds.Top;
  QLabel* show = LabelNumPartsShow;
  QLabel* total = LabelNumPartsTotal;
  const int height = std::max(show->sizeHint().height(), total->sizeHint().height());
  const int y = std::max(top, top + (rowTop - top - height) / 2);
  show->setGeometry(show->x(), y, std::max(show->width(), show->sizeHint().width()), height);
  total->setGeometry(std::max(total->x(), show->geometry().right() + 4), y,
                     std::max(total->width(), total->sizeHint().width()), height);
}

namespace {

// The picture of a preview: the first folder that yields one; errors count as
// none. The template's path in that folder, whose video and catalogue page are
// the ones offered beside it.
std::optional<fs::path> LoadPreview(const std::vector<std::string>& folders, const std::string& fileName,
                                    const TBitmap32& emptyPreview, TBitmap32& picture) {
  for (const std::string& folder : folders) {
    const fs::path path = ResolvePath(folder, fileName);
    // An unreadable preview is shown as not found.
    if (LowerAscii(ExtractFileExt(fileName)) != ".x") {
      if (auto file = ExistingTemplateFile(path); file && LoadPsdPicture(*file, picture)) return path;
    } else if (std::error_code ec; fs::exists(path, ec)) {
      if (auto file = ExistingTemplateFile(ChangeFileExt(path.string(), ".psd"))) {
        if (!LoadPsdPicture(*file, picture)) continue;
        SetAlpha(picture, 255);
      } else {
        picture = emptyPreview;
      }
      return path;
    }
  }
  return std::nullopt;
}

// The preview stretched by the program's 32-bit alpha stretch into `at`, its
// premultiplied colour laid over the grid.
void DrawPreview(TBitmap32& grid, const TRect& at, const TBitmap32& picture) {
  TBitmap32 stretched(at.Width(), at.Height(), 0);
  StretchDrawAlpha32(stretched, {0, 0, at.Width(), at.Height()}, picture);
  for (int y = 0; y < stretched.Height(); ++y)
    for (int x = 0; x < stretched.Width(); ++x) {
      const int gx = at.Left + x, gy = at.Top + y;
      if (gx < 0 || gy < 0 || gx >= grid.Width() || gy >= grid.Height()) continue;
      const TColor32 s = stretched.Pixel(x, y), d = grid.Pixel(gx, gy);
      const int a = AlphaOf(s);
      auto over = [a](int sc, int dc) { return std::uint8_t(std::min(255, sc + dc * (255 - a) / 255)); };
      grid.SetPixel(gx, gy, Color32(over(RedOf(s), RedOf(d)), over(GreenOf(s), GreenOf(d)), over(BlueOf(s), BlueOf(d)),
                                    AlphaOf(d)));
    }
}

}  // namespace

void TFormTemplates::DrawTemplatePreviews(int firstIndex) {
  ClearIcons();
  if (gridBitmap_.Empty()) gridBitmap_.SetSize(ResImage->width(), ResImage->height());
  gridBitmap_.Clear(Color32(255, 255, 255));
  QImage canvas = WritableImageView(gridBitmap_);
  QPainter p(&canvas);
  QFont small("Arial");
  small.setPointSize(7);
  p.setFont(small);
  const int cw = grid_.CellWidth(), ch = grid_.CellHeight();
  const TPartInfoRecord* caption = nullptr;
  TRect captionCell;
  const std::vector<std::string> folders = TemplatePreviewFolders(settings_.Content);
  for (int row = 0; row < grid_.Rows(); ++row)
    for (int column = 0; column < grid_.Columns(); ++column) {
      const int n = grid_.Columns() * row + firstIndex + column;
      if (n >= int(shown_.size())) break;
      const TPartInfoRecord& entry = templates_.List[std::size_t(shown_[std::size_t(n)])];
      const TRect cell = grid_.Cell(row, column);
      TBitmap32 picture;
      const std::optional<fs::path> found = LoadPreview(folders, entry.FileName, ImageEmptyPreview->Picture(), picture);
      if (found && !picture.Empty()) {
        DrawPreview(gridBitmap_, grid_.FitPicture(cell, picture.Width(), picture.Height()), picture);
      } else {
        p.setPen(QColor(128, 0, 0));
        p.drawText(ToQRect(cell), Qt::AlignCenter, QString::fromStdString(NotFoundText));
      }
      const std::string path =
          (found ? *found : ProgramFileForReading(fs::path(InstallationFolder()), entry.FileName)).string();
      const std::string video = ChangeFileExt(path, ".avi");
      // No player, no icon: it would promise a film that never plays.
      const int iconRight = ResImage->x() + cell.Left + cw - 2;
      if (PlayVideo && fs::exists(video)) {
        TMyImage* icon = AddIcon(*ImageVideoInfoEtalon, crHandVideo, [this, video] {
          if (PlayVideo) PlayVideo(video);
        });
        icon->move(iconRight - icon->width(), ResImage->y() + cell.Top + 2);
      }
      // Likewise no catalogue, no info icon.
      if (const std::string page = OfferedCatalogPage('T', path); !page.empty()) {
        TMyImage* icon = AddIcon(*ImageCatalogInfoEtalon, crHandInfo, [page] { ShowCatalogPage(page); });
        icon->move(iconRight - icon->width(), ResImage->y() + cell.Top + ch - 2 - icon->height());
      }
      if (LowerAscii(ExtractFileExt(entry.FileName)) == ".x") {
        const TBitmap32& mark = Image3DTemplateEtalon->Picture();
        p.drawImage(cell.Left + 2, cell.Top + ch - 2 - mark.Height(), ImageView(mark));
      }
      p.setPen(QColor(128, 128, 128));
      p.drawText(QRect(cell.Left + 2, cell.Top, cw - 4, 14), Qt::AlignLeft | Qt::AlignTop, QString::number(n + 1));
      if (entry.X == kCaptionCellX) {
        caption = &entry;
        captionCell = cell;
      }
    }
  p.setPen(QColor(128, 128, 128));
  for (int i = 1; i < grid_.Columns(); ++i) p.drawLine(cw * i, 0, cw * i, gridBitmap_.Height());
  for (int j = 1; j <= grid_.Rows(); ++j) p.drawLine(0, ch * j, gridBitmap_.Width(), ch * j);
  p.end();
  ResImage->SetPicture(gridBitmap_);
  if (caption) {
    LabelPartsName->setText(QString::fromStdString(caption->Name));
    LabelPartsName->adjustSize();
    LabelPartsName->move(ResImage->x() + captionCell.Left + (cw - LabelPartsName->width()) / 2,
                         ResImage->y() + captionCell.Top + (ch - LabelPartsName->height()) / 2);
    LabelPartsName->show();
    LabelPartsName->raise();
  } else {
    LabelPartsName->hide();
  }
}

TMyImage* TFormTemplates::AddIcon(const TMyImage& etalon, int cursor, std::function<void()> onClick) {
  auto* icon = new TMyImage(this);
  icon->SetPicture(etalon.Picture());
  icon->resize(etalon.size());
  icon->setToolTip(etalon.toolTip());
  icon->setCursor(ProgramCursor(cursor));
  icon->OnClick = std::move(onClick);
  icon->show();
  icons_.push_back(icon);
  return icon;
}

void TFormTemplates::ClearIcons() {
  for (QWidget* icon : icons_) icon->deleteLater();
  icons_.clear();
}

void TFormTemplates::ResImageMouseMove(int x, int y) {
  const std::optional<int> hit = grid_.HitTest(x, y, FirstRow(), int(shown_.size()));
  if (!hit || !ResImage->rect().contains(x, y)) {
    ResImage->unsetCursor();
    ResImage->setToolTip({});
    hovered_ = {0, 0};
    return;
  }
  const TPartInfoRecord& entry = templates_.List[std::size_t(shown_[std::size_t(*hit)])];
  if (entry.X == kCaptionCellX) {
    ResImage->unsetCursor();
    ResImage->setToolTip({});
    return;
  }
  ResImage->setCursor(ProgramCursor(LowerAscii(ExtractFileExt(entry.FileName)) == ".x" ? crHand3D : crHandPoint));
  // The name shows from the first move into a cell; set only when it changes,
  // so that moves inside the cell leave an open bubble alone.
  hovered_ = {y / grid_.CellHeight() + 1, x / grid_.CellWidth() + 1};
  const QString name = QString::fromStdString(entry.Name);
  if (ResImage->toolTip() != name) ResImage->setToolTip(name);
}

void TFormTemplates::ResImageMouseUp(int x, int y) {
  // Without a desk no point is set.
  const TWorkPoints none;
  if (const auto missing = MissingReference(TemplateKind, Desk ? Desk->Points() : none)) {
    Message(std::string(*missing), false);
    return;
  }
  const std::optional<int> hit = grid_.HitTest(x, y, FirstRow(), int(shown_.size()));
  if (!hit) return;
  // A copy: applying may reload the catalogue.
  const TPartInfoRecord entry = templates_.List[std::size_t(shown_[std::size_t(*hit)])];
  if (entry.X == kCaptionCellX) return;
  ApplyEntry(entry);
}

void TFormTemplates::ApplyEntry(const TPartInfoRecord& entry) {
  const std::optional<fs::path> path = FindTemplateFile(TemplateApplyFolders(settings_.Content), entry.FileName);
  if (!path || !Desk) return;
  TApplyChoice choice;
  choice.Kind = TemplateKind;
  for (int i = 0; i < kHandMarkerCount; ++i) choice.Nails[std::size_t(i)] = ButtonNail[std::size_t(i)]->Pressed();
  choice.ReplaceSameType = ButtonReplaceSameType->Pressed();
  try {
    // A template that cannot be read is told, not placed.
    const TFileResult<std::optional<std::string_view>> applied =
        ApplyTemplate(*Desk, templates_.Types, entry, path->string(), choice);
    if (!applied) Message(applied.Error().Text(), true);
    else if (*applied) Message(std::string(**applied), false);
  } catch (const std::exception& e) {
    // Running out of memory while the new layer is sized and rendered.
    Message(e.what(), true);
  }
}

void TFormTemplates::ScrollPreview(bool down) {
  const int value = FirstRow();
  const int next = grid_.ScrollStep(value, int(shown_.size()), down, ScrollByPage);
  if (next != value) SliderScrollPreview->SetValue(next);
}

void TFormTemplates::KeyUp(int& key, int shift) {
  if (shift != 0) return;
  switch (key) {
    case kVkPageUp:
    case kVkPageDown:
      ScrollByPage = true;
      ScrollPreview(key == kVkPageDown);
      break;
    case kVkUp:
    case kVkDown:
      ScrollByPage = false;
      ScrollPreview(key == kVkDown);
      break;
    case kVkHome:
      SliderScrollPreview->SetValue(SliderScrollPreview->Min());
      break;
    case kVkEnd:
      SliderScrollPreview->SetValue(SliderScrollPreview->Max());
      break;
    default:
      return;
  }
  key = 0;
}

void TFormTemplates::Message(const std::string& keyOrText, bool literal) {
  if (ShowMessage) ShowMessage(keyOrText, literal);
}

bool TFormTemplates::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ResImage) {
    if (event->type() == QEvent::MouseMove) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      ResImageMouseMove(mouse->position().toPoint().x(), mouse->position().toPoint().y());
    } else if (event->type() == QEvent::MouseButtonRelease) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton) ResImageMouseUp(mouse->position().toPoint().x(), mouse->position().toPoint().y());
      return true;
    } else if (event->type() == QEvent::Leave) {
      ResImageMouseMove(-1, -1);
    }
  }
  return TSkinnedForm::eventFilter(watched, event);
}

void RegisterFormTemplates(TMainSettings& settings, TTemplateBase& templates, TQuestionnaires& questionnaires) {
  RegisterStandingForm("FormTemplates", [&settings, &templates, &questionnaires](QWidget* owner) {
    return new TFormTemplates(settings, templates, questionnaires, owner);
  });
}
