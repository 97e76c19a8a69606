#pragma once
// The layers list: one row per desk layer, top layer first, with its thumbnail
// and caption. A click selects the layer on the desk, another button opens the
// desk's layer menu, dragging a row moves its layer, and the five layer buttons
// act like the main window's. The mouse rules are TLayerListMouse's.
#include <QAbstractScrollArea>
#include <set>
#include <string>
#include <vector>

#include "editor/LayerList.h"
#include "picture/Bitmap32.h"
#include "shell/forms/SkinnedForm.h"

class QTimer;
class TCaptionBar;
class TGraphicButton;
class TMyImage;
class TFormMain;
class TMontageDesk;
class TFormLayers;

class TLayerListBox : public QAbstractScrollArea {
  Q_OBJECT
 public:
  TLayerListBox(TFormLayers& form, QWidget* parent);
  // The row under a viewport point, -1 below the last row.
  int RowAt(int y) const;
  int TopRow() const;
  void UpdateRange();
  // Scrolls so that `row` is whole in view.
  void ShowRow(int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PaintRow(QPainter& painter, int row, int top);
  TFormLayers& form_;
};

class TFormLayers : public TSkinnedForm {
  Q_OBJECT

 public:
  explicit TFormLayers(QWidget* parent = nullptr);
  ~TFormLayers() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonMinimize;
  TGraphicButton* ButtonExit;
  TLayerListBox* ListBox;
  QTimer* Timer;  // the auto-scroll during a drag
  TGraphicButton* ButtonLayerHide;
  TGraphicButton* ButtonLayerShow;
  TGraphicButton* ButtonLayerDelete;
  TGraphicButton* ButtonLayerMoveBottom;
  TGraphicButton* ButtonLayerMoveTop;
  TMyImage* ImageButtons;

  // The main window whose desk the list shows, handed in as the window is made
  // (ConnectMainWindow); null: none, the list stays empty.
  TFormMain* MainWindow = nullptr;

  // Rebuilds the rows from the desk's layers and selects the desk's selected layer.
  void RefreshLayerList();
  // Enables, shows and hides the five buttons for the selected row.
  void UpdateLayerButtons();

  int RowCount() const { return int(captions_.size()); }
  const std::string& RowCaption(int row) const { return captions_.at(std::size_t(row)); }
  const TBitmap32& RowThumbnail(int row) const { return thumbs_.at(std::size_t(row)); }
  int SelectedRow() const { return selectedRow_; }
  TLayerListMouse& Mouse() { return mouse_; }

 private:
  friend class TLayerListBox;
  TFormMain* Main() const;
  TMontageDesk* Desk() const;
  void CloneLayerButtons();
  void SelectRow(int row);
  void OpenLayerMenu(int row, const QPoint& globalPos);
  void DropOn(int from, int to);
  bool RowHasCatalogPage(int row) const;
  // The thumbnails of the rows whose layers changed their look.
  void ShowNewLooks();

  TLayerListMouse mouse_;
  std::vector<TBitmap32> thumbs_;
  std::vector<std::string> captions_;
  std::vector<bool> visible_;
  std::set<int> staleRows_;  // rows whose layer's look changed since their thumbnail
  QTimer* lookTimer_;
  int selectedRow_ = -1;
  int scrollDirection_ = 0;
};

// The standing layers list (null before it is created).
extern TFormLayers* FormLayers;
void RegisterFormLayers();
