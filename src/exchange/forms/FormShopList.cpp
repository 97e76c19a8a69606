#include "exchange/forms/FormShopList.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <algorithm>

#include "editor/MainShell.h"
#include "editor/MontageDesk.h"
#include "editor/PortraitToolDesign.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "exchange/PrintLayout.h"
#include "picture/BitmapRoutines.h"
#include "picture/forms/BitmapImage.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/ShellOpen.h"
#include "platform/Text.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"
#include "shell/forms/TermText.h"

namespace d = portrait_tool;

namespace {

constexpr int kFormWidth = 645;
constexpr int kFormHeight = 520;
constexpr int kCaptionHeight = 20;
constexpr int kThumbSide = 50;
constexpr QRect kGridBox{20, 50, 605, 370};
constexpr int kControlsTop = 432;
constexpr int kScreenWidths[4] = {60, 170, 250, 120};
constexpr int kTextLeft[4] = {0, 10, 10, 10};
constexpr int kFontPixels = 13;

QFont GridFont() {
  QFont font;
  // Pixel-sized, so printed strips scale with their cells.
  font.setPixelSize(kFontPixels);
  return font;
}

QImage Thumbnail(const TShopRow& row, const TBitmap32& picture) {
  if (row.IsColor) {
    QImage image(kThumbSide, kThumbSide, QImage::Format_RGB32);
    image.fill(QColor(row.Color & 0xFF, (row.Color >> 8) & 0xFF, (row.Color >> 16) & 0xFF));
    return image;
  }
  if (picture.Empty()) {
    QImage image(kThumbSide, kThumbSide, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
  }
  return ImageView(ThumbnailCanvas(picture, kThumbSide, Color32(255, 255, 255), kThumbSide)).copy();
}

const std::vector<std::string>& ColumnList(const TShopRow& row, int column) {
  return column == 1 ? row.Shops : column == 2 ? row.Urls : row.Zips;
}

}  // namespace

std::vector<TShopListLayer> ShopListLayers(const TMontageDesk& desk) {
  std::vector<TShopListLayer> layers;
  for (int i = 0; i < desk.LayerCount(); ++i) {
    const TLayer& layer = desk.Layer(i);
    const TBitmap32& view = layer.ViewRendering().Bitmap;
    layers.push_back({{layer.SourceFile, layer.Color()}, view.Empty() ? layer.Picture : view});
  }
  return layers;
}

TShopGrid::TShopGrid(TFormShopList& form, QWidget* parent) : QWidget(parent), form_(form) {
  setObjectName("DrawGrid");
  setMouseTracking(true);
  setFont(GridFont());
}

void TShopGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  int top = 0;
  for (int row = 0; row < form_.GridRowCount(); ++row) {
    int left = 0;
    const int height = form_.GridRowHeight(row);
    for (int column = 0; column < 4; ++column) {
      const int width = form_.GridColumnWidth(column);
      form_.DrawCell(painter, QRect(left, top, width, height), column, row);
      left += width + 1;
    }
    top += height + 1;
  }
}

void TShopGrid::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  form_.DrawGridMouseMove(p.x(), p.y());
}

void TShopGrid::mousePressEvent(QMouseEvent*) { form_.DrawGridMouseDown(); }

void TShopGrid::leaveEvent(QEvent*) { form_.DrawGridMouseMove(-1, -1); }

TFormShopList::TFormShopList(const fs::path& folder, const std::vector<TShopListLayer>& layers,
                             const TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormShopList", parent), settings_(settings) {
  resize(kFormWidth, kFormHeight);
  PlaceFromFrame({60, 60});
  ImageButtons = NewButtonSheet(*this);
  CaptionBar = NewCaptionBar(*this, width(), kCaptionHeight);
  ButtonExit = NewSheetButton(CaptionBar, "ButtonExit", ImageButtons, d::kSheetExitTop, {623, 0, 20, 19});
  TakeMainWindowLooks(*ButtonExit);
  ButtonExit->OnClick = [this] { close(); };

  GridBox = new QScrollArea(this);
  GridBox->setObjectName("GridBox");
  GridBox->setGeometry(kGridBox);
  GridBox->setWidgetResizable(false);
  DrawGrid = new TShopGrid(*this, nullptr);
  GridBox->setWidget(DrawGrid);

  ZipLabel = new QLabel(this);
  ZipLabel->setObjectName("ZipLabel");
  ZipLabel->setGeometry(20, kControlsTop + 4, 190, 20);
  ZipLabel->setStyleSheet("color: #e8f2f4;");
  ZipEdit = new QLineEdit(this);
  ZipEdit->setObjectName("ZipEdit");
  ZipEdit->setGeometry(215, kControlsTop + 2, 120, 24);
  // Each change repaints: a highlight must never show a code no longer typed.
  connect(ZipEdit, &QLineEdit::textChanged, DrawGrid, [this] { DrawGrid->update(); });

  ButtonPrint = NewSheetButton(this, "ButtonPrint", ImageButtons, d::kSheetButtonTop,
                               {kFormWidth - 20 - d::kButtonWidth, kControlsTop, d::kButtonWidth, d::kButtonHeight});
  ButtonPrint->SetCaption(TermText("FormShopListButtonPrintCaption", "Print"));
  ButtonPrint->OnClick = [this] { ButtonPrintClick(); };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName"));
  CaptionBar->Caption = TermText("FormShopListCaption", "Where to buy");
  ZipLabel->setText(TermText("FormShopListLabelZipCaption", "Shops in postal code:"));
  ButtonPrint->setToolTip(TermText("FormShopListButtonPrintHint", "Print the list"));
  const char* headerKeys[4] = {"FormShopListHeaderTemplates", "FormShopListHeaderShops", "FormShopListHeaderInetURLs",
                               "FormShopListHeaderZipPostal"};
  const char* headerDefaults[4] = {"Item", "Shops", "Internet", "Postal code"};
  for (int i = 0; i < 4; ++i) headers_[i] = TermText(headerKeys[i], headerDefaults[i]);
  std::copy(std::begin(kScreenWidths), std::end(kScreenWidths), columnWidths_);

  if (list_.Load(ResolvePath(folder, "shops.txt"), ResolvePath(folder, "partshops.txt"))) {
    std::vector<TShopLayer> infos;
    for (const TShopListLayer& layer : layers) infos.push_back(layer.Info);
    rows_ = list_.Match(infos);
    for (const TShopRow& row : rows_) thumbnails_.push_back(Thumbnail(row, layers[std::size_t(row.Layer)].Picture));
  }
  int height = 0;
  for (int row = 0; row < GridRowCount(); ++row) height += GridRowHeight(row) + 1;
  int width = 0;
  for (int w : columnWidths_) width += w + 1;
  DrawGrid->resize(width, height);

  Skins = {"FormShopList.Skin", "FormShopList.psd", "FormSetupButtons", "ButSetup.psd"};
}

TFormShopList::~TFormShopList() = default;

int TFormShopList::GridRowCount() const { return rows_.empty() ? 2 : int(rows_.size()) + 1; }

int TFormShopList::TextHeight() const { return QFontMetrics(GridFont()).height(); }

int TFormShopList::GridRowHeight(int row) const {
  if (row == 0) return TextHeight() + 8;
  if (row > int(rows_.size())) return ShopRowHeight(0, TextHeight());
  return ShopRowHeight(int(rows_[std::size_t(row - 1)].Shops.size()), TextHeight());
}

void TFormShopList::DrawCell(QPainter& painter, const QRect& rect, int column, int row) const {
  painter.setFont(GridFont());
  const int textHeight = QFontMetrics(painter.font()).height();
  if (row == 0) {
    painter.fillRect(rect, QColor(0xF0, 0xF0, 0xF0));
    painter.setPen(Qt::black);
    painter.drawText(rect.adjusted(5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, headers_[column]);
    return;
  }
  painter.fillRect(rect, Qt::white);
  if (row > int(rows_.size())) return;
  const std::size_t index = std::size_t(row - 1);
  if (column == 0) {
    const QImage& thumb = thumbnails_[index];
    painter.drawImage(rect.left() + (rect.width() - thumb.width()) / 2, rect.top() + (rect.height() - thumb.height()) / 2,
                      thumb);
    return;
  }
  const TShopRow& shopRow = rows_[index];
  const std::vector<std::string>& lines = ColumnList(shopRow, column);
  const std::string zip = ZipEdit->text().toStdString();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    QColor color = Qt::black;
    if (!zip.empty() && shopRow.Zips[i] == zip) color = QColor(0, 0x80, 0);
    if (column == 2 && int(index) == hoverRow_ && !lines[i].empty() && lines[i] == hoverUrl_) color = QColor(0, 0, 0xFF);
    painter.setPen(color);
    painter.drawText(QRect(rect.left() + kTextLeft[column], rect.top() + int(i) * textHeight,
                           rect.width() - kTextLeft[column], textHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(lines[i]));
  }
}

void TFormShopList::DrawGridMouseMove(int x, int y) {
  if (rows_.empty()) return;
  std::string url;
  int hoverRow = -1;
  const int addressLeft = columnWidths_[0] + columnWidths_[1] + 2;
  if (x >= addressLeft && x < addressLeft + columnWidths_[2]) {
    int top = GridRowHeight(0) + 1;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      const int height = GridRowHeight(int(i) + 1);
      if (y >= top && y < top + height) {
        const int line = ShopLineAt(y, top, height, int(rows_[i].Urls.size()));
        if (line >= 0) {
          url = rows_[i].Urls[std::size_t(line)];
          hoverRow = int(i);
        }
        break;
      }
      top += height + 1;
    }
  }
  if (url.empty()) hoverRow = -1;
  if (url == hoverUrl_ && hoverRow == hoverRow_) return;
  hoverUrl_ = url;
  hoverRow_ = hoverRow;
  DrawGrid->setCursor(url.empty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
  DrawGrid->update();
}

void TFormShopList::DrawGridMouseDown() {
  const std::string url = Trim(hoverUrl_);
  // Only web and mail addresses; a list file must not start programs.
  if (!url.empty()) ShellOpen(url);
}

std::vector<int> TFormShopList::PrintColumnWidths() const {
  const QFontMetrics metrics(GridFont());
  std::vector<int> widths(4);
  for (int column = 0; column < 4; ++column) {
    int width = metrics.horizontalAdvance(headers_[column]) + 10;
    if (column == 0) {
      width = std::max(kThumbSide + 10, width);
    } else {
      for (const TShopRow& row : rows_)
        for (const std::string& text : ColumnList(row, column))
          width = std::max(width, metrics.horizontalAdvance(QString::fromStdString(text)) + kTextLeft[column] + 10);
    }
    widths[std::size_t(column)] = width;
  }
  return widths;
}

void TFormShopList::ButtonPrintClick() {
  const TPrintReport report = printer_.PrintWithDialog(this, PrintJobTitle(TermText("FormShopListCaption", "Where to buy")),
                                                       [this](QPrinter& printer) { return PrintList(printer); });
  TellPrintReport(report, "MessageShopListNotPrinted", "The shop list could not be printed.");
}

bool TFormShopList::PrintList(QPrinter& printer) {
  if (rows_.empty()) return false;
  const std::vector<int> widths = PrintColumnWidths();
  int stripWidth = 1;
  for (int w : widths) stripWidth += w + 1;
  std::vector<TStripSize> strips;
  for (int row = 0; row < GridRowCount(); ++row) strips.push_back({stripWidth, GridRowHeight(row) + 2});
  const TPrintableArea area =
      PrintableArea(printer.widthMM(), printer.heightMM(), settings_.LeftRightMargin, settings_.TopBottomMargin);
  const std::vector<TStripPlace> places = PlaceStrips(strips, area);

  SetProgramCursor(*this, crHourGlass);
  QPainter painter;
  if (!painter.begin(&printer)) {
    SetProgramCursor(*this, crDefault);
    return false;
  }
  int page = 0;
  for (std::size_t i = 0; i < places.size(); ++i) {
    if (places[i].Page != page) {
      printer.newPage();
      page = places[i].Page;
    }
    const int width = TenthsToDevice(area.Width, printer.logicalDpiX());
    const int height = TenthsToDevice(places[i].Height, printer.logicalDpiY());
    painter.save();
    painter.translate(TenthsToDevice(area.Left, printer.logicalDpiX()),
                      TenthsToDevice(area.Top + places[i].Top, printer.logicalDpiY()));
    painter.scale(double(width) / strips[i].Width, double(height) / strips[i].Height);
    int left = 1;
    for (int column = 0; column < 4; ++column) {
      DrawCell(painter, QRect(left, 1, widths[std::size_t(column)], strips[i].Height - 2), column, int(i));
      left += widths[std::size_t(column)] + 1;
    }
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, strips[i].Width - 1, strips[i].Height - 1);
    painter.restore();
  }
  const bool ended = painter.end();
  SetProgramCursor(*this, crDefault);
  return ended;
}

void RunShopList(TFormMain& main) {
  std::vector<TShopListLayer> layers;
  if (main.DeskWindow()) layers = ShopListLayers(main.DeskWindow()->Desk());
  TFormShopList form(fs::path(InstallationFolder()), layers, main.Settings(), &main);
  if (form.Rows().empty()) {
    ShowMessageBox("MessageShopListEmpty", mbkOKCancel, false, "Nothing on the desk is listed with a shop.");
    return;
  }
  ShowSkinnedModal(form);
}

void ConnectFormShopList(TFormMain& main) {
  RegisterCallWindow("FormShopping", [main = QPointer<TFormMain>(&main)] {
    if (main) RunShopList(*main);
  });
}
