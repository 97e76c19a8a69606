#include "online/forms/FormPublisherMessages.h"

#include <QHeaderView>
#include <algorithm>
#include <QMouseEvent>
#include <QTableWidget>

#include "online/forms/FrameViewer.h"
#include "online/forms/OnlineControls.h"
#include "platform/KeyCodes.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

namespace {
constexpr int kWidth = 568;
constexpr int kHeight = 470;
constexpr int kBackWidth = 110;
constexpr int kBackHeight = 30;
}  // namespace

TFormPublisherMessages::TFormPublisherMessages(const TMainSettings& settings, QWidget* parent)
    : TSkinnedForm("FormPublisherMessages", parent), settings_(settings) {
  BuildOnlineFrame(*this, {kWidth, kHeight, QPoint(70, 60), 548}, ImageButtons, CaptionBar, ButtonExit);

  StringGrid = new QTableWidget(0, 2, this);
  StringGrid->setObjectName("StringGrid");
  StringGrid->setGeometry(12, 30, 544, 112);
  StringGrid->setColumnWidth(0, 38);
  StringGrid->setColumnWidth(1, 479);
  StringGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid->verticalHeader()->hide();
  StringGrid->horizontalHeader()->setStretchLastSection(true);
  // Keyboard and mouse alike: the selected row's message shows.
  connect(StringGrid, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
    if (!messages_.empty() && row >= 0) {
      ShowMessage(row);
      StringGrid->scrollToItem(StringGrid->item(row, 0));
    }
  });

  HTMLViewer = new TFrameViewer(this);
  HTMLViewer->setGeometry(12, 150, 544, 272 - 4 - kBackHeight);
  // Back sits under the viewer at its frame's size: a button smaller than its
  // frame shows only the frame's left part.
  ButtonBack = NewSheetButton(this, "ButtonBack", ImageButtons, 0,
                              {556 - kBackWidth, 426 - kBackHeight, kBackWidth, kBackHeight});
  ButtonBack->OnClick = [this] {
    if (HTMLViewer->CanGoBack()) HTMLViewer->GoBack();
  };

  ApplyInterface(this);
  setWindowTitle(TermText("ProductName", ""));
  CaptionBar->Caption = TermText("FormPublisherMessagesCaption", "Publisher's messages");
  StringGrid->setHorizontalHeaderLabels({TermText("FormPublisherMessagesNumberHeader", "No."),
                                         TermText("FormPublisherMessagesSubjectHeader", "Subject")});
  ButtonBack->SetCaption(TermText("FormPublisherMessagesButtonBackCaption", "Back"));
  ButtonBack->setToolTip(TermText("FormPublisherMessagesButtonBackHint", "Back"));

  Skins = {"FormPublisherMessages.Skin", "FormPmsg.psd", "FormPublisherMessagesButtons", "ButTips.psd"};
  OnShow = [this] {
    LoadList();
  };
  OnKeyUp = [this](int& key, int) {
    if (key == VK_BACK && HTMLViewer->CanGoBack()) HTMLViewer->GoBack();
  };
}

void TFormPublisherMessages::LoadList() {
  messages_ = ReadPublisherMessages(settings_.Ini, fs::path(InstallationFolder()));
  HTMLViewer->Clear();
  const QString prefix = TermText("FormPublisherMessageNumber", "");
  const QSignalBlocker quiet(StringGrid);
  StringGrid->clearContents();
  StringGrid->setRowCount(std::max<int>(1, int(messages_.size())));
  auto setRow = [this](int row, const QString& number, const QString& subject) {
    StringGrid->setItem(row, 0, new QTableWidgetItem(number));
    StringGrid->setItem(row, 1, new QTableWidgetItem(subject));
  };
  if (messages_.empty()) {
    setRow(0, prefix + "0", TermText("FormPublisherMessageNoMessages", "No messages"));
    StringGrid->setSelectionMode(QAbstractItemView::NoSelection);
    return;
  }
  StringGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  for (int i = 0; i < int(messages_.size()); ++i)
    setRow(i, prefix + QString::number(i + 1), QString::fromStdString(messages_[std::size_t(i)].Subject));
  StringGrid->setCurrentCell(0, 0);
  ShowMessage(0);
}

bool TFormPublisherMessages::ShowMessage(int index) {
  if (index < 0 || index >= int(messages_.size())) return false;
  const TMes& message = messages_[std::size_t(index)];
  std::error_code ec;
  if (!fs::is_regular_file(message.Index, ec)) return false;
  // Back steps through the pages of the message shown, not into the last one.
  HTMLViewer->Clear();
  HTMLViewer->SetBaseFolder(message.Index.parent_path());
  return HTMLViewer->LoadFile(message.Index);
}

void RunPublisherMessages(const TMainSettings& settings) {
  TFormPublisherMessages window(settings);
  ShowSkinnedModal(window);
  window.close();
}
