#pragma once
// The shop list: where the templates and colours on the desk can be bought. The
// matching is TShopList's; this window paints the grid (thumbnail, shops,
// internet addresses, postal codes), highlights the shops of a typed postal code,
// opens a clicked address and prints the list as strips scaled to the page.
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "editor/ShopList.h"
#include "picture/Bitmap32.h"
#include "shell/forms/PrintChoice.h"
#include "shell/forms/SkinnedForm.h"

class QLabel;
class QLineEdit;
class QPainter;
class QPrinter;
class QScrollArea;
class TCaptionBar;
class TFormMain;
class TGraphicButton;
class TMontageDesk;
class TMyImage;
class TFormShopList;
struct TMainSettings;

// A desk layer as the list sees it: what matching needs and its picture.
struct TShopListLayer {
  TShopLayer Info;
  TBitmap32 Picture;  // the layer's rendered view (empty: a white thumbnail)
};
std::vector<TShopListLayer> ShopListLayers(const TMontageDesk& desk);

// The grid: four columns, one header row, then a row per match.
class TShopGrid : public QWidget {
 public:
  explicit TShopGrid(TFormShopList& form, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  TFormShopList& form_;
};

class TFormShopList : public TSkinnedForm {
  Q_OBJECT

 public:
  // Built whole here from the two files in `folder` and the layers; printed with
  // the margins of `settings`.
  TFormShopList(const fs::path& folder, const std::vector<TShopListLayer>& layers, const TMainSettings& settings,
                QWidget* parent = nullptr);
  ~TFormShopList() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QScrollArea* GridBox;
  TShopGrid* DrawGrid;
  QLabel* ZipLabel;
  QLineEdit* ZipEdit;
  TGraphicButton* ButtonPrint;
  TMyImage* ImageButtons;

  const std::vector<TShopRow>& Rows() const { return rows_; }
  // What prints the list (its dialog answered by window tests).
  TWindowPrinter& WindowPrinter() { return printer_; }
  // The address under the mouse ("" for none).
  const std::string& HoverUrl() const { return hoverUrl_; }
  // The grid's rows: the header, then one per match (at least one more).
  int GridRowCount() const;
  int GridRowHeight(int row) const;
  int GridColumnWidth(int column) const { return columnWidths_[column]; }

  // The grid's handlers (coordinates of the grid).
  void DrawGridMouseMove(int x, int y);
  void DrawGridMouseDown();
  // Paints cell (column, row) into `rect` as on screen; for printing too.
  void DrawCell(QPainter& painter, const QRect& rect, int column, int row) const;

  // Prints the list; false when there is nothing to print or the printer would
  // not start.
  bool PrintList(QPrinter& printer);
  // The print button: the list's own print dialog, then the list printed there;
  // a printer that will not start is told.
  void ButtonPrintClick();

 private:
  const TMainSettings& settings_;
  int TextHeight() const;
  // The widths the printed strips use: each column as wide as its widest text.
  std::vector<int> PrintColumnWidths() const;

  TShopList list_;
  std::vector<TShopRow> rows_;
  std::vector<QImage> thumbnails_;
  QString headers_[4];
  int columnWidths_[4];
  std::string hoverUrl_;
  int hoverRow_ = -1;
  TWindowPrinter printer_;
};

// Opens the list for the main window's desk (printed with its settings'
// margins), over that window: a message when nothing on the desk is sold
// anywhere, otherwise the window, modally.
void RunShopList(TFormMain& main);
// The main window's shopping button opens it.
void ConnectFormShopList(TFormMain& main);
