#include "online/forms/FormDownloadElements.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <set>

#include "online/OnlineServers.h"
#include "online/TransferContext.h"
#include "online/forms/OnlineControls.h"
#include "online/forms/OnlineMessages.h"
#include "picture/PackedPicture.h"
#include "picture/forms/BitmapImage.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "shell/MainSettings.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace {

// Rows of the window's button sheet ("FormDownloadElementsButtons").
constexpr int kStartRowTop = 0;
constexpr int kStopRowTop = 30;
constexpr int kPreviewRowTop = 60;
constexpr int kPreviewSize = 100;
// A group that is no node kind of its own: the questionnaire set's.
constexpr int kPlainGroup = -1;
constexpr const char* kNothing = "Nothing";

bool IsGroupKind(int kind) {
  return kind == ekTemplateGroup || kind == ekModelsGroup || kind == ekModelTypeGroup || kind == ekMessagesGroup ||
         kind == ekInterfacesGroup || kind == ekInterface || kind == ekInterfacePartGroup || kind == kPlainGroup;
}

// The text of a "MODEL TYPES" type key, else the key itself.
std::string ModelTypeText(const TIniFile& settings, const std::string& type) {
  for (const std::string& line : settings.ReadSectionValues("MODEL TYPES")) {
    const std::string value = line.substr(line.find('=') + 1);
    if (Trim(Field(value, 1)) == type && !Trim(Field(value, 2)).empty()) return Trim(Field(value, 2));
  }
  return type;
}

QString SizeText(std::int64_t bytes) { return QString::number(TotalKilobytes(bytes)) + "K"; }

bool FromWidget(QDropEvent* event, const QWidget* widget) { return event->source() == widget; }

// Entries dragged from the window's other lists are taken, never a list's own.
void AcceptForeign(QDragMoveEvent* event, const QWidget* widget) {
  if (event->source() && event->source() != widget) event->acceptProposedAction();
}
// Takes a drop from another of the window's lists and calls `taken`.
void TakeForeignDrop(QDropEvent* event, const QWidget* widget, const std::function<void()>& taken) {
  if (FromWidget(event, widget) || !event->source()) return;
  event->acceptProposedAction();
  if (taken) taken();
}

}  // namespace

TDownloadTree::TDownloadTree(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setMouseTracking(true);
}

void TDownloadTree::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeWidgetItem* item = itemAt(event->position().toPoint());
  if (!item) return;
  if (event->button() == Qt::RightButton && OnFetchPreviews) OnFetchPreviews(item);
  if (event->button() == Qt::LeftButton && OnToggle) OnToggle(item);
}

void TDownloadTree::dragEnterEvent(QDragEnterEvent* event) { AcceptForeign(event, this); }
void TDownloadTree::dragMoveEvent(QDragMoveEvent* event) { AcceptForeign(event, this); }
void TDownloadTree::dropEvent(QDropEvent* event) { TakeForeignDrop(event, this, OnDropFromList); }

TDownloadList::TDownloadList(QWidget* parent) : QListWidget(parent) {
  setDragEnabled(true);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void TDownloadList::dragEnterEvent(QDragEnterEvent* event) { AcceptForeign(event, this); }
void TDownloadList::dragMoveEvent(QDragMoveEvent* event) { AcceptForeign(event, this); }
void TDownloadList::dropEvent(QDropEvent* event) { TakeForeignDrop(event, this, OnDropFromTree); }

void TDownloadList::mouseReleaseEvent(QMouseEvent* event) {
  QListWidget::mouseReleaseEvent(event);
  if (event->button() != Qt::RightButton) return;
  if (QListWidgetItem* item = itemAt(event->position().toPoint()); item && OnRemove) OnRemove({item});
}

void TDownloadList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && OnRemove) {
    const QList<QListWidgetItem*> items = selectedItems();
    OnRemove(std::vector<QListWidgetItem*>(items.begin(), items.end()));
    return;
  }
  QListWidget::keyPressEvent(event);
}

TPreviewBox::TPreviewBox(QWidget* parent) : QListWidget(parent) {
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
}

void TPreviewBox::dragEnterEvent(QDragEnterEvent* event) { AcceptForeign(event, this); }
void TPreviewBox::dragMoveEvent(QDragMoveEvent* event) { AcceptForeign(event, this); }
void TPreviewBox::dropEvent(QDropEvent* event) { TakeForeignDrop(event, this, OnDropFromTree); }

TFormDownloadElements::TFormDownloadElements(TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormDownloadElements", parent), settings_(settings) {
  BuildOnlineFrame(*this, {640, 480, QPoint(60, 40), 618}, ImageButtons, CaptionBar, ButtonExit);

  LabelTreeView = NewOnlineLabel(this, "LabelTreeView", {16, 28, 300, 18});
  TreeView = new TDownloadTree(this);
  TreeView->setObjectName("TreeView");
  TreeView->setGeometry(16, 48, 300, 250);
  LabelNodeName = NewOnlineLabel(this, "LabelNodeName", {330, 28, 170, 18});
  ImagePreview = new TPreviewLabel(this);
  ImagePreview->setObjectName("ImagePreview");
  ImagePreview->setGeometry(520, 28, kPreviewSize, kPreviewSize);
  ImagePreview->OnDoubleClick = [this] {
    if (!running_ && previewNode_ && nodes_.count(previewNode_))
      SetChecked(previewNode_, previewNode_->checkState(0) != Qt::Checked);
  };
  ScrollBoxPreview = new TPreviewBox(this);
  ScrollBoxPreview->setObjectName("ScrollBoxPreview");
  ScrollBoxPreview->setGeometry(330, 138, 294, 160);
  ScrollBoxPreview->setViewMode(QListView::IconMode);
  ScrollBoxPreview->setIconSize({64, 64});
  ScrollBoxPreview->setResizeMode(QListView::Adjust);
  LabelDownloadList = NewOnlineLabel(this, "LabelDownloadList", {16, 306, 300, 18});
  ListBox = new TDownloadList(this);
  ListBox->setObjectName("ListBox");
  ListBox->setGeometry(16, 326, 300, 100);
  LabelProcessTotal = NewOnlineLabel(this, "LabelProcessTotal", {330, 306, 294, 18});
  LabelProgress = NewOnlineLabel(this, "LabelProgress", {330, 330, 294, 18});
  ProgressBarFile = NewProgressBar(this, "ProgressBarFile", {330, 354, 294, 12});
  ProgressBarTotal = NewProgressBar(this, "ProgressBarTotal", {330, 374, 294, 12});
  ButtonStartDownload = NewSheetButton(this, "ButtonStartDownload", ImageButtons, kStartRowTop, {330, 436, 90, 30});
  ButtonStartDownload->OnClick = [this] { ButtonStartDownloadClick(); };
  ButtonStopDownload = NewSheetButton(this, "ButtonStopDownload", ImageButtons, kStopRowTop, {330, 436, 90, 30});
  ButtonStopDownload->OnClick = [this] { ButtonStopDownloadClick(); };
  ButtonElementsPreview =
      NewSheetButton(this, "ButtonElementsPreview", ImageButtons, kPreviewRowTop, {16, 436, 90, 30});
  ButtonElementsPreview->OnClick = [this] { ButtonElementsPreviewClick(); };
  Timer1 = NewProgressTimer(this, ProgressBarFile);

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName", ""));
  CaptionBar->Caption = TermText("FormDownloadElementsCaption", "New elements");
  LabelTreeView->setText(TermText("LabelTreeViewCaption", "Publishers"));
  LabelNodeName->setText(TermText("LabelNodeNameCaption", ""));
  LabelDownloadList->setText(TermText("LabelDownloadListCaption", "To download"));
  // Its row of the sheet is a plain frame: the caption says what it does.
  ButtonElementsPreview->SetCaption(TermText("ButtonElementsPreviewCaption", "Previews"));
  HintPrefix = "";

  TBitmap32 blank;
  if (LoadSkinBitmap(blank, "BlankElementPreview", "BlankPub.psd", true)) {
    blankPreview_ = ImageView(blank).copy();
  } else {
    blankPreview_ = QImage(kPreviewSize, kPreviewSize, QImage::Format_ARGB32);
    blankPreview_.fill(Qt::white);
  }
  context_ = std::make_unique<TTransferContext>(ETransferUse::ElementDownload, owner_);
  downloader_ = std::make_unique<TElementDownloader>(*context_, settings_.Ini, InstallationFolder());
  downloader_->OnProgress = [this](std::int64_t total, std::int64_t received) {
    UpdateDownloadProgress(total, received);
  };
  downloader_->OnLabel = [this](const std::string& text) { currentName_ = QString::fromStdString(text); };
  downloader_->OnTotals = [this](const TDownloadProgress& progress) {
    ProgressBarTotal->setValue(progress.TotalBar);
    LabelProcessTotal->setText(TermText("LabelProcessTotalCaption", "Total: ") + SizeText(progress.Total) + "  (" +
                               SizeText(progress.BytesPerSecond) + "/s)");
  };

  // One root per publisher, each with its "Nothing" child until analysed.
  for (const TPublisher& publisher : ReadPublishers(settings_.Ini)) {
    TNode node;
    node.Kind = ekPublisher;
    node.Key = publisher.Url;
    node.BaseUrl = PublisherBaseUrl(publisher.Url);
    node.State = "-1";
    node.Caption = publisher.Caption;
    QTreeWidgetItem* root = AddNode(nullptr, std::move(node), QString::fromStdString(publisher.Caption));
    new QTreeWidgetItem(root, QStringList{kNothing});
  }

  connect(TreeView, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    auto node = nodes_.find(item);
    if (node == nodes_.end()) return;
    if (node->second.Kind != ekPublisher) {
      TreeView->setCurrentItem(item);
      return;
    }
    if (node->second.State == "-2") return;
    // Analysed after the expansion's own handling; the root opens on success.
    item->setExpanded(false);
    QPointer<TFormDownloadElements> self(this);
    QTimer::singleShot(0, this, [self, item] {
      if (self) self->ExpandPublisher(item);
    });
  });
  connect(TreeView, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem*, int) {
    if (!refreshing_) RefreshAfterChange();
  });
  connect(TreeView, &QTreeWidget::itemEntered, this, [this](QTreeWidgetItem* item) { ShowPreviewOf(item); });
  connect(TreeView, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { ShowNodePreviews(item); });
  TreeView->OnToggle = [this](QTreeWidgetItem* item) {
    if (running_ || !(item->flags() & Qt::ItemIsUserCheckable)) return;
    SetChecked(item, item->checkState(0) != Qt::Checked);
  };
  TreeView->OnFetchPreviews = [this](QTreeWidgetItem* item) {
    if (!running_) FetchPreviews(item);
  };
  TreeView->OnDropFromList = [this] {
    for (QListWidgetItem* entry : ListBox->selectedItems())
      SetChecked(reinterpret_cast<QTreeWidgetItem*>(entry->data(Qt::UserRole).value<quintptr>()), false);
  };
  ScrollBoxPreview->OnDropFromTree = [this] {
    const QList<QTreeWidgetItem*> dropped = TreeView->selectedItems();
    if (running_ || dropped.isEmpty()) return;
    TreeView->setCurrentItem(dropped.front());
    FetchPreviews(dropped.front());
  };
  ListBox->OnDropFromTree = [this] {
    for (QTreeWidgetItem* item : TreeView->selectedItems()) SetChecked(item, true);
  };
  ListBox->OnRemove = [this](const std::vector<QListWidgetItem*>& entries) {
    std::vector<QTreeWidgetItem*> items;
    for (QListWidgetItem* entry : entries)
      items.push_back(reinterpret_cast<QTreeWidgetItem*>(entry->data(Qt::UserRole).value<quintptr>()));
    for (QTreeWidgetItem* item : items) SetChecked(item, false);
  };
  connect(ScrollBoxPreview, &QListWidget::itemClicked, this, [this](QListWidgetItem* entry) {
    auto* item = reinterpret_cast<QTreeWidgetItem*>(entry->data(Qt::UserRole).value<quintptr>());
    SetChecked(item, item->checkState(0) != Qt::Checked);
  });
  connect(ScrollBoxPreview, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* entry) {
    auto* item = reinterpret_cast<QTreeWidgetItem*>(entry->data(Qt::UserRole).value<quintptr>());
    // One element by itself: the total bar follows its bar.
    singleElement_ = true;
    const bool fetched = FetchPreview(item);
    singleElement_ = false;
    UpdateDownloadProgress(-1, -1);
    if (fetched) ShowNodePreviews(TreeView->currentItem());
  });

  Skins = {"FormDownloadElements.Skin", "FormDnld.psd", "FormDownloadElementsButtons", "ButDnld.psd"};
  OnShow = [this] {
    RefreshAfterChange();
  };
  OnCloseQuery = [this](bool&) {
    if (running_) ButtonStopDownloadClick();
  };
  OnClose = [this] {
    context_->Stop();
  };
  SetRunning(false);
  RebuildList();
}

TFormDownloadElements::~TFormDownloadElements() {
  if (context_) context_->Stop();
}

const TFormDownloadElements::TNode* TFormDownloadElements::NodeOf(QTreeWidgetItem* item) const {
  auto node = nodes_.find(item);
  return node == nodes_.end() ? nullptr : &node->second;
}

QTreeWidgetItem* TFormDownloadElements::Root(int index) const { return TreeView->topLevelItem(index); }

QTreeWidgetItem* TFormDownloadElements::AddNode(QTreeWidgetItem* parent, TNode node, const QString& text) {
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TreeView);
  const bool group = node.Kind == ekPublisher || IsGroupKind(node.Kind);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled |
                 (group ? Qt::ItemIsAutoTristate : Qt::ItemFlags()));
  refreshing_ = true;
  item->setText(0, text);
  item->setCheckState(0, Qt::Unchecked);
  refreshing_ = false;
  nodes_.emplace(item, std::move(node));
  return item;
}

void TFormDownloadElements::BuildSubtree(QTreeWidgetItem* root, const TNewElements& found) {
  const std::string baseUrl = nodes_[root].BaseUrl;
  auto group = [&](QTreeWidgetItem* parent, int kind, const std::string& caption) {
    TNode node;
    node.Kind = kind;
    node.BaseUrl = baseUrl;
    node.Caption = caption;
    return AddNode(parent, std::move(node), QString::fromStdString(caption));
  };
  auto element = [&](QTreeWidgetItem* parent, TDownloadJob job) {
    job.BaseUrl = baseUrl;
    TNode node;
    node.Kind = job.Kind;
    node.BaseUrl = baseUrl;
    node.Caption = job.Caption;
    node.Job = std::move(job);
    const QString text = QString::fromStdString(node.Caption);
    return AddNode(parent, std::move(node), text);
  };

  if (!found.Messages.empty()) {
    const std::string text = TermText("TreeViewNodeMessagesCaption", "Messages").toStdString();
    QTreeWidgetItem* messages = group(root, ekMessagesGroup, text);
    for (const TMessageRecord& message : found.Messages) {
      TDownloadJob job;
      job.Kind = ekMessage;
      job.Caption = text + ": " + message.Subject;
      job.Size = message.Size;
      job.Message = message;
      element(messages, std::move(job));
    }
  }
  std::set<int> types;
  for (const TElementRecord& record : found.Templates) types.insert(record.TypeNo);
  for (int typeNo : types) {
    const TDownloadType* type = downloader_->Settings().KnownType(typeNo);
    if (!type) continue;
    QTreeWidgetItem* typeGroup = group(root, ekTemplateGroup, type->Text);
    nodes_[typeGroup].Key = type->Folder;
    for (const TElementRecord& record : found.Templates)
      if (record.TypeNo == typeNo) {
        TDownloadJob job;
        job.Kind = ekTemplate;
        job.Caption = record.Field(5);
        job.Size = record.Size;
        job.Template = record;
        element(typeGroup, std::move(job));
      }
  }
  if (!found.Models.empty()) {
    QTreeWidgetItem* models = group(root, ekModelsGroup, TermText("TreeViewNodeModelsCaption", "Models").toStdString());
    std::map<std::string, QTreeWidgetItem*> typeGroups;
    for (const TNewModel& model : found.Models) {
      QTreeWidgetItem*& typeGroup = typeGroups[model.Type];
      if (!typeGroup) typeGroup = group(models, ekModelTypeGroup, ModelTypeText(settings_.Ini, model.Type));
      TDownloadJob job;
      job.Kind = ekModel;
      job.Caption = model.Caption.empty() ? model.Folder : model.Caption;
      job.Size = model.Size;
      job.Model = model;
      element(typeGroup, std::move(job));
    }
  }
  if (found.QuerySet) {
    QTreeWidgetItem* queries =
        group(root, kPlainGroup, TermText("TreeViewNodeQueriesCaption", "Queries").toStdString());
    TDownloadJob job;
    job.Kind = ekQuerySet;
    job.Caption = found.QuerySet->Caption;
    job.Size = found.QuerySet->Size;
    job.QuerySet = found.QuerySet;
    element(queries, std::move(job));
  }
  if (!found.Interfaces.empty()) {
    QTreeWidgetItem* interfaces =
        group(root, ekInterfacesGroup, TermText("TreeViewNodeInterfacesCaption", "Interfaces").toStdString());
    const std::string partText = TermText("TreeViewNodeInterfacePartCaption", "Part").toStdString();
    std::map<std::string, std::pair<QTreeWidgetItem*, QTreeWidgetItem*>> byFolder;
    for (const TInterfaceItem& item : found.Interfaces) {
      auto& [interfaceNode, partGroup] = byFolder[LowerAscii(item.InterfaceFolder)];
      if (!interfaceNode) {
        interfaceNode = group(interfaces, ekInterface, item.InterfaceName);
        nodes_[interfaceNode].Job.Kind = ekInterface;
        nodes_[interfaceNode].Job.BaseUrl = baseUrl;
        nodes_[interfaceNode].Job.Interface = item;
        partGroup = group(interfaceNode, ekInterfacePartGroup, item.InterfaceName + "\\" + partText);
      }
      TDownloadJob job;
      job.Kind = ekInterfaceItem;
      job.Caption = item.InterfaceName + "\\" + item.ItemFolder;
      job.Size = item.Size;
      job.Interface = item;
      element(partGroup, std::move(job));
    }
  }
}

bool TFormDownloadElements::ExpandPublisher(QTreeWidgetItem* root) {
  auto found = nodes_.find(root);
  if (found == nodes_.end() || found->second.Kind != ekPublisher || running_) return false;
  if (found->second.State == "-2") {
    root->setExpanded(true);
    return true;
  }
  QPointer<TFormDownloadElements> self(this);
  const std::string url = found->second.Key;
  LabelProgress->setText(TermText("MessageServerAnalyzing", "Analysing the server..."));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  SetRunning(true);
  const TAnalysis analysis = downloader_->AnalyzeServer(url);
  QApplication::restoreOverrideCursor();
  if (!self) return false;
  SetRunning(false);
  // The index's transfer left its bar where it ended.
  UpdateDownloadProgress(-1, -1);
  downloader_->ReloadSettings();
  switch (analysis.Result) {
    case EAnalysis::NoAccess: ShowOnlineMessage("MessageNoAccessToServerT"); break;
    case EAnalysis::ConnectionLost: ShowOnlineMessage("MessageConnectionLost"); break;
    case EAnalysis::NothingNew: ShowOnlineMessage("MessageNoNewElements"); break;
    case EAnalysis::NoNetwork:
    case EAnalysis::Stopped:
    case EAnalysis::NewElements: break;
  }
  if (self && !analysis.Elements.Refused.empty())
    ShowOnlineMessage("MessageElementsRefused",
                      "The publisher names files that would lie outside Tressary's folders; they were refused:",
                      analysis.Elements.Refused);
  if (!self || analysis.Result != EAnalysis::NewElements) return false;
  refreshing_ = true;
  while (root->childCount() > 0) delete root->takeChild(0);
  BuildSubtree(root, analysis.Elements);
  nodes_[root].State = "-2";
  refreshing_ = false;
  RefreshAfterChange();
  root->setExpanded(true);
  TreeView->setCurrentItem(root);
  return true;
}

void TFormDownloadElements::SetChecked(QTreeWidgetItem* item, bool checked) {
  if (!item || !nodes_.count(item)) return;
  item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

std::vector<QTreeWidgetItem*> TFormDownloadElements::CheckedElements() const {
  std::vector<QTreeWidgetItem*> items;
  std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
    auto node = nodes_.find(item);
    if (node != nodes_.end() && IsDownloadableKind(node->second.Kind) && item->checkState(0) == Qt::Checked)
      items.push_back(item);
    for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
  };
  for (int i = 0; i < TreeView->topLevelItemCount(); ++i) walk(TreeView->topLevelItem(i));
  return items;
}

std::int64_t TFormDownloadElements::TotalBytes() const {
  std::int64_t total = 0;
  for (QTreeWidgetItem* item : CheckedElements()) total += nodes_.at(item).Job.Size;
  return total;
}

void TFormDownloadElements::RefreshGroupCaptions(QTreeWidgetItem* item) {
  for (int i = item->childCount() - 1; i >= 0; --i) RefreshGroupCaptions(item->child(i));
  auto node = nodes_.find(item);
  if (node == nodes_.end() || !IsGroupKind(node->second.Kind)) return;
  int count = 0;
  std::function<void(QTreeWidgetItem*)> countBelow = [&](QTreeWidgetItem* child) {
    auto found = nodes_.find(child);
    if (found != nodes_.end() && IsDownloadableKind(found->second.Kind)) ++count;
    for (int i = 0; i < child->childCount(); ++i) countBelow(child->child(i));
  };
  countBelow(item);
  if (count == 0) {
    RemoveNode(item);
    return;
  }
  item->setText(0, QString::fromStdString(node->second.Caption) + " (" + QString::number(count) + ")");
}

void TFormDownloadElements::RemoveNode(QTreeWidgetItem* item) {
  std::function<void(QTreeWidgetItem*)> forget = [&](QTreeWidgetItem* node) {
    for (int i = 0; i < node->childCount(); ++i) forget(node->child(i));
    nodes_.erase(node);
  };
  forget(item);
  if (previewNode_ && !nodes_.count(previewNode_)) {
    previewNode_ = nullptr;
    ImagePreview->clear();
  }
  delete item;
}

void TFormDownloadElements::RefreshAfterChange() {
  refreshing_ = true;
  for (int i = 0; i < TreeView->topLevelItemCount(); ++i) {
    QTreeWidgetItem* root = TreeView->topLevelItem(i);
    if (nodes_[root].State == "-2") {
      RefreshGroupCaptions(root);
      // An analysed root whose elements all went in is analysed again when opened.
      if (root->childCount() == 0) {
        nodes_[root].State = "-1";
        new QTreeWidgetItem(root, QStringList{kNothing});
        root->setExpanded(false);
      }
    }
  }
  refreshing_ = false;
  RebuildList();
}

void TFormDownloadElements::RebuildList() {
  ListBox->clear();
  const int height = listPreviews_ ? 32 : 16;
  for (QTreeWidgetItem* item : CheckedElements()) {
    const TNode& node = nodes_.at(item);
    auto* entry = new QListWidgetItem(QString::fromStdString(node.Caption) + "  " + SizeText(node.Job.Size), ListBox);
    entry->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(item)));
    entry->setSizeHint({ListBox->width() - 4, height});
    if (listPreviews_) entry->setIcon(QPixmap::fromImage(node.Preview.isNull() ? blankPreview_ : node.Preview));
  }
  ListBox->setIconSize({height, height});
  LabelProcessTotal->setText(TermText("LabelProcessTotalCaption", "Total: ") + SizeText(TotalBytes()));
  ButtonStartDownload->setVisible(!running_ && ListBox->count() > 0);
}

void TFormDownloadElements::ShowNodePreviews(QTreeWidgetItem* current) {
  ScrollBoxPreview->clear();
  if (!current) return;
  std::function<void(QTreeWidgetItem*)> add = [&](QTreeWidgetItem* item) {
    auto node = nodes_.find(item);
    if (node != nodes_.end() && IsDownloadableKind(node->second.Kind)) {
      const QImage& picture = node->second.Preview.isNull() ? blankPreview_ : node->second.Preview;
      auto* entry = new QListWidgetItem(QPixmap::fromImage(picture), QString::fromStdString(node->second.Caption),
                                        ScrollBoxPreview);
      entry->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(item)));
    }
    for (int i = 0; i < item->childCount(); ++i) add(item->child(i));
  };
  add(current);
}

bool TFormDownloadElements::FetchPreview(QTreeWidgetItem* item) {
  auto found = nodes_.find(item);
  if (found == nodes_.end()) return false;
  TNode& node = found->second;
  if (!node.Preview.isNull()) return true;
  if (downloader_->PreviewPath(node.Job).empty()) return false;
  currentName_ = QString::fromStdString(node.Caption);
  QPointer<TFormDownloadElements> self(this);
  std::string packed;
  fs::path kept;
  const bool ok = downloader_->FetchPreview(node.Job, packed, &kept);
  if (!self || !nodes_.count(item)) return false;
  if (!ok) {
    if (downloader_->LastStatus() == kTransferConnectionLost) ShowOnlineMessage("MessageConnectionLost");
    return false;
  }
  const TFileResult<TBitmap32> picture = UnpackBitmap32(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(packed.data()), packed.size()));
  if (!picture) return false;
  // Scaling to the size it has already hands back the view itself: the copy
  // outlives the picture.
  node.Preview = ImageView(*picture).copy().scaled(kPreviewSize, kPreviewSize, Qt::KeepAspectRatio,
                                                   Qt::SmoothTransformation);
  if (!kept.empty()) node.Job.LocalPackedFile = kept;
  return true;
}

void TFormDownloadElements::ShowPreviewOf(QTreeWidgetItem* item) {
  auto node = nodes_.find(item);
  if (node == nodes_.end() || node->second.Preview.isNull()) return;
  ImagePreview->setPixmap(QPixmap::fromImage(node->second.Preview));
  previewNode_ = IsDownloadableKind(node->second.Kind) ? item : nullptr;
}

void TFormDownloadElements::FetchPreviews(QTreeWidgetItem* item) {
  std::vector<QTreeWidgetItem*> items;
  std::function<void(QTreeWidgetItem*)> collect = [&](QTreeWidgetItem* node) {
    auto found = nodes_.find(node);
    if (found != nodes_.end() && !downloader_->PreviewPath(found->second.Job).empty()) items.push_back(node);
    for (int i = 0; i < node->childCount(); ++i) collect(node->child(i));
  };
  collect(item);
  // The total bar shows the share of the elements' bytes whose previews are done.
  std::int64_t total = 0, done = 0;
  for (QTreeWidgetItem* node : items) total += nodes_.at(node).Job.Size;
  QPointer<TFormDownloadElements> self(this);
  SetRunning(true);
  for (QTreeWidgetItem* node : items) {
    // The window's events run during a fetch: a node may have gone meanwhile.
    const auto found = nodes_.find(node);
    const std::int64_t size = found == nodes_.end() ? 0 : found->second.Job.Size;
    if (!FetchPreview(node) && (!self || downloader_->LastStatus() == kTransferConnectionLost)) break;
    done += size;
    ProgressBarTotal->setValue(ProgressBarPosition(total, done));
  }
  if (!self) return;
  SetRunning(false);
  UpdateDownloadProgress(-1, -1);
  ShowNodePreviews(TreeView->currentItem());
  RebuildList();
}

void TFormDownloadElements::ButtonElementsPreviewClick() {
  listPreviews_ = !listPreviews_;
  if (listPreviews_) {
    QPointer<TFormDownloadElements> self(this);
    for (QTreeWidgetItem* item : CheckedElements())
      if (!FetchPreview(item) && (!self || downloader_->LastStatus() == kTransferConnectionLost)) break;
    if (!self) return;
  }
  RebuildList();
}

void TFormDownloadElements::SetRunning(bool running) {
  running_ = running;
  ButtonStopDownload->setVisible(running);
  ButtonStartDownload->setVisible(!running && ListBox->count() > 0);
  ListBox->setEnabled(!running);
  ScrollBoxPreview->setEnabled(!running);
  if (running) Timer1->start();
  else Timer1->stop();
}

void TFormDownloadElements::UpdateDownloadProgress(std::int64_t total, std::int64_t received) {
  if (total == -1 && received == -1) {
    currentName_.clear();
    LabelProgress->clear();
    ProgressBarFile->setValue(0);
    ProgressBarTotal->setValue(0);
    Timer1->stop();
    return;
  }
  if (total == 0 && received == 0) {
    LabelProgress->setText(currentName_);
    ProgressBarFile->setValue(0);
    if (singleElement_) ProgressBarTotal->setValue(0);
    return;
  }
  LabelProgress->setText(ProgressText(currentName_, received, total));
  ProgressBarFile->setValue(ProgressBarPosition(total, received));
  if (singleElement_) ProgressBarTotal->setValue(ProgressBarFile->value());
}

void TFormDownloadElements::ButtonStartDownloadClick() {
  if (running_) return;
  const std::vector<QTreeWidgetItem*> items = CheckedElements();
  if (items.empty()) return;
  std::vector<TDownloadJob> jobs;
  for (QTreeWidgetItem* item : items) jobs.push_back(nodes_.at(item).Job);
  QPointer<TFormDownloadElements> self(this);
  SetRunning(true);
  UpdateDownloadProgress(-1, -1);
  bool connectionLost = false;
  std::vector<std::string> failed;
  downloader_->Run(jobs, [&](std::size_t index, EJobResult result) {
    if (!self) return;
    if (result == EJobResult::ConnectionLost) connectionLost = true;
    if (result == EJobResult::Failed) {
      const std::string& problem = downloader_->JobProblem();
      failed.push_back(jobs[index].Caption + (problem.empty() ? "" : " (" + problem + ")"));
    }
    if (result == EJobResult::Installed && nodes_.count(items[index])) {
      refreshing_ = true;
      RemoveNode(items[index]);
      refreshing_ = false;
    }
  });
  if (!self) return;
  SetRunning(false);
  UpdateDownloadProgress(-1, -1);
  RefreshAfterChange();
  ShowNodePreviews(TreeView->currentItem());
  if (connectionLost) ShowOnlineMessage("MessageConnectionLost");
  if (!failed.empty())
    ShowOnlineMessage("MessageElementsNotInstalled", "These elements could not be downloaded or installed:", failed);
}

void TFormDownloadElements::ButtonStopDownloadClick() {
  downloader_->Stop();
  UpdateDownloadProgress(-1, -1);
}
