#include "online/forms/FormFromGallery.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QScrollArea>
#include <QTimer>
#include <algorithm>

#include "editor/MainShell.h"
#include "online/ElementDownload.h"
#include "online/TransferContext.h"
#include "online/forms/FormPassword.h"
#include "online/forms/FormViewWork.h"
#include "online/forms/OnlineControls.h"
#include "online/forms/OnlineMessages.h"
#include "picture/forms/BitmapImage.h"
#include "platform/IniFile.h"
#include "platform/Text.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace {

// Rows of the button sheet ("FormFromGalleryButtons"): start, stop, and a plain
// row for the captioned buttons.
constexpr int kStartRowTop = 0;
constexpr int kStopRowTop = 30;
constexpr int kPlainRowTop = 60;
constexpr int kPreviewSize = 100;
constexpr int kPreviewStep = 101;
constexpr int kMarkerSize = 16;
constexpr int kListPreviewSize = 28;
// Item roles of the tree's nodes.
constexpr int kLevelRole = Qt::UserRole;      // 0 author, 1 work, -1 the root
constexpr int kIndexRole = Qt::UserRole + 1;  // into the authors or the works
const QColor kNavy(0, 0, 0x80);

struct TAttributeList {
  const char* Section;
  const char* CaptionKey;
  const char* Default;
};
constexpr TAttributeList kAttributeLists[kGalleryAttributes] = {
    {"T Sex", "FormFromGallerySex", "Sex"},
    {"T Age", "FormFromGalleryAge", "Age"},
    {"T Skin Color", "FormFromGallerySkinColor", "Skin colour"},
    {"T Hair Color", "FormFromGalleryHairColor", "Hair colour"},
    {"T Eyes Color", "FormFromGalleryEyeColor", "Eyes colour"},
    {"T Portrait Type", "FormFromGalleryPortraitType", "Portrait type"},
};

TGraphicButton* PlainButton(QWidget* parent, const char* name, TMyImage* sheet, QRect bounds, const QString& caption) {
  TGraphicButton* button = NewSheetButton(parent, name, sheet, kPlainRowTop, bounds);
  button->SetCaption(caption);
  return button;
}

QImage Fitted(const QImage& image, int side) {
  return image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// A blank preview drawn here when the interface has none: white in a navy
// frame, a private one crossed in red.
QImage DrawnBlank(bool isPrivate) {
  QImage image(kPreviewSize, kPreviewSize, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setPen(kNavy);
  p.drawRect(0, 0, kPreviewSize - 1, kPreviewSize - 1);
  if (isPrivate) {
    p.setPen(QPen(Qt::red, 3));
    p.drawLine(20, 20, 80, 80);
    p.drawLine(80, 20, 20, 80);
  }
  return image;
}

// The tree's images of a work: 1 public, 2 private (a padlock).
QIcon WorkImage(bool isPrivate) {
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  if (isPrivate) {
    p.setPen(QPen(QColor(0xB0, 0, 0), 2));
    p.drawArc(QRectF(4, 1, 8, 9), 0, 180 * 16);
    p.drawLine(QPointF(4, 5.5), QPointF(4, 8));
    p.drawLine(QPointF(12, 5.5), QPointF(12, 8));
    p.fillRect(QRectF(2, 7, 12, 8), QColor(0xD0, 0x20, 0x20));
  } else {
    p.setPen(kNavy);
    p.setBrush(QColor(0x40, 0xA0, 0x40));
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
  }
  p.end();
  return QIcon(QPixmap::fromImage(image));
}

QCheckBox* NewCheckBox(QWidget* parent, const char* name, QRect bounds, const QString& text) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  box->setGeometry(bounds);
  UseWellTextColour(box);
  return box;
}

}  // namespace

TGalleryTree::TGalleryTree(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setMouseTracking(true);
}

void TGalleryTree::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeWidgetItem* item = itemAt(event->position().toPoint());
  // A node opens and closes by its expand button only.
  if (item && OnDoubleClick) OnDoubleClick(item, event->button());
}

TGallerySelection::TGallerySelection(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::white);
  colours.setColor(QPalette::Text, kNavy);
  colours.setColor(QPalette::Highlight, kNavy);
  colours.setColor(QPalette::HighlightedText, Qt::white);
  setPalette(colours);
}

void TGallerySelection::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid() && OnRemove) OnRemove({index.row()});
}

void TGallerySelection::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && OnRemove) {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
    OnRemove(rows);
    return;
  }
  QListWidget::keyPressEvent(event);
}

TFormFromGallery::TFormFromGallery(const TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormFromGallery", parent), settings_(settings) {
  BuildOnlineFrame(*this, {700, 500, QPoint(40, 30), 678}, ImageButtons, CaptionBar, ButtonExit);

  ButtonTree = PlainButton(this, "ButtonTree", ImageButtons, {16, 28, 90, 30}, TermText("FormFromGalleryTree", "Authors"));
  ButtonTree->OnClick = [this] { SetSearchMode(false); };
  ButtonRequest =
      PlainButton(this, "ButtonRequest", ImageButtons, {112, 28, 90, 30}, TermText("FormFromGalleryRequest", "Search"));
  ButtonRequest->OnClick = [this] { SetSearchMode(true); };
  LabelNodeName = NewOnlineLabel(this, "LabelNodeName", {212, 34, 472, 18});

  TreeView = new TGalleryTree(this);
  TreeView->setObjectName("TreeView");
  TreeView->setGeometry(16, 66, 300, 290);
  GroupBoxRequest = new QGroupBox(this);
  GroupBoxRequest->setObjectName("GroupBoxRequest");
  GroupBoxRequest->setGeometry(16, 66, 300, 290);
  for (int n = 0; n < kGalleryAttributes; ++n) {
    const int left = 6 + (n % 2) * 146, top = 18 + (n / 2) * 80;
    QLabel* caption = NewOnlineLabel(GroupBoxRequest, "LabelAttribute", {left, top, 140, 16});
    caption->setText(TermText(kAttributeLists[n].CaptionKey, kAttributeLists[n].Default));
    auto* list = new QListWidget(GroupBoxRequest);
    list->setObjectName(QString("CheckListBox%1").arg(n + 1));
    list->setGeometry(left, top + 16, 140, 60);
    for (const std::string& line : settings_.Ini.ReadSectionValues(kAttributeLists[n].Section)) {
      const std::size_t eq = line.find('=');
      const std::string text = eq == std::string::npos ? line : line.substr(eq + 1);
      auto* item = new QListWidgetItem(QString::fromStdString(text), list);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
      item->setCheckState(Qt::Unchecked);
    }
    connect(list, &QListWidget::itemChanged, this, [this] {
      searchDirty_ = true;
      if (loaded_ && !running_) RunSearch();
    });
    CheckLists.push_back(list);
  }
  QLabel* findLabel = NewOnlineLabel(GroupBoxRequest, "FindLabel", {6, 260, 100, 20});
  findLabel->setText(TermText("FormFromGalleryFindLabel", "Found:"));
  Label9 = NewOnlineLabel(GroupBoxRequest, "Label9", {106, 260, 80, 20});
  FindB = PlainButton(GroupBoxRequest, "FindB", ImageButtons, {204, 254, 90, 30}, TermText("FormFromGalleryFind", "Find"));
  FindB->OnClick = [this] { FindClick(); };

  ScrollBoxResult = new QScrollArea(this);
  ScrollBoxResult->setObjectName("ScrollBoxResult");
  ScrollBoxResult->setGeometry(330, 66, 226, 290);
  ResultPage = new QWidget;
  ResultPage->setObjectName("ResultPage");
  ScrollBoxResult->setWidget(ResultPage);
  ImagePreview = NewOnlineLabel(this, "ImagePreview", {570, 66, kPreviewSize + 14, kPreviewSize + 14});
  ImagePreview->setAlignment(Qt::AlignCenter);

  LabelDownloadList = NewOnlineLabel(this, "LabelDownloadList", {16, 360, 300, 18});
  ListBox = new TGallerySelection(this);
  ListBox->setObjectName("ListBox");
  ListBox->setGeometry(16, 378, 300, 70);
  ListBox->OnRemove = [this](const std::vector<int>& rows) {
    if (!running_) RemoveFromSelection(rows);
  };
  LabelProcessTotal = NewOnlineLabel(this, "LabelProcessTotal", {330, 362, 354, 18});
  ProgressBarTotal = NewProgressBar(this, "ProgressBarTotal", {330, 386, 354, 12});
  ButtonElementsPreview = PlainButton(this, "ButtonElementsPreview", ImageButtons, {330, 456, 90, 30},
                                      TermText("FormFromGalleryPreviews", "Preview list"));
  ButtonElementsPreview->OnClick = [this] { SetListPreviews(!listPreviews_); };
  ButtonDownloadPreview = PlainButton(this, "ButtonDownloadPreview", ImageButtons, {426, 456, 90, 30},
                                      TermText("FormFromGalleryLoadPreviews", "Get previews"));
  ButtonDownloadPreview->OnClick = [this] { SetDownloadPreviews(!downloadPreviews_); };
  CheckBox1 = NewCheckBox(this, "CheckBox1", {16, 452, 300, 20},
                          TermText("FormFromGalleryCheckBox1Caption", "Show the previews in the list"));
  connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) { SetListPreviews(on); });
  CheckBox2 = NewCheckBox(this, "CheckBox2", {16, 474, 300, 20},
                          TermText("FormFromGalleryCheckBox2Caption", "Load the previews of the search"));
  connect(CheckBox2, &QCheckBox::toggled, this, [this](bool on) { SetDownloadPreviews(on); });
  LabelProgress = NewOnlineLabel(this, "LabelProgress", {330, 404, 354, 18});
  ProgressBarFile = NewProgressBar(this, "ProgressBarFile", {330, 426, 354, 12});
  Timer1 = NewProgressTimer(this, ProgressBarFile);
  ButtonStartDownload = NewSheetButton(this, "ButtonStartDownload", ImageButtons, kStartRowTop, {594, 456, 90, 30});
  ButtonStartDownload->OnClick = [this] { ButtonStartDownloadClick(); };
  ButtonStopDownload = NewSheetButton(this, "ButtonStopDownload", ImageButtons, kStopRowTop, {594, 456, 90, 30});
  ButtonStopDownload->OnClick = [this] { ButtonStopDownloadClick(); };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName", ""));
  CaptionBar->Caption = TermText("FormFromGalleryCaption", "Gallery");
  LabelNodeName->setText(TermText("LabelNodeNameCaption", ""));
  LabelDownloadList->setText(TermText("LabelDownloadListCaption", "To download"));
  LabelProcessTotal->setText(TermText("LabelProcessTotalCaption", "Total: "));
  GroupBoxRequest->setTitle(TermText("FormFromGalleryGroupBoxRequestCaption", "Search"));
  ButtonStartDownload->setToolTip(TermText("ButtonStartDownloadHint", ""));
  ButtonStopDownload->setToolTip(TermText("ButtonStopDownloadHint", ""));
  ButtonElementsPreview->setToolTip(TermText("ButtonElementsPreviewHint", ""));
  FindB->setToolTip(TermText("FormFromGalleryFindBHint", "Find the works described"));
  ButtonDownloadPreview->setToolTip(TermText("FormFromGalleryButtonDownLoadPreviewHint", ""));

  servers_ = ReadOnlineServers(settings_.Ini);
  context_ = std::make_unique<TTransferContext>(ETransferUse::GalleryBrowser, owner_);
  TBitmap32 blank;
  blankPublic_ = LoadSkinBitmap(blank, "BlankPublicPreview", "BlankPub.psd", true) ? ImageView(blank).copy()
                                                                                      : DrawnBlank(false);
  blankPrivate_ = LoadSkinBitmap(blank, "BlankPrivatePreview", "BlankPrv.psd", true) ? ImageView(blank).copy()
                                                                                       : DrawnBlank(true);
  viewer_ = new TFormViewWork(this);

  AskPassword = [] () -> std::optional<std::string> {
    TFormPassword prompt;
    if (ShowSkinnedModal(prompt) != 1) return std::nullopt;
    return prompt.EditPassword->text().toStdString();
  };
  AskYesNo = [](const std::string& key) { return ShowMessageBox(key, mbkYesNo) == kMessageYes; };

  auto* root = new QTreeWidgetItem(TreeView, QStringList{TermText("FormFromGalleryUserList", "Authors")});
  root->setData(0, kLevelRole, -1);
  root->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  connect(TreeView, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    const int level = item->data(0, kLevelRole).toInt();
    if (level == -1 && !loaded_) {
      // The first expansion only loads the lists; the user opens the root again to see them.
      item->setExpanded(false);
      QPointer<TFormFromGallery> self(this);
      QTimer::singleShot(0, this, [self] {
        if (self && !self->running_) self->GetGalleryDB();
      });
    } else if (level == 0 && !running_) {
      const auto& author = lists_.Authors.at(std::size_t(item->data(0, kIndexRole).toInt()));
      ShowResultPage(author.Works);
    }
  });
  connect(TreeView, &QTreeWidget::itemEntered, this, [this](QTreeWidgetItem* item) {
    if (item->data(0, kLevelRole).toInt() == 1) ShowPreviewOf(std::size_t(item->data(0, kIndexRole).toInt()));
  });
  TreeView->OnDoubleClick = [this](QTreeWidgetItem* item, Qt::MouseButton button) {
    if (running_) return;
    const int level = item->data(0, kLevelRole).toInt();
    const auto index = std::size_t(item->data(0, kIndexRole).toInt());
    if (button == Qt::LeftButton) {
      SelectNode(item);
    } else if (button == Qt::RightButton && level == 1) {
      if (Unlock(index) && LoadPreview(index)) ShowPreviewOf(index);
    } else if (button == Qt::RightButton && level == 0) {
      ShowResultPage(lists_.Authors.at(index).Works);
    }
  };

  Skins = {"FormFromGallery.Skin", "FormFrGl.psd", "FormFromGalleryButtons", "ButINet.psd"};
  OnShow = [this] {
    SetSearchMode(searchMode_);
  };
  OnCloseQuery = [this](bool&) {
    if (running_) ButtonStopDownloadClick();
  };
  OnClose = [this] {
    context_->Stop();
    viewer_->close();
  };
  SetRunning(false);
  SetSearchMode(false);
  SetDownloadPreviews(true);
  RefreshSelection();
}

TFormFromGallery::~TFormFromGallery() {
  if (context_) context_->Stop();
}

QTreeWidgetItem* TFormFromGallery::Root() const { return TreeView->topLevelItem(0); }

QTreeWidgetItem* TFormFromGallery::AuthorNode(const QString& caption) const {
  for (int i = 0; i < Root()->childCount(); ++i)
    if (Root()->child(i)->text(0) == caption) return Root()->child(i);
  return nullptr;
}

bool TFormFromGallery::GetGalleryDB() {
  if (running_) return false;
  LabelNodeName->clear();
  currentName_ = TermText("FormFromGalleryGetDB", "Reading the gallery...");
  QPointer<TFormFromGallery> self(this);
  SetRunning(true);
  singleFile_ = true;
  const EGalleryFetch result = FetchGalleryLists(*context_, servers_, lists_, [this](std::int64_t total, std::int64_t received) {
    UpdateGalleryProgress(total, received);
  });
  if (!self) return false;
  singleFile_ = false;
  SetRunning(false);
  UpdateGalleryProgress(-1, -1);
  if (result == EGalleryFetch::NoAccess) ShowOnlineMessage("MessageNoAccessToServer");
  if (result == EGalleryFetch::NoServer) ShowOnlineMessage("MessageNoGalleryServer");
  if (!self || result != EGalleryFetch::Loaded) return false;
  loaded_ = true;
  searchDirty_ = true;
  previews_.assign(lists_.Works.size(), QImage());
  downloaded_.clear();
  selection_.clear();
  BuildTree();
  RefreshSelection();
  SetSearchMode(searchMode_);
  return true;
}

void TFormFromGallery::BuildTree() {
  QTreeWidgetItem* root = Root();
  while (root->childCount() > 0) delete root->takeChild(0);
  for (std::size_t a = 0; a < lists_.Authors.size(); ++a) {
    const TGalleryAuthor& author = lists_.Authors[a];
    auto* node = new QTreeWidgetItem(root, QStringList{QString::fromStdString(author.Caption)});
    node->setData(0, kLevelRole, 0);
    node->setData(0, kIndexRole, int(a));
    for (std::size_t w : author.Works) {
      auto* work = new QTreeWidgetItem(node, QStringList{QString::fromStdString(lists_.Works[w].Name)});
      work->setData(0, kLevelRole, 1);
      work->setData(0, kIndexRole, int(w));
      work->setIcon(0, WorkImage(!lists_.Works[w].Password.empty()));
    }
  }
}

void TFormFromGallery::SetSearchMode(bool search) {
  searchMode_ = search && loaded_;
  ButtonTree->setVisible(loaded_);
  ButtonRequest->setVisible(loaded_);
  ButtonTree->SetPressed(!searchMode_);
  ButtonRequest->SetPressed(searchMode_);
  TreeView->setVisible(!searchMode_);
  GroupBoxRequest->setVisible(searchMode_);
}

void TFormFromGallery::RunSearch() {
  TAttributeChoice choice;
  for (int n = 0; n < kGalleryAttributes; ++n) {
    QListWidget* list = CheckLists[std::size_t(n)];
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->checkState() == Qt::Checked) choice[std::size_t(n)].push_back(i);
  }
  matches_ = SearchGalleryWorks(lists_.Works, choice);
  searchDirty_ = false;
  Label9->setText(" " + QString::number(matches_.size()));
  ShowResultPage(matches_);
}

std::string TFormFromGallery::AuthorOf(std::size_t index) const {
  for (const TGalleryAuthor& author : lists_.Authors)
    if (std::find(author.Works.begin(), author.Works.end(), index) != author.Works.end()) return author.Caption;
  return {};
}

void TFormFromGallery::ShowResultPage(std::vector<std::size_t> works) {
  if (works.size() > kGalleryResultPage) works.resize(kGalleryResultPage);
  page_ = std::move(works);
  RefreshResultPage();
  // Public previews come in one by one; private ones wait for their password.
  QPointer<TFormFromGallery> self(this);
  if (!downloadPreviews_) return;
  const std::vector<std::size_t> page = page_;
  stopped_ = false;
  SetRunning(true);
  for (std::size_t index : page) {
    if (stopped_ || page_ != page) break;
    if (!lists_.Works[index].Password.empty() || !previews_[index].isNull()) continue;
    if (!LoadPreview(index) && (!self || context_->Status() == kTransferConnectionLost)) break;
    if (!self) return;
    RefreshResultPage();
  }
  if (!self) return;
  SetRunning(false);
  UpdateGalleryProgress(-1, -1);
}

void TFormFromGallery::RefreshResultPage() {
  // The page may be refreshed from a double click on one of its own pictures.
  for (QWidget* child : ResultPage->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    child->hide();
    child->setObjectName({});
    child->deleteLater();
  }
  const int rows = int((page_.size() + 1) / 2);
  ResultPage->resize(2 * kPreviewStep, std::max(1, rows * kPreviewStep));
  for (std::size_t n = 0; n < page_.size(); ++n) {
    const std::size_t index = page_[n];
    const TGallary& work = lists_.Works[index];
    const int left = int(n % 2) * kPreviewStep, top = int(n / 2) * kPreviewStep;
    auto* preview = new TPreviewLabel(ResultPage);
    preview->setObjectName(QString("ImageF%1").arg(n + 1));
    preview->setGeometry(left, top, kPreviewSize, kPreviewSize);
    preview->setAlignment(Qt::AlignCenter);
    const QImage& picture = previews_[index].isNull() ? BlankPreview(!work.Password.empty()) : previews_[index];
    preview->setPixmap(QPixmap::fromImage(Fitted(picture, kPreviewSize)));
    preview->setToolTip(QString::fromStdString(AuthorOf(index) + " : " + work.Name));
    preview->OnDoubleClick = [this, index] {
      if (!running_) OpenWork(index);
    };
    // The marker tells a work file from a picture, and a private work.
    auto* marker = new QLabel(ResultPage);
    marker->setObjectName(QString("ImageS%1").arg(n + 1));
    marker->setGeometry(left + kPreviewSize - kMarkerSize, top, kMarkerSize, kMarkerSize);
    marker->setAutoFillBackground(true);
    QPalette colours = marker->palette();
    colours.setColor(QPalette::Window, !work.Password.empty() ? QColor(Qt::red) : work.Kind == "1" ? kNavy : QColor(0, 140, 0));
    marker->setPalette(colours);
    preview->show();
    marker->show();
  }
}

QImage TFormFromGallery::BlankPreview(bool isPrivate) const { return isPrivate ? blankPrivate_ : blankPublic_; }

void TFormFromGallery::ShowPreviewOf(std::size_t index) {
  if (index >= previews_.size() || previews_[index].isNull()) return;
  ImagePreview->setPixmap(QPixmap::fromImage(Fitted(previews_[index], kPreviewSize)));
  LabelNodeName->setText(QString::fromStdString(AuthorOf(index) + " : " + lists_.Works[index].Name));
}

bool TFormFromGallery::Unlock(std::size_t index) {
  const TGallary& work = lists_.Works.at(index);
  if (work.Password.empty()) return true;
  QPointer<TFormFromGallery> self(this);
  const std::optional<std::string> typed = AskPassword ? AskPassword() : std::nullopt;
  return self && typed && *typed == work.Password;
}

bool TFormFromGallery::LoadPreview(std::size_t index) {
  if (!previews_[index].isNull()) return true;
  QPointer<TFormFromGallery> self(this);
  const bool wasRunning = running_;
  SetRunning(true);
  bool lost = false;
  currentName_ = QString::fromStdString(AuthorOf(index) + " : " + lists_.Works[index].Name);
  const std::optional<TBitmap32> picture = FetchGalleryPreview(*context_, servers_, lists_.Works[index], &lost);
  if (!self) return false;
  SetRunning(wasRunning);
  if (!wasRunning) UpdateGalleryProgress(-1, -1);
  if (!picture) {
    if (lost) ShowOnlineMessage("MessageConnectionLost");
    return false;
  }
  previews_[index] = Fitted(ImageView(*picture).copy(), kPreviewSize);
  return true;
}

void TFormFromGallery::OpenWork(std::size_t index) {
  if (running_ || index >= lists_.Works.size()) return;
  if (!Unlock(index)) return;
  if (previews_[index].isNull()) {
    QPointer<TFormFromGallery> self(this);
    if (LoadPreview(index) && self) {
      ShowPreviewOf(index);
      RefreshResultPage();
    }
    return;
  }
  const TGallary& work = lists_.Works[index];
  if (work.Kind == "0") Download(index, true);
  else if (work.Kind == "1" && AskYesNo && AskYesNo("ConfirmDownloadWork")) Download(index, true);
}

bool TFormFromGallery::Download(std::size_t index, bool show) {
  QPointer<TFormFromGallery> self(this);
  const bool wasRunning = running_;
  SetRunning(true);
  currentName_ = QString::fromStdString(AuthorOf(index) + " : " + lists_.Works[index].Name);
  LabelNodeName->setText(currentName_);
  singleFile_ = show;
  const TGalleryDownload result = DownloadGalleryWork(
      *context_, servers_, lists_.Works[index], AuthorOf(index), DataFolderPath(settings_.SaveImageDir),
      DataFolderPath(settings_.LoadWorkDir), [this](std::int64_t total, std::int64_t received) {
        UpdateGalleryProgress(total, received);
      });
  if (!self) return false;
  singleFile_ = false;
  SetRunning(wasRunning);
  UpdateGalleryProgress(show ? -1 : 0, -1);
  if (result.Result == EGalleryDownload::Saved) {
    downloaded_.insert(index);
    lastSaved_ = result.File;
    if (show && result.Picture) viewer_->ShowPicture(*result.Picture);
    else if (show) ShowOnlineMessage("MessageWorkSuccess");
    return true;
  }
  if (show && result.Result != EGalleryDownload::Stopped && result.Result != EGalleryDownload::UnknownKind)
    ShowOnlineMessage("MessageCantDownLoadFile");
  return false;
}

void TFormFromGallery::SelectNode(QTreeWidgetItem* item) {
  const int level = item->data(0, kLevelRole).toInt();
  const auto index = std::size_t(item->data(0, kIndexRole).toInt());
  std::vector<std::size_t> works;
  if (level == 0) works = lists_.Authors.at(index).Works;
  else if (level == 1) works = {index};
  for (std::size_t w : works)
    if (std::find(selection_.begin(), selection_.end(), w) == selection_.end()) selection_.push_back(w);
  RefreshSelection();
}

void TFormFromGallery::RemoveFromSelection(std::vector<int> rows) {
  std::sort(rows.rbegin(), rows.rend());
  for (int row : rows)
    if (row >= 0 && std::size_t(row) < selection_.size()) selection_.erase(selection_.begin() + row);
  RefreshSelection();
}

void TFormFromGallery::RefreshSelection() {
  ListBox->clear();
  std::int64_t total = 0;
  const int side = listPreviews_ ? kListPreviewSize : 0;
  for (std::size_t index : selection_) {
    const TGallary& work = lists_.Works[index];
    const std::int64_t bytes = std::max<std::int64_t>(0, ParseInt64(Trim(work.Size)).value_or(0));
    total += bytes;
    auto* entry = new QListWidgetItem(QString::fromStdString(AuthorOf(index) + " : " + work.Name) + "  " +
                                          QString::number(TotalKilobytes(bytes)) + "K",
                                      ListBox);
    if (!work.Password.empty()) entry->setForeground(Qt::red);
    if (listPreviews_) {
      QImage icon(side, side, QImage::Format_ARGB32);
      icon.fill(kNavy);
      QPainter p(&icon);
      const QImage& picture = previews_[index].isNull() ? BlankPreview(!work.Password.empty()) : previews_[index];
      p.drawImage(QRect(1, 1, side - 2, side - 2), Fitted(picture, side - 2));
      p.end();
      entry->setIcon(QPixmap::fromImage(icon));
    }
  }
  ListBox->setIconSize({side, side});
  LabelProcessTotal->setText(TermText("LabelProcessTotalCaption", "Total: ") + QString::number(TotalKilobytes(total)) + "K");
  ButtonStartDownload->setVisible(!running_);
}

void TFormFromGallery::FindClick() {
  if (running_) return;
  QPointer<TFormFromGallery> self(this);
  if (!loaded_ && (!GetGalleryDB() || !self)) return;
  stopped_ = false;
  RunSearch();
}

void TFormFromGallery::ButtonStartDownloadClick() {
  if (running_) return;
  QPointer<TFormFromGallery> self(this);
  if (!loaded_ && (!GetGalleryDB() || !self)) return;
  if (searchDirty_ && searchMode_) {
    RunSearch();
    if (!self) return;
  }
  // In search mode with the previews asked for, Start shows the result page.
  if (searchMode_ && downloadPreviews_) {
    ShowResultPage(matches_);
    return;
  }
  auto sizeOf = [this](std::size_t index) {
    return std::max<std::int64_t>(0, ParseInt64(Trim(lists_.Works[index].Size)).value_or(0));
  };
  std::int64_t total = 0, done = 0;
  for (std::size_t index : selection_) total += sizeOf(index);
  stopped_ = false;
  SetRunning(true);
  const std::vector<std::size_t> queue = selection_;
  for (std::size_t index : queue) {
    if (stopped_) break;
    // A private work goes only once its password opened its preview.
    if (!lists_.Works[index].Password.empty() && previews_[index].isNull()) continue;
    const bool ok = downloaded_.count(index) || Download(index, false);
    if (!self) return;
    if (!ok) continue;
    selection_.erase(std::find(selection_.begin(), selection_.end(), index));
    done += sizeOf(index);
    RefreshSelection();
    ProgressBarTotal->setValue(ProgressBarPosition(total, done));
  }
  SetRunning(false);
  UpdateGalleryProgress(-1, -1);
  RefreshSelection();
}

void TFormFromGallery::ButtonStopDownloadClick() {
  stopped_ = true;
  context_->Stop();
  UpdateGalleryProgress(-1, -1);
}

void TFormFromGallery::SetDownloadPreviews(bool on) {
  const bool changed = on != downloadPreviews_;
  downloadPreviews_ = on;
  ButtonDownloadPreview->SetPressed(on);
  const QSignalBlocker quiet(CheckBox2);
  CheckBox2->setChecked(on);
  if (changed && on && loaded_ && !running_) ShowResultPage(page_);
}

void TFormFromGallery::SetListPreviews(bool on) {
  listPreviews_ = on;
  ButtonElementsPreview->SetPressed(on);
  const QSignalBlocker quiet(CheckBox1);
  CheckBox1->setChecked(on);
  RefreshSelection();
}

void TFormFromGallery::UpdateGalleryProgress(std::int64_t total, std::int64_t received) {
  if (total <= 0 && received == -1) {
    LabelProgress->clear();
    if (total == -1) {
      currentName_.clear();
      ProgressBarFile->setValue(0);
    }
    if (total != 0) ProgressBarTotal->setValue(0);
    Timer1->stop();
    return;
  }
  if (!Timer1->isActive()) Timer1->start();
  LabelProgress->setText(ProgressText(currentName_, received, total));
  ProgressBarFile->setValue(ProgressBarPosition(total, received));
  if (singleFile_) ProgressBarTotal->setValue(ProgressBarFile->value());
}

void TFormFromGallery::SetRunning(bool running) {
  if (running && !running_) QApplication::setOverrideCursor(Qt::BusyCursor);
  if (!running && running_) QApplication::restoreOverrideCursor();
  running_ = running;
  ButtonStopDownload->setVisible(running);
  ButtonStartDownload->setVisible(!running);
  ListBox->setEnabled(!running);
  GroupBoxRequest->setEnabled(!running);
  ButtonDownloadPreview->setEnabled(!running);
  CheckBox2->setEnabled(!running);
}
