#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <functional>

#include "SyntheticMouse.h"
#include "TestInterface.h"
#include "picture/forms/BitmapImage.h"
#include "platform/ProgramFolders.h"
#include "platform/TextFile.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/Termins.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/SkinnedForm.h"
#include "support/TestTexts.h"

namespace {

void WritePng(const fs::path& file, const TBitmap32& picture) {
  fs::create_directories(file.parent_path());
  ASSERT_TRUE(ImageView(picture).save(QString::fromStdString(file.string()), "PNG"));
}

class FormMessageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WritePng(interface_.DefaultSkinFolder() / "Mess.png", TBitmap32(200, 130, Color32(200, 190, 170)));
    WritePng(interface_.DefaultSkinFolder() / "Buttons.png", TBitmap32(144, 68, Color32(20, 90, 100)));
    SetMessagePresenter([this](TMessageBoxKind, const std::string& text) { messages_.push_back(text); });
    box_ = new TFormMessage();
  }
  void TearDown() override {
    delete box_;
    SetMessagePresenter(nullptr);
    EXPECT_TRUE(messages_.empty()) << messages_.front();
  }

  // Runs `step` once the event loop turns (inside the box's modal loop).
  static void Soon(std::function<void()> step) { QTimer::singleShot(0, std::move(step)); }
  static void ClickCentre(TGraphicButton* button) { ClickAt(button, button->rect().center()); }
  void Press(Qt::Key key, const QString& text) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(box_, &event);
  }

  TTestInterface interface_{{"FormMessageButtons = Buttons.png;", "SECTION FormMessage TFormMessage",
                             "Skin = Mess.png;", "END"}};
  std::vector<std::string> messages_;
  TTestTexts texts_{{{"ProductName", "Tressary"}, {"MessageHello", "Hello\rWorld"}, {"ButtonOKHint", "Fine"}}};
  TFormMessage* box_ = nullptr;
};

}  // namespace

TEST_F(FormMessageTest, ButtonsAnswerYesAndNo) {
  Soon([this] { ClickCentre(box_->ButtonYes); });
  EXPECT_EQ(ShowMessageBox("Proceed?", mbkYesNo, true), 6);
  EXPECT_FALSE(box_->isVisible());
  Soon([this] { ClickCentre(box_->ButtonNo); });
  EXPECT_EQ(ShowMessageBox("Proceed?", mbkYesNo, true), 7);
  Soon([this] { ClickCentre(box_->ButtonExit); });
  EXPECT_EQ(ShowMessageBox("Proceed?", mbkYesNo, true), 7);
}

TEST_F(FormMessageTest, EnterAnswersYesEscAndClosingAnswerNo) {
  Soon([this] { Press(Qt::Key_Return, "\r"); });
  EXPECT_EQ(ShowMessageBox("Go on?", mbkOKCancel, true), 6);
  Soon([this] { Press(Qt::Key_Escape, "\x1b"); });
  EXPECT_EQ(ShowMessageBox("Go on?", mbkOKCancel, true), 7);
  Soon([this] { box_->close(); });
  EXPECT_EQ(ShowMessageBox("Go on?", mbkOKCancel, true), 7);
}

TEST_F(FormMessageTest, AQuestionThatKeepsCancelApartHearsTheCrossEscAndClosingAsCancel) {
  Soon([this] { ClickCentre(box_->ButtonNo); });
  EXPECT_EQ(AskYesNoOrCancel("Save?"), kMessageNo);
  Soon([this] { ClickCentre(box_->ButtonYes); });
  EXPECT_EQ(AskYesNoOrCancel("Save?"), kMessageYes);
  Soon([this] { ClickCentre(box_->ButtonExit); });
  EXPECT_EQ(AskYesNoOrCancel("Save?"), kMessageClosed);
  Soon([this] { Press(Qt::Key_Escape, "\x1b"); });
  EXPECT_EQ(AskYesNoOrCancel("Save?"), kMessageClosed);
  Soon([this] { box_->close(); });
  EXPECT_EQ(AskYesNoOrCancel("Save?"), kMessageClosed);
}

TEST_F(FormMessageTest, TheBoxOpensCentredOverTheWindowThatAsks) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  box_->move(0, 0);  // where a window manager-less X server would put it
  QRect placed;
  auto answer = [&] {
    Soon([&] {
      placed = box_->geometry();
      box_->close();
    });
  };
  // Nothing of the program shows: over the screen.
  answer();
  ShowMessageBox("Alone?", mbkOKCancel, true);
  EXPECT_LE((placed.center() - screen.center()).manhattanLength(), 1);

  // Asked from a window in its modal loop, far from the screen's centre.
  TSkinnedForm asking("FormAsking");
  asking.setGeometry(screen.left() + 10, screen.top() + 20, 500, 300);
  Soon([&] {
    answer();
    ShowMessageBox("From here?", mbkYesNo, true);
    asking.close();
  });
  ShowSkinnedModal(asking);
  EXPECT_LE((placed.center() - asking.geometry().center()).manhattanLength(), 1);

  // A window at the screen's corner: the box stays whole on the screen.
  asking.setGeometry(screen.right() - 60, screen.bottom() - 40, 50, 30);
  Soon([&] {
    answer();
    ShowMessageBox("Corner?", mbkYesNo, true);
    asking.close();
  });
  ShowSkinnedModal(asking);
  EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.y();
}

TEST_F(FormMessageTest, TextFromTheTableOrLiteralWithKindHints) {
  QString shown, yesHint, noHint;
  QSize size;
  auto look = [&] {
    shown = box_->LabelMessage->text();
    yesHint = box_->ButtonYes->toolTip();
    noHint = box_->ButtonNo->toolTip();
    size = box_->size();
    Press(Qt::Key_Return, "\r");
  };
  Soon(look);
  ShowMessageBox("MessageHello", mbkOKCancel, false, "unused");
  EXPECT_EQ(shown, "Hello\nWorld");
  EXPECT_EQ(yesHint, "Fine");     // from the table
  EXPECT_EQ(noHint, "Cancel");    // the default
  EXPECT_EQ(size, QSize(200, 130));  // the skin's size
  Soon(look);
  ShowMessageBox("MessageMissing", mbkYesNo, false, "Default text");
  EXPECT_EQ(shown, "Default text");
  EXPECT_EQ(yesHint, "Yes");
  EXPECT_EQ(noHint, "No");
  Soon(look);
  ShowMessageBox("MessageHello", mbkYesNo, true);
  EXPECT_EQ(shown, "MessageHello");
  EXPECT_EQ(box_->windowTitle(), "Tressary");
}

// A key without a text and without a default is a fault: a debug build stops at
// it, naming the key; any other build shows the key rather than an empty box.
TEST_F(FormMessageTest, AKeyWithoutATextNeverShowsAnEmptyBox) {
#ifdef NDEBUG
  QString shown;
  Soon([&] {
    shown = box_->LabelMessage->text();
    Press(Qt::Key_Escape, QString(QChar(27)));
  });
  EXPECT_EQ(ShowMessageBox("ConfirmMissing", mbkYesNo), 7);
  EXPECT_EQ(shown, "ConfirmMissing");
#else
  EXPECT_DEATH(ShowMessageBox("ConfirmMissing", mbkYesNo), "ConfirmMissing");
#endif
}

TEST_F(FormMessageTest, SecondQuestionWaitsForTheFirstAndEachGetsItsOwnAnswer) {
  std::vector<std::string> seen;
  int secondAnswer = 0;
  Soon([&] {
    seen.push_back(box_->LabelMessage->text().toStdString());
    // A timer asks while the first question is up.
    Soon([&] {
      Soon([&] {
        seen.push_back(box_->LabelMessage->text().toStdString());
        ClickCentre(box_->ButtonYes);  // answers the first
        Soon([&] {
          seen.push_back(box_->LabelMessage->text().toStdString());
          ClickCentre(box_->ButtonNo);  // answers the second
        });
      });
      secondAnswer = ShowMessageBox("Second", mbkYesNo, true);
    });
  });
  const int firstAnswer = ShowMessageBox("First", mbkYesNo, true);
  EXPECT_EQ(firstAnswer, 6);
  EXPECT_EQ(secondAnswer, 7);
  EXPECT_EQ(seen, (std::vector<std::string>{"First", "First", "Second"}));
  EXPECT_FALSE(box_->Busy());
}

// The box on the installation's default interface, in both resolution folders: the
// skin and the button sheet load, every control lies on the skin, and the buttons
// answer.
TEST(FormMessageInstalled, DefaultInterfaceLaysTheBoxOutOnItsSkin) {
  for (int resolution : {2, 1}) {
    SetProgramFolders(BuildDir() / "Tressary");
    TInterface look;
    look.Dir = "Intfaces\\";
    look.Name = "DEFAULT\\";
    look.ResolutionIndex = resolution;
    TUseInterface useLook(look);
    const char* folder = resolution == 2 ? "1024-768" : "800-600";
    look.Info.LoadLines(*ReadTextLines(SourceDir() / "data/Intfaces/DEFAULT" / folder / "INTFACE.TXT"));
    std::vector<std::string> messages;
    SetMessagePresenter([&](TMessageBoxKind, const std::string& text) { messages.push_back(text); });
    TFormMessage box;
    QSize skin;
    std::vector<QRect> placed;
    bool sheetLoaded = false;
    QTimer::singleShot(0, [&] {
      skin = box.SkinBitmap ? QSize(box.SkinBitmap->Width(), box.SkinBitmap->Height()) : QSize();
      sheetLoaded = box.ButtonYes->Resource().Sheet() != nullptr;
      placed = {box.CaptionBar->geometry(), box.LabelMessage->geometry(), box.ButtonYes->geometry(),
                box.ButtonNo->geometry(),
                QRect(box.CaptionBar->mapTo(&box, box.ButtonExit->pos()), box.ButtonExit->size())};
      ClickAt(box.ButtonYes, box.ButtonYes->rect().center());
    });
    EXPECT_EQ(ShowMessageBox("Keep the changes?", mbkYesNo, true), 6) << folder;
    EXPECT_TRUE(messages.empty()) << folder << ": " << messages.front();
    EXPECT_TRUE(sheetLoaded) << folder;
    ASSERT_FALSE(skin.isEmpty()) << folder;
    for (const QRect& r : placed) EXPECT_TRUE(QRect(QPoint(0, 0), skin).contains(r)) << folder;
    SetMessagePresenter(nullptr);
    SetProgramFolders({});
  }
}
