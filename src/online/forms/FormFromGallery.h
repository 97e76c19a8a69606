#pragma once
// The gallery browser: the users' uploaded works as an author tree, a search by
// the six attributes with a page of previews, and downloads of single works (a
// picture shown in the viewer and saved as a JPEG, or a compressed work saved
// into the works folder). Private works open only with their password. The
// fetching and checking is the Qt-free gallery logic's.
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "online/Gallery.h"
#include "online/OnlineServers.h"
#include "online/forms/OnlineControls.h"
#include "online/forms/QtOwnerThread.h"
#include "shell/forms/SkinnedForm.h"

class QCheckBox;
class QGroupBox;
class QTimer;
class QProgressBar;
class QScrollArea;
class TCaptionBar;
class TFormViewWork;
class TGraphicButton;
class TMyImage;
class TTransferContext;
struct TMainSettings;

// The author tree: a right double click asks for a work's preview; a left one
// adds to the selection.
class TGalleryTree : public QTreeWidget {
 public:
  explicit TGalleryTree(QWidget* parent = nullptr);
  std::function<void(QTreeWidgetItem*, Qt::MouseButton)> OnDoubleClick;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};


// The selection: a double click or the Delete key removes entries.
class TGallerySelection : public QListWidget {
 public:
  explicit TGallerySelection(QWidget* parent = nullptr);
  std::function<void(const std::vector<int>& rows)> OnRemove;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

class TFormFromGallery : public TSkinnedForm {
  Q_OBJECT

 public:
  // Saves what it downloads into the picture and work folders of `settings`.
  explicit TFormFromGallery(const TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormFromGallery() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  TGraphicButton* ButtonTree;
  TGraphicButton* ButtonRequest;
  QLabel* LabelNodeName;
  TGalleryTree* TreeView;
  QGroupBox* GroupBoxRequest;
  std::vector<QListWidget*> CheckLists;  // sex, age, skin, hair, eyes, portrait type
  TGraphicButton* FindB;
  QLabel* Label9;
  QScrollArea* ScrollBoxResult;
  QWidget* ResultPage;
  QLabel* ImagePreview;
  QLabel* LabelDownloadList;
  TGallerySelection* ListBox;
  QLabel* LabelProcessTotal;
  QProgressBar* ProgressBarTotal;
  QLabel* LabelProgress;
  QProgressBar* ProgressBarFile;
  QTimer* Timer1;
  TGraphicButton* ButtonElementsPreview;
  TGraphicButton* ButtonDownloadPreview;
  QCheckBox* CheckBox1;  // the selection's previews, as ButtonElementsPreview
  QCheckBox* CheckBox2;  // the result page's previews, as ButtonDownloadPreview
  TGraphicButton* ButtonStartDownload;
  TGraphicButton* ButtonStopDownload;
  TMyImage* ImageButtons;

  // The password a private work asks for: the typed text, or nullopt when the
  // prompt was declined. The password prompt by default.
  std::function<std::optional<std::string>()> AskPassword;
  // A yes/no question (its UI-text key): the message box by default.
  std::function<bool(const std::string& key)> AskYesNo;

  // GetGalleryDB: fetches the lists and builds the tree.
  bool GetGalleryDB();
  bool ListsLoaded() const { return loaded_; }
  const TGalleryLists& Lists() const { return lists_; }
  QTreeWidgetItem* Root() const;
  // The author node of `caption`, or null.
  QTreeWidgetItem* AuthorNode(const QString& caption) const;
  // Tree or search mode.
  void SetSearchMode(bool search);
  bool SearchMode() const { return searchMode_; }
  // Runs the search of the check lists and shows its result page.
  void RunSearch();
  // The works of the result page, in order (at most 100).
  const std::vector<std::size_t>& ResultWorks() const { return page_; }
  std::size_t MatchCount() const { return matches_.size(); }
  // What a double click on the result page's preview `index` (into the works
  // list) does: the password, then the preview, then the download.
  void OpenWork(std::size_t index);
  // Adds the works of a tree node (an author's or one work) to the selection.
  void SelectNode(QTreeWidgetItem* item);
  const std::vector<std::size_t>& Selection() const { return selection_; }
  void RemoveFromSelection(std::vector<int> rows);
  // "FindB": loads the lists when needed, then searches.
  void FindClick();
  void ButtonStartDownloadClick();
  void ButtonStopDownloadClick();
  bool Running() const { return running_; }
  // Whether the result page fetches its previews (ButtonDownloadPreview and
  // CheckBox2); switching it on fetches those of the page shown.
  void SetDownloadPreviews(bool on);
  bool DownloadPreviews() const { return downloadPreviews_; }
  // Whether the selection shows its previews (ButtonElementsPreview, CheckBox1).
  void SetListPreviews(bool on);
  // The progress of one transfer, as the element download shows it; (total,
  // -1) with total <= 0 resets the display (-1 the file's name and bar too, any
  // total but 0 the total bar).
  void UpdateGalleryProgress(std::int64_t total, std::int64_t received);
  TFormViewWork* Viewer() const { return viewer_; }
  // Where the last download was saved.
  const fs::path& LastSaved() const { return lastSaved_; }

 private:
  const TMainSettings& settings_;
  void BuildTree();
  void ShowResultPage(std::vector<std::size_t> works);
  void RefreshResultPage();
  void RefreshSelection();
  void ShowPreviewOf(std::size_t index);
  bool Unlock(std::size_t index);
  // Fetches a work's preview when it is not loaded; false on failure (with the
  // lost-connection notice).
  bool LoadPreview(std::size_t index);
  bool Download(std::size_t index, bool show);
  std::string AuthorOf(std::size_t index) const;
  void SetRunning(bool running);
  QImage BlankPreview(bool isPrivate) const;

  TQtOwnerThread owner_;
  std::unique_ptr<TTransferContext> context_;
  TOnlineServers servers_;
  TGalleryLists lists_;
  std::vector<QImage> previews_;      // per work; null until loaded
  std::set<std::size_t> downloaded_;  // in this window
  std::vector<std::size_t> matches_, page_, selection_;
  QImage blankPublic_, blankPrivate_;
  TFormViewWork* viewer_ = nullptr;
  fs::path lastSaved_;
  bool loaded_ = false;
  bool searchMode_ = false;
  bool running_ = false;
  bool stopped_ = false;
  bool listPreviews_ = false;
  bool downloadPreviews_ = true;
  bool singleFile_ = false;  // one work fetched by itself: the total bar follows
  QString currentName_;
  bool searchDirty_ = true;
};
