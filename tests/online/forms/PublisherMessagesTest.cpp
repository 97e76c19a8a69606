// The publisher messages window over messages installed on disk: which are
// listed, and a message with frames whose links load in their frames, open
// outside for the web and mail, and do nothing for other schemes.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>

#include "online/forms/FormPublisherMessages.h"
#include "online/forms/FrameViewer.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/GraphicButton.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "support/LinkPoint.h"
#include "support/RecordingOpener.h"
#include "support/TestPaths.h"

namespace {

void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  ASSERT_TRUE(WriteFileAtomic(file, text));
}

// Clicks the link whose text is `text`, where the frame shows it.
void ClickLink(THtmlViewer* frame, const QString& text) {
  const std::optional<QPoint> at = LinkPoint(frame, text);
  ASSERT_TRUE(at) << text.toStdString();
  QTest::mouseClick(frame->viewport(), Qt::LeftButton, {}, *at);
  QCoreApplication::processEvents();
}

QString Shown(THtmlViewer* frame) { return frame->toPlainText(); }

class PublisherMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    SetShellOpener(&opener_);
    SetProgramFolders(temp_.Path());
    settings_.Ini = TIniFile(temp_ / "Tressary.ini");
    const fs::path messages = temp_ / "MESSAGES";
    Write(messages / "spring" / "index.htm",
          "<html><frameset cols=\"120,*\"><frame name=\"menu\" src=\"menu.htm\">"
          "<frame name=\"main\" src=\"pages/main.htm\"></frameset></html>");
    Write(messages / "spring" / "menu.htm",
          "<p><a href=\"pages/second.htm\" target=\"main\">Second</a></p>"
          "<p><a href=\"gopher://example.test/old\" target=\"main\">Old</a></p>"
          "<p><a href=\"mailto:news@example.com\">Mail</a></p>");
    Write(messages / "spring" / "pages" / "main.htm", "<p>Spring welcome</p>");
    Write(messages / "spring" / "pages" / "second.htm", "<p>The second page</p>");
    Write(messages / "summer" / "index.htm", "<p>Summer news</p>");
    Write(messages / "autumn" / "index.htm",
          "<frameset cols=\"100,*\"><frame name=\"side\" src=\"side.htm\"><frame src=\"inner/set.htm\"></frameset>");
    Write(messages / "autumn" / "side.htm", "<p>Side</p>");
    Write(messages / "autumn" / "inner" / "set.htm",
          "<frameset rows=\"60,*\"><frame name=\"head\" src=\"head.htm\"><frame src=\"set.htm\"></frameset>");
    Write(messages / "autumn" / "inner" / "head.htm", "<p>Autumn head</p>");
  }
  void TearDown() override {
    SetShellOpener(nullptr);
    SetMessagePresenter({});
    SetProgramFolders({});
  }

  TMainSettings settings_;
  TempFolder temp_;
  TRecordingOpener opener_;
};

}  // namespace

TEST_F(PublisherMessages, OnlyMessagesOnDiskAreListedAndNumberedWithoutGaps) {
  settings_.Ini.WriteString("MESSAGES", "spring", "spring;Spring offers;x;");
  settings_.Ini.WriteString("MESSAGES", "gone", "gone;Never installed;;");
  settings_.Ini.WriteString("MESSAGES", "nameless", "summer;;;");
  settings_.Ini.WriteString("MESSAGES", "escape", "..\\MESSAGES\\summer;Outside;;");
  settings_.Ini.WriteString("MESSAGES", "summer", " summer ; Summer news ;");
  TFormPublisherMessages window{settings_};
  window.show();
  QTableWidget* grid = window.StringGrid;
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(grid->item(0, 0)->text(), "1");
  EXPECT_EQ(grid->item(0, 1)->text(), "Spring offers");
  EXPECT_EQ(grid->item(1, 0)->text(), "2");
  EXPECT_EQ(grid->item(1, 1)->text(), "Summer news");
  EXPECT_EQ(window.HTMLViewer->CurrentPage(), temp_ / "MESSAGES" / "spring" / "index.htm") << "the first at once";
  grid->setCurrentCell(1, 1);
  ASSERT_EQ(window.HTMLViewer->FrameCount(), 1);
  EXPECT_TRUE(Shown(window.HTMLViewer->Frame(0)).contains("Summer news"));
  window.close();

  settings_.Ini.EraseSection("MESSAGES");
  settings_.Ini.WriteString("MESSAGES", "gone", "gone;Never installed;;");
  window.show();
  ASSERT_EQ(grid->rowCount(), 1);
  EXPECT_EQ(grid->item(0, 0)->text(), "0");
  EXPECT_EQ(grid->item(0, 1)->text(), "No messages");
  EXPECT_EQ(window.HTMLViewer->FrameCount(), 0);
}

TEST_F(PublisherMessages, FramesShowTheirPagesAndLinksLoadInTheirTargetFrame) {
  settings_.Ini.WriteString("MESSAGES", "spring", "spring;Spring offers;;");
  TFormPublisherMessages window{settings_};
  window.show();
  TFrameViewer& viewer = *window.HTMLViewer;
  ASSERT_EQ(viewer.FrameCount(), 2);
  THtmlViewer* menu = viewer.Frame("menu");
  THtmlViewer* main = viewer.Frame("MAIN");
  ASSERT_TRUE(menu && main);
  EXPECT_TRUE(Shown(menu).contains("Second"));
  EXPECT_TRUE(Shown(main).contains("Spring welcome"));
  EXPECT_EQ(menu->geometry().left(), 0);
  EXPECT_EQ(main->geometry().left(), 120);
  EXPECT_EQ(main->geometry().right(), viewer.width() - 1);

  ClickLink(menu, "Second");
  EXPECT_TRUE(Shown(main).contains("The second page")) << Shown(main).toStdString();
  EXPECT_TRUE(Shown(menu).contains("Second")) << "the menu stays";

  ClickLink(menu, "Old");
  EXPECT_TRUE(Shown(main).contains("The second page")) << "an unknown scheme does nothing";
  EXPECT_TRUE(opener_.opened.empty());

  ClickLink(menu, "Mail");
  EXPECT_EQ(opener_.opened, (std::vector<std::string>{"mailto:news@example.com"}));
  EXPECT_TRUE(Shown(main).contains("The second page")) << "the viewer stays on the message";
  EXPECT_TRUE(Shown(menu).contains("Second"));

  ASSERT_TRUE(viewer.CanGoBack());
  // Back lies in the window, clear of the viewer.
  EXPECT_TRUE(window.rect().contains(window.ButtonBack->geometry()));
  EXPECT_FALSE(window.ButtonBack->geometry().intersects(window.HTMLViewer->geometry()));
  window.ButtonBack->OnClick();
  EXPECT_TRUE(Shown(main).contains("Spring welcome"));
  EXPECT_FALSE(viewer.CanGoBack());
}

TEST_F(PublisherMessages, AFrameWhosePageHasFramesIsDividedByThemAndSelfFramingEnds) {
  // The inner page's frames are found beside it, not beside the message, and the
  // inner page frames itself: the nesting stops, the last level plain.
  settings_.Ini.WriteString("MESSAGES", "autumn", "autumn;Autumn;;");
  TFormPublisherMessages window{settings_};
  window.show();
  TFrameViewer& viewer = *window.HTMLViewer;
  ASSERT_GT(viewer.FrameCount(), 3);
  ASSERT_LT(viewer.FrameCount(), 10);
  THtmlViewer* side = viewer.Frame("side");
  ASSERT_TRUE(side);
  EXPECT_TRUE(Shown(side).contains("Side"));
  THtmlViewer* head = viewer.Frame(1);
  EXPECT_TRUE(Shown(head).contains("Autumn head"));
  EXPECT_EQ(head->geometry().left(), 100);
  EXPECT_EQ(head->geometry().top(), 0);
  const QRect below = viewer.Frame(2)->geometry();
  EXPECT_EQ(below.left(), 100);
  EXPECT_EQ(below.top(), 60);
  EXPECT_TRUE(Shown(viewer.Frame(2)).contains("Autumn head")) << "the next level's head";
  THtmlViewer* last = viewer.Frame(viewer.FrameCount() - 1);
  EXPECT_EQ(last->CurrentFile().filename(), "set.htm");
  EXPECT_GT(last->geometry().height(), 0);
}
