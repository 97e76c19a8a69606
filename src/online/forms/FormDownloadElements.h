#pragma once
// The element-download window: one root per publisher; expanding a root fetches
// the publisher's index and grows the tree with what is new here; checked
// elements (or those dragged to the download list) are fetched and installed
// by the start button. The fetching and installing is TElementDownloader's.
#include <QImage>
#include <QListWidget>
#include <QTreeWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "online/ElementDownload.h"
#include "online/forms/OnlineControls.h"
#include "online/forms/QtOwnerThread.h"
#include "shell/forms/SkinnedForm.h"

class QLabel;
class QProgressBar;
class QTimer;
class TCaptionBar;
class TGraphicButton;
class TMyImage;
class TTransferContext;
struct TMainSettings;

// The tree: a left double click toggles, a right double click fetches previews,
// and entries dropped from the download list are unchecked.
class TDownloadTree : public QTreeWidget {
 public:
  explicit TDownloadTree(QWidget* parent = nullptr);
  std::function<void(QTreeWidgetItem*)> OnToggle;
  std::function<void(QTreeWidgetItem*)> OnFetchPreviews;
  std::function<void()> OnDropFromList;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

// The download list: takes tree entries dropped on it; a right click or the
// Delete key unchecks entries.
class TDownloadList : public QListWidget {
 public:
  explicit TDownloadList(QWidget* parent = nullptr);
  std::function<void()> OnDropFromTree;
  std::function<void(const std::vector<QListWidgetItem*>&)> OnRemove;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// The preview box: takes tree nodes dropped on it.
class TPreviewBox : public QListWidget {
 public:
  explicit TPreviewBox(QWidget* parent = nullptr);
  std::function<void()> OnDropFromTree;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

class TFormDownloadElements : public TSkinnedForm {
  Q_OBJECT

 public:
  // Offers the publishers of `settings`; what a download brings in (publishers,
  // model types, messages, queries, interfaces) is written into its ini.
  explicit TFormDownloadElements(TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormDownloadElements() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  QLabel* LabelTreeView;
  QLabel* LabelNodeName;
  QLabel* LabelDownloadList;
  QLabel* LabelProcessTotal;
  QLabel* LabelProgress;
  TDownloadTree* TreeView;
  TDownloadList* ListBox;
  TPreviewBox* ScrollBoxPreview;
  TPreviewLabel* ImagePreview;
  QProgressBar* ProgressBarFile;
  QProgressBar* ProgressBarTotal;
  TGraphicButton* ButtonStartDownload;
  TGraphicButton* ButtonStopDownload;
  TGraphicButton* ButtonElementsPreview;
  QTimer* Timer1;
  TMyImage* ImageButtons;

  // A node's record.
  struct TNode {
    int Kind = ekPublisher;
    std::string BaseUrl;
    std::string Key;
    std::string State;  // roots: "-1" not analysed, "-2" analysed
    std::string Caption;  // groups: without the count
    TDownloadJob Job;
    QImage Preview;
  };
  const TNode* NodeOf(QTreeWidgetItem* item) const;
  QTreeWidgetItem* Root(int index) const;
  // Runs the analysis of a publisher root (what expanding it does).
  bool ExpandPublisher(QTreeWidgetItem* root);
  void SetChecked(QTreeWidgetItem* item, bool checked);
  // The checked downloadable nodes, publisher by publisher in tree order.
  std::vector<QTreeWidgetItem*> CheckedElements() const;
  std::int64_t TotalBytes() const;
  void ButtonStartDownloadClick();
  void ButtonStopDownloadClick();
  void ButtonElementsPreviewClick();
  // Fetches the previews of the elements at and below `item`.
  void FetchPreviews(QTreeWidgetItem* item);
  // The node whose preview "ImagePreview" shows, or null.
  QTreeWidgetItem* PreviewNode() const { return previewNode_; }
  // Shows a node's preview in "ImagePreview" (what hovering it does).
  void ShowPreviewOf(QTreeWidgetItem* item);
  bool Running() const { return running_; }
  TElementDownloader& Downloader() { return *downloader_; }

 private:
  QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, TNode node, const QString& text);
  void BuildSubtree(QTreeWidgetItem* root, const TNewElements& found);
  void RefreshAfterChange();
  void RefreshGroupCaptions(QTreeWidgetItem* item);
  void RebuildList();
  void ShowNodePreviews(QTreeWidgetItem* item);
  void RemoveNode(QTreeWidgetItem* item);
  bool FetchPreview(QTreeWidgetItem* item);
  void SetRunning(bool running);
  void UpdateDownloadProgress(std::int64_t total, std::int64_t received);

  TMainSettings& settings_;
  TQtOwnerThread owner_;
  std::unique_ptr<TTransferContext> context_;
  std::unique_ptr<TElementDownloader> downloader_;
  std::map<QTreeWidgetItem*, TNode> nodes_;
  QImage blankPreview_;
  QString currentName_;
  QTreeWidgetItem* previewNode_ = nullptr;
  bool running_ = false;
  bool refreshing_ = false;
  bool listPreviews_ = false;
  bool singleElement_ = false;  // one element fetched by itself
};
